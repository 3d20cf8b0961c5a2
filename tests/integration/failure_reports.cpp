#include "failure_reports.h"

#include "sdk/varcam_sdk.h"

#include <map>

namespace sweep {
namespace {

ExpectedReport box(std::string text, std::string place) { return {true, std::move(text), std::move(place)}; }
ExpectedReport silent(std::string place) { return {false, "", std::move(place)}; }

bool is(const vzsim::JournalEntry* entry, const char* function) {
  return entry != nullptr && entry->function == function;
}
bool is(const vzsim::JournalEntry* entry, const char* function, const char* firstArg) {
  return is(entry, function) && !entry->args.empty() && entry->args[0] == firstArg;
}

int propertyOf(const vzsim::JournalEntry& call) { return call.args.empty() ? -1 : std::stoi(call.args[0]); }

const char* const kFormatUnreadable = "Unable to get camera video format. Snapshot mode disabled.";

// Identification reads each property's value and range and reports a
// failure with the property's own text.
const std::map<int, const char*> kValueReadFailures = {
    {PropBrightness, "Could not get brightness: %d"}, {PropContrast, "Could not get contrast: %d"},
    {PropHue, "Could not get hue: %d"},               {PropSaturation, "Could not get saturation: %d"},
    {PropGain, "Could not get global gain: %d"},      {PropGamma, "Could not get gamma: %d"},
    {PropGainRed, "Could not get red gain: %d"},      {PropGainGreen1, "Could not get green gain: %d"},
    {PropGainBlue, "Could not get blue gain: %d"},
};
const std::map<int, const char*> kRangeReadFailures = {
    {PropBrightness, "Could not get brightness range: %d"}, {PropContrast, "Could not get contrast: %d"},
    {PropHue, "Could not get hue: %d"},                     {PropSaturation, "Could not get saturation: %d"},
    {PropGain, "Could not get global gain: %d"},            {PropGamma, "Could not get gamma: %d"},
};
// A snapshot writes every value, and so does the return to the preview
// values after it; each refused write is shown.
const std::map<int, const char*> kValueWriteFailures = {
    {PropHue, "Could not set hue: %d"},          {PropSaturation, "Could not set saturation: %d"},
    {PropContrast, "Could not set Contrast: %d"}, {PropBrightness, "Could not set Brightness: %d"},
    {PropGamma, "Could not set Gamma: %d"},       {PropGain, "Could not set Global Gain: %d"},
    {PropGainRed, "Could not set red gain: %d"},  {PropGainGreen1, "Could not set green gain: %d"},
    {PropGainGreen2, "Could not set green gain: %d"}, {PropGainBlue, "Could not set blue gain: %d"},
};

ExpectedReport getProperty(const CallSite& site) {
  const int property = propertyOf(site.call);
  if (property == PropExposure) return silent("the exposure controller's read of the exposure (logged)");
  if (property == PropFlipping || property == PropColorFormat)
    return silent("a read whose failure leaves a default (mirroring, colour format)");
  const auto found = kValueReadFailures.find(property);
  if (found != kValueReadFailures.end()) return box(found->second, "a property value read");
  return {};
}

ExpectedReport propertyRange(const CallSite& site) {
  const int property = propertyOf(site.call);
  if (property == PropExposure || property == PropClockSpeed)
    return silent("the exposure controller's range reads (logged, or the clock left as it is)");
  if (property == PropGainRed || property == PropGainGreen1 || property == PropGainBlue)
    return silent("a colour gain's range: the gain is only marked unavailable");
  const auto found = kRangeReadFailures.find(property);
  if (found != kRangeReadFailures.end()) return box(found->second, "a property range read");
  return {};
}

ExpectedReport setProperty(const CallSite& site) {
  const int property = propertyOf(site.call);
  if (property == PropExposure || property == PropClockSpeed)
    return silent("the exposure controller's writes (logged)");
  if (property == PropCorrectionMatrix) return box("Could not set Correction matrix: %d", "the light source's matrix");
  if (property == PropFlipping) return box("Could not set Flipping: %d", "the mirroring");
  if (property == PropAutoExposureTarget) return box("Could not set Brightness Target: %d", "the brightness target");
  const auto found = kValueWriteFailures.find(property);
  if (found == kValueWriteFailures.end()) return {};
  // The settings file sets values through the property accessors, which
  // only log a refusal.
  if (site.step == "settings file") return silent("a property accessor's write (logged)");
  return box(found->second, "a snapshot's value writes");
}

ExpectedReport getFormat(const CallSite& site) {
  if (site.step == "open") {
    // Identification reads the format after the camera id; the exposure
    // controller and the overlay read it too, and only log.
    if (is(site.previous, "VarcamGetCameraId")) return box(kFormatUnreadable, "identification");
    return silent("the exposure controller or the overlay at open");
  }
  const auto* next = site.next;
  if (is(next, "VarcamSetFormat") || is(next, "VarcamSetProperty", "20"))
    return silent("the exposure controller (logged)");
  if (is(next, "VarcamGetVideoImageFormat")) return silent("auto exposure's measurement (fails quietly)");
  if (is(next, "VarcamQueryDisplayFrameRate")) return silent("the status bar's frame rate (shows ERR)");
  if (is(next, "VarcamStreamVideoControl", "1") || is(next, "VarcamGetStreamState"))
    return silent("the size of a snapshot's raw buffer");
  return box(kFormatUnreadable, "the preview, a snapshot or a correction frame");
}

ExpectedReport setFormat(const CallSite& site) {
  if (is(site.next, "VarcamPropertyRange") || is(site.next, "VarcamSetProperty", "20"))
    return silent("the exposure controller's frame rates (logged)");
  return box("Could not set format: %d", "the preview or a snapshot's format");
}

ExpectedReport streamControl(const CallSite& site) {
  const std::string mode = site.call.args.empty() ? "" : site.call.args[0];
  if (mode == "5" && is(site.previous, "VarcamGetFormat")) return box("Unable to display.", "the preview's display");
  if (mode == "1" && (is(site.previous, "VarcamGetFormat") || is(site.previous, "VarcamGetStreamState")))
    return box("Unable to start streaming.", "a snapshot's stream");
  if (mode == "0" && is(site.previous, "VarcamTakeVideo"))
    return box("Unable to stop streaming.", "a snapshot's stream");
  if (mode == "0" && site.step == "preview-format snapshot" && is(site.next, "VarcamSetFormat"))
    return box("Unable to stop streaming.", "leaving snapshot mode");
  return silent("stopping for a restart, the exposure controller or a one-shot's stream");
}

} // namespace

std::string withCode(const std::string& text, std::uint32_t code) {
  std::string out = text;
  const auto at = out.find("%d");
  if (at != std::string::npos) out.replace(at, 2, std::to_string(code));
  return out;
}

ExpectedReport expectedReport(const CallSite& site) {
  const std::string& f = site.call.function;
  if (f == "VarcamNumCameras") return box("There are no Varnex cameras attached to the computer.", "discovery");
  if (f == "VarcamCameraOpen") return silent("opening: the steps after it report their own failures");
  if (f == "VarcamCameraClose") return box("Could not close camera: %d", "closing");
  if (f == "VarcamGetCameraId") {
    // The resolution table reads the id first and treats an unreadable one
    // as an unknown camera.
    if (is(site.next, "VarcamGetCameraId")) return silent("the resolution table's camera id");
    return box("Could not get camera ID: %d", "identification");
  }
  if (f == "VarcamQueryVersion") return box("Could not get camera version: %d", "identification");
  if (f == "VarcamGetProperty") return getProperty(site);
  if (f == "VarcamPropertyRange") return propertyRange(site);
  if (f == "VarcamSetProperty") return setProperty(site);
  if (f == "VarcamGetFormat") return getFormat(site);
  if (f == "VarcamSetFormat") return setFormat(site);
  if (f == "VarcamStreamVideoControl") return streamControl(site);
  if (f == "VarcamTakeVideo") return box("Could not get video snapshot: %d", "taking frames");
  if (f == "VarcamConvertFrameToRgb24") return box("Could not convert snapshot to rgb.", "converting a frame");
  if (f == "VarcamQueryRgbPreviewPixelFormat")
    return box("Could not get pixel format from camera", "background correction");
  if (f == "VarcamEnumAvailableFrameRates" || f == "VarcamQueryDisplayFrameRate" ||
      f == "VarcamGetDisplayWindowHwnd" || f == "VarcamGetStreamState" || f == "VarcamGetVideoImageFormat" ||
      f == "VarcamDestroyDisplayWindow")
    return silent("the exposure controller, auto exposure or the status bar");
  if (f == "VarcamAddStreamingCallback" || f == "VarcamAddRgbPreviewCallback" ||
      f == "VarcamRemoveStreamingCallback" || f == "VarcamRemoveRgbPreviewCallback")
    return silent("a frame callback's registration");
  if (f == "VarcamOneShotAutoWhiteBalance" || f == "VarcamOneShotAutoExposure")
    return silent("a one-shot pass (unreported)");
  return {};
}

} // namespace sweep
