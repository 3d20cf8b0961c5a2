#include "vividozuz/property_store.h"

#include <algorithm>
#include <cmath>

namespace vzsim {

int propertySlot(int property) {
  for (std::size_t i = 0; i < kPropertyCount; ++i) {
    if (kPropertyIds[i] == property) return static_cast<int>(i);
  }
  return -1;
}

bool validCorrectionCode(int code) {
  return code == 1 || code == 2 || code == 5 || code == 14 || code == 15;
}

bool PropertyValues::present(int property) const {
  const int slot = propertySlot(property);
  return slot >= 0 && (presentMask & (1u << slot)) != 0;
}

float PropertyValues::get(int property, float fallback) const {
  const int slot = propertySlot(property);
  if (slot < 0 || (presentMask & (1u << slot)) == 0) return fallback;
  return value[static_cast<std::size_t>(slot)];
}

std::uint32_t PropertyValues::flagsOf(int property) const {
  const int slot = propertySlot(property);
  if (slot < 0 || (presentMask & (1u << slot)) == 0) return 0;
  return flags[static_cast<std::size_t>(slot)];
}

void PropertyStore::load(const std::map<int, PropertySpec>& specs) {
  for (PropertySpec& slot : slots_) {
    slot = PropertySpec{};
    slot.present = false;
  }
  for (const auto& [id, spec] : specs) {
    const int slot = propertySlot(id);
    if (slot >= 0) slots_[static_cast<std::size_t>(slot)] = spec;
  }
}

std::map<int, PropertySpec> PropertyStore::specs() const {
  std::map<int, PropertySpec> out;
  for (std::size_t i = 0; i < kPropertyCount; ++i) {
    if (slots_[i].present) out[kPropertyIds[i]] = slots_[i];
  }
  return out;
}

const PropertySpec* PropertyStore::find(int property) const {
  const int slot = propertySlot(property);
  if (slot < 0) return nullptr;
  const PropertySpec& spec = slots_[static_cast<std::size_t>(slot)];
  return spec.present ? &spec : nullptr;
}

PropertySpec* PropertyStore::find(int property) {
  const int slot = propertySlot(property);
  if (slot < 0) return nullptr;
  PropertySpec& spec = slots_[static_cast<std::size_t>(slot)];
  return spec.present ? &spec : nullptr;
}

bool PropertyStore::present(int property) const { return find(property) != nullptr; }

std::uint32_t PropertyStore::get(int property, float& value, std::uint32_t& flags) const {
  const PropertySpec* spec = find(property);
  if (spec == nullptr) return ErrorNoSuchProperty;
  value = spec->value;
  flags = spec->flags;
  return ErrorNone;
}

std::uint32_t PropertyStore::range(int property, float& minimum, float& maximum,
                                   float& defaultValue, std::uint32_t& flags) const {
  const PropertySpec* spec = find(property);
  if (spec == nullptr) return ErrorNoSuchProperty;
  minimum = spec->minimum;
  maximum = spec->maximum;
  defaultValue = spec->defaultValue;
  flags = spec->flags;
  return ErrorNone;
}

std::uint32_t PropertyStore::set(int property, float value, std::uint32_t flags, float* stored) {
  PropertySpec* spec = find(property);
  if (spec == nullptr) return ErrorNoSuchProperty;
  if (spec->readOnly) return ErrorReadOnly;
  if ((flags & ~spec->writableFlags) != 0) return ErrorInvalidArgument;
  if (!std::isfinite(value)) return ErrorOutOfRange;
  // Values converted back and forth between scales arrive a rounding error
  // outside the range; those are taken as the range's bound.
  const float span = std::max({1.0f, std::fabs(spec->minimum), std::fabs(spec->maximum)});
  const float tolerance = span * 1e-5f;
  if (value < spec->minimum - tolerance || value > spec->maximum + tolerance) {
    return ErrorOutOfRange;
  }
  value = std::clamp(value, spec->minimum, spec->maximum);
  if (spec->integer) value = std::round(value);
  if (property == PropCorrectionMatrix && !validCorrectionCode(static_cast<int>(value))) {
    return ErrorInvalidArgument;
  }
  spec->value = value;
  spec->flags = (spec->flags & ~spec->writableFlags) | flags;
  if (stored != nullptr) *stored = value;
  return ErrorNone;
}

bool PropertyStore::forceValue(int property, float value) {
  PropertySpec* spec = find(property);
  if (spec == nullptr || !std::isfinite(value)) return false;
  spec->value = value;
  return true;
}

bool PropertyStore::replace(int property, const PropertySpec& spec) {
  const int slot = propertySlot(property);
  if (slot < 0) return false;
  slots_[static_cast<std::size_t>(slot)] = spec;
  return true;
}

PropertyValues PropertyStore::snapshot() const {
  PropertyValues out;
  for (std::size_t i = 0; i < kPropertyCount; ++i) {
    if (!slots_[i].present) continue;
    out.presentMask |= 1u << i;
    out.value[i] = slots_[i].value;
    out.flags[i] = slots_[i].flags;
  }
  return out;
}

} // namespace vzsim
