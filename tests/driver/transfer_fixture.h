// The image transfer, pass-through and time-lapse tests: a local driver in
// a freshly reset world (see support/driver_test.h), open as far as the
// exports are concerned. Snapshots are either written straight into the
// driver's buffer (exact content) or taken from the simulated camera.
#pragma once

#include "hostimaging/host_imaging_control.h"
#include "hostlib/host_imaging.h"
#include "support/driver_test.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class TransferTest : public vxtest::DriverTest {
 protected:
  void SetUp() override {
    DriverTest::SetUp();
    driver.driverOpen = 1;
  }

  // A width x height snapshot whose bytes all differ from their neighbours
  // (so that a wrong row, column or byte order shows), with the image size
  // that commands 0 and 1 report set to the same size.
  void prepareSnapshot(std::int32_t width, std::int32_t height) {
    ASSERT_TRUE(driver.snapshot.rgb.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3));
    std::uint32_t seed = 12345u;
    for (std::size_t i = 0; i < driver.snapshot.rgb.size(); ++i) {
      seed = seed * 1664525u + 1013904223u;
      driver.snapshot.rgb[i] = static_cast<std::uint8_t>(seed >> 24);
    }
    setSnapshotSize(width, height);
  }

  // A snapshot whose every byte is `value`.
  void prepareFlatSnapshot(std::int32_t width, std::int32_t height, std::uint8_t value) {
    ASSERT_TRUE(driver.snapshot.rgb.allocate(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3));
    std::memset(driver.snapshot.rgb.data(), value, driver.snapshot.rgb.size());
    setSnapshotSize(width, height);
  }

  void setSnapshotSize(std::int32_t width, std::int32_t height) {
    driver.snapshot.width = width;
    driver.snapshot.height = height;
    driver.snapshot.lineCursor = height - 1;
    driver.commands.acquireRect = platform::Rect{0, 0, width, height};
  }

  // Buffer byte `channel` (0 blue, 1 green, 2 red) of pixel (x, y), y
  // counted from the top of the picture (the last row in memory).
  std::uint8_t pictureByte(std::int32_t x, std::int32_t y, int channel) const {
    const auto row = static_cast<std::size_t>(driver.snapshot.height - 1 - y);
    const auto index = (row * static_cast<std::size_t>(driver.snapshot.width) + static_cast<std::size_t>(x)) * 3 +
                       static_cast<std::size_t>(channel);
    return driver.snapshot.rgb[index];
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

  // Opens the simulated camera as AcqOpen does, with a width x height
  // acquisition at the sensor's corner that commands 0 and 1 report as the
  // image size.
  void openAt(std::int32_t width = 640, std::int32_t height = 480) {
    driver.sessionHeld = true;
    ASSERT_EQ(openCamera(true), 1);
    state.acquisition.width = state.acquisition.selectedWidth = width;
    state.acquisition.height = state.acquisition.selectedHeight = height;
    state.acquisition.offsetX = state.acquisition.offsetY = 0;
    state.acquisition.factorX = state.acquisition.factorY = 1;
    state.acquisition.binningX = state.acquisition.binningY = 0;
    driver.commands.acquireRect = platform::Rect{0, 0, width, height};
  }
};
