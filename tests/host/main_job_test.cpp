// The main job (no subcommand), run once for the suite: its first picture is
// taken after the auto exposure and white balance, the pass-through picture
// has the reduced picture's own width, and every file it writes is named.
#include "host_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace host_test {
namespace {

class MainJob : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::make_unique<ScratchFolder>("MainJob");
    // A fixed exposure: the one-shot auto exposure gives up when no frame
    // reaches its measurement within three frame periods, which a sanitizer
    // build cannot promise. 35 ms is what it finds on the light grey patch.
    run_ = runHost({"--fast", "--seconds", "0.5", "--exposure", "35", "--out", "pictures"}, folder_->path());
  }
  static void TearDownTestSuite() {
    // The pictures stay for a look when a test failed.
    if (anyFailed_) folder_->keep();
    folder_.reset();
  }
  void TearDown() override { anyFailed_ = anyFailed_ || HasFailure(); }

  static std::string picture(const std::string& name) { return folder_->file("pictures/" + name); }

  static inline std::unique_ptr<ScratchFolder> folder_;
  static inline HostRun run_;
  static inline bool anyFailed_ = false;
};

TEST_F(MainJob, EndsWithSuccess) { EXPECT_EQ(run_.status, 0) << run_.out << run_.err; }

TEST_F(MainJob, FirstPreviewIsExposedAndBalanced) {
  const Picture preview = readPng(picture("preview.png"));
  ASSERT_EQ(preview.channels, 3) << run_.err;
  const double pixels = static_cast<double>(preview.width) * preview.height;
  double sums[3] = {0, 0, 0};
  for (std::size_t i = 0; i < preview.samples.size(); ++i) sums[i % 3] += preview.samples[i];
  const double red = sums[0] / pixels;
  const double green = sums[1] / pixels;
  const double blue = sums[2] / pixels;
  // Taken before the exposure and white balance, the chart came out at a
  // mean near 23 with green 1.65 times blue; at 35 ms and balanced on the
  // mid grey patch it is near 92 with the channels within a few percent.
  const double mean = (red + green + blue) / 3;
  EXPECT_GT(mean, 60.0);
  EXPECT_LT(mean, 190.0);
  EXPECT_GT(green / red, 0.8) << "red " << red << ", green " << green;
  EXPECT_LT(green / red, 1.2) << "red " << red << ", green " << green;
  EXPECT_GT(green / blue, 0.8) << "blue " << blue << ", green " << green;
  EXPECT_LT(green / blue, 1.2) << "blue " << blue << ", green " << green;
}

TEST_F(MainJob, PassThroughPictureHasTheReducedWidthWithoutPadding) {
  const Picture pass = readPng(picture("pass-through.png"));
  ASSERT_EQ(pass.channels, 1) << run_.err;
  // The capture is 1279 x 1023; from 800 pixels wide the factor is 4, so
  // the picture is 1279 / 4 = 319 (truncated) wide in rows of 320 bytes.
  EXPECT_EQ(pass.width, 319u);
  EXPECT_EQ(pass.height, 255u);
  EXPECT_NE(run_.out.find("reduced picture: 319 x 255"), std::string::npos) << run_.out;
  // The padding byte was saved as a black column; the chart's right edge
  // is light.
  std::uint32_t lastColumn = 0;
  for (std::uint32_t y = 0; y < pass.height; ++y) lastColumn += pass.samples[std::size_t{y} * pass.width + pass.width - 1];
  EXPECT_GT(lastColumn / pass.height, 40u);
}

TEST_F(MainJob, NamesEveryFileItWritesAndOnlyThose) {
  std::set<std::string> named;
  for (const auto& path : writtenFiles(run_.out)) {
    EXPECT_TRUE(std::filesystem::exists(folder_->path() / path)) << path;
    named.insert(std::filesystem::path(path).filename().string());
  }
  std::set<std::string> present;
  for (const auto& entry : std::filesystem::directory_iterator(folder_->path() / "pictures"))
    present.insert(entry.path().filename().string());
  EXPECT_EQ(named, present);
  for (const char* name : {"preview.png", "capture.png", "sum.png", "pass-through.png", "overlay-alpha.bmp",
                           "lapse1.TIF", "lapse2.TIF", "settings.ini"})
    EXPECT_EQ(named.count(name), 1u) << name;
}

TEST_F(MainJob, ShowsProgressOfLongWorkOnStderr) {
  // Progress stays visible when stdout goes to a file or a pipe.
  EXPECT_NE(run_.err.find("summing: #"), std::string::npos) << run_.err;
  EXPECT_NE(run_.err.find("saving image 2 ... saved"), std::string::npos) << run_.err;
}

} // namespace
} // namespace host_test
