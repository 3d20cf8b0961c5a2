// PanelView: what the camera layer shows in the options window's panels.
//
// The camera session and the property accessors never touch a panel's
// controls. When they change a value whose panel may be open, they call the
// view, which writes the panel's controls if that panel is open and returns
// whether it was. The return value tells the caller which route applies: a
// setter whose panel is open leaves the camera to the panel's own change
// handling; with the panel closed it writes the camera itself.
//
// The options window (ui/) implements the view; the driver wires it to the
// camera session. Every method runs on the host's user-interface thread.
#pragma once

#include "state/driver_state.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vx {

// The two correction frames the image correction panel reports on.
enum class CorrectionFrame { Dark, Background };

class PanelView {
 public:
  virtual ~PanelView() = default;

  // ---- numeric property panels and the white balance panel's gains ----------------------
  // The host set a preview value: it is written into the panel's preview edit
  // ("%d" of the truncated value for brightness, contrast, hue and
  // saturation, "%.2f" for the others) and becomes the panel's Cancel value.
  virtual bool setPreviewValue(NumericProperty property, float value) = 0;
  // The same for the acquisition value and its edit.
  virtual bool setAcquireValue(NumericProperty property, float value) = 0;
  // The lock check box follows the flag, without the panel's click handling.
  virtual bool setLockBox(NumericProperty property, std::int32_t locked) = 0;
  // Grey rendering ended: the saturation panel shows the preview saturation
  // ("%d") and applies it; its Cancel value stays.
  virtual bool showSaturation(float preview) = 0;

  // ---- exposure panel ---------------------------------------------------------------------
  // The host set the preview exposure: both sides' time fields show the
  // preview and the acquisition exposure.
  virtual bool showExposures(float preview, float acquire) = 0;
  // A one-shot auto exposure reached a new preview exposure: the preview
  // time fields show it.
  virtual bool showPreviewExposure(float preview) = 0;
  // The host set the acquisition exposure: the acquisition time fields are
  // written with the panel's update flag set, then again with it cleared,
  // so that the panel takes the value in.
  virtual bool setAcquireExposure(float acquire) = 0;
  virtual bool setExposureLockBox(std::int32_t locked) = 0;
  // The host set the auto-exposure brightness target: the panel's copy and
  // its edit ("%d", truncated).
  virtual bool setBrightnessTarget(float target) = 0;
  // The host switched the camera's own auto exposure: the check box follows
  // and is clicked, so that the panel switches the camera's mode.
  virtual bool switchCameraAutoExposure(std::int32_t on) = 0;
  // The frame-rate list: the current rate as its text and the rates the
  // camera offers now (each "%.2f").
  virtual bool showFrameRates(float current, std::span<const float> rates) = 0;

  // ---- white balance panel ------------------------------------------------------------------
  // A one-shot white balance read the gains back: the three preview edits
  // show them ("%.2f").
  virtual bool showWhiteBalanceGains(float red, float green, float blue) = 0;

  // ---- resolution panel ---------------------------------------------------------------------
  // The preview offsets were moved onto the sensor: each one given is shown.
  virtual bool showPreviewOffsets(std::optional<std::int32_t> x, std::optional<std::int32_t> y) = 0;
  // The preview geometry changed: the preview list's selection, the width,
  // height and offsets.
  virtual bool showPreviewGeometry(const CaptureRegion& preview) = 0;
  // The acquisition geometry changed: the panel's preview width, height and
  // offsets are written again (the list selections stay).
  virtual bool refreshPreviewFields(const CaptureRegion& preview) = 0;
  // The display size changed: the window-size list's selection, width and height.
  virtual bool showDisplaySize(const DisplaySize& display) = 0;
  // An acquisition mode was selected: its entry in the acquisition list.
  virtual bool showAcquisitionMode(const CaptureRegion& acquisition) = 0;

  // ---- mirror panel -------------------------------------------------------------------------
  // The host set the mirroring: each box whose flag is 1 is ticked.
  virtual bool setMirrorBoxes(std::int32_t horizontal, std::int32_t vertical) = 0;

  // ---- image correction panel --------------------------------------------------------------
  // The host chose a light source or a flicker frequency: the panel's copy
  // and its list selection, without notification.
  virtual bool selectLightSource(std::int32_t index) = 0;
  virtual bool selectFlickerMode(std::int32_t index) = 0;
  // A frame was stored: its status text says so.
  virtual bool showFrameStored(CorrectionFrame frame) = 0;
  // A stored frame was discarded: its status text says none is taken and its
  // check box is cleared.
  virtual bool showFrameDiscarded(CorrectionFrame frame) = 0;

  // ---- overlay panel ------------------------------------------------------------------------
  // The host set the overlay switches and place: the check boxes and the
  // position buttons follow, then the panel's switch handling runs.
  virtual bool setOverlayOptions(const OverlayOptions& options) = 0;
  // The host set the alpha switches and value: the boxes, the value's copy
  // and edit follow, then the panel applies the value and its switches.
  virtual bool setAlphaOptions(const AlphaOptions& options) = 0;

  // ---- the options window --------------------------------------------------------------------
  // The camera closed: the window is destroyed with every panel. Returns
  // whether it was open.
  virtual bool closeOptionsWindow() = 0;

 protected:
  PanelView() = default;
  PanelView(const PanelView&) = default;
  PanelView& operator=(const PanelView&) = default;
};

} // namespace vx
