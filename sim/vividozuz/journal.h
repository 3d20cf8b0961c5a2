// The journal of SDK calls and frame deliveries. Calls are kept with their
// arguments as text; frame deliveries go into a ring of fixed-size records
// (allocated once), so recording a frame allocates nothing.
#pragma once

#include "vividozuz/property_store.h"
#include "vividozuz/sim_control.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vzsim {

enum class FrameTarget : std::uint8_t { TakeVideo, Streaming, RgbPreview, Display };
const char* frameTargetName(FrameTarget target);

// The settings a frame was made with, as journalled.
struct FrameStamp {
  int camera = 0;
  std::uint64_t frameNumber = 0;
  FrameFormatRecord format{};
  float frameRate = 0.0f;
  PropertyValues properties;
};

class Journal {
public:
  explicit Journal(std::size_t frameCapacity = 16384, std::size_t callCapacity = 200000);

  void recordCall(int camera, const char* function, std::vector<std::string> args, bool ok,
                  std::int64_t result, std::uint32_t error);
  void recordFrame(FrameTarget target, const FrameStamp& stamp);

  std::vector<JournalEntry> entries() const;
  void clear();
  void setRecordFrames(bool on);
  bool recordsFrames() const;

private:
  struct CallRecord {
    std::uint64_t sequence;
    int camera;
    const char* function;
    std::vector<std::string> args;
    bool ok;
    std::int64_t result;
    std::uint32_t error;
  };
  struct FrameRecord {
    std::uint64_t sequence;
    FrameTarget target;
    FrameStamp stamp;
  };

  mutable std::mutex mutex_;
  std::uint64_t nextSequence_ = 1;
  bool recordFrames_ = true;
  std::size_t frameCapacity_;
  std::size_t callCapacity_;
  std::deque<CallRecord> calls_;
  std::vector<FrameRecord> frames_;  // ring, allocated at the first frame
  std::size_t frameStart_ = 0;
  std::size_t frameCount_ = 0;
};

} // namespace vzsim
