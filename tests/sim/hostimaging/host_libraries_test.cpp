// The host's four imaging libraries as the driver finds them on Windows:
// each DLL by its own name exports its functions at the host's ordinals,
// and all of them reach the one image store.
#include "hostlib/host_imaging.h"
#include "hostimaging/host_imaging_control.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Export {
  const char* library;
  const char* name;
  int ordinal;
};

FARPROC byOrdinal(HMODULE module, int ordinal) {
  return GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(ordinal)));
}

// A function found by GetProcAddress as the type it has.
template <typename F>
F as(FARPROC found) {
  static_assert(sizeof(F) == sizeof(FARPROC));
  F function;
  std::memcpy(&function, &found, sizeof function);
  return function;
}

TEST(HostLibraries, EveryFunctionIsAtItsOrdinalAndName) {
  const std::vector<Export> exports = {
      {"zilimg32", "HostImageCreate", 50},
      {"zilimg32", "HostImageRelease", 51},
      {"zilimg32", "HostImageLock", 52},
      {"zilimg32", "HostImageUnlock", 53},
      {"zilimg32", "HostImageAttribute", 55},
      {"zilimg32", "HostImageLine", 57},
      {"zilimg32", "HostImageProbe", 67},
      {"zilcnv32", "HostImageConvert", 5},
      {"zilxfm32", "HostLineReduce", 14},
      {"zilxfm32", "HostImageLoadFile", 28},
      {"ziffl32", "HostFileCreate", 1},
      {"ziffl32", "HostFileClose", 2},
      {"ziffl32", "HostFileWriteLines", 4},
  };
  for (const Export& e : exports) {
    SCOPED_TRACE(std::string(e.library) + " " + e.name);
    HMODULE module = LoadLibraryA(e.library);
    ASSERT_NE(module, nullptr);
    // An import goes through the import table's thunk; the DLL's function
    // is where the thunk leads, which GetProcAddress on the stand-in gives.
    const FARPROC own = GetProcAddress(GetModuleHandleA("hostimaging"), e.name);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(byOrdinal(module, e.ordinal), own);
    EXPECT_EQ(GetProcAddress(module, e.name), own);
    FreeLibrary(module);
  }
}

TEST(HostLibraries, AnImageMadeThroughOneLibraryIsConvertedThroughAnother) {
  hostimg::reset();
  HMODULE images = LoadLibraryA("zilimg32");
  HMODULE conversion = LoadLibraryA("zilcnv32");
  ASSERT_NE(images, nullptr);
  ASSERT_NE(conversion, nullptr);
  auto* create = as<decltype(&HostImageCreate)>(byOrdinal(images, 50));
  auto* lock = as<decltype(&HostImageLock)>(byOrdinal(images, 52));
  auto* convert = as<decltype(&HostImageConvert)>(byOrdinal(conversion, 5));
  const std::int32_t rgb = create(4, 2, 3, 0);
  ASSERT_GT(rgb, 0);
  const HostAccess access = lock(rgb, HostAccessRead, 0);
  ASSERT_NE(access, 0);
  const std::int32_t grey = convert(access, 1, 0);
  ASSERT_GT(grey, 0);
  EXPECT_EQ(hostimg::imageInfo(grey).type, 1);
  EXPECT_EQ(hostimg::liveImages(), 2u);
  FreeLibrary(conversion);
  FreeLibrary(images);
  hostimg::reset();
}

}  // namespace
