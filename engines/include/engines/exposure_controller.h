// Keeps the camera's exposure and its video frame rate consistent: measures,
// per video format, the exposure band of every frame rate the camera offers,
// writes exposures that fit the current rate and otherwise moves the camera to
// the fastest rate that admits them (restarting the stream as it was running).
// Also measures one streamed frame for the driver's region auto exposure.
#pragma once

#include "sdk/varcam_sdk.h"

#include <cstdint>
#include <span>
#include <vector>

namespace engines {

class ExposureController {
 public:
  // Sets the camera's clock speed to its range maximum (skipped when the
  // range cannot be read), then measures the frame-rate bands. The camera is
  // not owned.
  explicit ExposureController(VarcamHandle camera);
  ExposureController(const ExposureController&) = delete;
  ExposureController& operator=(const ExposureController&) = delete;

  // The camera's exposure in ms, or -1.0 when it cannot be read.
  float getExposure() const;

  // Measures the exposure band of every frame rate for the current video
  // format and leaves the camera at the fastest rate with its exposure as
  // before. 1 success, 0 failure. Run it after every format change.
  int getFrameRateLimits();

  // 0 failure; 1 written at the current frame rate; 2 the frame rate was
  // changed and the stream restarted the way it was running. An exposure
  // above maxExposure by less than 0.1 ms is taken as maxExposure; one below
  // minExposure as minExposure.
  int setExposure(float exposure, std::uint32_t flags);

  // Measures the mean level of the rectangle (frame pixels before mirroring;
  // corner and size even) in one streamed frame and applies the exposure that
  // brings it to `target` (0..255, low 8 bits used). 0 on failure, else the
  // result of setExposure.
  int autoExposeRegion(int target, int x, int y, int width, int height);
  // autoExposeRegion, then `exposure` = getExposure(). Returns 1.
  int autoExposeRegionAndRead(int target, int x, int y, int width, int height, float& exposure);

  // Frees the rate tables; setExposure fails until getFrameRateLimits has
  // run again. Returns 1.
  int releaseTables();

  // The streaming callback of autoExposeRegion; context is its RegionSample.
  static void VARCAM_CALL samplingCallback(void* context, std::uint8_t* frame,
                                           std::uint32_t byteCount);

  int rateIndex() const { return rateIndex_; }
  int rateCount() const { return rateCount_; }
  std::span<const float> rates() const { return rates_; }
  std::span<const float> rateMaxExposure() const { return rateMaxExposure_; }
  std::span<const float> rateMinExposure() const { return rateMinExposure_; }

  // Read directly by the property accessors and range publishing.
  float minExposure = 0.0f;  // always 0
  float maxExposure = 0.0f;  // largest exposure of all, at rate index 0

 private:
  bool writeExposure(float exposure, std::uint32_t flags) const;
  int changeFrameRate(float exposure, std::uint32_t flags);

  VarcamHandle camera_ = nullptr;
  int rateIndex_ = 0;  // the rate the camera is set to
  int rateCount_ = 0;
  std::vector<float> rates_;            // in the camera's order, slowest first
  std::vector<float> rateMaxExposure_;  // largest exposure at rates_[i]
  std::vector<float> rateMinExposure_;  // below it a faster rate is chosen
};

}  // namespace engines
