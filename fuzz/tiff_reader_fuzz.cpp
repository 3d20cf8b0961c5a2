// The host imaging stand-in's TIFF reader: any bytes as the simulation
// image the configuration dialog loads. The image it makes of them must be
// whole (every row of its size readable), convert to grey when the driver
// asks, and save and load back unchanged. Then the driver's own route: the
// dialog's image button, with the file chosen, loads the same bytes.
//
// Input: the file's bytes.
#include "fuzz_harness.h"

#include "driver/config_dialog.h"
#include "driver/simulation_image.h"
#include "hostimaging/host_imaging_control.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

namespace hl = platform::headless;

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "\n==vxfuzz== %s\n", what);
  std::abort();
}

std::int32_t attribute(std::int32_t image, std::int32_t number) {
  std::int32_t value = -1;
  if (HostImageAttribute(image, number, 0, 0, &value) < 0) return -1;
  return value;
}

std::size_t bytesPerPixel(std::int32_t type) {
  switch (type) {
    case 3: return 3;
    case 6: return 2;
    case 9: return 6;
    default: return 1;
  }
}

// Every row of the image through a read lock, as the driver would read it.
std::vector<std::uint8_t> rowsOf(std::int32_t image, std::int32_t width, std::int32_t height, std::int32_t type) {
  const HostAccess access = HostImageLock(image, HostAccessRead, 0);
  if (access == 0) fail("a loaded image could not be locked");
  std::vector<std::uint8_t> rows;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel(type);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* row = HostImageLine(access, y);
    if (row == nullptr) fail("a row of a loaded image is missing");
    rows.insert(rows.end(), row, row + rowBytes);
  }
  if (HostImageLine(access, height) != nullptr || HostImageLine(access, -1) != nullptr)
    fail("a row outside a loaded image was handed out");
  HostImageUnlock(access);
  return rows;
}

void checkLoadedImage(std::int32_t image, const std::string& resavedPath) {
  const std::int32_t type = attribute(image, HostAttributeType);
  const auto size = static_cast<std::uint32_t>(attribute(image, HostAttributeSize));
  const auto width = static_cast<std::int32_t>(size & 0xFFFFu);
  const auto height = static_cast<std::int32_t>(size >> 16);
  if (type != 1 && type != 2 && type != 3 && type != 6 && type != 9) fail("a loaded image has a type no file has");
  if (width < 1 || height < 1) fail("a loaded image has no pixels");
  std::array<std::uint8_t, 768> palette{};
  if (HostImageAttribute(image, HostAttributePalette, 0, 0, palette.data()) < 0) fail("no palette attribute");
  const std::vector<std::uint8_t> rows = rowsOf(image, width, height, type);
  if (rows != hostimg::imageBytes(image)) fail("the rows read differ from the stored image");

  // Saved as a picture and loaded again: the same image.
  if (!hostimg::saveTiff(image, resavedPath)) fail("a loaded image could not be saved");
  const std::int32_t again = HostImageLoadFile(resavedPath.c_str(), HOST_TIF_FORMAT_MODULE, 0);
  if (again < 0) fail("a saved image could not be loaded back");
  if (attribute(again, HostAttributeType) != type || hostimg::imageBytes(again) != rows)
    fail("a saved image loaded back differently");
  HostImageRelease(again);

  // Grey for the driver, from grey, palette and colour images.
  if (type <= 3) {
    const HostAccess access = HostImageLock(image, HostAccessRead, 0);
    const std::int32_t grey = HostImageConvert(access, 1, 0);
    HostImageUnlock(access);
    if (grey < 0) fail("a grey, palette or colour image did not convert to grey");
    if (attribute(grey, HostAttributeType) != 1 || attribute(grey, HostAttributeSize) != static_cast<std::int32_t>(size))
      fail("the grey image is not the size of its source");
    HostImageRelease(grey);
  }
}

// The configuration dialog as a host runs it, with its own template.
const platform::ControlTemplate kControls[] = {
    {vx::kConfigBitDepthBox, platform::ControlKind::CheckBox, "Bits", {10, 10, 100, 24}},
    {vx::kConfigSyncSnapBox, platform::ControlKind::CheckBox, "Synchronous snap", {10, 30, 100, 44}},
    {vx::kConfigSimulationImageButton, platform::ControlKind::Button, "Image...", {10, 50, 100, 64}},
    {1, platform::ControlKind::Button, "OK", {10, 70, 50, 84}},
    {2, platform::ControlKind::Button, "Cancel", {60, 70, 100, 84}},
};
constexpr int kTemplateId = 900;
const platform::DialogTemplate kTemplate{kTemplateId, "Driver configuration", {100, 100, 400, 300}, kControls,
                                         std::size(kControls)};

vxfuzz::DriverHost* dialogHost = nullptr;

std::intptr_t dialogProc(platform::Window dialog, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return dialogHost->configDialog(dialog, message, wParam, lParam);
}

} // namespace

// The driver loads its simulation image by a name relative to the working
// folder: the scratch folder while the dialog runs, and the fuzzer's own
// folder again afterwards (its corpus and artifacts are named relative to
// it).
class InScratchFolder {
 public:
  InScratchFolder() : previous_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (previous_ < 0 || ::chdir(vxfuzz::scratchFolder().c_str()) != 0) {
      std::perror("vxfuzz: chdir");
      std::abort();
    }
  }
  ~InScratchFolder() {
    if (::fchdir(previous_) != 0) {
      std::perror("vxfuzz: fchdir");
      std::abort();
    }
    ::close(previous_);
  }
  InScratchFolder(const InScratchFolder&) = delete;
  InScratchFolder& operator=(const InScratchFolder&) = delete;

 private:
  int previous_;
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vxfuzz::World world;
  const std::string path = vxfuzz::scratchPath("image.tif");
  if (!vxfuzz::writeFile(path, data, size) ||
      !vxfuzz::writeFile(vxfuzz::scratchFolder() + "/" + vx::kSimulationImageFile, data, size))
    return 0;

  const std::int32_t image = HostImageLoadFile(path.c_str(), HOST_TIF_FORMAT_MODULE, 0);
  const std::int32_t libraryType = image >= 0 ? attribute(image, HostAttributeType) : -1;
  if (image >= 0) {
    checkLoadedImage(image, vxfuzz::scratchPath("resaved.tif"));
    HostImageRelease(image);
  }

  vxfuzz::DriverHost host;
  dialogHost = &host;
  const platform::Window hostWindow = hl::createHostWindow("Pixora", {0, 0, 800, 600});
  host.driver().state.hostWindow = hostWindow;
  hl::queueOpenFileAnswer(path);
  hl::setDialogScript(kTemplateId, [](platform::Window dialog) {
    hl::clickButton(dialog, vx::kConfigSimulationImageButton);
    hl::clickButton(dialog, 1);
  });
  {
    const InScratchFolder inScratch;
    vxfuzz::GuardedCall call("configuration dialog");
    platform::dialogBox(kTemplate, hostWindow, &dialogProc, 0);
  }
  const std::int32_t loaded = host.driver().simulation.image;
  // The driver takes what the library loads, up to type 6.
  if ((loaded > 0) != (image >= 0 && libraryType <= 6))
    fail("the driver's load and the library's disagree about the file");
  if (loaded > 0) {
    const std::int32_t type = attribute(loaded, HostAttributeType);
    if (type < 1 || type > 6 || type == 2) fail("the driver kept a simulation image of a type it does not take");
    HostImageRelease(loaded);
  }
  dialogHost = nullptr;
  return 0;
}
