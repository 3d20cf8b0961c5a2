#include "vividozuz/faults.h"

#include <algorithm>
#include <array>

namespace vzsim {

namespace {

constexpr std::array<std::string_view, 28> kFunctions = {
    "VarcamNumCameras",          "VarcamEnumCameras",
    "VarcamCameraOpen",          "VarcamCameraClose",
    "VarcamGetCameraId",         "VarcamQueryVersion",
    "VarcamGetProperty",         "VarcamSetProperty",
    "VarcamPropertyRange",       "VarcamGetFormat",
    "VarcamSetFormat",           "VarcamEnumAvailableFrameRates",
    "VarcamStreamVideoControl",  "VarcamDestroyDisplayWindow",
    "VarcamQueryDisplayFrameRate", "VarcamGetDisplayWindowHwnd",
    "VarcamGetStreamState",      "VarcamGetVideoImageFormat",
    "VarcamTakeVideo",           "VarcamConvertFrameToRgb24",
    "VarcamSetupCustomMatrix",   "VarcamQueryRgbPreviewPixelFormat",
    "VarcamAddRgbPreviewCallback", "VarcamAddStreamingCallback",
    "VarcamRemoveRgbPreviewCallback", "VarcamRemoveStreamingCallback",
    "VarcamOneShotAutoExposure", "VarcamOneShotAutoWhiteBalance"};

thread_local std::uint32_t tLastError = 0;

} // namespace

bool isFaultableFunction(std::string_view name) {
  return std::find(kFunctions.begin(), kFunctions.end(), name) != kFunctions.end();
}

bool FaultTable::add(const std::string& function, int count, std::uint32_t errorCode,
                     int property) {
  if (!isFaultableFunction(function) || count <= 0) return false;
  std::lock_guard lock(mutex_);
  faults_.push_back(Fault{function, count, errorCode, property});
  return true;
}

void FaultTable::clear() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

bool FaultTable::take(std::string_view function, int property, std::uint32_t& errorCode) {
  std::lock_guard lock(mutex_);
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->function != function) continue;
    if (it->property >= 0 && it->property != property) continue;
    errorCode = it->errorCode;
    if (--it->remaining == 0) faults_.erase(it);
    return true;
  }
  return false;
}

void setLastError(std::uint32_t code) { tLastError = code; }
std::uint32_t lastError() { return tLastError; }

} // namespace vzsim
