// Driver: the whole driver as the exports see it. It owns the state the
// layers share, the camera session, the options window (which is also the
// panel view the session shows values through), and the state that only
// the export layer's own modules use: the host's command settings, the
// snapshot the host copies lines from, the configuration dialog's choices,
// the software pass-through and the time-lapse series.
//
// The exports reach the one process-wide driver through a single accessor
// in the export file; everything below them gets what it needs passed in.
// Everything here runs on the host's user-interface thread.
#pragma once

#include "base/fixed_text.h"
#include "base/heap_buffer.h"
#include "camera/camera_session.h"
#include "driver/soft_pass_through.h"
#include "driver/time_lapse.h"
#include "state/driver_state.h"
#include "ui/options_window.h"

#include <array>
#include <cstdint>

namespace vx {

inline constexpr std::size_t kErrorTextSize = 256;

// How captures reach the host, as the commands and the configuration
// dialog set it.
struct CaptureOptions {
  std::int32_t greyMode = 0;         // image transfer as 8-bit grey
  std::int32_t externalTrigger = 0;  // every capture waits for the trigger prompt
  std::int32_t syncSnap = 0;         // command 50 takes the snapshot synchronously
  std::int32_t colourCamera = 1;     // 0 once a monochrome camera was seen
  std::int32_t mono12Bit = 0;        // monochrome images at 12 bits (else 16)
  std::int32_t colour36Bit = 0;
};

// The driver's snapshot: the raw and the RGB buffer the camera filled, the
// image's size and the line cursor the host's transfers read from.
struct SnapshotImage {
  HeapBuffer<std::uint8_t> raw;   // `snapRawBuffer`: one byte per pixel
  HeapBuffer<std::uint8_t> rgb;   // `snapRgbBuffer`: B, G, R per pixel, rows bottom-up
  std::int32_t width = 0;         // size of the image in the buffers
  std::int32_t height = 0;
  std::int32_t lineCursor = -1;   // next buffer row AcqGetLine serves

  void release() {
    raw.release();
    rgb.release();
    width = height = 0;
    lineCursor = -1;
  }
};

// One entry of the pixel-format list of the pixel-format command.
struct PixelFormatEntry {
  FixedText<260> name;
  std::int32_t depth = 0;
};

// What the host set through AcqControl and reads back.
struct CommandState {
  Rect previewRect{};                          // capture rectangles as the host gave them
  Rect acquireRect{};
  std::int32_t captureAreaPending = 0;         // the next rectangle only records itself
  std::int32_t acquireResolutionIndex = 0;
  std::int32_t previewResolutionIndex = 0;
  std::int16_t decimationY = 1;
  std::int16_t decimationX = 1;
  std::int32_t snapPending = 0;                // command 50 started, 51 not yet asked
  std::int32_t pixelFormatCount = 0;
  std::int32_t pixelFormatIndex = 0;
  std::array<PixelFormatEntry, 6> pixelFormats{};
  FixedText<kPathSize> hostSettingsPath;       // command 69, kept while closed
  FixedText<kPathSize> settingsPath;           // command 54
  std::int32_t hostValue74 = 0;
  std::int32_t autoExposureState = 1;
  Rect autoExposureRegion{};
  Rect whiteBalanceRegion{};
};

// The configuration dialog's simulation image.
struct SimulationImage {
  FixedText<kPathSize> path;     // `simulationImagePath`
  std::int32_t image = -1;       // `simulationImage`: host image id, -1 none
};

class Driver {
 public:
  // `lapseTimerProc` is the time-lapse series' timer procedure (the
  // library passes one that runs its AcqTimerCallBack export).
  explicit Driver(platform::TimerProc lapseTimerProc);
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  DriverState state;
  OptionsWindow options{state, camera};
  CameraSession camera{state, options};

  std::int32_t driverOpen = 0;                 // a camera session opened
  bool sessionHeld = false;                    // from AcqOpen (even a failed one) to AcqClose
  platform::ModuleHandle moduleInstance = nullptr;
  FixedText<kErrorTextSize> lastErrorText;     // never written: always empty
  CaptureOptions capture;
  CommandState commands;
  SnapshotImage snapshot;
  SimulationImage simulation;
  PassThrough passThrough;
  LapseSeries lapse;
};

} // namespace vx
