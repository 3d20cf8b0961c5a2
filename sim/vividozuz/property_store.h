// The property table of one camera: value, flags, range and presence per SDK
// property id, with the range, read-only and flag checks of
// VarcamSetProperty. Not synchronised: the owning camera locks around it.
#pragma once

#include "vividozuz/sim_control.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>

namespace vzsim {

inline constexpr std::array<int, 18> kPropertyIds = {
    PropBrightness,   PropContrast,         PropHue,        PropSaturation,
    PropGamma,        PropExposure,         PropGain,       PropGainRed,
    PropGainBlue,     PropGainGreen1,       PropGainGreen2, PropCorrectionMatrix,
    PropFlipping,     PropColorFormat,      PropAutoExposureTarget,
    PropClockSpeed,   PropAuxSwitch1,       PropAuxSwitch2};
inline constexpr std::size_t kPropertyCount = kPropertyIds.size();

// Slot of a property id in kPropertyIds, or -1 for ids the SDK does not know.
int propertySlot(int property);

// Correction codes the camera and its converter know.
bool validCorrectionCode(int code);

// The values of every property at one moment, by slot; no allocation.
struct PropertyValues {
  std::array<float, kPropertyCount> value{};
  std::array<std::uint32_t, kPropertyCount> flags{};
  std::uint32_t presentMask = 0;

  bool present(int property) const;
  float get(int property, float fallback = 0.0f) const;
  std::uint32_t flagsOf(int property) const;
};

class PropertyStore {
public:
  void load(const std::map<int, PropertySpec>& specs);
  std::map<int, PropertySpec> specs() const;

  bool present(int property) const;
  const PropertySpec* find(int property) const;
  PropertySpec* find(int property);

  // SDK semantics; each returns an error code (ErrorNone on success).
  std::uint32_t get(int property, float& value, std::uint32_t& flags) const;
  std::uint32_t range(int property, float& minimum, float& maximum, float& defaultValue,
                      std::uint32_t& flags) const;
  // Checks presence, read-only, flags and range (a tiny tolerance, then the
  // value is clamped into the range). The stored value is returned in
  // `stored`.
  std::uint32_t set(int property, float value, std::uint32_t flags, float* stored = nullptr);

  // Control access: no checks beyond the id.
  bool forceValue(int property, float value);
  bool replace(int property, const PropertySpec& spec);

  PropertyValues snapshot() const;

private:
  std::array<PropertySpec, kPropertyCount> slots_{};
};

} // namespace vzsim
