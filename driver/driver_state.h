// DriverState: the one process-wide record of the driver.
//
// It lives from library load to unload. Values survive AcqClose and a new
// AcqOpen unless an operation resets them. Everything here is read and
// written on the host's user-interface thread, except the fields marked
// "streaming thread", which the SDK's frame callbacks also read: those are
// atomics or are reached through CorrectionFrames, which keeps a replaced
// frame alive until no callback can be using it.
#pragma once

#include "sdk/varcam_sdk.h"
#include "driver/acq_api.h"
#include "base/fixed_text.h"
#include "base/heap_buffer.h"
#include "platform/platform.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class CameraSession;
namespace engines {
class ExposureController;
class ResolutionTable;
class PreviewOverlay;
struct ResolutionMode;
} // namespace engines

namespace vx {

using engines::ExposureController;
using engines::PreviewOverlay;
using engines::ResolutionMode;
using engines::ResolutionTable;

using platform::Rect;
using platform::Window;

// Text sizes that hosts and files see.
inline constexpr std::size_t kPathSize = 260;          // MAX_PATH
inline constexpr std::size_t kErrorTextSize = 256;

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

// Per-section state of the options window.
struct SectionState {
  Window panel = nullptr;        // the panel's dialog, null when closed
  std::int32_t panelOpen = 0;    // set by the panel when it initialises
  std::int32_t openedOnce = 0;   // set the first time the panel is shown; never cleared
  std::int32_t positionX = 0;    // remembered top-left, screen pixels
  std::int32_t positionY = 0;
};

// A stored dark frame: one raw byte per pixel of the delivered preview.
struct DarkFrame {
  std::int32_t width = 0;
  std::int32_t height = 0;
  HeapBuffer<std::uint8_t> bytes;
};

// A stored background: one gain factor per pixel, row-major in the order of
// the RGB preview frames.
struct BackgroundFactors {
  std::int32_t width = 0;
  std::int32_t height = 0;
  HeapBuffer<double> factors;
};

// The stored correction frames, shared with the frame callbacks on the
// streaming thread. A callback holds the frame's lock while it reads it, so
// a frame replaced or released by the user-interface thread is freed only
// after the callback in flight has finished with it.
class CorrectionFrames {
 public:
  // User-interface thread: install a new frame (null releases the stored one).
  void replaceDark(std::unique_ptr<DarkFrame> frame);
  void replaceBackground(std::unique_ptr<BackgroundFactors> factors);
  bool hasDark() const;
  bool hasBackground() const;

  // Streaming thread: run `use` with the stored frame (or null) while it
  // cannot be freed.
  template <class Use>
  void withDark(Use&& use) {
    std::lock_guard lock(darkMutex_);
    use(static_cast<const DarkFrame*>(dark_.get()));
  }
  template <class Use>
  void withBackground(Use&& use) {
    std::lock_guard lock(backgroundMutex_);
    use(static_cast<const BackgroundFactors*>(background_.get()));
  }

 private:
  mutable std::mutex darkMutex_;
  std::unique_ptr<DarkFrame> dark_;
  mutable std::mutex backgroundMutex_;
  std::unique_ptr<BackgroundFactors> background_;
};

// A panel's copy of its property's values, taken when it opens and restored
// by its Cancel button.
struct PanelBackup {
  float preview = 0.0f;
  float acquire = 0.0f;
  std::int32_t locked = 0;
};

// One entry of the pixel-format list of the pixel-format command.
struct PixelFormatEntry {
  FixedText<260> name;
  std::int32_t depth = 0;
};

struct DriverState {
  DriverState();
  ~DriverState();
  DriverState(const DriverState&) = delete;
  DriverState& operator=(const DriverState&) = delete;

  // ---- lifecycle ------------------------------------------------------------
  std::int32_t driverOpen = 0;
  std::unique_ptr<CameraSession> session;
  VarcamHandle cameraHandle = nullptr;         // copy of sessionCameraHandle after open
  platform::ModuleHandle moduleInstance = nullptr;
  std::int32_t greyMode = 0;                   // image transfer as 8-bit grey
  std::int32_t hostValue74 = 0;
  std::int32_t externalTrigger = 0;
  HeapBuffer<std::uint8_t> snapRawBuffer;      // one byte per pixel
  HeapBuffer<std::uint8_t> snapRgbBuffer;      // B, G, R per pixel, rows bottom-up
  FixedText<kErrorTextSize> lastErrorText;     // never written: always empty
  std::int32_t snapWidth = 0;                  // size of the image in the snapshot buffers
  std::int32_t snapHeight = 0;
  std::int32_t lineCursor = -1;                // next buffer row AcqGetLine serves

  // ---- host command state -----------------------------------------------------
  Rect previewRect{};
  Rect acquireRect{};
  std::int32_t captureAreaPending = 0;
  std::int32_t acquireResolutionIndex = 0;
  std::int32_t previewResolutionIndex = 0;
  std::int16_t decimationY = 1;
  std::int16_t decimationX = 1;
  std::int32_t snapPending = 0;
  std::int32_t syncSnap = 0;
  std::int32_t colourCamera = 1;
  Window hostWindow = nullptr;                 // owns the driver's message boxes
  Window displayWindow = nullptr;              // the camera preview draws here
  std::int32_t pixelFormatCount = 0;
  std::int32_t pixelFormatIndex = 0;
  std::array<PixelFormatEntry, 6> pixelFormats{};
  FixedText<kPathSize> hostSettingsPath;
  std::int32_t mono12Bit = 0;
  std::int32_t colour36Bit = 0;
  std::int32_t autoExposureState = 1;
  Rect autoExposureRegion{};
  Rect whiteBalanceRegion{};

  // ---- settings file and configuration dialog ---------------------------------
  FixedText<kPathSize> settingsPath;
  FixedText<kPathSize> simulationImagePath;
  std::int32_t simulationImage = -1;

  // ---- software pass-through -----------------------------------------------------
  std::int32_t passX = 0;
  std::int32_t passY = 0;
  std::int32_t passSourceWidth = 0;
  std::int32_t passSourceHeight = 0;
  std::int32_t passFactor = 0;
  std::int32_t passRowBytes = 0;
  HeapBuffer<std::uint8_t> passHeader;         // 40-byte header + 256 16-bit indices
  platform::PaletteHandle passPalette = nullptr;
  HeapBuffer<std::uint8_t> passLine;           // one source line
  HeapBuffer<std::uint8_t> passBits;           // the bitmap's rows, bottom-up

  // ---- time-lapse -----------------------------------------------------------------
  const char* lapsePrefix = nullptr;           // the host's text, not copied
  std::int32_t lapseRemaining = 0;
  std::int32_t lapseIndex = 0;
  std::uint32_t lapseInterval = 0;
  std::int32_t lapseMinutesLeft = 0;
  std::int32_t lapseSecondsRest = 0;
  std::uint16_t lapseTick = 0;
  Rect lapseRegion{};
  AcqLapseCallback lapseCallback = nullptr;
  std::int32_t lapseUser = 0;
  std::uintptr_t lapseTimerId = 0;
  std::int32_t lapseBusy = 0;
  std::int32_t lapseRunning = 0;
  std::int32_t lapseStatus = 0;

  // ---- camera session ---------------------------------------------------------------
  VarcamHandle sessionCameraHandle = nullptr;
  std::int32_t cameraCount = 0;
  std::int32_t chosenCameraIndex = -1;
  std::uint32_t cameraId = 0;
  std::unique_ptr<ExposureController> exposureController;
  std::unique_ptr<ResolutionTable> resolutionTable;
  std::unique_ptr<PreviewOverlay> previewOverlay;

  // ---- model identification -----------------------------------------------------------
  std::string modelName;
  std::int32_t autoExposureCapable = 0;
  std::int32_t roiWidthStep = 8;
  std::int32_t roiHeightStep = 8;
  std::string serialNumberText;
  std::string apiVersionText;
  std::string driverVersionText;
  std::string firmwareVersionText;
  std::string fpgaVersionText;
  std::int32_t redGainAvailable = 0;
  std::int32_t greenGainAvailable = 0;
  std::int32_t blueGainAvailable = 0;

  // ---- preview/acquire pairs (user scale) --------------------------------------------
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
  std::int32_t exposureEditState = 0;    // the exposure panel's edit state

  PropertyPair& pair(NumericProperty property);
  const PropertyPair& pair(NumericProperty property) const;

  // ---- geometry -------------------------------------------------------------------------
  std::int32_t sensorMaxWidth = 0;
  std::int32_t sensorMaxHeight = 0;
  std::int32_t displayIndex = 0;
  std::int32_t displayWidth = 320;       // preview window client size
  std::int32_t displayHeight = 240;
  std::int32_t previewIndex = 0;
  std::int32_t previewWidth = 320;       // delivered preview image size
  std::int32_t previewHeight = 240;
  std::int32_t selectedWidth = 320;      // size of the selected preview mode
  std::int32_t selectedHeight = 240;
  std::int32_t previewOffsetX = 0;
  std::int32_t previewOffsetY = 0;
  std::int32_t previewFactorX = 1;
  std::int32_t previewFactorY = 1;
  std::int32_t previewBinningX = 0;
  std::int32_t previewBinningY = 0;
  std::int32_t acqIndex = 0;
  std::int32_t acqWidth = 0;
  std::int32_t acqHeight = 0;
  std::int32_t acqSelectedWidth = 0;
  std::int32_t acqSelectedHeight = 0;
  std::int32_t acqOffsetX = 0;
  std::int32_t acqOffsetY = 0;
  std::int32_t acqFactorX = 1;
  std::int32_t acqFactorY = 1;
  std::int32_t acqBinningX = 0;
  std::int32_t acqBinningY = 0;

  // ---- streaming and preview display --------------------------------------------------
  Window previewWindow = nullptr;
  std::int32_t previewRunning = 0;
  std::uintptr_t previewTimerId = 0;
  Window statusBar = nullptr;
  std::int32_t snapshotUsesPreviewFormat = 0;
  FrameFormatRecord savedFormat{};
  float savedFrameRate = 0.0f;
  std::int32_t snapshotWarmupPending = 0;
  std::int32_t grayscaleRequested = 0;   // saturation always written as its minimum

  // ---- snapshot options -----------------------------------------------------------------
  std::int32_t lightSource = 0;          // 0 none, 1 tungsten, 2 daylight, 3 fluorescent
  std::int32_t flickerMode = 0;
  std::int32_t mirrorHorizontal = 0;
  std::int32_t mirrorVertical = 0;

  // ---- dark frame and background correction -------------------------------------------
  CorrectionFrames corrections;
  std::int32_t darkFrameStored = 0;
  std::int32_t backgroundStored = 0;
  std::atomic<std::int32_t> darkSubtractionOn{0};       // streaming thread reads
  std::int32_t darkCallbackId = -1;
  std::atomic<std::int32_t> backgroundCorrectionOn{0};  // streaming thread reads
  std::int32_t backgroundCallbackId = -1;
  std::int32_t rgbPreviewFormat = 0;

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

  // ---- options window -------------------------------------------------------------------
  Window optionsWindow = nullptr;
  std::int32_t optionsOpen = 0;
  Window optionsParent = nullptr;
  std::array<SectionState, kSectionCount> sections{};
  std::array<PanelBackup, kNumericPropertyCount> panelBackups{};
  float exposurePanelTarget = 0.0f;        // the exposure panel's brightness target copy
  std::int32_t correctionPanelLightSource = 0;
  std::int32_t correctionPanelFlicker = 0;
  float overlayPanelAlphaValue = 100.0f;
  // -- added with the options window's panels (ui/) --
  // The image correction panel's two check boxes as stored at its last Close.
  std::int32_t backgroundChecked = 0;
  std::int32_t darkFrameChecked = 0;
  // The overlay panel's copy of the overlay settings, taken when it opens and
  // restored by its Cancel (the alpha value's copy is overlayPanelAlphaValue).
  std::int32_t overlayPanelOn = 0;
  std::int32_t overlayPanelOnPreview = 0;
  std::int32_t overlayPanelOnCapture = 0;
  std::int32_t overlayPanelColumn = 0;
  std::int32_t overlayPanelRow = 0;
  std::int32_t overlayPanelAlphaOn = 0;
  std::int32_t overlayPanelAlphaFromValue = 0;
  FixedText<kPathSize> overlayPanelFilePath;
  FixedText<kPathSize> overlayPanelAlphaFilePath;
  // -- end of the fields added with the panels --

  PanelBackup& panelBackup(NumericProperty p) { return panelBackups[static_cast<std::size_t>(p)]; }

  SectionState& section(Section s) { return sections[static_cast<std::size_t>(s)]; }
  const SectionState& section(Section s) const { return sections[static_cast<std::size_t>(s)]; }
  // The open panel of a section, or null.
  Window openPanel(Section s) const {
    const SectionState& st = section(s);
    return st.panelOpen != 0 ? st.panel : nullptr;
  }
};

// The driver's process-wide state.
DriverState& driverState();

} // namespace vx
