#include "engines/bmp_reader.h"

#include "support/bmp_files.h"

#include <gtest/gtest.h>

namespace engines {
namespace {

using vxtest::BmpHeader;
using vxtest::bmpBytes;
using vxtest::BmpFolder;

std::vector<std::uint8_t> ramp(std::size_t n) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return v;
}

class BmpReaderTest : public ::testing::Test {
 protected:
  // A bitmap that a rejected read must leave as it is.
  void SetUp() override {
    previous.pixels = {1, 2, 3};
    previous.width = 4;
    previous.height = 1;
  }
  void expectRejected(const std::string& path) {
    Bitmap24 bitmap = previous;
    EXPECT_EQ(readBmp24(path.c_str(), bitmap), -1) << path;
    EXPECT_EQ(bitmap.pixels, previous.pixels);
    EXPECT_EQ(bitmap.width, previous.width);
    EXPECT_EQ(bitmap.height, previous.height);
  }
  BmpFolder folder;
  Bitmap24 previous;
};

TEST_F(BmpReaderTest, ReadsRowsInFileOrderStraightAfterTheHeaders) {
  const auto pixels = ramp(32 * 2 * 3);
  // The pixel-data offset field is not used: the pixels follow the 54 bytes.
  const std::string path = folder.write("a.bmp", bmpBytes({32, 2, 24, 1000}, pixels));
  Bitmap24 bitmap = previous;
  ASSERT_EQ(readBmp24(path.c_str(), bitmap), 1);
  EXPECT_EQ(bitmap.width, 32);
  EXPECT_EQ(bitmap.height, 2);
  EXPECT_EQ(bitmap.pixels, pixels);
}

TEST_F(BmpReaderTest, RejectsWidthsThatAreNotPositiveMultiplesOfFour) {
  expectRejected(folder.write("w30.bmp", bmpBytes({30, 2, 24}, ramp(30 * 2 * 3))));
  expectRejected(folder.write("w0.bmp", bmpBytes({0, 2, 24}, {})));
  expectRejected(folder.write("wneg.bmp", bmpBytes({-4, 2, 24}, ramp(64))));
}

TEST_F(BmpReaderTest, RejectsOtherBitCounts) {
  expectRejected(folder.write("b32.bmp", bmpBytes({4, 1, 32}, ramp(16))));
  expectRejected(folder.write("b8.bmp", bmpBytes({4, 1, 8}, ramp(16))));
}

TEST_F(BmpReaderTest, RejectsHeightsOfZeroOrLess) {
  expectRejected(folder.write("h0.bmp", bmpBytes({4, 0, 24}, {})));
  expectRejected(folder.write("hneg.bmp", bmpBytes({4, -2, 24}, ramp(24))));
}

TEST_F(BmpReaderTest, RejectsFilesShorterThanHeadersOrPixels) {
  auto full = bmpBytes({8, 2, 24}, ramp(8 * 2 * 3));
  expectRejected(folder.write("empty.bmp", {}));
  expectRejected(folder.write("head.bmp", std::vector<std::uint8_t>(full.begin(), full.begin() + 40)));
  expectRejected(folder.write("head53.bmp", std::vector<std::uint8_t>(full.begin(), full.begin() + 53)));
  expectRejected(folder.write("pix.bmp", std::vector<std::uint8_t>(full.begin(), full.end() - 1)));
}

TEST_F(BmpReaderTest, RejectsPixelCountsBeyondThirtyTwoBits) {
  // 65536 x 65536 pixels: the pixel count wraps to 0 in 32 bits.
  expectRejected(folder.write("wrap.bmp", bmpBytes({65536, 65536, 24}, ramp(48))));
  expectRejected(folder.write("huge.bmp", bmpBytes({0x7FFFFFFC, 0x7FFFFFFF, 24}, ramp(48))));
}

TEST_F(BmpReaderTest, RejectsMissingFilesAndEmptyPaths) {
  expectRejected((folder.path() / "missing.bmp").string());
  expectRejected("");
  Bitmap24 bitmap = previous;
  EXPECT_EQ(readBmp24(nullptr, bitmap), -1);
  EXPECT_EQ(bitmap.pixels, previous.pixels);
}

}  // namespace
}  // namespace engines
