// The settings file: any bytes as the INI file that command 54 loads, on an
// open driver against the simulated camera. Besides surviving the load, the
// setup must travel: what a save writes, a load reads back, so that saving
// again writes the same file; and a save into the hostile file itself (which
// keeps its other lines) must read back as the same setup.
//
// Input: the file's bytes.
#include "fuzz_harness.h"

#include "driver/acq_control.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string contentsOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

[[noreturn]] void fail(const char* what, const std::string& first, const std::string& second) {
  std::fprintf(stderr, "\n==vxfuzz== %s\n---- first:\n%s\n---- second:\n%s\n", what, first.c_str(), second.c_str());
  std::abort();
}

std::int32_t settingsFile(vxfuzz::DriverHost& host, int parameter, const std::string& path) {
  return host.control(ACQCMD_SETTINGS_FILE, parameter, const_cast<char*>(path.c_str()));
}

// Saves into a file of its own, starting empty, and returns what was written.
std::string saveFresh(vxfuzz::DriverHost& host, const std::string& path) {
  std::remove(path.c_str());
  if (settingsFile(host, 0, path) != 0) fail("saving the settings failed", path, "");
  return contentsOf(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vxfuzz::World world;
  const std::string hostile = vxfuzz::scratchPath("hostile.ini");
  const std::string first = vxfuzz::scratchPath("first.ini");
  const std::string second = vxfuzz::scratchPath("second.ini");
  const std::string third = vxfuzz::scratchPath("third.ini");
  if (!vxfuzz::writeFile(hostile, data, size)) return 0;

  vxfuzz::DriverHost host;
  if (host.open() != 0) {
    std::fprintf(stderr, "vxfuzz: the simulated camera did not open\n");
    std::abort();
  }
  if (settingsFile(host, 1, hostile) != 0) fail("loading the settings failed", hostile, "");
  const std::string saved = saveFresh(host, first);
  // Saved back into the file it came from: its own keys change, every other
  // line stays.
  if (settingsFile(host, 0, hostile) != 0) fail("saving into the loaded file failed", hostile, "");

  if (settingsFile(host, 1, first) != 0) fail("loading a saved file failed", first, "");
  const std::string resaved = saveFresh(host, second);
  if (saved != resaved) fail("a saved setup did not load back as itself", saved, resaved);

  if (settingsFile(host, 1, hostile) != 0) fail("loading the file saved into failed", hostile, "");
  const std::string fromHostile = saveFresh(host, third);
  if (fromHostile != saved)
    fail("the setup saved into the hostile file did not load back as itself", saved, fromHostile);
  return 0;
}
