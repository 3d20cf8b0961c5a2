// The property value commands: exposure (49, 84), global gain (106, and in
// hundredths 53), brightness (95) and gamma (97). Each reads or sets the
// preview or the acquisition value through the property accessors.
#include "driver/control_commands.h"

#include "camera/preview_stream.h"
#include "driver/acq_control.h"
#include "base/debug_log.h"
#include "camera/property_accessors.h"

#include <cmath>
#include <limits>

namespace vx {
namespace {

std::int32_t result(int accessorResult) { return accessorResult != 0 ? kControlOk : kControlFailed; }

std::int32_t setExposure(Driver& driver, bool acquire, float value) {
  return result(acquire ? setExposureAcquire(driver.camera, value) : setPreviewExposure(driver.camera, value));
}

std::int32_t setNumeric(Driver& driver, NumericProperty property, bool acquire, float value) {
  return result(acquire ? setAcquire(driver.camera, property, value) : setPreview(driver.camera, property, value));
}

float numeric(const Driver& driver, NumericProperty property, bool acquire) {
  return acquire ? getAcquire(driver.camera, property) : getPreview(driver.camera, property);
}

// Query: the selected value as a double. Set: the double narrowed and set.
template <class Get, class Set>
std::int32_t doubleValueCommand(const ControlCall& call, Get get, Set set) {
  auto* value = call.as<double>();
  if (value == nullptr) return kControlFailed;
  if (call.query) {
    *value = static_cast<double>(get());
    return kControlOk;
  }
  float narrowed = 0.0f;
  if (!narrowHostValue(*value, narrowed)) return kControlFailed;
  return set(narrowed);
}

} // namespace

bool narrowHostValue(double value, float& out) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (std::isnan(value) || value < -kLargest || value > kLargest) return false;
  out = static_cast<float>(value);
  return true;
}

std::int32_t hundredthsOf(float value) {
  const double hundredths = static_cast<double>(value) * 100.0;
  // A float holds about seven significant digits; closer than that to a
  // whole number is that number (1.05f is 1.04999995..., not 104.9...).
  const double nearest = std::round(hundredths);
  if (std::fabs(hundredths - nearest) <= std::fabs(hundredths) * 1e-6) return truncateToInt(nearest);
  return truncateToInt(hundredths);
}

double roundToHundredthsHalfUp(double value) {
  const double shifted = value >= 0.0 ? value + 0.005 : value - 0.005;
  return std::trunc(shifted * 100.0) * 0.01;
}

std::int32_t exposureCommand(Driver& driver, const ControlCall& call) {
  // The preview exposure command reports the preview value whatever the
  // parameter; both set through the selector.
  const bool acquire = call.acquireSelected();
  const bool reportAcquire = call.code == ACQCMD_EXPOSURE && acquire;
  return doubleValueCommand(
      call, [&] { return reportAcquire ? getExposureAcquire(driver.camera) : getExposurePreview(driver.camera); },
      [&](float v) { return setExposure(driver, acquire, v); });
}

std::int32_t gainCommand(Driver& driver, const ControlCall& call) {
  const bool acquire = call.acquireSelected();
  return doubleValueCommand(
      call, [&] { return numeric(driver, NumericProperty::GlobalGain, acquire); },
      [&](float v) { return setNumeric(driver, NumericProperty::GlobalGain, acquire, v); });
}

std::int32_t gainPercentCommand(Driver& driver, const ControlCall& call) {
  const bool acquire = call.acquireSelected();
  if (call.query) {
    auto* out = call.as<std::int32_t>();
    if (out == nullptr) return kControlFailed;
    *out = hundredthsOf(numeric(driver, NumericProperty::GlobalGain, acquire));
    return kControlOk;
  }
  // The parameter is both the value and the selector: 1 sets the
  // acquisition gain to 0.01, anything else the preview gain.
  const auto gain = static_cast<float>(call.parameter * 0.01);
  return setNumeric(driver, NumericProperty::GlobalGain, acquire, gain);
}

std::int32_t brightnessCommand(Driver& driver, const ControlCall& call) {
  const bool acquire = call.acquireSelected();
  auto* value = call.as<std::int32_t>();
  if (value == nullptr) return kControlFailed;
  if (call.query) {
    *value = truncateToInt(static_cast<double>(numeric(driver, NumericProperty::Brightness, acquire)));
    return kControlOk;
  }
  return setNumeric(driver, NumericProperty::Brightness, acquire, static_cast<float>(*value));
}

std::int32_t gammaCommand(Driver& driver, const ControlCall& call) {
  const bool acquire = call.acquireSelected();
  if (call.query)
    logLine(acquire ? "Getting the acquire Gamma" : "Getting the preview Gamma");
  else
    logLine(acquire ? "Setting the acquire Gamma" : "Setting the preview Gamma.");
  return doubleValueCommand(
      call,
      [&] { return roundToHundredthsHalfUp(static_cast<double>(numeric(driver, NumericProperty::Gamma, acquire))); },
      [&](float v) { return setNumeric(driver, NumericProperty::Gamma, acquire, v); });
}

} // namespace vx
