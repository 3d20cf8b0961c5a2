// Internal helpers shared by the files of the Win32 backend.
#pragma once

#include "../text_buffers.h"
#include "platform/platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform::win32 {

// The platform's handle types are <windows.h>'s own (STRICT): HWND, HDC and
// HINSTANCE pass through unchanged.
static_assert(sizeof(Window) == sizeof(HWND));

// Registers the common control classes (trackbar, up-down, status bar)
// once, before the first control of theirs is made.
void ensureCommonControls();

// The module this code is linked into (the driver DLL or a program).
HINSTANCE thisModule();

inline RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect fromRect(const RECT& r) {
  return Rect{static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
              static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
}

// A control id as the menu parameter of CreateWindowEx.
inline HMENU idParam(int id) { return reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)); }

using shared::copyTerminated;

// Whether a window is of this class (compared without regard to case).
bool hasClass(HWND w, const char* className);

// The control with this id in a dialog when its window class is `className`
// (compared without regard to case), else null.
HWND controlOfClass(Window dialog, int id, const char* className);

} // namespace platform::win32
