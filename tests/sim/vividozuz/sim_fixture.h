// Shared set-up for the simulator tests: a fresh simulator per test, open
// cameras closed afterwards, and helpers to take raw frames and measure them.
#pragma once

#include "sdk/varcam_sdk.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace simtest {

struct Frame {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bytesPerPixel = 1;
  std::vector<std::uint8_t> bytes;

  std::uint8_t at(std::uint32_t x, std::uint32_t y) const {
    return bytes[(static_cast<std::size_t>(y) * width + x) * bytesPerPixel];
  }
};

// Which Bayer sites a measurement takes (RGGB, frame coordinates).
enum Sites { AllSites = 0xF, RedSites = 1, Green1Sites = 2, Green2Sites = 4, BlueSites = 8,
             GreenSites = Green1Sites | Green2Sites };

inline double mean(const Frame& f, std::uint32_t x0, std::uint32_t y0, std::uint32_t w,
                   std::uint32_t h, int sites = AllSites) {
  double sum = 0;
  double n = 0;
  for (std::uint32_t y = y0; y < y0 + h; ++y) {
    for (std::uint32_t x = x0; x < x0 + w; ++x) {
      const int site = 1 << ((y % 2) * 2 + (x % 2));
      if ((sites & site) == 0) continue;
      sum += f.at(x, y);
      n += 1;
    }
  }
  return n > 0 ? sum / n : 0.0;
}

inline double centreMean(const Frame& f, int sites = AllSites) {
  return mean(f, f.width / 4 & ~1u, f.height / 4 & ~1u, f.width / 2, f.height / 2, sites);
}

class SimTest : public ::testing::Test {
protected:
  void SetUp() override {
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
  }
  void TearDown() override {
    for (VarcamHandle h : opened_) VarcamCameraClose(h);
    vzsim::reset();
  }

  // Attaches these cameras and opens the first.
  VarcamHandle attachAndOpen(const std::vector<vzsim::CameraModel>& models) {
    EXPECT_TRUE(vzsim::setCameras(models));
    return open(1);
  }

  VarcamHandle open(int index) {
    VarcamHandle h = VarcamCameraOpen(index);
    EXPECT_NE(h, nullptr);
    if (h != nullptr) opened_.push_back(h);
    return h;
  }

  static FrameFormatRecord format(std::uint32_t width, std::uint32_t height,
                                  std::uint16_t factor = 1, bool binning = false,
                                  std::uint32_t x = 0, std::uint32_t y = 0,
                                  std::uint32_t pixelFormat = 0) {
    FrameFormatRecord f{};
    f.offsetX = x;
    f.offsetY = y;
    f.width = width;
    f.height = height;
    f.pixelFormat = pixelFormat;
    f.factorX = factor;
    f.factorY = factor;
    f.flagsX = binning ? 1 : 0;
    f.flagsY = binning ? 1 : 0;
    return f;
  }

  // One raw frame made after this call, through VarcamTakeVideo on a stream
  // without display (started and stopped here unless already running).
  static Frame grab(VarcamHandle h) {
    const bool wasRunning = VarcamGetStreamState(h, 0) != VarcamStateStopped;
    if (!wasRunning) {
      EXPECT_EQ(VarcamStreamVideoControl(h, VarcamStreamNoDisplay, nullptr), 1);
    }
    FrameFormatRecord f{};
    float rate = 0;
    EXPECT_EQ(VarcamGetFormat(h, &f, &rate), 1);
    Frame frame;
    frame.width = f.width / f.factorX;
    frame.height = f.height / f.factorY;
    frame.bytesPerPixel = f.pixelFormat == 1 ? 2 : 1;
    frame.bytes.resize(static_cast<std::size_t>(frame.width) * frame.height * frame.bytesPerPixel);
    EXPECT_EQ(VarcamTakeVideo(h, 1, frame.bytes.data()), 1) << VarcamGetLastError();
    if (!wasRunning) {
      EXPECT_EQ(VarcamStreamVideoControl(h, VarcamStreamStop, nullptr), 1);
    }
    return frame;
  }

  static void setProperty(VarcamHandle h, int property, float value) {
    ASSERT_EQ(VarcamSetProperty(h, property, value, 0), 1)
        << "property " << property << " error " << VarcamGetLastError();
  }

  static float getProperty(VarcamHandle h, int property) {
    float value = -1;
    std::uint32_t flags = 0;
    EXPECT_EQ(VarcamGetProperty(h, property, &value, &flags), 1);
    return value;
  }

  static std::vector<float> enumRates(VarcamHandle h) {
    const int n = VarcamEnumAvailableFrameRates(h, 0, nullptr);
    EXPECT_GT(n, 0);
    std::vector<float> rates(static_cast<std::size_t>(n > 0 ? n : 0));
    EXPECT_EQ(VarcamEnumAvailableFrameRates(h, n, rates.data()), n);
    return rates;
  }

  // A small colour camera (640 x 480 sensor) that frames are cheap on.
  static vzsim::CameraModel smallColour() { return vzsim::defaultModel(999); }

  std::vector<VarcamHandle> opened_;
};

} // namespace simtest
