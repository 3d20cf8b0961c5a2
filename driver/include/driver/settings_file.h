// Saving and loading the whole setup in a settings (INI) file.
//
// Both work on the file named by settingsPath; with an empty path they do
// nothing (there is no file to write or read). Values travel through the
// property accessors and the geometry setters, so that a load takes effect
// in the camera and in any open panel the same way a host command would.
#pragma once

#include "driver/driver.h"

namespace vx {

// Writes every setting, section by section. Keys already in the file that
// are not settings (the overlay file paths among them) are left as they are.
void saveSettings(Driver& driver);
// Loads from settingsPath, checking the camera model first: a file written
// for another model is brought into line with the connected camera (the
// user is told, resolution choices fall back to entry 0, exposures are held
// inside the camera's range).
void loadSettings(Driver& driver);

} // namespace vx
