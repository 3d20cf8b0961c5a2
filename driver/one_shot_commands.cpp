// The host's auto-exposure (88) and white-balance (89) requests: stored
// state and regions, one-shot measurements by the camera, and the colour
// gains.
#include "driver/control_commands.h"

#include "camera/one_shot.h"
#include "driver/acq_control.h"
#include "base/debug_log.h"
#include "camera/property_accessors.h"

namespace vx {
namespace {

// The region a one-shot measures: within the selected preview mode's height
// and on the camera's two-pixel grid. Remainders take the sign of the
// dividend; each step uses the values already moved.
Rect measuredRegion(const Driver& driver, const Rect& stored) {
  const DriverState& state = driver.state;
  Rect r = boundedRect(toAcqRect(stored));
  if (r.bottom > state.preview.selectedHeight) r.bottom = state.preview.selectedHeight;
  r.left = r.left + r.left % 2;
  r.top = r.top - r.top % 2;
  r.right = r.right - (r.right - r.left) % 2;
  r.bottom = r.bottom - (r.bottom - r.top) % 2;
  return r;
}

// The camera measures from its live stream, drawn into the host's display
// window while it runs.
void startMeasuringStream(const Driver& driver) {
  const DriverState& state = driver.state;
  VarcamStreamVideoControl(driver.camera.handle(), VarcamStreamDisplayGdi, state.displayWindow);
}

// Stops the measuring stream. A live preview that was running before the
// measurement is brought back rather than left frozen in the host's window.
void stopMeasuringStream(Driver& driver) {
  DriverState& state = driver.state;
  VarcamStreamVideoControl(driver.camera.handle(), VarcamStreamStop, nullptr);
  if (state.previewRunning != 0)
    VarcamStreamVideoControl(driver.camera.handle(), VarcamStreamDisplayGdi, state.previewWindow);
}

void runAutoExposure(Driver& driver, AcqAutoExposureRequest& request) {
  DriverState& state = driver.state;
  startMeasuringStream(driver);
  const Rect region = measuredRegion(driver, driver.commands.autoExposureRegion);
  float exposure = getExposurePreview(driver.camera);
  if (oneShotAutoExposure(driver.camera, region.top, region.bottom, region.left, region.right, exposure) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not do auto exposure: %d", static_cast<int>(VarcamGetLastError()));
    request.failed = 1;
  } else {
    request.failed = 0;
  }
  request.exposure = static_cast<double>(exposure);
  stopMeasuringStream(driver);
}

void writePreviewGains(const Driver& driver, AcqWhiteBalanceRequest& request, bool rounded) {
  const auto value = [&](NumericProperty p) {
    const auto gain = static_cast<double>(getPreview(driver.camera, p));
    return rounded ? roundToHundredthsHalfUp(gain) : gain;
  };
  request.red = value(NumericProperty::RedGain);
  request.green = value(NumericProperty::GreenGain);
  request.blue = value(NumericProperty::BlueGain);
}

void runWhiteBalance(Driver& driver, AcqWhiteBalanceRequest& request) {
  DriverState& state = driver.state;
  startMeasuringStream(driver);
  const Rect region = measuredRegion(driver, driver.commands.whiteBalanceRegion);
  if (whiteBalanceWithReadBack(driver.camera, region.top, region.bottom, region.left, region.right) == 0) {
    messageBoxf(state.hostWindow, "ERROR", "Could not do white balance: %d", static_cast<int>(VarcamGetLastError()));
    request.failed = 1;
  } else {
    request.failed = 0;
  }
  writePreviewGains(driver, request, false);
  stopMeasuringStream(driver);
}

// Preview and acquisition value of each colour in turn; the first refusal
// ends the command.
std::int32_t setColourGains(Driver& driver, AcqWhiteBalanceRequest& request) {
  const struct {
    NumericProperty property;
    double value;
  } gains[] = {{NumericProperty::RedGain, request.red},
               {NumericProperty::GreenGain, request.green},
               {NumericProperty::BlueGain, request.blue}};
  for (const auto& gain : gains) {
    float value = 0.0f;
    if (!narrowHostValue(gain.value, value)) return kControlFailed;
    if (setPreview(driver.camera, gain.property, value) == 0) return kControlFailed;
    if (setAcquire(driver.camera, gain.property, value) == 0) return kControlFailed;
  }
  request.failed = 0;
  return kControlOk;
}

} // namespace

std::int32_t autoExposureCommand(Driver& driver, const ControlCall& call) {
  logLine("Auto-exposure Message.");
  auto* request = call.as<AcqAutoExposureRequest>();
  if (request == nullptr) return kControlFailed;
  const std::int32_t flags = request->flags;
  if (flags == 0) {
    if (call.query) return driver.commands.autoExposureState;
    driver.commands.autoExposureState = 0;
    return kControlOk;
  }
  // The state is only kept for the host; no camera setting follows it.
  if ((flags & ACQAE_STATE) != 0) {
    if (call.query) return driver.commands.autoExposureState;
    driver.commands.autoExposureState = 1;
  }
  if ((flags & ACQAE_REGION) != 0) {
    if (call.query)
      request->region = toAcqRect(driver.commands.autoExposureRegion);
    else
      driver.commands.autoExposureRegion = Rect{request->region.left, request->region.top, request->region.right,
                                      request->region.bottom};
  }
  if ((flags & ACQAE_ONE_SHOT) != 0) {
    if (call.query)
      request->exposure = static_cast<double>(getExposurePreview(driver.camera));
    else
      runAutoExposure(driver, *request);
  }
  return kControlOk;
}

std::int32_t whiteBalanceCommand(Driver& driver, const ControlCall& call) {
  logLine("White Balance Message.");
  auto* request = call.as<AcqWhiteBalanceRequest>();
  if (request == nullptr) return kControlFailed;
  const std::int32_t flags = request->flags;
  if (flags == ACQWB_RESET) {
    request->red = request->green = request->blue = 1.0;
    return kControlOk;
  }
  if ((flags & ACQWB_REGION) != 0) {
    if (call.query)
      request->region = toAcqRect(driver.commands.whiteBalanceRegion);
    else
      driver.commands.whiteBalanceRegion = Rect{request->region.left, request->region.top, request->region.right,
                                      request->region.bottom};
  }
  if ((flags & ACQWB_GAINS) == 0) {
    // The one-shot runs for a query as for a set.
    if ((flags & ACQWB_ONE_SHOT) != 0) runWhiteBalance(driver, *request);
    return kControlOk;
  }
  if (call.query) {
    writePreviewGains(driver, *request, true);
    return kControlOk;
  }
  return setColourGains(driver, *request);
}

} // namespace vx
