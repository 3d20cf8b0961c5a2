// Streaming: stream states, TakeVideo, callbacks on the streaming thread and
// their removal, the RGB preview and display, camera auto exposure.
#include "sim_fixture.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace simtest {
namespace {

VarcamWindow window(std::uintptr_t value) { return reinterpret_cast<VarcamWindow>(value); }

class StreamTest : public SimTest {
protected:
  void SetUp() override {
    SimTest::SetUp();
    camera_ = attachAndOpen({smallColour()});
    const FrameFormatRecord f = format(320, 240, 2, false);
    ASSERT_EQ(VarcamSetFormat(camera_, &f, 200.0f), 1);
  }
  VarcamHandle camera_ = nullptr;
};

// Records the threads a callback ran on and the frames it saw.
struct Recorder {
  std::mutex mutex;
  std::set<std::thread::id> threads;
  int calls = 0;
  std::vector<std::uint8_t> lastFrame;

  static void VARCAM_CALL streaming(void* context, std::uint8_t* frame, std::uint32_t bytes) {
    auto* self = static_cast<Recorder*>(context);
    std::lock_guard lock(self->mutex);
    self->threads.insert(std::this_thread::get_id());
    ++self->calls;
    self->lastFrame.assign(frame, frame + bytes);
  }
  static void VARCAM_CALL rgb(void* context, std::uint8_t* pixels, std::uint32_t bytes,
                              std::uint32_t) {
    streaming(context, pixels, bytes);
  }
  int count() {
    std::lock_guard lock(mutex);
    return calls;
  }
};

TEST_F(StreamTest, StreamStatesFollowTheControlModes) {
  EXPECT_EQ(VarcamGetStreamState(camera_, 0), VarcamStateStopped);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  EXPECT_EQ(VarcamGetStreamState(camera_, 0), VarcamStateStreaming);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplay, window(0x100)), 1);
  EXPECT_EQ(VarcamGetStreamState(camera_, 0), VarcamStateDisplaying);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplayGdi, window(0x200)), 1);
  EXPECT_EQ(VarcamGetStreamState(camera_, 0), VarcamStateDisplayingGdi);
  EXPECT_EQ(VarcamGetDisplayWindowHwnd(camera_), window(0x200));
  EXPECT_EQ(VarcamDestroyDisplayWindow(camera_), 0);  // still displaying
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorBusy);

  EXPECT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplay, nullptr), 0);
  EXPECT_EQ(VarcamStreamVideoControl(camera_, 3, window(0x100)), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorInvalidArgument);

  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr), 1);
  EXPECT_EQ(VarcamGetStreamState(camera_, 0), VarcamStateStopped);
  float fps = -1;
  ASSERT_EQ(VarcamQueryDisplayFrameRate(camera_, &fps), 1);
  EXPECT_EQ(fps, 0.0f);
  EXPECT_EQ(VarcamDestroyDisplayWindow(camera_), 1);
  EXPECT_EQ(VarcamGetDisplayWindowHwnd(camera_), nullptr);
}

TEST_F(StreamTest, TakeVideoNeedsARunningStream) {
  std::vector<std::uint8_t> buffer(160 * 240);
  EXPECT_EQ(VarcamTakeVideo(camera_, 1, buffer.data()), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorNotStreaming);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  EXPECT_EQ(VarcamTakeVideo(camera_, 0, buffer.data()), 0);
  EXPECT_EQ(VarcamTakeVideo(camera_, 1, buffer.data()), 1);
}

TEST_F(StreamTest, TakeVideoFailsWhenTheCameraStalls) {
  vzsim::setTakeVideoTimeout(20);
  vzsim::setStalled(true);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  EXPECT_EQ(VarcamTakeVideo(camera_, 1, nullptr), 0);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorTimeout);
  vzsim::setStalled(false);
  vzsim::setTakeVideoTimeout(10000);
  EXPECT_EQ(VarcamTakeVideo(camera_, 1, nullptr), 1);
}

TEST_F(StreamTest, StoppingTheStreamEndsAWaitingTakeVideo) {
  vzsim::setPacing(vzsim::Pacing::Held);  // no frame will come
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  int result = -1;
  std::uint32_t error = 0;
  std::thread waiter([&] {
    result = VarcamTakeVideo(camera_, 1, nullptr);
    error = VarcamGetLastError();
  });
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr), 1);
  waiter.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(error == vzsim::ErrorAborted || error == vzsim::ErrorNotStreaming) << error;
}

TEST_F(StreamTest, TakeVideoCopiesConsecutiveFramesMadeAtTheCurrentSettings) {
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  setProperty(camera_, PropExposure, 3.0f);
  vzsim::clearJournal();
  const std::size_t frameBytes = 160 * 120;
  std::vector<std::uint8_t> buffer(frameBytes * 3, 0xEE);
  ASSERT_EQ(VarcamTakeVideo(camera_, 3, buffer.data()), 1);
  std::vector<std::uint64_t> numbers;
  for (const vzsim::JournalEntry& e : vzsim::journal()) {
    if (e.function != "frame" || e.target != "TakeVideo") continue;
    numbers.push_back(e.frameNumber);
    EXPECT_EQ(e.properties.at(PropExposure), 3.0f);
    EXPECT_EQ(e.format.width, 320u);
  }
  ASSERT_EQ(numbers.size(), 3u);
  EXPECT_EQ(numbers[1], numbers[0] + 1);
  EXPECT_EQ(numbers[2], numbers[1] + 1);
  // Without noise the three frames are the same picture, and the same as a
  // frame taken later at these settings.
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + frameBytes, buffer.begin() + 2 * frameBytes));
  const Frame later = grab(camera_);
  EXPECT_TRUE(std::equal(later.bytes.begin(), later.bytes.end(), buffer.begin()));
  setProperty(camera_, PropExposure, 6.0f);
  const Frame brighter = grab(camera_);
  EXPECT_GT(centreMean(brighter), centreMean(later) + 5.0);
  EXPECT_EQ(VarcamTakeVideo(camera_, 2, nullptr), 1);  // discarded
}

TEST_F(StreamTest, CallbacksRunOnTheStreamingThreadNeverInTheCaller) {
  vzsim::setPacing(vzsim::Pacing::Held);
  Recorder raw, rgb;
  const int rawId = VarcamAddStreamingCallback(camera_, &Recorder::streaming, &raw);
  const int rgbId = VarcamAddRgbPreviewCallback(camera_, &Recorder::rgb, &rgb, VarcamRgb24);
  ASSERT_GE(rawId, 0);
  ASSERT_GE(rgbId, 0);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplayGdi, window(0x300)), 1);
  EXPECT_EQ(raw.count(), 0);  // nothing synchronous
  ASSERT_TRUE(vzsim::advanceFrames(1, 3));
  EXPECT_EQ(raw.count(), 3);
  EXPECT_EQ(rgb.count(), 3);
  EXPECT_EQ(vzsim::framesDelivered(1), 3u);
  std::set<std::thread::id> all = raw.threads;
  all.insert(rgb.threads.begin(), rgb.threads.end());
  ASSERT_EQ(all.size(), 1u);
  EXPECT_NE(*all.begin(), std::this_thread::get_id());
  EXPECT_EQ(raw.lastFrame.size(), 160u * 120u);
  EXPECT_EQ(rgb.lastFrame.size(), 160u * 120u * 3u);
  EXPECT_EQ(VarcamRemoveStreamingCallback(camera_, rawId), 1);
  EXPECT_EQ(VarcamRemoveStreamingCallback(camera_, rawId), 0);
  EXPECT_EQ(VarcamRemoveRgbPreviewCallback(camera_, rawId + rgbId + 10), 0);
}

TEST_F(StreamTest, RgbPreviewCallbacksMustExpectThePreviewFormat) {
  Recorder r;
  int format = -1;
  ASSERT_EQ(VarcamQueryRgbPreviewPixelFormat(camera_, &format), 1);
  EXPECT_EQ(format, VarcamRgb24);
  EXPECT_EQ(VarcamAddRgbPreviewCallback(camera_, &Recorder::rgb, &r, VarcamRgb32), -1);
  EXPECT_EQ(VarcamGetLastError(), vzsim::ErrorInvalidArgument);
  EXPECT_EQ(VarcamAddStreamingCallback(camera_, nullptr, &r), -1);
}

// Blocks in its first call until released, and notes whether the removal
// running meanwhile on another thread returned before the call ended.
struct BlockingCallback {
  std::mutex mutex;
  std::condition_variable cv;
  bool entered = false;
  bool release = false;
  std::atomic<bool> removeStarted{false};
  std::atomic<bool> removeReturned{false};
  bool removalSeenDuringCall = false;
  std::atomic<int> calls{0};

  static void VARCAM_CALL call(void* context, std::uint8_t*, std::uint32_t) {
    auto* self = static_cast<BlockingCallback*>(context);
    if (self->calls++ > 0) return;
    std::unique_lock lock(self->mutex);
    self->entered = true;
    self->cv.notify_all();
    self->cv.wait(lock, [&] { return self->release; });
    lock.unlock();
    // A removal that does not wait would return about now.
    for (int i = 0; i < 2000 && !self->removeReturned; ++i) std::this_thread::yield();
    self->removalSeenDuringCall = self->removeReturned;
  }
};

TEST_F(StreamTest, RemoveReturnsOnlyAfterTheInFlightCallFinished) {
  vzsim::setPacing(vzsim::Pacing::Held);
  BlockingCallback cb;
  const int id = VarcamAddStreamingCallback(camera_, &BlockingCallback::call, &cb);
  ASSERT_GE(id, 0);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  vzsim::releaseFrames(1);
  {
    std::unique_lock lock(cb.mutex);
    cb.cv.wait(lock, [&] { return cb.entered; });
  }
  std::thread remover([&] {
    cb.removeStarted = true;
    EXPECT_EQ(VarcamRemoveStreamingCallback(camera_, id), 1);
    cb.removeReturned = true;
  });
  while (!cb.removeStarted) std::this_thread::yield();
  {
    std::lock_guard lock(cb.mutex);
    cb.release = true;
  }
  cb.cv.notify_all();
  remover.join();
  EXPECT_FALSE(cb.removalSeenDuringCall);
  ASSERT_TRUE(vzsim::advanceFrames(1, 2));
  EXPECT_EQ(cb.calls.load(), 1);  // never called after the removal
}

struct SelfRemover {
  VarcamHandle camera = nullptr;
  int id = -1;
  int calls = 0;
  int removeResult = -1;
  static void VARCAM_CALL call(void* context, std::uint8_t*, std::uint32_t) {
    auto* self = static_cast<SelfRemover*>(context);
    ++self->calls;
    self->removeResult = VarcamRemoveStreamingCallback(self->camera, self->id);
  }
};

TEST_F(StreamTest, ACallbackCanRemoveItselfWithoutWaitingForItself) {
  vzsim::setPacing(vzsim::Pacing::Held);
  SelfRemover self{camera_};
  self.id = VarcamAddStreamingCallback(camera_, &SelfRemover::call, &self);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 3));
  EXPECT_EQ(self.calls, 1);
  EXPECT_EQ(self.removeResult, 1);
}

struct Guarded {
  static constexpr std::uint32_t kAlive = 0xA11CE;
  std::uint32_t magic = kAlive;
  std::atomic<int>* total = nullptr;
  ~Guarded() { magic = 0; }
  static void VARCAM_CALL raw(void* context, std::uint8_t*, std::uint32_t) {
    auto* self = static_cast<Guarded*>(context);
    EXPECT_EQ(self->magic, kAlive);
    ++*self->total;
  }
  static void VARCAM_CALL rgb(void* context, std::uint8_t* p, std::uint32_t n, std::uint32_t) {
    raw(context, p, n);
  }
};

TEST_F(StreamTest, CallbacksComeAndGoFromOtherThreadsWhileStreaming) {
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplay, window(0x400)), 1);
  std::atomic<int> total{0};
  auto churn = [&] {
    for (int i = 0; i < 60; ++i) {
      auto context = std::make_unique<Guarded>();
      context->total = &total;
      const int a = VarcamAddStreamingCallback(camera_, &Guarded::raw, context.get());
      const int b = VarcamAddRgbPreviewCallback(camera_, &Guarded::rgb, context.get(), VarcamRgb24);
      ASSERT_GE(a, 0);
      ASSERT_GE(b, 0);
      if (i % 4 == 0) vzsim::waitForFrames(1, 1);
      ASSERT_EQ(VarcamRemoveStreamingCallback(camera_, a), 1);
      ASSERT_EQ(VarcamRemoveRgbPreviewCallback(camera_, b), 1);
      // The context dies here: a call after the removal would touch it.
    }
  };
  std::thread t1(churn), t2(churn);
  t1.join();
  t2.join();
  EXPECT_GT(total.load(), 0);
}

struct Zeroer {
  static void VARCAM_CALL raw(void*, std::uint8_t* frame, std::uint32_t bytes) {
    std::memset(frame, 0, bytes);
  }
  static void VARCAM_CALL rgb(void*, std::uint8_t* pixels, std::uint32_t bytes, std::uint32_t) {
    std::memset(pixels, 77, bytes);
  }
};

TEST_F(StreamTest, TakeVideoGetsTheRawFrameBeforeCallbacksChangeIt) {
  ASSERT_GE(VarcamAddStreamingCallback(camera_, &Zeroer::raw, nullptr), 0);
  const Frame f = grab(camera_);
  EXPECT_GT(centreMean(f), 5.0);
}

TEST_F(StreamTest, DisplayShowsThePreviewAfterBothKindsOfCallbacks) {
  vzsim::setPacing(vzsim::Pacing::Held);
  Recorder raw;
  ASSERT_GE(VarcamAddStreamingCallback(camera_, &Recorder::streaming, &raw), 0);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplayGdi, window(0x500)), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  auto shown = vzsim::lastDisplayedFrame(1);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->width, 160u);
  EXPECT_EQ(shown->height, 120u);
  EXPECT_EQ(shown->bytesPerPixel, 3);
  EXPECT_EQ(shown->window, window(0x500));
  // The preview is the converter's picture of the raw frame.
  std::vector<std::uint8_t> converted(160 * 120 * 3);
  const ConversionRecord plain{1, 14};
  ASSERT_EQ(VarcamConvertFrameToRgb24(camera_, converted.data(), raw.lastFrame.data(), 160, 120,
                                      0, &plain),
            1);
  EXPECT_EQ(shown->pixels, converted);

  // Streaming callbacks change the raw frame the preview is made from, RGB
  // preview callbacks the preview itself.
  ASSERT_GE(VarcamAddStreamingCallback(camera_, &Zeroer::raw, nullptr), 0);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  shown = vzsim::lastDisplayedFrame(1);
  EXPECT_EQ(*std::max_element(shown->pixels.begin(), shown->pixels.end()), 0);
  ASSERT_GE(VarcamAddRgbPreviewCallback(camera_, &Zeroer::rgb, nullptr, VarcamRgb24), 0);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  shown = vzsim::lastDisplayedFrame(1);
  EXPECT_TRUE(std::all_of(shown->pixels.begin(), shown->pixels.end(),
                          [](std::uint8_t v) { return v == 77; }));
  float fps = 0;
  ASSERT_EQ(VarcamQueryDisplayFrameRate(camera_, &fps), 1);
  EXPECT_GT(fps, 0.0f);
}

TEST_F(StreamTest, PreviewFormatsGiveGreyBgrOrBgra) {
  vzsim::setPacing(vzsim::Pacing::Held);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamDisplay, window(0x600)), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto bgr = vzsim::lastDisplayedFrame(1);
  ASSERT_TRUE(vzsim::setRgbPreviewFormat(1, VarcamRgb32));
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto bgra = vzsim::lastDisplayedFrame(1);
  ASSERT_EQ(bgra->bytesPerPixel, 4);
  for (std::size_t p = 0; p < 160 * 120; p += 13) {
    EXPECT_EQ(bgra->pixels[4 * p + 2], bgr->pixels[3 * p + 2]);
    EXPECT_EQ(bgra->pixels[4 * p + 3], 255);
  }
  ASSERT_TRUE(vzsim::setRgbPreviewFormat(1, VarcamRgbGrey8));
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  const auto grey = vzsim::lastDisplayedFrame(1);
  ASSERT_EQ(grey->pixels.size(), 160u * 120u);
}

struct CallsIntoTheSdk {
  VarcamHandle camera = nullptr;
  std::atomic<int> takeVideo{-1};
  std::atomic<std::uint32_t> takeVideoError{0};
  std::atomic<int> stop{-1};
  static void VARCAM_CALL call(void* context, std::uint8_t*, std::uint32_t) {
    auto* self = static_cast<CallsIntoTheSdk*>(context);
    if (self->stop >= 0) return;
    self->takeVideo = VarcamTakeVideo(self->camera, 1, nullptr);
    self->takeVideoError = VarcamGetLastError();
    self->stop = VarcamStreamVideoControl(self->camera, VarcamStreamStop, nullptr);
  }
};

TEST_F(StreamTest, ACallbackMayStopItsStreamButNotWaitForItsFrames) {
  vzsim::setPacing(vzsim::Pacing::Held);
  CallsIntoTheSdk cb;
  cb.camera = camera_;
  ASSERT_GE(VarcamAddStreamingCallback(camera_, &CallsIntoTheSdk::call, &cb), 0);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 1));
  EXPECT_EQ(cb.takeVideo.load(), 0);
  EXPECT_EQ(cb.takeVideoError.load(), vzsim::ErrorBusy);
  EXPECT_EQ(cb.stop.load(), 1);
  EXPECT_EQ(VarcamGetStreamState(camera_, 0), VarcamStateStopped);
  // The stream starts again from outside.
  vzsim::setPacing(vzsim::Pacing::Free);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  EXPECT_EQ(VarcamTakeVideo(camera_, 1, nullptr), 1);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamStop, nullptr), 1);  // cb goes out of scope
}

TEST_F(StreamTest, CameraAutoExposureSteersTowardsTheTarget) {
  vzsim::setPacing(vzsim::Pacing::Held);
  const FrameFormatRecord f = format(320, 240, 2, false);
  ASSERT_EQ(VarcamSetFormat(camera_, &f, 3.75f), 1);  // room for long exposures
  setProperty(camera_, PropAutoExposureTarget, 120.0f);
  ASSERT_EQ(VarcamSetProperty(camera_, PropExposure, 2.0f, VARCAM_FLAG_CAMERA_AUTO_EXPOSURE), 1);
  Recorder raw;
  ASSERT_GE(VarcamAddStreamingCallback(camera_, &Recorder::streaming, &raw), 0);
  ASSERT_EQ(VarcamStreamVideoControl(camera_, VarcamStreamNoDisplay, nullptr), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 40));
  EXPECT_GT(getProperty(camera_, PropExposure), 2.0f);
  double sum = 0;
  for (std::uint8_t v : raw.lastFrame) sum += v;
  EXPECT_NEAR(sum / static_cast<double>(raw.lastFrame.size()), 120.0, 12.0);
  // Without the flag the exposure stays where it is put.
  setProperty(camera_, PropExposure, 2.0f);
  ASSERT_TRUE(vzsim::advanceFrames(1, 5));
  EXPECT_EQ(getProperty(camera_, PropExposure), 2.0f);
}

} // namespace
} // namespace simtest

namespace simtest {
namespace {

TEST_F(SimTest, EachCameraStreamsOnItsOwnThreadAndIsReleasedSeparately) {
  ASSERT_TRUE(vzsim::setCameras({smallColour(), vzsim::defaultModel(145)}));
  vzsim::setPacing(vzsim::Pacing::Held);
  VarcamHandle a = open(1);
  VarcamHandle b = open(2);
  Recorder ra, rb;
  ASSERT_GE(VarcamAddStreamingCallback(a, &Recorder::streaming, &ra), 0);
  ASSERT_GE(VarcamAddStreamingCallback(b, &Recorder::streaming, &rb), 0);
  ASSERT_EQ(VarcamStreamVideoControl(a, VarcamStreamNoDisplay, nullptr), 1);
  ASSERT_EQ(VarcamStreamVideoControl(b, VarcamStreamNoDisplay, nullptr), 1);
  ASSERT_TRUE(vzsim::advanceFrames(1, 2));
  ASSERT_TRUE(vzsim::advanceFrames(2, 1));
  EXPECT_EQ(ra.count(), 2);
  EXPECT_EQ(rb.count(), 1);
  EXPECT_EQ(ra.lastFrame.size(), 640u * 480u);
  EXPECT_EQ(rb.lastFrame.size(), 480u * 640u);
  EXPECT_NE(*ra.threads.begin(), *rb.threads.begin());
  EXPECT_EQ(VarcamStreamVideoControl(a, VarcamStreamStop, nullptr), 1);
  EXPECT_EQ(VarcamStreamVideoControl(b, VarcamStreamStop, nullptr), 1);
}

} // namespace
} // namespace simtest
