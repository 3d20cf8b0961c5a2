// The simulation image of the configuration dialog: a TIF file the user
// chooses, whose path is remembered in the host's settings file, and the
// host image loaded for it.
#pragma once

#include "driver/driver.h"

#include <string_view>

namespace vx {

// Section and key of the simulation image path in the host's settings file
// (hostSettingsPath): the key is written there when the user chooses a file
// and read back from there before the image is loaded.
inline constexpr const char* kSimulationSection = "VARNEX CAMERA";
inline constexpr const char* kSimulationKey = "ImageFile";
// The file the image is loaded from, and the name put after the driver's own
// folder when no path is stored.
inline constexpr const char* kSimulationImageFile = "c:\\Varcamtemp.tif";
inline constexpr const char* kSimulationFallbackName = "c:\\QXTemp.tif";

// Lets the user choose a TIF file (file-open dialog owned by `owner`,
// starting in the folder of the last choice). On a choice stores it in
// simulationImagePath and in the host's settings file and returns true;
// false when the user cancelled (nothing changed).
bool chooseSimulationImage(Driver& driver, Window owner);

// Reads the stored path back into simulationImagePath, loads the image file
// as a host image (a palette image converted to grey) and keeps it in
// simulationImage, releasing the one it replaces. Returns whether an image
// was loaded; on failure simulationImage is unchanged.
bool loadSimulationImage(Driver& driver);

// The folder part of a path: everything before its last '\' or '/' (the
// separator itself kept when it is the first character); empty without one.
std::string_view folderOf(std::string_view path);

} // namespace vx
