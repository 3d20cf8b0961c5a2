// TIF file cases that need Linux: writes that fail when a file size limit
// or a full device stops them, and files that only libtiff writes
// (min-is-white, compressed, and layouts the loader refuses).
#include "hostlib/host_imaging.h"
#include "hostimaging/host_imaging_control.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

namespace {

using hostimg_test::Picture;
using hostimg_test::pattern;

class TifFilesOnLinux : public ::testing::Test {
 protected:
  void SetUp() override { hostimg::reset(); }
  void TearDown() override { hostimg::reset(); }

  hostimg_test::ScratchDir dir;
};

HostFileDescriptor descriptor(std::int32_t width, std::int32_t height, std::int32_t samples) {
  return HostFileDescriptor{HOST_TIF_FORMAT_MODULE, width, height, samples, 8, 1};
}

// Lowers the file size limit for the test's duration; past it writes fail
// with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST_F(TifFilesOnLinux, AWriteErrorFailsThatWriteEveryLaterWriteAndTheClose) {
  HostFileDescriptor d = descriptor(64, 4, 1);
  const auto bytes = pattern(256);
  ASSERT_EQ(HostFileCreate(&d, dir.file("big.TIF").c_str(), 1), 0);
  EXPECT_EQ(HostFileWriteLines(&d, bytes.data(), 1), 0);
  EXPECT_EQ(HostFileWriteLines(&d, bytes.data() + 64, 1), 0);
  {
    FileSizeLimit limit(8 + 64 * 2 + 10);  // the header, two rows and part of the third
    EXPECT_EQ(HostFileWriteLines(&d, bytes.data() + 128, 1), hostimg::FileIoError);
  }
  // Room again, but the file has a hole: it stays failed.
  EXPECT_EQ(HostFileWriteLines(&d, bytes.data() + 192, 1), hostimg::FileIoError);
  EXPECT_EQ(HostFileClose(&d), hostimg::FileIoError);
  EXPECT_EQ(hostimg::openFiles(), 0u);
}

TEST_F(TifFilesOnLinux, AFailureWhileClosingIsReportedAfterAllRowsWereWritten) {
  HostFileDescriptor d = descriptor(64, 2, 1);
  const auto bytes = pattern(128);
  FileSizeLimit limit(8 + 64 * 2);  // no room for the directory written at close
  ASSERT_EQ(HostFileCreate(&d, dir.file("full.TIF").c_str(), 1), 0);
  ASSERT_EQ(HostFileWriteLines(&d, bytes.data(), 1), 0);
  ASSERT_EQ(HostFileWriteLines(&d, bytes.data() + 64, 1), 0);
  EXPECT_EQ(HostFileClose(&d), hostimg::FileIoError);
  EXPECT_EQ(hostimg::openFiles(), 0u);
}

TEST_F(TifFilesOnLinux, CreateFailsOnADeviceThatTakesNothing) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  HostFileDescriptor d = descriptor(4, 4, 1);
  EXPECT_EQ(HostFileCreate(&d, "/dev/full", 1), hostimg::FileIoError);  // the header is written at once
  EXPECT_EQ(hostimg::openFiles(), 0u);
}

TEST_F(TifFilesOnLinux, LoadsMinIsWhiteAndCompressedFiles) {
  struct Case {
    Picture picture;
    std::int32_t type;
  };
  const std::vector<Case> cases = {
      {{40, 30, 3, 8, hostimg_test::kTiffRgb, hostimg_test::kDeflate, pattern(3600, 4), {}}, 3},
      {{40, 30, 1, 8, hostimg_test::kMinIsBlack, hostimg_test::kLzw, pattern(1200, 5), {}}, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    hostimg_test::writeTiff(dir.file("c.tif"), c.picture);
    const std::int32_t id = HostImageLoadFile(dir.file("c.tif").c_str(), HOST_TIF_FORMAT_MODULE, 0);
    ASSERT_GT(id, 0) << hostimg::lastError();
    EXPECT_EQ(hostimg::imageInfo(id).type, c.type);
    EXPECT_EQ(hostimg::imageBytes(id), c.picture.bytes);
  }

  Picture white{2, 1, 1, 8, hostimg_test::kMinIsWhite, hostimg_test::kUncompressed, {0, 200}, {}};
  hostimg_test::writeTiff(dir.file("w.tif"), white);
  const std::int32_t w = HostImageLoadFile(dir.file("w.tif").c_str(), HOST_TIF_FORMAT_MODULE, 0);
  EXPECT_EQ(hostimg::imageBytes(w), (std::vector<std::uint8_t>{255, 55})) << "0 is white";
}

TEST_F(TifFilesOnLinux, LoadRefusesLayoutsItCannotRepresent) {
  const std::string path = dir.file("odd.tif");
  auto refused = [&](const Picture& p, std::uint16_t planar, std::uint16_t format, std::uint32_t tile) {
    hostimg_test::writeTiff(path, p, planar, format, tile);
    return HostImageLoadFile(path.c_str(), HOST_TIF_FORMAT_MODULE, 0);
  };
  EXPECT_EQ(refused({16, 1, 1, 1, hostimg_test::kMinIsBlack, 1, pattern(2), {}}, 1, 1, 0),
            hostimg::ErrorUnsupported) << "1-bit";
  EXPECT_EQ(refused({4, 2, 4, 8, hostimg_test::kTiffRgb, 1, pattern(32), {}}, 1, 1, 0),
            hostimg::ErrorUnsupported) << "RGBA";
  EXPECT_EQ(refused({4, 2, 1, 32, hostimg_test::kMinIsBlack, 1, pattern(32), {}}, 1,
                    hostimg_test::kFloat, 0), hostimg::ErrorUnsupported) << "float";
  EXPECT_EQ(refused({4, 2, 1, 16, hostimg_test::kMinIsBlack, 1, pattern(16), {}}, 1, hostimg_test::kSigned, 0),
            hostimg::ErrorUnsupported) << "signed";
  EXPECT_EQ(refused({4, 2, 3, 8, hostimg_test::kTiffRgb, 1, pattern(24), {}}, hostimg_test::kSeparatePlanes, 1, 0),
            hostimg::ErrorUnsupported) << "separate planes";
  EXPECT_EQ(refused({32, 32, 1, 8, hostimg_test::kMinIsBlack, 1, pattern(1024), {}}, 1, 1, 16),
            hostimg::ErrorUnsupported) << "tiles";
  EXPECT_EQ(hostimg::liveImages(), 0u);
}

}  // namespace
