#include "vividozuz/camera_model.h"

#include <algorithm>
#include <cmath>

namespace vzsim {

namespace {

struct SensorRow {
  std::initializer_list<std::uint32_t> ids;
  SensorSize size;
};

// Sensor size per camera id, as the driver's resolution table expects it.
const SensorRow kSensorTable[] = {
    {{23, 141, 151, 156, 397}, {1600, 1200}},
    {{27, 139, 163, 395, 419}, {2048, 1536}},
    {{30, 32, 148, 150, 152, 158, 160, 161, 414, 417}, {1280, 1024}},
    {{68, 155, 164, 324, 411, 420}, {2080, 1536}},
    {{134}, {2208, 3000}},
    {{138, 154, 162, 165, 346, 394, 410, 418, 421}, {1392, 1040}},
    {{145, 149}, {480, 640}},
    {{146}, {1280, 1024}},
    {{147}, {480, 640}},
    {{384, 423, 464}, {1616, 1216}},
    {{390, 422}, {3000, 2208}},
    {{424, 448}, {2576, 1952}},
    {{456}, {3000, 2208}},
    {{461}, {1616, 1216}},
};

constexpr std::uint32_t kMonochromeId = 145;
constexpr float kDefaultRates[] = {3.75f, 7.5f, 15.0f, 30.0f, 60.0f, 120.0f, 200.0f};

PropertySpec range(float minimum, float maximum, float defaultValue) {
  PropertySpec spec;
  spec.minimum = minimum;
  spec.maximum = maximum;
  spec.defaultValue = defaultValue;
  spec.value = defaultValue;
  return spec;
}

std::uint32_t versionWord(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

} // namespace

SensorSize sensorSizeForId(std::uint32_t cameraId) {
  for (const SensorRow& row : kSensorTable) {
    if (std::find(row.ids.begin(), row.ids.end(), cameraId) != row.ids.end()) return row.size;
  }
  return {640, 480};
}

bool hasAuxSwitches(std::uint32_t cameraId) { return cameraId == 421 || cameraId == 346; }

FrameRateSpec frameRate(float rate) {
  FrameRateSpec spec;
  spec.rate = rate;
  if (rate > 0.0f) {
    const double period = 1000.0 / static_cast<double>(rate);
    spec.maxExposure = static_cast<float>(std::floor(period * 0.98 * 100.0) / 100.0);
  }
  return spec;
}

CameraModel defaultModel(std::uint32_t cameraId) {
  CameraModel model;
  model.cameraId = cameraId;
  const SensorSize sensor = sensorSizeForId(cameraId);
  model.sensorWidth = sensor.width;
  model.sensorHeight = sensor.height;
  model.serialNumber = 1000000u + cameraId * 10u + 1u;
  model.version.firmwareVersion = (1u << 8) | 5u;  // 1.5
  model.version.fpgaVersion = (2u << 8) | 3u;      // 2.3
  model.version.apiVersion = versionWord(1, 2, 3, 4);
  model.version.driverVersion = versionWord(2, 1, 0, 7);
  model.version.serialNumber = model.serialNumber;

  for (float rate : kDefaultRates) model.frameRates.push_back(frameRate(rate));

  auto& p = model.properties;
  p[PropBrightness] = range(-1.0f, 1.0f, 0.0f);
  p[PropContrast] = range(0.0f, 10.0f, 1.0f);
  p[PropHue] = range(-180.0f, 180.0f, 0.0f);
  p[PropSaturation] = range(0.0f, 2.0f, 1.0f);
  p[PropGamma] = range(0.1f, 4.0f, 1.0f);
  // The maximum here is the slowest rate's; the range query reports the
  // current rate's largest exposure instead.
  p[PropExposure] = range(model.minExposure, model.frameRates.front().maxExposure, 10.0f);
  p[PropExposure].writableFlags = VARCAM_FLAG_CAMERA_AUTO_EXPOSURE;
  p[PropGain] = range(1.0f, 7.999f, 1.0f);
  p[PropGainRed] = range(0.25f, 7.999f, 1.0f);
  p[PropGainBlue] = range(0.25f, 7.999f, 1.0f);
  p[PropGainGreen1] = range(0.25f, 7.999f, 1.0f);
  p[PropGainGreen2] = range(0.25f, 7.999f, 1.0f);
  p[PropCorrectionMatrix] = range(1.0f, 15.0f, 14.0f);
  p[PropCorrectionMatrix].integer = true;
  p[PropFlipping] = range(0.0f, 3.0f, 0.0f);
  p[PropFlipping].integer = true;
  p[PropColorFormat] = range(0.0f, 1.0f, 1.0f);
  p[PropColorFormat].readOnly = true;
  p[PropAutoExposureTarget] = range(0.0f, 255.0f, 170.0f);
  p[PropClockSpeed] = range(12.0f, 48.0f, 48.0f);
  if (hasAuxSwitches(cameraId)) {
    for (int aux : {PropAuxSwitch1, PropAuxSwitch2}) {
      p[aux] = range(0.0f, 1.0f, 0.0f);
      p[aux].integer = true;
      p[aux].writableFlags = VARCAM_FLAG_AUX_SWITCH_ON;
    }
  }
  if (cameraId == kMonochromeId) model = asMonochrome(std::move(model));
  return model;
}

CameraModel asMonochrome(CameraModel model) {
  model.colour = false;
  model.rgbPreviewFormat = VarcamRgbGrey8;
  for (int gain : {PropGainRed, PropGainBlue, PropGainGreen1, PropGainGreen2}) {
    model.properties.erase(gain);
  }
  auto format = model.properties.find(PropColorFormat);
  if (format != model.properties.end()) format->second.value = 0.0f;
  return model;
}

bool validRgbPreviewFormat(int format) {
  return format == VarcamRgbGrey8 || format == VarcamRgb24 || format == VarcamRgb32;
}

int bytesPerRgbPixel(int format) {
  switch (format) {
  case VarcamRgbGrey8: return 1;
  case VarcamRgb32: return 4;
  default: return 3;
  }
}

bool normaliseRates(std::vector<FrameRateSpec>& rates) {
  if (rates.empty()) return false;
  for (const FrameRateSpec& r : rates) {
    if (!(r.rate > 0.0f) || !std::isfinite(r.rate) || !(r.maxExposure > 0.0f) ||
        !std::isfinite(r.maxExposure)) {
      return false;
    }
  }
  std::stable_sort(rates.begin(), rates.end(),
                   [](const FrameRateSpec& a, const FrameRateSpec& b) { return a.rate < b.rate; });
  return true;
}

bool normaliseModel(CameraModel& model) {
  if (model.sensorWidth == 0 || model.sensorHeight == 0 || model.sensorWidth > 16384 ||
      model.sensorHeight > 16384) {
    return false;
  }
  if (!normaliseRates(model.frameRates)) return false;
  if (!validRgbPreviewFormat(model.rgbPreviewFormat)) return false;
  if (!(model.minExposure > 0.0f) || !(model.fullScaleExposureMs > 0.0f) ||
      !(model.rowReadoutMs >= 0.0f)) {
    return false;
  }
  model.version.serialNumber = model.serialNumber;

  auto& p = model.properties;
  for (auto it = p.begin(); it != p.end();) {
    if (!it->second.present) it = p.erase(it);
    else ++it;
  }
  if (!model.colour) {
    for (int gain : {PropGainRed, PropGainBlue, PropGainGreen1, PropGainGreen2}) p.erase(gain);
  }
  auto format = p.find(PropColorFormat);
  if (format != p.end()) {
    PropertySpec& spec = format->second;
    spec.readOnly = true;
    if (!model.colour) spec.value = 0.0f;
    else if (spec.value == 0.0f) spec.value = 1.0f;
    spec.flags &= ~VARCAM_FLAG_HIGH_BYTE;
    if (model.twoBytePixels && model.highByteSample) spec.flags |= VARCAM_FLAG_HIGH_BYTE;
  }
  auto exposure = p.find(PropExposure);
  if (exposure != p.end()) {
    PropertySpec& spec = exposure->second;
    spec.minimum = model.minExposure;
    spec.maximum = model.frameRates.front().maxExposure;
    spec.value = std::clamp(spec.value, spec.minimum, spec.maximum);
  }
  return true;
}

} // namespace vzsim
