// The bookkeeping every panel of the options window shares with the window:
// which dialog is a section's panel, whether it is open, where it stood when
// it was closed, and the section button's caption.
//
// User-interface thread only.
#pragma once

#include "driver/driver_state.h"

#include <cstdint>

namespace vx {

// A panel initialising: it is now the section's panel, and open.
void panelOpened(DriverState& state, Section section, Window panel);

// A panel's own Close or Cancel (or close box): remembers the panel's
// top-left corner, gives the section's button its closed caption, destroys
// the panel and clears panelOpen. Reads no lock check box.
void closePanelItself(DriverState& state, Section section);

// A panel's WM_DESTROY: when the panel goes without the bookkeeping above
// (its owner was destroyed with it), the section forgets it.
void panelDestroyed(DriverState& state, Section section, Window panel);

// The panel's top-left corner, screen pixels, into the section's remembered
// position.
void rememberPanelPosition(DriverState& state, Section section);

// Writes the section button's caption in the options window.
void setSectionCaption(DriverState& state, Section section, bool open);

// What one panel does with its messages. The shared procedure below binds
// the driver state at WM_INITDIALOG, runs these, and forgets the panel at
// WM_DESTROY.
struct PanelBehaviour {
  Section section;
  // After the state is bound; null: the panel only marks itself open.
  void (*initialise)(DriverState& state, Window panel) = nullptr;
  // WM_COMMAND; returns what the dialog procedure returns. Null: Close and
  // Cancel close the panel, nothing else is handled.
  std::intptr_t (*command)(DriverState& state, Window panel, std::uintptr_t wParam) = nullptr;
  // The close box; null: the panel's own close bookkeeping.
  void (*closeBox)(DriverState& state, Window panel) = nullptr;
};

std::intptr_t runPanelMessage(const PanelBehaviour& behaviour, Window panel, unsigned message,
                              std::uintptr_t wParam, std::intptr_t lParam);

// Whether a control of a WM_COMMAND was clicked, and which.
inline bool isClick(std::uintptr_t wParam) { return platform::hiWord(wParam) == platform::BN_CLICKED; }
inline int commandId(std::uintptr_t wParam) { return static_cast<int>(platform::loWord(wParam)); }

// 1 only when the check box reads exactly checked.
std::int32_t checkedFlag(Window panel, int id);
// Sets a check box from a flag (nonzero: checked).
void setChecked(Window panel, int id, std::int32_t flag);

} // namespace vx
