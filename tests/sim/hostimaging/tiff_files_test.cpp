// TIF files written through HostFileCreate/WriteLines/Close and images
// loaded with HostImageLoadFile. (tiff_files_linux_test.cpp has the cases
// that need Linux: failing disks and files only libtiff writes.)
#include "hostlib/host_imaging.h"
#include "hostimaging/host_imaging_control.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>

namespace {

using hostimg_test::Picture;
using hostimg_test::pattern;

class TifFiles : public ::testing::Test {
 protected:
  void SetUp() override { hostimg::reset(); }
  void TearDown() override { hostimg::reset(); }

  // Writes `rows` rows of the picture through the file functions; returns
  // the close result, or -100 - n when create or write n failed.
  std::int32_t writeThroughHost(const std::string& path, HostFileDescriptor descriptor,
                                const std::vector<std::uint8_t>& bytes, std::int32_t rows) {
    if (HostFileCreate(&descriptor, path.c_str(), 1) != 0) return -100;
    const auto rowBytes = static_cast<std::size_t>(descriptor.width * descriptor.samplesPerPixel);
    for (std::int32_t row = 0; row < rows; ++row) {
      if (HostFileWriteLines(&descriptor, bytes.data() + static_cast<std::size_t>(row) * rowBytes, 1) != 0) {
        HostFileClose(&descriptor);
        return -101 - row;
      }
    }
    return HostFileClose(&descriptor);
  }

  hostimg_test::ScratchDir dir;
};

HostFileDescriptor descriptor(std::int32_t width, std::int32_t height, std::int32_t samples) {
  return HostFileDescriptor{HOST_TIF_FORMAT_MODULE, width, height, samples, 8, 1};
}

TEST_F(TifFiles, GreyAndRgbFilesWrittenRowByRowLoadBackUnchanged) {
  for (const std::int32_t samples : {1, 3}) {
    SCOPED_TRACE(samples);
    const std::string path = dir.file("out" + std::to_string(samples) + ".TIF");
    const auto bytes = pattern(static_cast<std::size_t>(9 * 5 * samples), static_cast<unsigned>(samples));
    ASSERT_EQ(writeThroughHost(path, descriptor(9, 5, samples), bytes, 5), 0) << hostimg::lastError();
    EXPECT_EQ(hostimg::openFiles(), 0u);

    const Picture file = hostimg_test::readTiff(path);  // an independent reader agrees
    EXPECT_EQ(file.photometric, samples == 3 ? hostimg_test::kTiffRgb : hostimg_test::kMinIsBlack);
    EXPECT_EQ(file.bytes, bytes);

    const std::int32_t id = HostImageLoadFile(path.c_str(), HOST_TIF_FORMAT_MODULE, 0);
    ASSERT_GT(id, 0) << hostimg::lastError();
    const auto info = hostimg::imageInfo(id);
    EXPECT_EQ(info.type, samples == 3 ? 3 : 1);
    EXPECT_EQ(info.width, 9);
    EXPECT_EQ(info.height, 5);
    EXPECT_EQ(hostimg::imageBytes(id), bytes);
  }
}

TEST_F(TifFiles, WritesPastTheHeightFailAndWriteNothing) {
  const std::string path = dir.file("short.TIF");
  HostFileDescriptor d = descriptor(4, 2, 1);
  const auto bytes = pattern(12);
  ASSERT_EQ(HostFileCreate(&d, path.c_str(), 1), 0);
  ASSERT_EQ(HostFileWriteLines(&d, bytes.data(), 1), 0);
  EXPECT_EQ(HostFileWriteLines(&d, bytes.data() + 4, 2), hostimg::FileTooManyRows)
      << "two rows where one is left";
  ASSERT_EQ(HostFileWriteLines(&d, bytes.data() + 4, 1), 0);
  EXPECT_EQ(HostFileWriteLines(&d, bytes.data() + 8, 1), hostimg::FileTooManyRows);
  EXPECT_EQ(HostFileClose(&d), 0);
  EXPECT_EQ(hostimg_test::readTiff(path).bytes, std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8));
}

TEST_F(TifFiles, CloseWithRowsMissingReportsFailureAndStillCloses) {
  HostFileDescriptor d = descriptor(4, 3, 3);
  const auto bytes = pattern(36);
  EXPECT_EQ(writeThroughHost(dir.file("missing.TIF"), d, bytes, 2), hostimg::FileRowsMissing);
  EXPECT_EQ(hostimg::openFiles(), 0u);
  EXPECT_EQ(HostFileClose(&d), hostimg::FileNotOpen);
  EXPECT_EQ(HostFileWriteLines(&d, bytes.data(), 1), hostimg::FileNotOpen);
}

TEST_F(TifFiles, CreateRefusesBadDescriptorsModesPathsAndADescriptorStillOpen) {
  const std::string path = dir.file("x.TIF");
  std::vector<HostFileDescriptor> bad(7, descriptor(4, 4, 1));
  bad[0].formatModule = "IFFBMP32.DLL";
  bad[1].formatModule = nullptr;
  bad[2].width = 0;
  bad[3].height = 65536;
  bad[4].samplesPerPixel = 2;
  bad[5].bitsPerSample = 16;
  bad[6].one = 0;
  for (auto& d : bad) EXPECT_EQ(HostFileCreate(&d, path.c_str(), 1), hostimg::FileBadArgument);
  HostFileDescriptor good = descriptor(4, 4, 1);
  EXPECT_EQ(HostFileCreate(nullptr, path.c_str(), 1), hostimg::FileBadArgument);
  EXPECT_EQ(HostFileCreate(&good, nullptr, 1), hostimg::FileBadArgument);
  EXPECT_EQ(HostFileCreate(&good, path.c_str(), 2), hostimg::FileBadArgument);
  EXPECT_EQ(HostFileCreate(&good, dir.file("no/such/dir.TIF").c_str(), 1), hostimg::FileIoError);
  EXPECT_EQ(hostimg::openFiles(), 0u);

  HostFileDescriptor lowerCase{"ifftif32.dll", 4, 4, 1, 8, 1};
  ASSERT_EQ(HostFileCreate(&lowerCase, path.c_str(), 1), 0) << "module names ignore case";
  EXPECT_EQ(HostFileCreate(&lowerCase, dir.file("y.TIF").c_str(), 1), hostimg::FileAlreadyOpen);
  EXPECT_EQ(hostimg::openFiles(), 1u);
  EXPECT_EQ(HostFileClose(&lowerCase), hostimg::FileRowsMissing);
}

TEST_F(TifFiles, LoadsPaletteAndSixteenBitFiles) {
  Picture indexed{3, 2, 1, 8, hostimg_test::kTiffPalette, hostimg_test::kUncompressed, pattern(6), pattern(768, 3)};
  hostimg_test::writeTiff(dir.file("p.tif"), indexed);
  const std::int32_t p = HostImageLoadFile(dir.file("p.tif").c_str(), HOST_TIF_FORMAT_MODULE, 0);
  ASSERT_GT(p, 0) << hostimg::lastError();
  EXPECT_EQ(hostimg::imageInfo(p).type, 2);
  EXPECT_EQ(hostimg::imageBytes(p), indexed.bytes);
  std::array<std::uint8_t, 768> palette{};
  ASSERT_EQ(HostImageAttribute(p, HostAttributePalette, 0, 0, palette.data()), 0);
  EXPECT_TRUE(std::equal(palette.begin(), palette.end(), indexed.palette.begin()));

  struct Case {
    Picture picture;
    std::int32_t type;
  };
  const std::vector<Case> cases = {
      {{4, 3, 1, 16, hostimg_test::kMinIsBlack, hostimg_test::kUncompressed, pattern(24, 1), {}}, 6},
      {{4, 3, 3, 16, hostimg_test::kTiffRgb, hostimg_test::kUncompressed, pattern(72, 2), {}}, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    hostimg_test::writeTiff(dir.file("c.tif"), c.picture);
    const std::int32_t id = HostImageLoadFile(dir.file("c.tif").c_str(), HOST_TIF_FORMAT_MODULE, 0);
    ASSERT_GT(id, 0) << hostimg::lastError();
    EXPECT_EQ(hostimg::imageInfo(id).type, c.type);
    EXPECT_EQ(hostimg::imageBytes(id), c.picture.bytes);
  }
}

TEST_F(TifFiles, LoadRefusesWhatItCannotRepresentAndLeavesNoImage) {
  const std::string good = dir.file("good.tif");
  hostimg_test::writeTiff(good, {4, 4, 1, 8, hostimg_test::kMinIsBlack, hostimg_test::kUncompressed, pattern(16), {}});
  EXPECT_EQ(HostImageLoadFile(good.c_str(), "IFFBMP32.DLL", 0), hostimg::ErrorBadArgument);
  EXPECT_EQ(HostImageLoadFile(good.c_str(), nullptr, 0), hostimg::ErrorBadArgument);
  EXPECT_EQ(HostImageLoadFile(nullptr, HOST_TIF_FORMAT_MODULE, 0), hostimg::ErrorBadArgument);
  EXPECT_EQ(HostImageLoadFile(dir.file("absent.tif").c_str(), HOST_TIF_FORMAT_MODULE, 0),
            hostimg::ErrorUnreadable);
  std::ofstream(dir.file("text.tif")) << "this is not a TIFF file\n";
  EXPECT_EQ(HostImageLoadFile(dir.file("text.tif").c_str(), HOST_TIF_FORMAT_MODULE, 0),
            hostimg::ErrorUnreadable);
  EXPECT_EQ(hostimg::liveImages(), 0u);
}

}  // namespace
