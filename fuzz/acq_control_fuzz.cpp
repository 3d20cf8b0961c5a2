// A hostile host: any sequence of calls on an open camera. AcqControl with
// any message, parameter and data record; the line, image and sum transfers
// with any arguments and host images of any type and size; time-lapse
// series over any region; the pass-through; closing and reopening; the
// host's message loop with time passing.
//
// What a host owes the driver is kept: a record is exactly as large as the
// command reads (allocated to that size, so that a byte beyond it is a
// report), a text is terminated, a buffer the driver fills is as large as
// the host said, and pointers inside records point at buffers of the size
// the command promises (or are null). The bytes inside are anything.
//
// Input: decoded as a camera model, then a sequence of calls.
#include "fuzz_harness.h"

#include "driver/acq_control.h"
#include "hostlib/host_imaging.h"
#include "platform/headless_control.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace hl = platform::headless;

// Cameras to fuzz on: colour and monochrome, the auxiliary switches, the
// Demosaic/Kelvo list rebuild, and an id the driver does not know. All have
// sensors of at most 1392 x 1040, so that snapshots stay quick.
constexpr std::uint32_t kCameraIds[] = {160, 145, 421, 32, 64, 30, 999};

// Every code in the command table, and a few next to it.
constexpr std::uint32_t kCodes[] = {0,  1,  2,  3,  4,  5,  7,  12, 13, 14, 19, 21, 22, 25, 27, 33,  36,
                                    37, 39, 40, 42, 45, 48, 49, 50, 51, 52, 53, 54, 55, 63, 65, 66,  67,
                                    69, 72, 73, 74, 84, 85, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97,  98,
                                    102, 105, 106, 107, 300, 812, 835, 837, 1000, 1001};

// One allocation of exactly the size a call's record has.
struct Block {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size = 0;
};

class Session;
Session* current = nullptr;

class Session {
 public:
  explicit Session(FuzzedDataProvider& in) : in_(in) {}

  void run() {
    hostWindow_ = hl::createHostWindow("Pixora", {0, 0, 1024, 768});
    displayWindow_ = hl::createHostWindow("View", {40, 40, 680, 520});
    deadWindow_ = hl::createHostWindow("Gone", {0, 0, 100, 100});
    platform::destroyWindow(deadWindow_);
    lapsePrefix_ = vxfuzz::scratchPath("lapse");

    if (host_.open() != 0) return;
    if (in_.ConsumeBool()) {
      host_.control(ACQCMD_HOST_WINDOW, 0, hostWindow_);
      AcqDisplayRecord record{};
      record.window = displayWindow_;
      host_.control(ACQCMD_DISPLAY_OPEN, 0, &record);
    }
    for (int step = 0; step < 48 && in_.remaining_bytes() > 0; ++step) {
      switch (in_.ConsumeIntegralInRange(0, 15)) {
        case 0: case 1: case 2: case 3: case 4: case 5: case 6: control(); break;
        case 7: getLine(); break;
        case 8: getImage(); break;
        case 9: add(); break;
        case 10: timeLapse(); break;
        case 11: passThrough(); break;
        case 12: snapAndKill(); break;
        case 13: reopen(); break;
        default: passTime(); break;
      }
    }
  }

  // Host callbacks, on the host's thread inside a driver call.
  std::int32_t progress(std::int32_t code, std::int32_t value) {
    ++progressCalls_;
    return code == 4 && value == stopAtStep_ ? 1 : 0;
  }
  void lapseCallback(std::int32_t fileNumber, std::int32_t phase) {
    if (killAtFile_ == fileNumber && killAtPhase_ == phase) host_.timeLapseKill();
  }

 private:
  // ---- records -----------------------------------------------------------------

  Block block(std::size_t size) {
    Block b;
    b.size = size;
    b.bytes.reset(new std::uint8_t[size]);
    const std::vector<std::uint8_t> fill = in_.ConsumeBytes<std::uint8_t>(size);
    std::memset(b.bytes.get(), 0, size);
    if (!fill.empty()) std::memcpy(b.bytes.get(), fill.data(), fill.size());
    return b;
  }

  // A terminated text of exactly its own length.
  Block text(const std::string& value) {
    Block b;
    b.size = value.size() + 1;
    b.bytes.reset(new std::uint8_t[b.size]);
    std::memcpy(b.bytes.get(), value.c_str(), b.size);
    return b;
  }

  platform::Window window() {
    switch (in_.ConsumeIntegralInRange(0, 4)) {
      case 0: return nullptr;
      case 1: return hostWindow_;
      case 2: return displayWindow_;
      case 3: return deadWindow_;
      default: return reinterpret_cast<platform::Window>(static_cast<std::uintptr_t>(0x5000u + in_.ConsumeIntegral<std::uint8_t>()));
    }
  }

  // Settings files in the scratch folder: mostly one the calls share (so
  // that a load may find an earlier save), sometimes any name, too long ones
  // included.
  std::string settingsPath() {
    if (in_.ConsumeIntegralInRange(0, 7) != 0) return vxfuzz::scratchPath("settings.ini");
    return vxfuzz::scratchPath(in_.ConsumeRandomLengthString(300));
  }

  // The number of entries a list command fills, as the host learns it.
  std::int32_t modeCount(std::uint32_t code) {
    std::int32_t count = 0;
    host_.control(static_cast<std::int32_t>(code), ACQRES_COUNT, &count);
    return std::clamp(count, 0, 256);
  }

  // Mode records (91, 92 list) or pixel-format entries (93 list): the host's
  // name buffers of the size the driver announced, or null.
  template <class Entry, std::size_t NameSize>
  Block entries(std::int32_t count) {
    Block b = block(static_cast<std::size_t>(count) * sizeof(Entry));
    auto* list = reinterpret_cast<Entry*>(b.bytes.get());
    for (std::int32_t i = 0; i < count; ++i) {
      char* name = nullptr;
      if (in_.ConsumeIntegralInRange(0, 7) != 0) {
        names_.push_back(std::make_unique<char[]>(NameSize));
        name = names_.back().get();
      }
      list[i].name = name;
    }
    return b;
  }

  // The record a command reads and writes, at exactly its size (none for a
  // command that reads nothing).
  Block record(std::uint32_t code, bool query, std::uint32_t parameter) {
    switch (code) {
      case ACQCMD_DRIVER_NAME: return block(query ? 0 : 14);
      case ACQCMD_OPTIONS_WINDOW:
      case ACQCMD_OPTIONS_WINDOW_2: return block(query ? 8 : 0);
      case ACQCMD_SUPPORTED_COMMANDS: {
        const std::int32_t length = in_.ConsumeIntegralInRange<std::int32_t>(-2, 120);
        Block b = block(static_cast<std::size_t>(std::max(length, 1)) * 4);
        std::memcpy(b.bytes.get(), &length, 4);
        return b;
      }
      case ACQCMD_DISPLAY_OPEN: {
        Block b = block(sizeof(AcqDisplayRecord));
        reinterpret_cast<AcqDisplayRecord*>(b.bytes.get())->window = window();
        return b;
      }
      case ACQCMD_CAPTRECT:
      case ACQCMD_CAPTRECT_LIMITS: return block(sizeof(AcqRect));
      case ACQCMD_EXPOSURE_PREVIEW:
      case ACQCMD_EXPOSURE:
      case ACQCMD_GAMMA:
      case ACQCMD_GAIN: return block(sizeof(double));
      case ACQCMD_DECIMATION: return block(2 * sizeof(std::int16_t));
      case ACQCMD_GAIN_PERCENT: return block(query ? 4 : 0);
      case ACQCMD_SETTINGS_FILE:
      case ACQCMD_HOST_SETTINGS_PATH: return text(settingsPath());
      case ACQCMD_EXPOSURE_RANGE_STEP10:
      case ACQCMD_EXPOSURE_RANGE: return block(3 * sizeof(double));
      case 66: return block(4 * sizeof(std::int16_t));
      case ACQCMD_GAIN_RANGE_PERCENT: return block(3 * 4);
      case 72:
      case 73: {
        // Elements 0 to 4 (72 only), then every other one from 5 (72) or 1
        // (73) that is below the parameter and at most 512.
        const std::uint32_t first = code == 72 ? 5u : 1u;
        const std::uint32_t limit = std::min(parameter, 513u);
        std::uint32_t elements = code == 72 ? 5u : 0u;
        if (limit > first) elements = std::max(elements, first + 2 * ((limit - 1 - first) / 2) + 1);
        return block(elements * sizeof(std::int16_t));
      }
      case ACQCMD_AUTO_EXPOSURE: return block(36);
      case ACQCMD_WHITE_BALANCE: return block(52);
      case ACQCMD_COLOUR_GAIN_RANGES: return block(3 * sizeof(AcqColourGainRange));
      case ACQCMD_ACQUIRE_RESOLUTION:
      case ACQCMD_PREVIEW_RESOLUTION:
        if (query) return block(parameter == 0 ? 4 : 0);
        if (parameter == ACQRES_LIST) return entries<AcqModeRecord, ACQ_MODE_NAME_SIZE>(modeCount(code));
        return block(parameter <= ACQRES_FOUR && parameter != ACQRES_LIST ? 4 : 0);
      case ACQCMD_PIXEL_FORMAT:
        if (query) return block(4);
        if (parameter == ACQPIX_LIST)
          return entries<AcqPixelFormatEntry, ACQ_PIXEL_FORMAT_NAME_SIZE>(formatsListed_);
        return block(parameter <= ACQPIX_FOUR ? 4 : 0);
      case ACQCMD_CUSTOM_CONTROL: {
        const std::uint32_t selector = parameter & 0xFEu;
        return block(selector == 2 || selector == 16 ? 4 : selector == 32 ? 25 : 0);
      }
      case ACQCMD_BRIGHTNESS: return block(4);
      case ACQCMD_BRIGHTNESS_RANGE: return block(2 * 4);
      case ACQCMD_GAMMA_RANGE: return block(4 * sizeof(double));
      case ACQCMD_GAIN_RANGE: return block(sizeof(AcqGainRangeRecord));
      default: return block(0);  // the command reads nothing
    }
  }

  // ---- calls -------------------------------------------------------------------

  void control() {
    std::uint32_t message = in_.ConsumeIntegralInRange(0, 9) != 0
                                ? in_.PickValueInArray(kCodes)
                                : in_.ConsumeIntegral<std::uint16_t>();
    if (in_.ConsumeBool()) message |= ACQ_QUERY;
    // Only the low 16 bits of message and parameter count; the high ones
    // are anything.
    const std::uint32_t highBits =
        in_.ConsumeIntegralInRange(0, 3) == 0 ? std::uint32_t{in_.ConsumeIntegral<std::uint16_t>()} << 16 : 0u;
    const std::uint32_t parameter = in_.ConsumeIntegralInRange(0, 2) != 0 ? in_.ConsumeIntegralInRange<std::uint32_t>(0, 12)
                                                                     : in_.ConsumeIntegral<std::uint16_t>();
    const std::uint32_t code = message & 0x7FFFu;
    const bool query = (message & ACQ_QUERY) != 0;

    void* data = nullptr;
    Block b;
    if (code == ACQCMD_MULTISNAP_REPORT) {
      // The host passes the number of images in place of a pointer.
      data = reinterpret_cast<void*>(static_cast<std::intptr_t>(in_.ConsumeIntegral<std::int32_t>()));
    } else if (code == ACQCMD_HOST_WINDOW) {
      data = window();
    } else if (in_.ConsumeIntegralInRange(0, 11) == 0) {
      data = nullptr;
    } else {
      b = record(code, query, parameter);
      data = b.bytes.get();
    }
    const std::int32_t result = host_.control(static_cast<std::int32_t>(message | highBits),
                                              static_cast<std::int32_t>(parameter | highBits), data);
    if (code == ACQCMD_PIXEL_FORMAT && !query && parameter == ACQPIX_BUILD && data != nullptr && result == 0)
      formatsListed_ = std::clamp(*static_cast<std::int32_t*>(data), 0, 64);
    names_.clear();
  }

  // Bytes per pixel that AcqGetLine writes: 3 in colour, 1 in grey.
  std::int64_t lineBytesPerPixel() {
    const vx::Driver& d = host_.driver();
    return d.capture.greyMode == 0 && d.capture.colourCamera == 1 ? 3 : 1;
  }

  void getLine() {
    const std::int32_t x0 = in_.ConsumeIntegralInRange(-3000, 3000);
    const std::int32_t x1 = in_.ConsumeIntegralInRange(-3000, 3000);
    const std::int32_t row = in_.ConsumeIntegral<std::int32_t>();
    const bool withBuffer = in_.ConsumeIntegralInRange(0, 15) != 0;
    const auto bytes = static_cast<std::size_t>(std::max<std::int64_t>(std::int64_t{x1} - x0, 0) * lineBytesPerPixel());
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[bytes]);
    host_.getLine(x0, row, x1, withBuffer ? out.get() : nullptr);
  }

  // A host image of any type the host's library knows (and some it does
  // not), and any size up to about a snapshot's.
  std::int32_t hostImage() {
    const std::int32_t type = in_.ConsumeIntegralInRange(0, 10);
    const std::int32_t width = in_.ConsumeIntegralInRange(1, 1500);
    const std::int32_t height = in_.ConsumeIntegralInRange(1, 1200);
    const std::int32_t id = HostImageCreate(width, height, type, 0);
    if (id > 0) images_.push_back(id);
    return id;
  }

  void getImage() {
    std::int32_t image = -1;
    switch (in_.ConsumeIntegralInRange(0, 5)) {
      case 0: case 1: image = -1; break;
      case 2: case 3: image = hostImage(); break;
      case 4:
        image = images_.empty() ? -1 : images_[in_.ConsumeIntegralInRange<std::size_t>(0, images_.size() - 1)];
        if (in_.ConsumeBool()) HostImageRelease(image);  // an image the host has let go of
        break;
      default: image = in_.ConsumeIntegral<std::int32_t>(); break;
    }
    const std::int32_t id = host_.getImage(image);
    if (id > 0 && image == -1) images_.push_back(id);
  }

  void add() {
    std::int32_t frames = 0;
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0: frames = in_.ConsumeIntegralInRange(-2, 3); break;  // a few snapshots at most
      case 1: frames = in_.PickValueInArray({16, 17, 256, 257, 300}); break;
      case 2: frames = in_.PickValueInArray({std::numeric_limits<std::int32_t>::min(), -1000}); break;
      default: frames = std::numeric_limits<std::int32_t>::max(); break;
    }
    // More than a few frames are refused before any is taken (the depth's
    // limit); below it, each frame is a snapshot.
    if (frames > 3 && frames <= 16) frames = 3;
    const std::int32_t divisor =
        in_.ConsumeBool() ? in_.ConsumeIntegralInRange(-2, 8) : in_.ConsumeIntegral<std::int32_t>();
    AcqProgressRecord record{};
    record.function = [](std::int32_t code, std::int32_t value, std::int32_t, std::int32_t) {
      return current->progress(code, value);
    };
    record.user = in_.ConsumeIntegral<std::int32_t>();
    stopAtStep_ = in_.ConsumeIntegralInRange(0, 4);
    const bool withProgress = in_.ConsumeBool();
    host_.add(frames, divisor, withProgress ? &record : nullptr);
  }

  void timeLapse() {
    const std::int32_t count = in_.ConsumeIntegralInRange(-1, 3);
    const std::int32_t first = in_.ConsumeIntegral<std::int32_t>();
    // Up to an hour: a longer series is as legitimate, but its virtual
    // minutes would take real time to tick through.
    const auto interval = in_.ConsumeIntegralInRange<std::uint32_t>(0, 3600);
    AcqRect region{};
    const bool withRegion = in_.ConsumeBool();
    if (withRegion) {
      region.left = in_.ConsumeIntegral<std::int32_t>() >> in_.ConsumeIntegralInRange(0, 31);
      region.top = in_.ConsumeIntegral<std::int32_t>() >> in_.ConsumeIntegralInRange(0, 31);
      region.right = in_.ConsumeIntegral<std::int32_t>() >> in_.ConsumeIntegralInRange(0, 31);
      region.bottom = in_.ConsumeIntegral<std::int32_t>() >> in_.ConsumeIntegralInRange(0, 31);
    }
    // File numbers count on from the first, wrapping as 32-bit numbers do.
    killAtFile_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(first) + in_.ConsumeIntegralInRange(0u, 3u));
    killAtPhase_ = in_.ConsumeIntegralInRange(0, 2);
    const AcqLapseCallback callback = [](std::int32_t fileNumber, std::int32_t phase, std::int32_t) {
      current->lapseCallback(fileNumber, phase);
    };
    const bool withCallback = in_.ConsumeBool();
    const std::int32_t user = in_.ConsumeIntegral<std::int32_t>();
    host_.timeLapse(lapsePrefix_.c_str(), count, first, interval, withRegion ? &region : nullptr,
                    withCallback ? callback : nullptr, user);
  }

  void passThrough() {
    switch (in_.ConsumeIntegralInRange(0, 2)) {
      case 0: {
        const std::int32_t x = in_.ConsumeIntegral<std::int32_t>();
        const std::int32_t y = in_.ConsumeIntegral<std::int32_t>();
        std::int32_t width = -1;
        std::int32_t height = -1;
        host_.passThroughOpen(x, y, &width, &height);
        break;
      }
      case 1: {
        const bool none = in_.ConsumeBool();
        const auto dc = reinterpret_cast<platform::DeviceContext>(
            static_cast<std::uintptr_t>(none ? 0u : 0x7000u + in_.ConsumeIntegral<std::uint8_t>()));
        host_.passThroughPaint(dc);
        break;
      }
      default: host_.passThroughClose(); break;
    }
  }

  void snapAndKill() {
    if (in_.ConsumeBool())
      host_.snap();
    else
      host_.timeLapseKill();
  }

  // Closing, the closed driver's one command, and opening again.
  void reopen() {
    host_.close();
    for (int i = in_.ConsumeIntegralInRange(0, 3); i > 0; --i) control();
    host_.open();
  }

  // The host's message loop runs while time passes: timers fall due.
  void passTime() {
    hl::advanceTime(in_.ConsumeIntegralInRange<std::uint32_t>(0, 5000));
    host_.pumpMessages();
  }

  FuzzedDataProvider& in_;
  vxfuzz::DriverHost host_;
  platform::Window hostWindow_ = nullptr;
  platform::Window displayWindow_ = nullptr;
  platform::Window deadWindow_ = nullptr;
  std::string lapsePrefix_;
  std::vector<std::int32_t> images_;
  std::vector<std::unique_ptr<char[]>> names_;
  std::int32_t formatsListed_ = 0;
  std::int32_t stopAtStep_ = 0;
  std::int32_t killAtFile_ = 0;
  std::int32_t killAtPhase_ = 0;
  int progressCalls_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const vxfuzz::World world(vzsim::defaultModel(in.PickValueInArray(kCameraIds)));
  Session session(in);
  current = &session;
  session.run();
  current = nullptr;
  return 0;
}
