// DriverState: what the layers of the driver share.
//
// The record holds only what more than one layer reads or writes: the
// windows the driver was given, what identification learnt about the camera
// model, every preview/acquire pair and the exposure settings, the preview
// and acquisition geometry, the stream's and the snapshot's switches, the
// image correction and overlay switches, and the panels' open flags. State
// that one module alone uses lives in that module's own type (the camera
// session, the options window, the driver's command state, time-lapse and
// pass-through).
//
// It lives as long as the driver. Values survive AcqClose and a new AcqOpen
// unless an operation resets them. Everything here is read and written on
// the host's user-interface thread, except the two correction switches,
// which the SDK's frame callbacks also read on the streaming thread: those
// are atomics.
#pragma once

#include "base/fixed_text.h"
#include "platform/platform.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vx {

using platform::Rect;
using platform::Window;

// Text sizes that hosts and files see.
inline constexpr std::size_t kPathSize = 260;  // MAX_PATH

// A preview/acquire pair: the camera's range and default, the user scale's
// range and default, the preview and acquisition values (user scale) and
// the lock under which the panels keep the acquisition value equal to the
// preview value.
struct PropertyPair {
  float cameraMin = 0.0f;
  float cameraMax = 0.0f;
  float cameraDefault = 0.0f;
  float userMin = 0.0f;
  float userMax = 0.0f;
  float userDefault = 0.0f;
  float preview = 0.0f;
  float acquire = 0.0f;
  std::int32_t locked = 1;
};

// The numeric properties with a preview/acquire pair and a panel of their own.
enum class NumericProperty {
  Brightness,
  Contrast,
  Hue,
  Saturation,
  Gamma,
  GlobalGain,
  RedGain,
  GreenGain,
  BlueGain,
};
inline constexpr int kNumericPropertyCount = 9;

// Sections of the options window, in the order of their table.
enum class Section {
  Resolution,
  Exposure,
  GlobalGain,
  WhiteBalance,
  Gamma,
  Hue,
  Brightness,
  Saturation,
  Contrast,
  Mirror,
  ImageCorrection,
  Overlay,
  CameraInfo,
};
inline constexpr int kSectionCount = 13;

// The flags of one section's panel that the camera layer consults.
struct PanelFlags {
  std::int32_t panelOpen = 0;   // `panelOpen`: set by the panel when it initialises, cleared when it goes
  std::int32_t openedOnce = 0;  // set the first time the panel is shown; never cleared
};

// What identification learnt about the open camera's model.
struct CameraModelInfo {
  std::uint32_t cameraId = 0;             // `cameraId`: the SDK's numeric model id
  std::int32_t autoExposureCapable = 0;   // the camera runs an auto exposure of its own
  std::int32_t roiWidthStep = 8;          // steps a custom region is rounded to
  std::int32_t roiHeightStep = 8;
  std::int32_t redGainAvailable = 0;      // the camera reported a range for the gain
  std::int32_t greenGainAvailable = 0;
  std::int32_t blueGainAvailable = 0;
  // The camera information panel's texts.
  std::string modelName;
  std::string serialNumberText;
  std::string apiVersionText;
  std::string driverVersionText;
  std::string firmwareVersionText;
  std::string fpgaVersionText;
};

// A window on the sensor as the preview or the acquisition uses it: the
// preview geometry (`previewIndex`, `previewWidth`, `selectedWidth`,
// `previewOffsetX`, `previewFactorX`, `previewBinningX`, ...) and the
// acquisition geometry (`acqIndex`, `acqWidth`, `acqSelectedWidth`, ...) are
// two of these.
struct CaptureRegion {
  std::int32_t index = 0;           // entry of the preview or acquisition list
  std::int32_t width = 0;           // delivered image size, pixels
  std::int32_t height = 0;
  std::int32_t selectedWidth = 0;   // size of the selected list entry
  std::int32_t selectedHeight = 0;
  std::int32_t offsetX = 0;         // sensor pixels
  std::int32_t offsetY = 0;
  std::int32_t factorX = 1;         // subsampling or binning factor
  std::int32_t factorY = 1;
  std::int32_t binningX = 0;        // nonzero: the factor is applied by binning
  std::int32_t binningY = 0;
  friend bool operator==(const CaptureRegion&, const CaptureRegion&) = default;
};

// The preview window's client size and the preview-list entry it came from
// (`displayIndex`, `displayWidth`, `displayHeight`).
struct DisplaySize {
  std::int32_t index = 0;
  std::int32_t width = 320;
  std::int32_t height = 240;
  friend bool operator==(const DisplaySize&, const DisplaySize&) = default;
};

// The overlay's switches and its place in a 3 x 3 grid.
struct OverlayOptions {
  std::int32_t on = 0, onPreview = 0, onCapture = 0, column = 0, row = 0;
};
// The alpha blending switches and the alpha value (0..100).
struct AlphaOptions {
  std::int32_t on = 0, fromValue = 0;
  float value = 100.0f;
};

struct DriverState {
  DriverState() = default;
  DriverState(const DriverState&) = delete;
  DriverState& operator=(const DriverState&) = delete;

  // ---- the windows the driver was given ---------------------------------------------
  Window hostWindow = nullptr;     // owns the driver's message boxes (command 33)
  Window displayWindow = nullptr;  // the host's display window (command 39)
  Window previewWindow = nullptr;  // the camera preview draws here
  Window optionsParent = nullptr;  // owns the options window, its panels and their boxes

  // ---- the camera model ---------------------------------------------------------------
  CameraModelInfo model;

  // ---- preview/acquire pairs (user scale) and the exposure settings -------------------
  PropertyPair brightness;
  PropertyPair contrast;
  PropertyPair hue;
  PropertyPair saturation;
  PropertyPair exposure;        // ms; the camera scale is the user scale
  PropertyPair globalGain;
  PropertyPair gamma;
  PropertyPair redGain;
  PropertyPair greenGain;
  PropertyPair blueGain;
  float exposureDefault = 50.0f;         // the exposure panel's reset value
  float autoExposureTargetMin = 0.0f;
  float autoExposureTargetMax = 255.0f;
  float autoExposureTargetDefault = 170.0f;
  float autoExposureTarget = 170.0f;     // brightness target of auto exposure
  std::int32_t cameraAutoExposureOn = 0; // the camera's own auto exposure runs
  std::int32_t frameRateChoice = 0;

  PropertyPair& pair(NumericProperty property);
  const PropertyPair& pair(NumericProperty property) const;

  // ---- geometry -------------------------------------------------------------------------
  DisplaySize display;
  CaptureRegion preview{.index = 0, .width = 320, .height = 240, .selectedWidth = 320, .selectedHeight = 240};
  CaptureRegion acquisition;

  // ---- streaming and snapshots ------------------------------------------------------------
  std::int32_t previewRunning = 0;             // the stream is shown in previewWindow
  std::int32_t snapshotUsesPreviewFormat = 0;  // snapshots leave the camera in the preview format

  // ---- snapshot options -----------------------------------------------------------------
  std::int32_t lightSource = 0;          // 0 none, 1 tungsten, 2 daylight, 3 fluorescent
  std::int32_t flickerMode = 0;
  std::int32_t mirrorHorizontal = 0;
  std::int32_t mirrorVertical = 0;

  // ---- dark frame and background correction -------------------------------------------
  std::int32_t darkFrameStored = 0;
  std::int32_t backgroundStored = 0;
  std::atomic<std::int32_t> darkSubtractionOn{0};       // streaming thread reads
  std::atomic<std::int32_t> backgroundCorrectionOn{0};  // streaming thread reads

  // ---- overlay settings -------------------------------------------------------------------
  std::int32_t overlayOn = 0;
  std::int32_t overlayOnPreview = 0;
  std::int32_t overlayOnCapture = 0;
  std::int32_t overlayColumn = 0;
  std::int32_t overlayRow = 0;
  FixedText<kPathSize> overlayFilePath;
  std::int32_t alphaOn = 0;
  std::int32_t alphaFromValue = 0;
  float alphaValue = 100.0f;
  FixedText<kPathSize> alphaFilePath;

  // ---- the options window's panels --------------------------------------------------------
  std::array<PanelFlags, kSectionCount> panels{};

  PanelFlags& panel(Section s) { return panels[static_cast<std::size_t>(s)]; }
  const PanelFlags& panel(Section s) const { return panels[static_cast<std::size_t>(s)]; }
  bool panelOpen(Section s) const { return panel(s).panelOpen != 0; }
};

} // namespace vx
