#include "ui/section_table.h"

#include "ui/panel_ids.h"

namespace vx {
namespace {

constexpr std::array<SectionRow, kSectionCount> kRows{{
    {Section::Resolution, 1054, "Resolution", 116, false},
    {Section::Exposure, 1053, "Exposure", 105, false},
    {Section::GlobalGain, 1055, "Global Gain", 115, false},
    {Section::WhiteBalance, 1049, "White Balance", 114, false},
    {Section::Gamma, 1052, "Gamma", 112, false},
    {Section::Hue, 1046, "Hue", 110, false},
    {Section::Brightness, 1044, "Brightness", 103, false},
    {Section::Saturation, 1047, "Saturation", 109, false},
    {Section::Contrast, 1045, "Contrast", 108, false},
    {Section::Mirror, 1048, "Mirror", 107, true},
    {Section::ImageCorrection, 1050, "Image Correction", 111, false},
    {Section::Overlay, 1056, "Overlay", 117, false},
    {Section::CameraInfo, 1051, "Camera Info", 104, true},
}};

constexpr std::array<Section, kSectionCount> kPanelOrder{
    Section::Brightness, Section::Contrast,   Section::Hue,
    Section::Saturation, Section::Mirror,     Section::Exposure,
    Section::CameraInfo, Section::GlobalGain, Section::Gamma,
    Section::ImageCorrection, Section::Overlay, Section::Resolution,
    Section::WhiteBalance,
};

constexpr std::size_t index(Section s) { return static_cast<std::size_t>(s); }

// The table is indexed by Section: each row sits at its section's place.
constexpr bool rowsInSectionOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i)
    if (index(kRows[i].section) != i) return false;
  return true;
}
static_assert(rowsInSectionOrder());

} // namespace

const std::array<SectionRow, kSectionCount>& sectionTable() { return kRows; }

const SectionRow& sectionRow(Section section) { return kRows[index(section)]; }

const SectionRow* sectionByButton(int buttonId) {
  for (const SectionRow& row : kRows)
    if (row.buttonId == buttonId) return &row;
  return nullptr;
}

const std::array<Section, kSectionCount>& panelOrder() { return kPanelOrder; }

std::size_t lockBindings(DriverState& state, Section section, std::span<LockBinding> out) {
  const auto one = [&](std::int32_t& flag) {
    if (out.empty()) return std::size_t{0};
    out[0] = {kNumericLock, &flag};
    return std::size_t{1};
  };
  switch (section) {
    case Section::Exposure: return one(state.exposure.locked);
    case Section::GlobalGain: return one(state.globalGain.locked);
    case Section::Gamma: return one(state.gamma.locked);
    case Section::Hue: return one(state.hue.locked);
    case Section::Brightness: return one(state.brightness.locked);
    case Section::Saturation: return one(state.saturation.locked);
    case Section::Contrast: return one(state.contrast.locked);
    case Section::WhiteBalance:
      if (out.size() < 3) return 0;
      out[0] = {kWhiteBalanceRedLock, &state.redGain.locked};
      out[1] = {kWhiteBalanceGreenLock, &state.greenGain.locked};
      out[2] = {kWhiteBalanceBlueLock, &state.blueGain.locked};
      return 3;
    case Section::Resolution:
    case Section::Mirror:
    case Section::ImageCorrection:
    case Section::Overlay:
    case Section::CameraInfo:
      return 0;
  }
  return 0;
}

std::string sectionCaption(Section section, bool open) {
  return std::string(sectionRow(section).stem) + (open ? " <<" : " >>");
}

VisibleSet defaultVisibleSet() {
  VisibleSet visible{};
  for (const SectionRow& row : kRows) visible[index(row.section)] = row.shown;
  return visible;
}

ColumnLayout layoutColumn(const VisibleSet& visible) {
  ColumnLayout layout;
  int shown = 0;
  for (const SectionRow& row : kRows) {
    const std::size_t s = index(row.section);
    // The resolution button is hidden whatever the visible set says.
    if (row.section == Section::Resolution || !visible[s]) continue;
    const int y = 5 + 24 * shown;
    layout.buttons[s] = Rect{3, y, 3 + 114, y + 21};
    layout.visible[s] = true;
    ++shown;
  }
  const int closeY = 5 + 24 * shown;
  layout.closeButton = Rect{25, closeY, 25 + 64, closeY + 21};
  layout.windowWidth = 126;
  layout.windowHeight = 24 * shown + 55;
  return layout;
}

} // namespace vx
