// A local driver state, open, with the platform, the simulated camera and
// the host imaging stand-in reset around every test. Snapshots are either
// written straight into the state's buffer (exact content) or taken from
// the simulated camera.
#pragma once

#include "camera/camera_session.h"
#include "driver/driver_state.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"
#include "hostimaging/host_imaging_control.h"
#include "vividozuz/sim_control.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::headless::reset();
    vzsim::reset();
    vzsim::setPacing(vzsim::Pacing::Free);
    hostimg::reset();
    state.driverOpen = 1;
  }

  void TearDown() override {
    if (state.session) {
      state.session->close(state);
      state.session.reset();
    }
    vzsim::reset();
    hostimg::reset();
  }

  // A width x height snapshot whose bytes all differ from their neighbours
  // (so that a wrong row, column or byte order shows), with the image size
  // that commands 0 and 1 report set to the same size.
  void prepareSnapshot(std::int32_t width, std::int32_t height) {
    ASSERT_TRUE(state.snapRgbBuffer.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3));
    std::uint32_t seed = 12345u;
    for (std::size_t i = 0; i < state.snapRgbBuffer.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      state.snapRgbBuffer[i] = static_cast<std::uint8_t>(seed >> 24);
    }
    setSnapshotSize(width, height);
  }

  // A snapshot whose every byte is `value`.
  void prepareFlatSnapshot(std::int32_t width, std::int32_t height, std::uint8_t value) {
    ASSERT_TRUE(state.snapRgbBuffer.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3));
    std::memset(state.snapRgbBuffer.data(), value, state.snapRgbBuffer.size());
    setSnapshotSize(width, height);
  }

  void setSnapshotSize(std::int32_t width, std::int32_t height) {
    state.snapWidth = width;
    state.snapHeight = height;
    state.lineCursor = height - 1;
    state.acquireRect = platform::Rect{0, 0, width, height};
  }

  // Buffer byte `channel` (0 blue, 1 green, 2 red) of pixel (x, y), y
  // counted from the top of the picture (the last row in memory).
  std::uint8_t pictureByte(std::int32_t x, std::int32_t y, int channel) const {
    const auto row = static_cast<std::size_t>(state.snapHeight - 1 - y);
    const auto index = (row * static_cast<std::size_t>(state.snapWidth) + static_cast<std::size_t>(x)) * 3 +
                       static_cast<std::size_t>(channel);
    return state.snapRgbBuffer[index];
  }

  // The picture's pixels x0 .. x1-1 of row y as the host receives them:
  // red, green, blue (colour) or the red byte (grey).
  std::vector<std::uint8_t> pictureRow(std::int32_t y, std::int32_t x0, std::int32_t x1, bool colour) const {
    std::vector<std::uint8_t> row;
    for (std::int32_t x = x0; x < x1; ++x) {
      row.push_back(pictureByte(x, y, 2));
      if (colour) {
        row.push_back(pictureByte(x, y, 1));
        row.push_back(pictureByte(x, y, 0));
      }
    }
    return row;
  }

  // One row of a host image as stored.
  static std::vector<std::uint8_t> imageRow(std::int32_t image, std::int32_t y) {
    const hostimg::ImageInfo info = hostimg::imageInfo(image);
    const std::vector<std::uint8_t> bytes = hostimg::imageBytes(image);
    const std::size_t rowBytes = bytes.size() / static_cast<std::size_t>(info.height);
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y));
    return {first, first + static_cast<std::ptrdiff_t>(rowBytes)};
  }

  // The names of the Host* calls made so far, in order.
  static std::vector<std::string> hostCalls() {
    std::vector<std::string> names;
    for (const auto& call : hostimg::callLog()) names.push_back(call.function);
    return names;
  }

  // Opens the simulated camera in the state, with a 640 x 480 acquisition
  // at the sensor's corner that commands 0 and 1 report as the image size.
  void openCamera(std::int32_t width = 640, std::int32_t height = 480) {
    state.session = std::make_unique<CameraSession>();
    ASSERT_EQ(state.session->open(state), 1);
    state.cameraHandle = state.sessionCameraHandle;
    state.acqWidth = state.acqSelectedWidth = width;
    state.acqHeight = state.acqSelectedHeight = height;
    state.acqOffsetX = state.acqOffsetY = 0;
    state.acqFactorX = state.acqFactorY = 1;
    state.acqBinningX = state.acqBinningY = 0;
    state.acquireRect = platform::Rect{0, 0, width, height};
  }

  vx::DriverState state;
};
