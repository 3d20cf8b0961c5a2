// The vector loops of the line copier and of the frame sum give the plain
// loops' bytes: every start and length of long rows, colour and grey, and
// sums and divisions of random planes for every divisor kind. Where the
// processor has no AVX2 both levels take the plain loops.
#include "transfer_fixture.h"

#include "base/vector_level.h"
#include "driver/frame_sum.h"
#include "driver/image_transfer.h"
#include "driver/snapshot_rows.h"

#include <array>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Restores the full vector level however a test ends.
struct FullLevelAfterwards {
  ~FullLevelAfterwards() { vx::limitVectorLevel(vx::VectorLevel::Avx512); }
};

constexpr vx::VectorLevel kLevels[] = {vx::VectorLevel::Scalar, vx::VectorLevel::Avx2};

std::uint32_t nextRandom(std::uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

using TransferKernels = TransferTest;

TEST_F(TransferKernels, LineCopierMatchesEveryPixelForEveryStartAndLength) {
  FullLevelAfterwards restore;
  constexpr std::int32_t kWidth = 300;
  prepareSnapshot(kWidth, 2);
  std::uint32_t seed = 3;
  for (const vx::VectorLevel level : kLevels) {
    vx::limitVectorLevel(level);
    for (const bool colour : {true, false}) {
      const vx::RowLayout layout{colour, nullptr};
      const std::size_t bytesPerPixel = colour ? 3 : 1;
      for (int trial = 0; trial < 400; ++trial) {
        // Starts before the row and ends past it too: the copy is clipped.
        const auto x0 = static_cast<std::int32_t>(nextRandom(seed) % 120) - 4;
        const auto x1 = x0 + static_cast<std::int32_t>(nextRandom(seed) % (kWidth + 10));
        // An odd destination offset and guard bytes on both sides.
        const std::size_t offset = nextRandom(seed) % 5;
        Bytes out(offset + static_cast<std::size_t>(x1 - x0) * bytesPerPixel + 8, 0xEE);
        const vx::CopiedSpan span = vx::copyImageRow(driver, 1, x0, x1, out.data() + offset, layout);
        Bytes expected(out.size(), 0xEE);
        const std::int32_t lo = std::max(x0, 0), hi = std::min(x1, kWidth);
        const Bytes row = pictureRow(1, lo, std::max(lo, hi), colour);
        std::copy(row.begin(), row.end(),
                  expected.begin() + static_cast<std::ptrdiff_t>(offset + static_cast<std::size_t>(lo - x0) * bytesPerPixel));
        ASSERT_EQ(out, expected) << "x0 " << x0 << ", x1 " << x1 << (colour ? ", colour" : ", grey") << ", level "
                                 << vx::vectorLevelName(level);
        EXPECT_EQ(span.count, std::max(0, hi - lo));
      }
    }
  }
}

// Planes of 16-bit sums at most `largest`, for `planes` colours.
std::array<std::vector<std::uint16_t>, 3> randomPlanes(std::int32_t width, int planes, std::uint32_t largest,
                                                       std::uint32_t& seed) {
  std::array<std::vector<std::uint16_t>, 3> out;
  for (int c = 0; c < planes; ++c) {
    out[static_cast<std::size_t>(c)].resize(static_cast<std::size_t>(width));
    for (auto& v : out[static_cast<std::size_t>(c)]) {
      // Now and then the extremes.
      const std::uint32_t r = nextRandom(seed);
      v = static_cast<std::uint16_t>(r % 7 == 0 ? largest : r % 7 == 1 ? 0 : (r >> 8) % (largest + 1));
    }
  }
  return out;
}

vx::FrameAccumulator::PlaneRows rowsOf(std::array<std::vector<std::uint16_t>, 3>& planes, int count) {
  vx::FrameAccumulator::PlaneRows rows{};
  for (int c = 0; c < count; ++c)
    rows[static_cast<std::size_t>(c)] = reinterpret_cast<std::uint8_t*>(planes[static_cast<std::size_t>(c)].data());
  return rows;
}

TEST_F(TransferKernels, FrameSumAddsAndDividesLikeThePlainLoops) {
  FullLevelAfterwards restore;
  std::uint32_t seed = 11;
  for (const std::int32_t depth : {24, 8}) {
    const vx::SumPlan plan = vx::sumPlan(depth);
    const int samples = depth == 24 ? 3 : 1;
    for (const std::int32_t width : {1, 15, 16, 17, 31, 47, 48, 200, 1283}) {
      for (const std::int32_t frames : {1, 2, 16, 256}) {
        const vx::FrameAccumulator accumulator(plan, width, samples);
        const auto largest = static_cast<std::uint32_t>(accumulator.largestSum(frames));
        for (const std::uint32_t divisor : {1u, 2u, 3u, 7u, 17u, 255u, 256u, 1000u, 65535u, 70000u, 4000000000u}) {
          SCOPED_TRACE(testing::Message() << "depth " << depth << ", width " << width << ", frames " << frames
                                          << ", divisor " << divisor);
          auto planes = randomPlanes(width, plan.planes, largest - std::min(largest, 255u), seed);
          Bytes line(static_cast<std::size_t>(width * samples));
          for (auto& v : line) v = static_cast<std::uint8_t>(nextRandom(seed) >> 24);
          const vx::Divider divide(divisor, largest);

          auto vectorPlanes = planes;
          vx::limitVectorLevel(vx::VectorLevel::Avx2);
          accumulator.add(rowsOf(vectorPlanes, plan.planes), line.data());
          accumulator.addPlain(rowsOf(planes, plan.planes), line.data());
          ASSERT_EQ(vectorPlanes, planes);

          Bytes fast(static_cast<std::size_t>(width * samples) + 4, 0xEE), plain(fast);
          accumulator.divide(rowsOf(vectorPlanes, plan.planes), fast.data(), divide);
          accumulator.dividePlain(rowsOf(planes, plan.planes), plain.data(), divide);
          ASSERT_EQ(fast, plain);
        }
      }
    }
  }
}

TEST_F(TransferKernels, WholeSumsAgreeAtEveryLevel) {
  FullLevelAfterwards restore;
  // A colour and a grey sum of three frames, divided by 2: sums above 255
  // are capped. Each level's result image is compared whole.
  prepareSnapshot(133, 9);
  const auto again = [](vx::Driver& d) {
    d.snapshot.lineCursor = d.snapshot.height - 1;
    return true;
  };
  for (const std::int32_t grey : {0, 1}) {
    driver.capture.greyMode = grey;
    std::vector<Bytes> results;
    for (const vx::VectorLevel level : kLevels) {
      vx::limitVectorLevel(level);
      driver.snapshot.lineCursor = driver.snapshot.height - 1;
      const std::int32_t id = vx::addFrames(driver, 3, 2, nullptr, again);
      ASSERT_GE(id, 0);
      results.push_back(hostimg::imageBytes(id));
    }
    EXPECT_EQ(results[0], results[1]) << (grey != 0 ? "grey" : "colour");
    // Three frames of byte v over 2: 1.5 v, capped at 255.
    const std::size_t samples = grey != 0 ? 1 : 3;
    for (std::int32_t y = 0; y < 9; y += 4)
      for (std::int32_t x = 0; x < 133; x += 11) {
        const int expected = std::min(3 * pictureByte(x, y, 2) / 2, 255);
        EXPECT_EQ(results[1][(static_cast<std::size_t>(y) * 133 + static_cast<std::size_t>(x)) * samples], expected);
      }
  }
}

}  // namespace
