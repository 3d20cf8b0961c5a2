// The camera options window: a column of section buttons, each toggling a
// modeless panel. The window keeps the bookkeeping of its panels (which
// dialog is a section's panel, where it stood, each panel's copies for its
// Cancel) and is the panel view through which the camera layer shows values
// in open panels.
//
// Every dialog of the window finds the window object again through its
// window user data, stored when the dialog initialises. Runs on the host's
// user-interface thread.
#pragma once

#include "base/fixed_text.h"
#include "state/driver_state.h"
#include "state/panel_view.h"

#include <array>
#include <cstdint>

namespace vx {

class CameraSession;

// A panel's copy of its property's values, taken when it opens and restored
// by its Cancel button.
struct PanelBackup {
  float preview = 0.0f;
  float acquire = 0.0f;
  std::int32_t locked = 0;
};

// What a panel keeps about one preview/acquire pair while it shows it: the
// last position of each spin (a press compares the new position with it to
// tell the arrows apart) and whether it is writing back a value that was
// out of range (the write's own change handling then only shows it).
struct PairPanelState {
  std::int32_t previewSpin = 0;
  std::int32_t acquireSpin = 0;
  bool revertingPreview = false;
  bool revertingAcquire = false;
};

// Where a section's panel is: its dialog (null while it does not exist)
// and its remembered top-left corner, screen pixels.
struct PanelPlace {
  Window panel = nullptr;
  std::int32_t positionX = 0;
  std::int32_t positionY = 0;
};

// The overlay panel's copy of the overlay settings, taken when it opens and
// restored by its Cancel.
struct OverlayPanelCopy {
  OverlayOptions overlay;
  AlphaOptions alpha;
  FixedText<kPathSize> overlayFilePath;
  FixedText<kPathSize> alphaFilePath;
};

// The exposure panel's own state: its Cancel copies (the brightness
// target's copy is exposurePanelTarget), which exposure range is active,
// the field each side's spin steps, and the spins' last positions. All of
// it survives closing the panel.
struct ExposurePanelState {
  float preview = 0.0f;
  float acquire = 0.0f;
  std::int32_t locked = 0;
  std::int32_t extended = 0;          // "Extend..." chose the extended range
  std::int32_t previewField = 0;      // 0 microseconds .. 4 hours
  std::int32_t acquireField = 0;
  std::int32_t previewSpin = 0;       // last positions of the three spins
  std::int32_t acquireSpin = 0;
  std::int32_t targetSpin = 0;
};

class OptionsWindow final : public PanelView {
 public:
  // The camera session is used only once the window is opened.
  OptionsWindow(DriverState& state, CameraSession& camera);
  ~OptionsWindow() override;
  OptionsWindow(const OptionsWindow&) = delete;
  OptionsWindow& operator=(const OptionsWindow&) = delete;

  // Opens the window owned by `parent` with its top-left at (x, y), screen
  // pixels; a second open only logs. Returns 1.
  int open(Window parent, int x, int y);

  // Destroys the window and every panel that exists, clearing each panel's
  // open flag and optionsOpen. No lock check box is read and no position
  // recorded.
  void destroy();

  // A section's button pressed. An open panel is closed: its lock check
  // boxes become the lock flags, automatic exposure ends (exposure), its
  // position is remembered. A closed one is opened beside the window the
  // first time, and where it was left afterwards. Returns 1.
  int toggleSection(Section section);

  DriverState& state() const { return state_; }
  CameraSession& camera() const { return camera_; }

  // The window, null while it is not open.
  Window window() const { return optionsWindow; }
  // A section's panel while it exists, and while it is open.
  Window panelWindow(Section section) const { return place(section).panel; }
  Window openPanel(Section section) const;

  PanelPlace& place(Section s) { return places[static_cast<std::size_t>(s)]; }
  const PanelPlace& place(Section s) const { return places[static_cast<std::size_t>(s)]; }
  PanelBackup& panelBackup(NumericProperty p) { return panelBackups[static_cast<std::size_t>(p)]; }
  PairPanelState& pairState(NumericProperty p) { return pairStates[static_cast<std::size_t>(p)]; }

  // ---- the panel view (open_panel_routes.cpp) ---------------------------------------------
  bool setPreviewValue(NumericProperty property, float value) override;
  bool setAcquireValue(NumericProperty property, float value) override;
  bool setLockBox(NumericProperty property, std::int32_t locked) override;
  bool showSaturation(float preview) override;
  bool showExposures(float preview, float acquire) override;
  bool showPreviewExposure(float preview) override;
  bool setAcquireExposure(float acquire) override;
  bool setExposureLockBox(std::int32_t locked) override;
  bool setBrightnessTarget(float target) override;
  bool switchCameraAutoExposure(std::int32_t on) override;
  bool showFrameRates(float current, std::span<const float> rates) override;
  bool showWhiteBalanceGains(float red, float green, float blue) override;
  bool showPreviewOffsets(std::optional<std::int32_t> x, std::optional<std::int32_t> y) override;
  bool showPreviewGeometry(const CaptureRegion& preview) override;
  bool refreshPreviewFields(const CaptureRegion& preview) override;
  bool showDisplaySize(const DisplaySize& display) override;
  bool showAcquisitionMode(const CaptureRegion& acquisition) override;
  bool setMirrorBoxes(std::int32_t horizontal, std::int32_t vertical) override;
  bool selectLightSource(std::int32_t index) override;
  bool selectFlickerMode(std::int32_t index) override;
  bool showFrameStored(CorrectionFrame frame) override;
  bool showFrameDiscarded(CorrectionFrame frame) override;
  bool setOverlayOptions(const OverlayOptions& options) override;
  bool setAlphaOptions(const AlphaOptions& options) override;
  bool closeOptionsWindow() override;

  // ---- bookkeeping of the window and its panels ---------------------------------------------
  Window optionsWindow = nullptr;
  std::int32_t optionsOpen = 0;
  std::array<PanelPlace, kSectionCount> places{};
  std::array<PanelBackup, kNumericPropertyCount> panelBackups{};
  std::array<PairPanelState, kNumericPropertyCount> pairStates{};
  float exposurePanelTarget = 0.0f;        // the exposure panel's brightness target copy
  std::int32_t exposureEditState = 0;      // the exposure panel's update flag
  ExposurePanelState exposurePanel;
  std::int32_t correctionPanelLightSource = 0;
  std::int32_t correctionPanelFlicker = 0;
  // The image correction panel's two check boxes as stored at its last Close.
  std::int32_t backgroundChecked = 0;
  std::int32_t darkFrameChecked = 0;
  OverlayPanelCopy overlayPanel;

 private:
  DriverState& state_;
  CameraSession& camera_;
};

// The options window a dialog of it belongs to (from the dialog's user
// data), or null.
OptionsWindow* optionsWindowOf(Window dialog);
// What a dialog of the options window is created with: WM_INITDIALOG
// stores it in the dialog's user data.
std::intptr_t initParamFor(OptionsWindow& options);
void bindDialog(Window dialog, std::intptr_t initParam);

} // namespace vx
