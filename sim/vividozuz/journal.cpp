#include "vividozuz/journal.h"

namespace vzsim {

const char* frameTargetName(FrameTarget target) {
  switch (target) {
  case FrameTarget::TakeVideo: return "TakeVideo";
  case FrameTarget::Streaming: return "streaming";
  case FrameTarget::RgbPreview: return "rgbPreview";
  case FrameTarget::Display: return "display";
  }
  return "?";
}

Journal::Journal(std::size_t frameCapacity, std::size_t callCapacity)
    : frameCapacity_(frameCapacity), callCapacity_(callCapacity) {}

void Journal::recordCall(int camera, const char* function, std::vector<std::string> args,
                         bool ok, std::int64_t result, std::uint32_t error) {
  std::lock_guard lock(mutex_);
  if (calls_.size() >= callCapacity_) calls_.pop_front();
  calls_.push_back(CallRecord{nextSequence_++, camera, function, std::move(args), ok, result,
                              error});
}

void Journal::recordFrame(FrameTarget target, const FrameStamp& stamp) {
  std::lock_guard lock(mutex_);
  if (!recordFrames_) return;
  if (frames_.empty()) frames_.resize(frameCapacity_);
  const std::size_t slot = (frameStart_ + frameCount_) % frameCapacity_;
  frames_[slot] = FrameRecord{nextSequence_++, target, stamp};
  if (frameCount_ < frameCapacity_) ++frameCount_;
  else frameStart_ = (frameStart_ + 1) % frameCapacity_;
}

std::vector<JournalEntry> Journal::entries() const {
  std::lock_guard lock(mutex_);
  std::vector<JournalEntry> out;
  out.reserve(calls_.size() + frameCount_);
  auto callIt = calls_.begin();
  std::size_t frameIndex = 0;
  auto emitCall = [&out](const CallRecord& c) {
    JournalEntry e;
    e.sequence = c.sequence;
    e.camera = c.camera;
    e.function = c.function;
    e.args = c.args;
    e.ok = c.ok;
    e.result = c.result;
    e.error = c.error;
    out.push_back(std::move(e));
  };
  auto emitFrame = [&out](const FrameRecord& f) {
    JournalEntry e;
    e.sequence = f.sequence;
    e.camera = f.stamp.camera;
    e.function = "frame";
    e.target = frameTargetName(f.target);
    e.frameNumber = f.stamp.frameNumber;
    e.format = f.stamp.format;
    e.frameRate = f.stamp.frameRate;
    for (std::size_t i = 0; i < kPropertyCount; ++i) {
      if (f.stamp.properties.presentMask & (1u << i)) {
        e.properties[kPropertyIds[i]] = f.stamp.properties.value[i];
      }
    }
    out.push_back(std::move(e));
  };
  while (callIt != calls_.end() || frameIndex < frameCount_) {
    const FrameRecord* frame =
        frameIndex < frameCount_ ? &frames_[(frameStart_ + frameIndex) % frameCapacity_] : nullptr;
    if (callIt != calls_.end() && (frame == nullptr || callIt->sequence < frame->sequence)) {
      emitCall(*callIt++);
    } else {
      emitFrame(*frame);
      ++frameIndex;
    }
  }
  return out;
}

void Journal::clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  frameStart_ = 0;
  frameCount_ = 0;
}

void Journal::setRecordFrames(bool on) {
  std::lock_guard lock(mutex_);
  recordFrames_ = on;
}

bool Journal::recordsFrames() const {
  std::lock_guard lock(mutex_);
  return recordFrames_;
}

} // namespace vzsim
