// Images saved with saveTiff/savePng, read back independently.
#include "hostimaging/host_imaging_control.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace {

using hostimg_test::Picture;
using hostimg_test::pattern;

class PictureSave : public ::testing::Test {
 protected:
  void SetUp() override { hostimg::reset(); }
  void TearDown() override { hostimg::reset(); }
  hostimg_test::ScratchDir dir;
};

struct Expected {
  std::int32_t type;
  int samples;
  int bits;
  int tiffPhotometric;
  int pngColourType;
};

TEST_F(PictureSave, EveryPictureTypeReadsBackWithItsSamples) {
  const std::vector<Expected> cases = {
      {1, 1, 8, hostimg_test::kMinIsBlack, hostimg_test::kPngGrey},
      {2, 1, 8, hostimg_test::kTiffPalette, hostimg_test::kPngPalette},
      {3, 3, 8, hostimg_test::kTiffRgb, hostimg_test::kPngRgb},
      {4, 1, 16, hostimg_test::kMinIsBlack, hostimg_test::kPngGrey},
      {6, 1, 16, hostimg_test::kMinIsBlack, hostimg_test::kPngGrey},
      {8, 3, 16, hostimg_test::kTiffRgb, hostimg_test::kPngRgb},
      {9, 3, 16, hostimg_test::kTiffRgb, hostimg_test::kPngRgb}};
  const std::uint32_t width = 13;  // odd, so rows of 16-bit samples are not word multiples
  const std::uint32_t height = 6;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    const auto bytes = pattern(width * height * static_cast<std::size_t>(c.samples * c.bits / 8),
                               static_cast<unsigned>(c.type));
    const auto palette = c.type == 2 ? pattern(768, 11) : std::vector<std::uint8_t>{};
    const std::int32_t id = hostimg::createImage(width, height, c.type, bytes, palette);
    ASSERT_GT(id, 0);

    const std::string tif = dir.file("p.tif");
    ASSERT_TRUE(hostimg::saveTiff(id, tif)) << hostimg::lastError();
    const Picture t = hostimg_test::readTiff(tif);
    EXPECT_EQ(t.width, width);
    EXPECT_EQ(t.height, height);
    EXPECT_EQ(t.samples, c.samples);
    EXPECT_EQ(t.bits, c.bits);
    EXPECT_EQ(t.photometric, c.tiffPhotometric);
    EXPECT_EQ(t.bytes, bytes);
    EXPECT_EQ(t.palette, palette);

    const std::string png = dir.file("p.png");
    ASSERT_TRUE(hostimg::savePng(id, png)) << hostimg::lastError();
    const Picture p = hostimg_test::readPng(png);
    EXPECT_EQ(p.width, width);
    EXPECT_EQ(p.height, height);
    EXPECT_EQ(p.samples, c.samples);
    EXPECT_EQ(p.bits, c.bits);
    EXPECT_EQ(p.photometric, c.pngColourType);
    EXPECT_EQ(p.bytes, bytes);
    EXPECT_EQ(p.palette, palette);
  }
}

TEST_F(PictureSave, PaletteImagesWithoutTheirOwnPaletteSaveAGreyRamp) {
  const std::int32_t id = hostimg::createImage(2, 1, 2, {0, 200});
  ASSERT_TRUE(hostimg::savePng(id, dir.file("ramp.png")));
  const Picture p = hostimg_test::readPng(dir.file("ramp.png"));
  ASSERT_EQ(p.palette.size(), 768u);
  EXPECT_EQ(p.palette[200 * 3], 200);
  EXPECT_EQ(p.palette[200 * 3 + 2], 200);
}

TEST_F(PictureSave, RefusesThirtyTwoBitImagesUnknownImagesAndUnwritablePaths) {
  const std::int32_t wide = hostimg::createImage(1, 1, 5, {1, 2, 3, 4});
  EXPECT_FALSE(hostimg::saveTiff(wide, dir.file("w.tif")));
  EXPECT_FALSE(hostimg::savePng(wide, dir.file("w.png")));
  EXPECT_FALSE(hostimg::savePng(wide + 1, dir.file("none.png")));
  const std::int32_t grey = hostimg::createImage(1, 1, 1, {1});
  EXPECT_FALSE(hostimg::saveTiff(grey, dir.file("no/dir.tif")));
  EXPECT_FALSE(hostimg::savePng(grey, dir.file("no/dir.png")));
  EXPECT_FALSE(hostimg::lastError().empty());
}

}  // namespace
