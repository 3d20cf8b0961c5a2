// The options window's sections: one row per section with its button, its
// caption, its panel's template and the lock check boxes the window reads
// when it closes the panel; the set of sections whose buttons are shown; and
// the layout of the button column in client pixels.
#pragma once

#include "state/driver_state.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vx {

struct SectionRow {
  Section section;
  int buttonId;
  const char* stem;        // caption before " >>" / " <<"
  int templateId;          // the panel's dialog template
  bool shown;              // in the visible set
};

inline constexpr int kOptionsWindowTemplate = 9;
inline constexpr int kOptionsCloseButton = 8;

// The 13 rows in column order (Resolution first; its button is never shown).
const std::array<SectionRow, kSectionCount>& sectionTable();
const SectionRow& sectionRow(Section section);
// The row whose button has this id, or null.
const SectionRow* sectionByButton(int buttonId);

// The order in which the window's destruction removes the panels; also the
// order in which activation shows and hides them.
const std::array<Section, kSectionCount>& panelOrder();

// The lock check boxes of a section's panel, with the lock flag of the
// state each one is copied into when the window closes the panel.
struct LockBinding {
  int controlId;
  std::int32_t* flag;
};
// Fills `out` (at least 3 entries) and returns the count (0 for sections
// without lock check boxes).
std::size_t lockBindings(DriverState& state, Section section, std::span<LockBinding> out);

// The caption of a section's button: stem + " >>" (closed) or " <<" (open).
std::string sectionCaption(Section section, bool open);

// Button column layout for a visible set (indexed by Section).
struct ColumnLayout {
  std::array<Rect, kSectionCount> buttons{};     // client pixels; unused for hidden
  std::array<bool, kSectionCount> visible{};
  Rect closeButton{};
  int windowWidth = 0;
  int windowHeight = 0;
};
using VisibleSet = std::array<bool, kSectionCount>;
// The visible set the window applies when it is created.
VisibleSet defaultVisibleSet();
// Stacks the shown buttons (Resolution's never) from the top: x 3, y 5 + 24 i,
// 114 x 21; Close below them at x 25, 64 x 21; the window 126 x (24 i + 55).
ColumnLayout layoutColumn(const VisibleSet& visible);

} // namespace vx
