// The 29 SDK functions. Each call: an injected fault fails it before
// anything else happens; otherwise the handle is looked up and the camera
// does the work. Every call is journalled with its arguments after the
// handle, its result and its error; failures set the thread's last error.
#include "sdk/varcam_sdk.h"

#include "vividozuz/faults.h"
#include "vividozuz/simulator.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using vzsim::CameraDevice;
using vzsim::Simulator;

std::string text(int v) { return std::to_string(v); }
std::string text(std::uint32_t v) { return std::to_string(v); }
std::string text(float v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(v));
  return buffer;
}
std::string hex(std::uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%x", v);
  return buffer;
}
std::string pointer(const void* p) { return p == nullptr ? "null" : "ptr"; }
std::string text(const FrameFormatRecord* f) {
  if (f == nullptr) return "null";
  char buffer[160];
  std::snprintf(buffer, sizeof buffer, "{x=%u y=%u w=%u h=%u pf=%u fx=%u bx=%u fy=%u by=%u}",
                f->offsetX, f->offsetY, f->width, f->height, f->pixelFormat,
                unsigned{f->factorX}, unsigned{f->flagsX}, unsigned{f->factorY},
                unsigned{f->flagsY});
  return buffer;
}
std::string text(const ConversionRecord* c) {
  if (c == nullptr) return "null";
  return "{method=" + std::to_string(c->demosaicMethod) + " code=" +
         std::to_string(c->correctionCode) + "}";
}

// One SDK call in progress.
class Call {
public:
  Call(const char* function, std::vector<std::string> args, int property = -1)
      : function_(function), args_(std::move(args)), property_(property) {}

  // Whether an injected fault fails this call (already journalled).
  bool faulted() {
    std::uint32_t error = 0;
    if (!Simulator::instance().faults().take(function_, property_, error)) return false;
    record(false, 0, error);
    return true;
  }

  std::shared_ptr<CameraDevice> device(VarcamHandle handle) {
    auto device = Simulator::instance().deviceForHandle(handle);
    if (device) camera_ = device->index();
    return device;
  }

  // Failure with this error and return value.
  template <class T>
  T fail(std::uint32_t error, T value) {
    record(false, 0, error);
    return value;
  }
  // Success with this return value (journalled as `result`).
  template <class T>
  T succeed(T value, std::int64_t result) {
    record(true, result, 0);
    return value;
  }
  // Nonzero-on-success functions: error code in, 1 or 0 out.
  int finish(std::uint32_t error) {
    if (error != vzsim::ErrorNone) return fail(error, 0);
    return succeed(1, 1);
  }

  void setCamera(int camera) { camera_ = camera; }

private:
  void record(bool ok, std::int64_t result, std::uint32_t error) {
    if (!ok) vzsim::setLastError(error);
    Simulator::instance().journal().recordCall(camera_, function_, std::move(args_), ok, result,
                                               error);
  }

  const char* function_;
  std::vector<std::string> args_;
  int property_;
  int camera_ = 0;
};

} // namespace

extern "C" {

VARCAM_API int VARCAM_CALL VarcamNumCameras(void) {
  Call call("VarcamNumCameras", {});
  if (call.faulted()) return 0;
  const int n = Simulator::instance().cameraCount();
  return call.succeed(n, n);
}

VARCAM_API int VARCAM_CALL VarcamEnumCameras(CameraVersionRecord* records, int count) {
  Call call("VarcamEnumCameras", {pointer(records), text(count)});
  if (call.faulted()) return 0;
  if (count < 0 || (records == nullptr && count > 0)) {
    return call.fail(vzsim::ErrorInvalidArgument, 0);
  }
  const auto devices = Simulator::instance().devices();
  int filled = 0;
  for (const auto& device : devices) {
    if (filled >= count) break;
    records[filled++] = device->version();
  }
  return call.succeed(filled, filled);
}

VARCAM_API VarcamHandle VARCAM_CALL VarcamCameraOpen(int index) {
  Call call("VarcamCameraOpen", {text(index)});
  if (call.faulted()) return nullptr;
  std::uint32_t error = 0;
  VarcamHandle handle = Simulator::instance().open(index, error);
  if (handle == nullptr) return call.fail(error, handle);
  call.setCamera(index);
  return call.succeed(handle, index);
}

VARCAM_API int VARCAM_CALL VarcamCameraClose(VarcamHandle camera) {
  Call call("VarcamCameraClose", {});
  if (call.faulted()) return 0;
  if (auto device = call.device(camera)) device.reset();
  return call.finish(Simulator::instance().close(camera));
}

VARCAM_API int VARCAM_CALL VarcamGetCameraId(VarcamHandle camera, uint32_t* id) {
  Call call("VarcamGetCameraId", {pointer(id)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (id == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  *id = device->cameraId();
  return call.succeed(1, 1);
}

VARCAM_API int VARCAM_CALL VarcamQueryVersion(VarcamHandle camera, CameraVersionRecord* version) {
  Call call("VarcamQueryVersion", {pointer(version)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (version == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  *version = device->version();
  return call.succeed(1, 1);
}

VARCAM_API int VARCAM_CALL VarcamGetProperty(VarcamHandle camera, int property, float* value,
                                             uint32_t* flags) {
  Call call("VarcamGetProperty", {text(property), pointer(value), pointer(flags)}, property);
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (value == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  float v = 0.0f;
  std::uint32_t f = 0;
  const std::uint32_t error = device->getProperty(property, v, f);
  if (error == vzsim::ErrorNone) {
    *value = v;
    if (flags != nullptr) *flags = f;
  }
  return call.finish(error);
}

VARCAM_API int VARCAM_CALL VarcamSetProperty(VarcamHandle camera, int property, float value,
                                             uint32_t flags) {
  Call call("VarcamSetProperty", {text(property), text(value), hex(flags)}, property);
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->setProperty(property, value, flags));
}

VARCAM_API int VARCAM_CALL VarcamPropertyRange(VarcamHandle camera, int property, float* minimum,
                                               float* maximum, float* defaultValue,
                                               uint32_t* flags) {
  Call call("VarcamPropertyRange",
            {text(property), pointer(minimum), pointer(maximum), pointer(defaultValue),
             pointer(flags)},
            property);
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  float mn = 0.0f, mx = 0.0f, def = 0.0f;
  std::uint32_t f = 0;
  const std::uint32_t error = device->propertyRange(property, mn, mx, def, f);
  if (error == vzsim::ErrorNone) {
    if (minimum != nullptr) *minimum = mn;
    if (maximum != nullptr) *maximum = mx;
    if (defaultValue != nullptr) *defaultValue = def;
    if (flags != nullptr) *flags = f;
  }
  return call.finish(error);
}

VARCAM_API int VARCAM_CALL VarcamGetFormat(VarcamHandle camera, FrameFormatRecord* format,
                                           float* frameRate) {
  Call call("VarcamGetFormat", {pointer(format), pointer(frameRate)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (format == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  FrameFormatRecord f{};
  float rate = 0.0f;
  device->getFormat(f, rate);
  *format = f;
  if (frameRate != nullptr) *frameRate = rate;
  return call.succeed(1, 1);
}

VARCAM_API int VARCAM_CALL VarcamSetFormat(VarcamHandle camera, const FrameFormatRecord* format,
                                           float frameRate) {
  Call call("VarcamSetFormat", {text(format), text(frameRate)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (format == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  return call.finish(device->setFormat(*format, frameRate));
}

VARCAM_API int VARCAM_CALL VarcamEnumAvailableFrameRates(VarcamHandle camera, int n,
                                                         float* rates) {
  Call call("VarcamEnumAvailableFrameRates", {text(n), pointer(rates)});
  if (call.faulted()) return -1;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, -1);
  if (n < 0) return call.fail(vzsim::ErrorInvalidArgument, -1);
  const std::vector<float> offered = device->offeredRateValues();
  if (rates != nullptr) {
    for (std::size_t i = 0; i < offered.size() && i < static_cast<std::size_t>(n); ++i) {
      rates[i] = offered[i];
    }
  }
  const int count = static_cast<int>(offered.size());
  return call.succeed(count, count);
}

VARCAM_API int VARCAM_CALL VarcamStreamVideoControl(VarcamHandle camera, int mode,
                                                    VarcamWindow window) {
  Call call("VarcamStreamVideoControl", {text(mode), pointer(window)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->streamControl(mode, window));
}

VARCAM_API int VARCAM_CALL VarcamDestroyDisplayWindow(VarcamHandle camera) {
  Call call("VarcamDestroyDisplayWindow", {});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->destroyDisplayWindow());
}

VARCAM_API int VARCAM_CALL VarcamQueryDisplayFrameRate(VarcamHandle camera, float* rate) {
  Call call("VarcamQueryDisplayFrameRate", {pointer(rate)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (rate == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  *rate = device->displayFrameRate();
  return call.succeed(1, 1);
}

VARCAM_API VarcamWindow VARCAM_CALL VarcamGetDisplayWindowHwnd(VarcamHandle camera) {
  Call call("VarcamGetDisplayWindowHwnd", {});
  if (call.faulted()) return nullptr;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, VarcamWindow{nullptr});
  VarcamWindow window = device->displayWindow();
  if (window == nullptr) return call.fail(vzsim::ErrorNotStreaming, window);
  return call.succeed(window, 1);
}

VARCAM_API int VARCAM_CALL VarcamGetStreamState(VarcamHandle camera, int reserved) {
  Call call("VarcamGetStreamState", {text(reserved)});
  if (call.faulted()) return -1;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, -1);
  const int state = device->streamState();
  return call.succeed(state, state);
}

VARCAM_API int VARCAM_CALL VarcamGetVideoImageFormat(VarcamHandle camera, uint32_t* record) {
  Call call("VarcamGetVideoImageFormat", {record == nullptr ? "null" : text(record[0])});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->videoImageFormat(record));
}

VARCAM_API int VARCAM_CALL VarcamTakeVideo(VarcamHandle camera, int n, uint8_t* buffer) {
  Call call("VarcamTakeVideo", {text(n), pointer(buffer)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->takeVideo(n, buffer));
}

VARCAM_API int VARCAM_CALL VarcamConvertFrameToRgb24(VarcamHandle camera, uint8_t* destination,
                                                     const uint8_t* source, int width,
                                                     int height, int pixelFormat,
                                                     const ConversionRecord* conversion) {
  Call call("VarcamConvertFrameToRgb24",
            {pointer(destination), pointer(source), text(width), text(height), text(pixelFormat),
             text(conversion)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (conversion == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  return call.finish(
      device->convertToRgb24(destination, source, width, height, pixelFormat, *conversion));
}

VARCAM_API int VARCAM_CALL VarcamSetupCustomMatrix(VarcamHandle camera, const float* matrix) {
  std::string values = "null";
  if (matrix != nullptr) {
    values = "[";
    for (int i = 0; i < 9; ++i) {
      if (i > 0) values += ' ';
      values += text(matrix[i]);
    }
    values += "]";
  }
  Call call("VarcamSetupCustomMatrix", {values});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->setCustomMatrix(matrix));
}

VARCAM_API int VARCAM_CALL VarcamQueryRgbPreviewPixelFormat(VarcamHandle camera, int* format) {
  Call call("VarcamQueryRgbPreviewPixelFormat", {pointer(format)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  if (format == nullptr) return call.fail(vzsim::ErrorInvalidArgument, 0);
  *format = device->rgbPreviewFormat();
  return call.succeed(1, 1);
}

VARCAM_API int VARCAM_CALL VarcamAddRgbPreviewCallback(VarcamHandle camera,
                                                       VarcamRgbPreviewCallback callback,
                                                       void* context, int format) {
  Call call("VarcamAddRgbPreviewCallback",
            {(callback == nullptr ? "null" : "fn"), pointer(context), text(format)});
  if (call.faulted()) return -1;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, -1);
  std::uint32_t error = 0;
  const int id = device->addRgbPreviewCallback(callback, context, format, error);
  if (id < 0) return call.fail(error, -1);
  return call.succeed(id, id);
}

VARCAM_API int VARCAM_CALL VarcamAddStreamingCallback(VarcamHandle camera,
                                                      VarcamStreamingCallback callback,
                                                      void* context) {
  Call call("VarcamAddStreamingCallback",
            {(callback == nullptr ? "null" : "fn"), pointer(context)});
  if (call.faulted()) return -1;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, -1);
  std::uint32_t error = 0;
  const int id = device->addStreamingCallback(callback, context, error);
  if (id < 0) return call.fail(error, -1);
  return call.succeed(id, id);
}

VARCAM_API int VARCAM_CALL VarcamRemoveRgbPreviewCallback(VarcamHandle camera, int id) {
  Call call("VarcamRemoveRgbPreviewCallback", {text(id)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->removeRgbPreviewCallback(id));
}

VARCAM_API int VARCAM_CALL VarcamRemoveStreamingCallback(VarcamHandle camera, int id) {
  Call call("VarcamRemoveStreamingCallback", {text(id)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->removeStreamingCallback(id));
}

VARCAM_API int VARCAM_CALL VarcamOneShotAutoExposure(VarcamHandle camera, int target, int x,
                                                     int y, int width, int height) {
  Call call("VarcamOneShotAutoExposure",
            {text(target), text(x), text(y), text(width), text(height)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->oneShotAutoExposure(target, x, y, width, height));
}

VARCAM_API int VARCAM_CALL VarcamOneShotAutoWhiteBalance(VarcamHandle camera, int x, int y,
                                                         int width, int height) {
  Call call("VarcamOneShotAutoWhiteBalance", {text(x), text(y), text(width), text(height)});
  if (call.faulted()) return 0;
  auto device = call.device(camera);
  if (!device) return call.fail(vzsim::ErrorInvalidHandle, 0);
  return call.finish(device->oneShotWhiteBalance(x, y, width, height));
}

VARCAM_API uint32_t VARCAM_CALL VarcamGetLastError(void) { return vzsim::lastError(); }

} // extern "C"
