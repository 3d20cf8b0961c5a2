// The software pass-through through its exports: open, paint and close
// around a snapshot taken by the host's commands.
#include "library_fixture.h"

#include "driver/acq_control.h"

#include <vector>

namespace {

using PassThroughExports = LibraryTest;

TEST_F(PassThroughExports, PaintsTheReducedSnapshotAndCloses) {
  ASSERT_EQ(acq->open(), 0);
  ASSERT_EQ(acq->control(ACQCMD_STREAM_CONTROL, 10, nullptr), 0);
  ASSERT_GT(acq->control(ACQCMD_IMAGE_WIDTH, 0, nullptr), 0);
  const std::int32_t width = acq->control(ACQCMD_IMAGE_WIDTH, 0, nullptr);
  const std::int32_t height = acq->control(ACQCMD_IMAGE_HEIGHT, 0, nullptr);
  const std::int32_t factor = width < 800 ? 2 : 4;

  std::int32_t w = 0, h = 0;
  ASSERT_EQ(acq->softPassThruOpen(3, 4, &w, &h), 0);
  EXPECT_EQ(w, width / factor);
  EXPECT_EQ(h, height / factor);
  ASSERT_NE(acq->control(ACQCMD_SNAP, 1, nullptr), -1);
  acq->control(ACQCMD_SNAP_STATUS, 0, nullptr);

  auto* dc = reinterpret_cast<struct HDC__*>(std::uintptr_t{0x99});
  EXPECT_EQ(acq->softPassThru(dc), 0);
  EXPECT_EQ(acq->control(ACQCMD_GREY_MODE | ACQ_QUERY, 0, nullptr), 0) << "grey mode restored";
  ASSERT_EQ(platform::headless::bitmapDrawCount(), 1u);
  const auto draw = platform::headless::bitmapDraws().back();
  EXPECT_EQ(draw.x, 3);
  EXPECT_EQ(draw.y, 4);
  EXPECT_EQ(draw.scanLines, static_cast<std::uint32_t>(h));

  // The same snapshot as a whole image: display row i, column j is its
  // pixel (factor j, factor i), red byte.
  const std::int32_t image = acq->getImage(-1);
  ASSERT_GE(image, 0);
  const std::size_t rowBytes = static_cast<std::size_t>((w + 3) & ~3);
  for (std::int32_t i = 0; i < h; i += 11)
    for (std::int32_t j = 0; j < w; j += 7)
      ASSERT_EQ(draw.bits[static_cast<std::size_t>(h - 1 - i) * rowBytes + static_cast<std::size_t>(j)],
                hostimg::pixel(image, factor * j, factor * i).at(0))
          << i << ", " << j;

  EXPECT_EQ(acq->softPassThruClose(), 0);
  EXPECT_EQ(acq->softPassThruClose(), 0);
  EXPECT_EQ(platform::headless::livePaletteCount(), 0u);
  EXPECT_EQ(acq->softPassThru(dc), 0);
  EXPECT_EQ(platform::headless::bitmapDrawCount(), 1u);
}

} // namespace
