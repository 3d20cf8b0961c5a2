// Image store through the Host* functions: creation, locks and rows,
// attributes, release, conversion, line reduction and use from threads.
#include "hostlib/host_imaging.h"
#include "hostimaging/host_imaging_control.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

namespace {

class ImageStore : public ::testing::Test {
 protected:
  void SetUp() override { hostimg::reset(); }
  void TearDown() override { hostimg::reset(); }
};

TEST_F(ImageStore, CreatesZeroedImagesOfEveryTypeWithIncreasingIds) {
  const std::array<std::pair<int, std::size_t>, 8> types = {
      {{1, 1}, {2, 1}, {3, 3}, {4, 2}, {5, 4}, {6, 2}, {8, 6}, {9, 6}}};
  std::int32_t previous = 0;
  for (const auto& [type, bytesPerPixel] : types) {
    const std::int32_t id = HostImageCreate(5, 3, type, 0);
    ASSERT_GT(id, previous) << "type " << type;
    previous = id;
    const auto info = hostimg::imageInfo(id);
    EXPECT_TRUE(info.exists);
    EXPECT_EQ(info.width, 5);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.type, type);
    EXPECT_FALSE(info.finishedSet);
    EXPECT_EQ(hostimg::imageBytes(id), std::vector<std::uint8_t>(15 * bytesPerPixel, 0));
  }
  EXPECT_EQ(hostimg::liveImages(), types.size());
}

TEST_F(ImageStore, RejectsBadSizesAndTypes) {
  for (const auto& [w, h, type] : std::vector<std::array<std::int32_t, 3>>{
           {0, 4, 1}, {4, 0, 1}, {-1, 4, 1}, {65536, 1, 1}, {1, 65536, 3},
           {4, 4, 0}, {4, 4, 7}, {4, 4, 10}, {4, 4, -1}, {65535, 65535, 9}}) {
    EXPECT_LT(HostImageCreate(w, h, type, 0), 0) << w << " x " << h << " type " << type;
  }
  EXPECT_EQ(hostimg::liveImages(), 0u);
  EXPECT_GT(HostImageCreate(65535, 1, 1, 0), 0);  // the largest side the size attribute holds
}

TEST_F(ImageStore, RowsWrittenUnderWriteLockReadBackAndStayInBounds) {
  const std::int32_t id = HostImageCreate(7, 4, 3, 0);
  const HostAccess write = HostImageLock(id, HostAccessWrite, 0);
  ASSERT_NE(write, 0);
  EXPECT_EQ(HostImageProbe(write), 1);
  std::vector<std::uint8_t> expected;
  for (std::int32_t row = 0; row < 4; ++row) {
    std::uint8_t* line = HostImageLine(write, row);
    ASSERT_NE(line, nullptr);
    for (std::size_t i = 0; i < 21; ++i) {
      line[i] = static_cast<std::uint8_t>(row * 21 + static_cast<std::int32_t>(i));
      expected.push_back(line[i]);
    }
  }
  EXPECT_EQ(HostImageLine(write, -1), nullptr);
  EXPECT_EQ(HostImageLine(write, 4), nullptr);
  HostImageUnlock(write);
  EXPECT_EQ(HostImageLine(write, 0), nullptr) << "row pointer after unlock";
  EXPECT_EQ(HostImageProbe(write), 0);

  EXPECT_EQ(hostimg::imageBytes(id), expected);
  EXPECT_EQ(hostimg::pixel(id, 1, 2), (std::vector<std::uint32_t>{45, 46, 47}));
  EXPECT_TRUE(hostimg::pixel(id, 7, 0).empty());

  const HostAccess read = HostImageLock(id, HostAccessRead, 0);
  ASSERT_NE(read, 0);
  EXPECT_EQ(HostImageLine(read, 1)[0], 21);
  HostImageUnlock(read);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
}

TEST_F(ImageStore, LockHandlesAreUniqueAndNeverAnImageId) {
  const std::int32_t id = HostImageCreate(2, 2, 1, 0);
  EXPECT_EQ(HostImageLock(id + 1, HostAccessRead, 0), 0);
  EXPECT_EQ(HostImageLock(id, 0, 0), 0);
  EXPECT_EQ(HostImageLock(id, 3, 0), 0);
  const HostAccess a = HostImageLock(id, HostAccessRead, 0);
  const HostAccess b = HostImageLock(id, HostAccessWrite, 0);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(hostimg::imageInfo(id).lockCount, 2);
  EXPECT_EQ(HostImageLine(static_cast<HostAccess>(id), 0), nullptr) << "an image id is no handle";
  HostImageUnlock(a);
  HostImageUnlock(a);  // twice: no effect on the other lock
  EXPECT_EQ(hostimg::imageInfo(id).lockCount, 1);
  EXPECT_NE(HostImageLine(b, 1), nullptr);
  HostImageUnlock(b);
}

TEST_F(ImageStore, AttributesReportSizeTypeInfoPaletteAndKeepTheFinishedMark) {
  const std::int32_t id = HostImageCreate(65535, 2, 6, 0);
  std::uint32_t value = 0;
  ASSERT_EQ(HostImageAttribute(id, HostAttributeSize, 0, 0, &value), 0);
  EXPECT_EQ(value, 0x0002FFFFu);
  const std::int32_t small = HostImageCreate(300, 200, 1, 0);
  ASSERT_EQ(HostImageAttribute(small, HostAttributeSize, 0, 0, &value), 0);
  EXPECT_EQ(value, 300u | (200u << 16));
  ASSERT_EQ(HostImageAttribute(id, HostAttributeType, 0, 0, &value), 0);
  EXPECT_EQ(value, 6u);
  ASSERT_EQ(HostImageAttribute(id, HostAttributeInfo, 0, 0, &value), 0);
  EXPECT_EQ(value, 16u);

  std::array<std::uint8_t, 768> palette{};
  ASSERT_EQ(HostImageAttribute(small, HostAttributePalette, 0, 0, palette.data()), 0);
  EXPECT_EQ(palette[0], 0);
  EXPECT_EQ(palette[3 * 200 + 1], 200);
  EXPECT_EQ(palette[767], 255);

  ASSERT_EQ(HostImageAttribute(small, HostAttributeFinished, 1, 0, nullptr), 0);
  EXPECT_TRUE(hostimg::imageInfo(small).finishedSet);
  EXPECT_EQ(hostimg::imageInfo(small).finished, 1);

  // Unknown image or attribute, a get without out, a set with out: refused, nothing written.
  value = 0xDEADBEEF;
  EXPECT_LT(HostImageAttribute(small + 100, HostAttributeSize, 0, 0, &value), 0);
  EXPECT_LT(HostImageAttribute(small, 99, 0, 0, &value), 0);
  EXPECT_LT(HostImageAttribute(small, HostAttributeFinished, 1, 0, &value), 0);
  EXPECT_EQ(value, 0xDEADBEEF);
  EXPECT_LT(HostImageAttribute(small, HostAttributeSize, 0, 0, nullptr), 0);
}

TEST_F(ImageStore, ReleaseFreesTheImageButLiveLocksKeepTheirRows) {
  const std::int32_t plain = HostImageCreate(4, 4, 1, 0);
  HostImageRelease(plain);
  EXPECT_FALSE(hostimg::imageInfo(plain).exists);
  EXPECT_EQ(HostImageLock(plain, HostAccessRead, 0), 0);
  HostImageRelease(plain);  // twice: nothing happens

  const std::int32_t locked = HostImageCreate(4, 4, 1, 0);
  const HostAccess access = HostImageLock(locked, HostAccessWrite, 0);
  HostImageRelease(locked);
  EXPECT_EQ(hostimg::liveImages(), 0u);
  std::uint8_t* row = HostImageLine(access, 3);
  ASSERT_NE(row, nullptr);
  std::memset(row, 0xAB, 4);  // the sanitizers catch a freed row
  HostImageUnlock(access);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
}

TEST_F(ImageStore, ConvertsPaletteAndRgbImagesToGreyByLuminance) {
  std::vector<std::uint8_t> palette(768);
  for (std::size_t i = 0; i < 256; ++i) {  // index i shows red i, blue 255 - i
    palette[i * 3] = static_cast<std::uint8_t>(i);
    palette[i * 3 + 2] = static_cast<std::uint8_t>(255 - i);
  }
  const std::int32_t indexed = hostimg::createImage(3, 1, 2, {0, 100, 255}, palette);
  ASSERT_GT(indexed, 0);
  std::array<std::uint8_t, 768> reported{};
  ASSERT_EQ(HostImageAttribute(indexed, HostAttributePalette, 0, 0, reported.data()), 0);
  EXPECT_TRUE(std::equal(reported.begin(), reported.end(), palette.begin()));

  const HostAccess access = HostImageLock(indexed, HostAccessRead, 0);
  const std::int32_t grey = HostImageConvert(access, 1, 0);
  ASSERT_GT(grey, 0);
  EXPECT_NE(grey, indexed);
  EXPECT_EQ(hostimg::imageInfo(grey).type, 1);
  // 0.299 r + 0.114 b: (0, 255) -> 29.07, (100, 155) -> 47.57, (255, 0) -> 76.25
  EXPECT_EQ(hostimg::imageBytes(grey), (std::vector<std::uint8_t>{29, 48, 76}));
  EXPECT_LT(HostImageConvert(access, 3, 0), 0) << "only grey is a target";
  HostImageUnlock(access);
  EXPECT_LT(HostImageConvert(access, 1, 0), 0) << "unlocked handle";

  const std::int32_t rgb = hostimg::createImage(1, 1, 3, {0, 255, 0});
  const HostAccess rgbAccess = HostImageLock(rgb, HostAccessRead, 0);
  const std::int32_t fromRgb = HostImageConvert(rgbAccess, 1, 0);
  EXPECT_EQ(hostimg::imageBytes(fromRgb), std::vector<std::uint8_t>{150});
  HostImageUnlock(rgbAccess);

  const std::int32_t wide = HostImageCreate(2, 2, 6, 0);
  const HostAccess wideAccess = HostImageLock(wide, HostAccessRead, 0);
  EXPECT_LT(HostImageConvert(wideAccess, 1, 0), 0);
  HostImageUnlock(wideAccess);
}

TEST_F(ImageStore, GreyToGreyConversionIsAnIndependentCopy) {
  const std::int32_t source = hostimg::createImage(2, 1, 1, {10, 20});
  const HostAccess access = HostImageLock(source, HostAccessWrite, 0);
  const std::int32_t copy = HostImageConvert(access, 1, 0);
  HostImageLine(access, 0)[0] = 99;
  HostImageUnlock(access);
  EXPECT_EQ(hostimg::imageBytes(copy), (std::vector<std::uint8_t>{10, 20}));
}

TEST_F(ImageStore, CreateImageFromBytesChecksTheByteCount) {
  EXPECT_LT(hostimg::createImage(2, 2, 1, {1, 2, 3}), 0);
  EXPECT_LT(hostimg::createImage(1, 1, 1, {1}, std::vector<std::uint8_t>(768)), 0)
      << "a palette only for palette images";
  EXPECT_LT(hostimg::createImage(1, 1, 2, {1}, std::vector<std::uint8_t>(767)), 0);
  const std::int32_t id = hostimg::createImage(1, 1, 6, {0x34, 0x12});
  EXPECT_EQ(hostimg::pixel(id, 0, 0), std::vector<std::uint32_t>{0x1234});
}

TEST(LineReduce, TakesEveryFactorthPixelAndTreatsFactorZeroAsOne) {
  const std::vector<std::uint8_t> source = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  std::vector<std::uint8_t> out(5, 0xEE);
  HostLineReduce(out.data(), source.data(), 4, 3);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0, 3, 6, 9, 0xEE}));
  HostLineReduce(out.data(), source.data(), 5, 0);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0, 1, 2, 3, 4}));
  HostLineReduce(out.data(), source.data() + 5, 0, 1);
  EXPECT_EQ(out[0], 0) << "count 0 writes nothing";
}

TEST_F(ImageStore, ThreadsCreateLockWriteAndReleaseWithoutInterference) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 100;
  std::vector<std::vector<std::int32_t>> ids(kThreads);
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &ids, &mismatches] {
      for (int round = 0; round < kRounds; ++round) {
        const std::int32_t id = HostImageCreate(16, 8, 1, 0);
        ids[static_cast<std::size_t>(t)].push_back(id);
        const HostAccess access = HostImageLock(id, HostAccessWrite, 0);
        for (std::int32_t row = 0; row < 8; ++row) {
          std::memset(HostImageLine(access, row), t + 1, 16);
        }
        HostImageUnlock(access);
        if (hostimg::imageBytes(id) != std::vector<std::uint8_t>(128, static_cast<std::uint8_t>(t + 1))) {
          ++mismatches[static_cast<std::size_t>(t)];
        }
        HostImageRelease(id);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<std::int32_t> unique;
  for (const auto& list : ids) unique.insert(list.begin(), list.end());
  EXPECT_EQ(unique.size(), static_cast<std::size_t>(kThreads * kRounds));
  EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
  EXPECT_EQ(hostimg::liveImages(), 0u);
  EXPECT_EQ(hostimg::liveLocks(), 0u);
}

}  // namespace
