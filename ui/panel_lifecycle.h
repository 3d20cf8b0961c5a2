// The bookkeeping every panel of the options window shares with the window:
// which dialog is a section's panel, whether it is open, where it stood when
// it was closed, and the section button's caption.
//
// User-interface thread only.
#pragma once

#include "ui/options_window.h"

#include <cstdint>

namespace vx {

// A panel initialising: it is now the section's panel, and open.
void panelOpened(OptionsWindow& options, Section section, Window panel);

// A panel's own Close or Cancel (or close box): remembers the panel's
// top-left corner, gives the section's button its closed caption, destroys
// the panel and clears panelOpen. Reads no lock check box.
void closePanelItself(OptionsWindow& options, Section section);

// A panel's WM_DESTROY: when the panel goes without the bookkeeping above
// (its owner was destroyed with it), the section forgets it.
void panelDestroyed(OptionsWindow& options, Section section, Window panel);

// The panel's top-left corner, screen pixels, into the section's remembered
// position.
void rememberPanelPosition(OptionsWindow& options, Section section);

// Writes the section button's caption in the options window.
void setSectionCaption(const OptionsWindow& options, Section section, bool open);

// What one panel does with its messages. The shared procedure below keeps
// the options window in the panel's user data at WM_INITDIALOG, runs these,
// and forgets the panel at WM_DESTROY.
struct PanelBehaviour {
  Section section;
  // After the window is bound; null: the panel only marks itself open.
  void (*initialise)(OptionsWindow& options, Window panel) = nullptr;
  // WM_COMMAND; returns what the dialog procedure returns. Null: Close and
  // Cancel close the panel, nothing else is handled.
  std::intptr_t (*command)(OptionsWindow& options, Window panel, std::uintptr_t wParam) = nullptr;
  // The close box; null: the panel's own close bookkeeping.
  void (*closeBox)(OptionsWindow& options, Window panel) = nullptr;
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
// Sends the panel a click of one of its buttons, as the user's click would.
void pressButton(Window panel, int id);

} // namespace vx
