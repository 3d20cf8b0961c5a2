// The base layer: the one debug-line and message-box facility, fixed-size
// texts and heap buffers.
#include "base/debug_log.h"
#include "base/fixed_text.h"
#include "base/heap_buffer.h"
#include "platform/headless_control.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace hl = platform::headless;

class DebugLines : public ::testing::Test {
 protected:
  void SetUp() override { hl::reset(); }
  void TearDown() override { hl::reset(); }
};

// Lines longer than any fixed buffer arrive whole, from every layer: the
// engines' lines go through the same facility as the driver's.
TEST_F(DebugLines, LongLinesArriveWholeAndFormatted) {
  const std::string path(700, 'p');
  vx::logLine("VARBASE EXPOSURE: %s: %d", path.c_str(), -7);
  ASSERT_EQ(hl::debugLines().size(), 1u);
  EXPECT_EQ(hl::debugLines()[0], "VARBASE EXPOSURE: " + path + ": -7");
  EXPECT_EQ(vx::formatText("%.2f|%u", 2.345, 7u), "2.35|7");  // 2.345 is 2.34500000000000019984
}

TEST_F(DebugLines, MessageBoxShowsTheFormattedTextWithItsCaptionAndOwner) {
  const platform::Window owner = hl::createHostWindow("Host", {0, 0, 100, 100});
  hl::queueMessageBoxAnswer(platform::IDCANCEL);
  EXPECT_EQ(vx::messageBoxf(owner, "ERROR", "Could not set Gamma: %d", 12), platform::IDCANCEL);
  ASSERT_EQ(hl::messageBoxes().size(), 1u);
  const hl::MessageBoxRecord box = hl::messageBoxes()[0];
  EXPECT_EQ(box.owner, owner);
  EXPECT_EQ(box.caption, "ERROR");
  EXPECT_EQ(box.text, "Could not set Gamma: 12");
  EXPECT_EQ(box.type, platform::MB_OK);
}

TEST(FixedText, TextThatDoesNotFitIsRefusedAndTheOldValueKept) {
  vx::FixedText<8> text;  // 7 characters and the terminator
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(text.assign("seven77"));
  EXPECT_EQ(text.view(), "seven77");
  EXPECT_FALSE(text.assign("eight888"));
  EXPECT_FALSE(text.assign(std::string_view("eight888")));
  EXPECT_FALSE(text.assign(static_cast<const char*>(nullptr)));
  EXPECT_EQ(text.view(), "seven77");
  text.clear();
  EXPECT_EQ(text.length(), 0u);
}

TEST(FixedText, CopyIfFitsWritesAllOrNothing) {
  char buffer[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_FALSE(vx::copyIfFits(buffer, sizeof buffer, "sixsix"));  // needs 7 bytes
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_TRUE(vx::copyIfFits(buffer, sizeof buffer, "five5"));
  EXPECT_STREQ(buffer, "five5");
  EXPECT_FALSE(vx::copyIfFits(nullptr, 6, "a"));
  EXPECT_FALSE(vx::copyIfFits(buffer, 0, ""));
}

TEST(HeapBuffer, ResizeKeepsTheStorageOfTheSameSizeAndReleaseEmpties) {
  vx::HeapBuffer<int> buffer;
  EXPECT_FALSE(buffer.allocate(0));
  EXPECT_TRUE(buffer.empty());
  ASSERT_TRUE(buffer.resize(16));
  int* const first = buffer.data();
  ASSERT_TRUE(buffer.resize(16));
  EXPECT_EQ(buffer.data(), first);
  ASSERT_TRUE(buffer.resize(17));
  EXPECT_EQ(buffer.size(), 17u);
  vx::HeapBuffer<int> moved = std::move(buffer);
  EXPECT_EQ(moved.size(), 17u);
  moved.release();
  EXPECT_FALSE(moved);
  EXPECT_EQ(moved.data(), nullptr);
}

} // namespace
