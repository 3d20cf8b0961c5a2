#include "command_jobs.h"

#include "input_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace host {
namespace {

bool refused(HostSession& session, const std::string& what, std::int32_t result) {
  return session.outcome().refused("the driver refused " + what + " (" + std::to_string(result) + ")");
}

bool colourGains(HostSession& session, const Options& options, bool set) {
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_GAINS;
  std::int32_t result = session.query(ACQCMD_WHITE_BALANCE, 0, &request);
  if (result != 0) return refused(session, "reading the colour gains", result);
  if (set) {
    const std::string& name = options.property;
    result = writeProperty(session, name, options.value, options.acquisition);
    std::printf("set %s gain: %s\n", name.c_str(), result == 0 ? "ok" : "refused");
    if (result != 0) refused(session, "the " + name + " gain", result);
    request.flags = ACQWB_GAINS;
    session.query(ACQCMD_WHITE_BALANCE, 0, &request);
  }
  std::printf("red %.2f, green %.2f, blue %.2f\n", request.red, request.green, request.blue);
  return !session.outcome().failed();
}

} // namespace

bool runProperty(HostSession& session, const Options& options, bool set) {
  const std::string& name = options.property;
  if (name == "red" || name == "green" || name == "blue") return colourGains(session, options, set);
  const int selector = options.acquisition ? 1 : 0;
  const char* which = options.acquisition ? "acquisition" : "preview";
  bool ok = true;
  if (name == "brightness") {
    if (set) {
      const std::int32_t result = writeProperty(session, name, options.value, options.acquisition);
      std::printf("set brightness: %s\n", result == 0 ? "ok" : "refused");
      if (result != 0) ok = refused(session, "the brightness", result);
    }
    std::int32_t value = 0;
    const std::int32_t result = session.query(ACQCMD_BRIGHTNESS, selector, &value);
    if (result != 0) return refused(session, "reading the brightness", result);
    std::printf("brightness (%s) = %d\n", which, value);
    return ok;
  }
  const int code = name == "exposure" ? ACQCMD_EXPOSURE : name == "gain" ? ACQCMD_GAIN : ACQCMD_GAMMA;
  if (set) {
    const std::int32_t result = writeProperty(session, name, options.value, options.acquisition);
    std::printf("set %s: %s\n", name.c_str(), result == 0 ? "ok" : "refused");
    if (result != 0) ok = refused(session, "the " + name, result);
  }
  double value = 0;
  const std::int32_t result = session.query(code, selector, &value);
  if (result != 0) return refused(session, "reading the " + name, result);
  std::printf("%s (%s) = %.3f\n", name.c_str(), which, value);
  return ok;
}

std::int32_t writeProperty(HostSession& session, const std::string& name, double value, bool acquisition) {
  const int selector = acquisition ? 1 : 0;
  if (name == "red" || name == "green" || name == "blue") {
    // The colour gains are written together: read all three, change one.
    AcqWhiteBalanceRequest request{};
    request.flags = ACQWB_GAINS;
    if (const std::int32_t result = session.query(ACQCMD_WHITE_BALANCE, 0, &request); result != 0) return result;
    (name == "red" ? request.red : name == "green" ? request.green : request.blue) = value;
    request.flags = ACQWB_GAINS;
    return session.control(ACQCMD_WHITE_BALANCE, 0, &request);
  }
  if (name == "brightness") {
    std::int32_t whole = static_cast<std::int32_t>(value);
    return session.control(ACQCMD_BRIGHTNESS, selector, &whole);
  }
  const int code = name == "exposure" ? ACQCMD_EXPOSURE : name == "gain" ? ACQCMD_GAIN : ACQCMD_GAMMA;
  return session.control(code, selector, &value);
}

bool runRawControl(HostSession& session, const Options& options) {
  // Every call gets a zeroed buffer, so that a command that writes into its
  // data never writes through a null pointer.
  alignas(8) std::uint8_t buffer[kControlBufferBytes] = {};
  if (!options.intData.empty())
    std::memcpy(buffer, options.intData.data(), options.intData.size() * sizeof(std::int32_t));
  else if (!options.doubleData.empty())
    std::memcpy(buffer, options.doubleData.data(), options.doubleData.size() * sizeof(double));
  else if (!options.stringData.empty())
    std::memcpy(buffer, options.stringData.c_str(), options.stringData.size() + 1);
  const int message = options.code | (options.queryFlag ? ACQ_QUERY : 0);
  const std::int32_t result = session.control(message, options.parameter, buffer);
  std::printf("AcqControl(%d, %d) = %d\n", message, options.parameter, result);
  std::int32_t words[4];
  std::memcpy(words, buffer, sizeof words);
  std::printf("data as int32: %d %d %d %d\n", words[0], words[1], words[2], words[3]);
  double reals[3];
  std::memcpy(reals, buffer, sizeof reals);
  std::printf("data as double: %g %g %g\n", reals[0], reals[1], reals[2]);
  std::printf("data as text: \"%.*s\"\n", static_cast<int>(::strnlen(reinterpret_cast<const char*>(buffer), 80)),
              reinterpret_cast<const char*>(buffer));
  const bool snapRefused = options.code == ACQCMD_SNAP && !options.queryFlag && result == 1;
  if (result == -1 || result == 6 || snapRefused)
    return refused(session, "command " + std::to_string(options.code), result);
  return true;
}

bool runAutoExposure(HostSession& session, const AcqRect& region, bool toAcquisition) {
  if (!session.openDisplay()) return false;
  AcqAutoExposureRequest request{};
  request.flags = ACQAE_REGION | ACQAE_ONE_SHOT;
  request.region = region;
  const std::int32_t result = session.control(ACQCMD_AUTO_EXPOSURE, 0, &request);
  std::printf("auto exposure %s: exposure %.3f ms\n", request.failed != 0 ? "failed" : "done", request.exposure);
  if (result != 0 || request.failed != 0) return refused(session, "the one-shot auto exposure", result);
  if (toAcquisition) {
    double exposure = request.exposure;
    const std::int32_t set = session.control(ACQCMD_EXPOSURE, 1, &exposure);
    if (set != 0) return refused(session, "the acquisition exposure", set);
  }
  return true;
}

bool runWhiteBalance(HostSession& session, const AcqRect& region) {
  if (!session.openDisplay()) return false;
  AcqWhiteBalanceRequest request{};
  request.flags = ACQWB_REGION | ACQWB_ONE_SHOT;
  request.region = region;
  const std::int32_t result = session.control(ACQCMD_WHITE_BALANCE, 0, &request);
  // A camera without colour gains reads them back as nothing usable.
  const bool usable = request.red > 0 && request.green > 0 && request.blue > 0;
  const bool done = result == 0 && request.failed == 0 && usable;
  std::printf("white balance %s: red %.2f, green %.2f, blue %.2f\n", done ? "done" : "failed", request.red,
              request.green, request.blue);
  if (!done) return refused(session, "the one-shot white balance", result);
  // The camera balanced the preview; captures use the acquisition gains, so
  // hand the same gains to both.
  request.flags = ACQWB_GAINS;
  const std::int32_t set = session.control(ACQCMD_WHITE_BALANCE, 0, &request);
  if (set != 0) return refused(session, "the balanced gains", set);
  return true;
}

AcqRect regionOf(const Options& options, const AcqRect& fallback) {
  if (options.region.size() != 4) return fallback;
  return {options.region[0], options.region[1], options.region[2], options.region[3]};
}

} // namespace host
