#include "driver/simulation_image.h"

#include "hostlib/host_imaging.h"

#include <array>
#include <string>

namespace vx {
namespace {

// "Image files (*.tif)" / "*.tif", ending in the double terminator.
constexpr char kFilter[] = "Image files (*.tif)\0*.tif\0";

std::string_view::size_type lastSeparator(std::string_view path) {
  return path.find_last_of("\\/");
}

// The folder of the driver's own module file, with its separator.
std::string moduleFolder(const Driver& driver) {
  std::array<char, 4096> buffer{};
  platform::moduleFileName(driver.moduleInstance, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
  const std::string_view path(buffer.data());
  const auto separator = lastSeparator(path);
  return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator + 1));
}

// Reads the stored path into simulationImagePath; without one, the fallback
// name in the driver's folder.
void readImagePath(Driver& driver) {
  std::array<char, kPathSize> buffer{};
  if (!driver.commands.hostSettingsPath.empty())
    platform::getPrivateProfileString(kSimulationSection, kSimulationKey, "", buffer.data(),
                                      static_cast<std::uint32_t>(buffer.size()),
                                      driver.commands.hostSettingsPath.c_str());
  buffer.back() = '\0';
  driver.simulation.path.assign(buffer.data());
  if (driver.simulation.path.empty()) {
    // A path that would not fit leaves the field empty rather than cut.
    std::string fallback = moduleFolder(driver);
    fallback.append(kSimulationFallbackName);
    driver.simulation.path.assign(std::string_view(fallback));
  }
}

// The image's type code, or -1 when it cannot be read.
std::int32_t imageType(std::int32_t image) {
  std::int32_t type = -1;
  if (HostImageAttribute(image, HostAttributeType, 0, 0, &type) < 0) return -1;
  return type;
}

// Converts a palette image to grey. The palette image is released whatever
// happens; returns the grey image, or a negative value.
std::int32_t convertToGrey(std::int32_t image) {
  const HostAccess access = HostImageLock(image, HostAccessRead, 0);
  if (access == 0) {
    HostImageRelease(image);
    return -1;
  }
  std::array<std::uint8_t, 768> palette{};
  HostImageAttribute(image, HostAttributePalette, 0, 0, palette.data());
  const std::int32_t grey = HostImageConvert(access, 1, 0);
  HostImageUnlock(access);
  HostImageRelease(image);
  return grey;
}

// Loads the image file; accepts the types up to 6. Returns the image id or a
// negative value (nothing left loaded).
std::int32_t loadImageFile() {
  std::int32_t image = HostImageLoadFile(kSimulationImageFile, HOST_TIF_FORMAT_MODULE, 0);
  if (image < 0) return -1;
  std::int32_t type = imageType(image);
  if (type == 2) {
    image = convertToGrey(image);
    if (image < 0) return -1;
    type = imageType(image);
  }
  if (type < 0 || type > 6) {
    HostImageRelease(image);
    return -1;
  }
  return image;
}

} // namespace

std::string_view folderOf(std::string_view path) {
  const auto separator = lastSeparator(path);
  if (separator == std::string_view::npos) return {};
  return path.substr(0, separator == 0 ? 1 : separator);
}

bool chooseSimulationImage(Driver& driver, Window owner) {
  const std::string folder(folderOf(driver.simulation.path.view()));
  platform::OpenFileRequest request;
  request.owner = owner;
  request.filter = kFilter;
  request.title = "Digital Simulation Image file";
  request.defaultExtension = "TIF";
  request.initialDirectory = folder.c_str();
  request.flags = platform::OFN_FILEMUSTEXIST | platform::OFN_HIDEREADONLY;
  // One byte more than a path may have, so that a path too long for the
  // field shows as such instead of arriving cut to the name of another file.
  std::array<char, kPathSize + 1> chosen{};
  if (!platform::getOpenFileName(request, chosen.data(), chosen.size())) return false;
  chosen.back() = '\0';
  if (!driver.simulation.path.assign(chosen.data())) return false;
  if (!driver.commands.hostSettingsPath.empty())
    platform::writePrivateProfileString(kSimulationSection, kSimulationKey, chosen.data(),
                                        driver.commands.hostSettingsPath.c_str());
  return true;
}

bool loadSimulationImage(Driver& driver) {
  DriverState& state = driver.state;
  platform::messageBox(state.hostWindow, "Getting image...  Should not happen!!!", "yo", platform::MB_OK);
  readImagePath(driver);
  const std::int32_t image = loadImageFile();
  if (image < 0) return false;
  if (driver.simulation.image > 0) HostImageRelease(driver.simulation.image);
  driver.simulation.image = image;
  return true;
}

} // namespace vx
