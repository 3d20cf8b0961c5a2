// The 13 exported Host* functions: each checks for an armed fault, does its
// work in the image store, the TIFF loader or the file writers, and logs the
// call with its arguments and result.
#include "hostlib/host_imaging.h"

#include "hostimaging/call_journal.h"
#include "hostimaging/file_writers.h"
#include "hostimaging/image_files.h"
#include "hostimaging/image_store.h"

#include <string>
#include <variant>
#include <vector>

using hostimg::detail::CallJournal;
using hostimg::detail::FileWriters;
using hostimg::detail::ImageStore;

namespace {

// A data pointer: only whether it is null goes into the log.
struct Data {
  const void* pointer;
};

std::string text(std::int32_t v) { return std::to_string(v); }
std::string text(std::uint16_t v) { return std::to_string(v); }
[[maybe_unused]] std::string text(std::int64_t v) { return std::to_string(v); }  // HostAccess on 64-bit systems
std::string text(const char* v) { return v != nullptr ? std::string(v) : "null"; }
std::string text(Data v) { return v.pointer != nullptr ? "ptr" : "null"; }
std::string text(const HostFileDescriptor* d) {
  if (d == nullptr) return "null";
  // Appended piece by piece: a chain of + trips a false -Wrestrict in g++ 12 at -O3.
  std::string out = "{";
  out += text(d->formatModule);
  for (const std::int32_t field :
       {d->width, d->height, d->samplesPerPixel, d->bitsPerSample, d->one}) {
    out += ',';
    out += text(field);
  }
  out += '}';
  return out;
}

template <typename... Args>
void logCall(const char* function, std::int64_t result, bool injected, Args... args) {
  CallJournal& journal = CallJournal::instance();
  if (!journal.logging()) return;  // spares the formatting on busy paths
  journal.record(function, std::vector<std::string>{text(args)...}, result, injected);
}

bool injected(const char* function) { return CallJournal::instance().takeFault(function); }

void noteFailure(const char* function, std::int64_t result) {
  CallJournal::instance().setLastError(std::string(function) + " failed with " +
                                       std::to_string(result));
}

}  // namespace

extern "C" {

HOSTIMG_API int32_t HOSTIMG_CALL HostImageCreate(int32_t width, int32_t height, int32_t type,
                                                 int32_t reserved) {
  constexpr const char* kName = "HostImageCreate";
  if (injected(kName)) {
    logCall(kName, hostimg::ErrorInjected, true, width, height, type, reserved);
    return hostimg::ErrorInjected;
  }
  const int32_t id = ImageStore::instance().create({width, height, type, {}, std::nullopt});
  if (id < 0) noteFailure(kName, id);
  logCall(kName, id, false, width, height, type, reserved);
  return id;
}

HOSTIMG_API void HOSTIMG_CALL HostImageRelease(int32_t image) {
  ImageStore::instance().release(image);
  logCall("HostImageRelease", 0, false, image);
}

HOSTIMG_API HostAccess HOSTIMG_CALL HostImageLock(int32_t image, int32_t mode, int32_t reserved) {
  constexpr const char* kName = "HostImageLock";
  if (injected(kName)) {
    logCall(kName, 0, true, image, mode, reserved);
    return 0;
  }
  const HostAccess access = ImageStore::instance().lock(image, mode);
  if (access == 0) noteFailure(kName, 0);
  logCall(kName, access, false, image, mode, reserved);
  return access;
}

HOSTIMG_API void HOSTIMG_CALL HostImageUnlock(HostAccess access) {
  ImageStore::instance().unlock(access);
  logCall("HostImageUnlock", 0, false, access);
}

HOSTIMG_API int32_t HOSTIMG_CALL HostImageAttribute(int32_t image, int32_t attribute,
                                                    int32_t value, int32_t reserved, void* out) {
  constexpr const char* kName = "HostImageAttribute";
  if (injected(kName)) {
    logCall(kName, hostimg::ErrorInjected, true, image, attribute, value, reserved, Data{out});
    return hostimg::ErrorInjected;
  }
  const int32_t result = ImageStore::instance().attribute(image, attribute, value, out);
  if (result < 0) noteFailure(kName, result);
  logCall(kName, result, false, image, attribute, value, reserved, Data{out});
  return result;
}

HOSTIMG_API uint8_t* HOSTIMG_CALL HostImageLine(HostAccess access, int32_t row) {
  constexpr const char* kName = "HostImageLine";
  if (injected(kName)) {
    logCall(kName, 0, true, access, row);
    return nullptr;
  }
  uint8_t* line = ImageStore::instance().line(access, row);
  if (line == nullptr) noteFailure(kName, 0);
  logCall(kName, line != nullptr ? 1 : 0, false, access, row);
  return line;
}

HOSTIMG_API int32_t HOSTIMG_CALL HostImageProbe(HostAccess access) {
  const int32_t result = ImageStore::instance().probe(access);
  logCall("HostImageProbe", result, false, access);
  return result;
}

HOSTIMG_API int32_t HOSTIMG_CALL HostImageConvert(HostAccess access, int32_t targetType,
                                                  int32_t reserved) {
  constexpr const char* kName = "HostImageConvert";
  if (injected(kName)) {
    logCall(kName, hostimg::ErrorInjected, true, access, targetType, reserved);
    return hostimg::ErrorInjected;
  }
  const int32_t id = ImageStore::instance().convert(access, targetType);
  if (id < 0) noteFailure(kName, id);
  logCall(kName, id, false, access, targetType, reserved);
  return id;
}

HOSTIMG_API int32_t HOSTIMG_CALL HostImageLoadFile(const char* path, const char* formatModule,
                                                   int32_t reserved) {
  constexpr const char* kName = "HostImageLoadFile";
  int32_t id = hostimg::ErrorInjected;
  bool fault = injected(kName);
  if (!fault) {
    if (path == nullptr || !hostimg::detail::isTifModule(formatModule)) {
      id = hostimg::ErrorBadArgument;
      noteFailure(kName, id);
    } else {
      auto loaded = hostimg::detail::readTiff(path);
      if (auto* failure = std::get_if<hostimg::detail::FileFailure>(&loaded)) {
        id = failure->code;
        CallJournal::instance().setLastError(std::string(kName) + " " + path + ": " +
                                             failure->message);
      } else {
        id = ImageStore::instance().create(std::get<hostimg::detail::ImageContent>(
            std::move(loaded)));
        if (id < 0) noteFailure(kName, id);
      }
    }
  }
  logCall(kName, id, fault, path, formatModule, reserved);
  return id;
}

HOSTIMG_API void HOSTIMG_CALL HostLineReduce(uint8_t* destination, const uint8_t* source,
                                             int32_t count, uint16_t factor) {
  if (destination != nullptr && source != nullptr && count > 0) {
    const std::size_t step = factor == 0 ? 1 : factor;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
      destination[i] = source[i * step];
    }
  }
  logCall("HostLineReduce", 0, false, Data{destination}, Data{source}, count, factor);
}

HOSTIMG_API int32_t HOSTIMG_CALL HostFileCreate(HostFileDescriptor* descriptor, const char* path,
                                                int32_t mode) {
  constexpr const char* kName = "HostFileCreate";
  const bool fault = injected(kName);
  int32_t result = hostimg::FileInjected;
  if (!fault) {
    std::string error;
    result = FileWriters::instance().create(descriptor, path, mode, error);
    if (result != 0) CallJournal::instance().setLastError(error);
  }
  logCall(kName, result, fault, static_cast<const HostFileDescriptor*>(descriptor), path, mode);
  return result;
}

HOSTIMG_API int32_t HOSTIMG_CALL HostFileWriteLines(HostFileDescriptor* descriptor,
                                                    const uint8_t* lines, int32_t count) {
  constexpr const char* kName = "HostFileWriteLines";
  const bool fault = injected(kName);
  int32_t result = hostimg::FileInjected;
  if (!fault) {
    std::string error;
    result = FileWriters::instance().write(descriptor, lines, count, error);
    if (result != 0) CallJournal::instance().setLastError(error);
  }
  logCall(kName, result, fault, static_cast<const HostFileDescriptor*>(descriptor), Data{lines},
          count);
  return result;
}

HOSTIMG_API int32_t HOSTIMG_CALL HostFileClose(HostFileDescriptor* descriptor) {
  constexpr const char* kName = "HostFileClose";
  const bool fault = injected(kName);
  std::string error;
  // The file is closed even when the call is made to fail.
  int32_t result = FileWriters::instance().close(descriptor, error);
  if (result != 0) CallJournal::instance().setLastError(error);
  if (fault) result = hostimg::FileInjected;
  logCall(kName, result, fault, static_cast<const HostFileDescriptor*>(descriptor));
  return result;
}

}  // extern "C"
