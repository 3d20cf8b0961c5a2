// The store of host images and of the access handles that lock them.
#pragma once

#include "hostlib/host_imaging.h"
#include "hostimaging/host_imaging_control.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace hostimg::detail {

using Palette = std::array<std::uint8_t, 768>;

struct Image {
  std::int32_t id = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t type = 0;
  std::size_t rowBytes = 0;
  std::vector<std::uint8_t> samples;
  std::optional<Palette> palette;  // only for type 2 images that brought their own
  bool finishedSet = false;
  std::int32_t finished = 0;
  int lockCount = 0;
};

// What a new image is made from: either zeros or given samples.
struct ImageContent {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t type = 0;
  std::vector<std::uint8_t> samples;  // empty: all zero
  std::optional<Palette> palette;
};

class ImageStore {
 public:
  static ImageStore& instance();

  // Returns the new id or a negative ImageError.
  std::int32_t create(ImageContent content);
  void release(std::int32_t image);
  HostAccess lock(std::int32_t image, std::int32_t mode);
  void unlock(HostAccess access);
  std::uint8_t* line(HostAccess access, std::int32_t row);
  std::int32_t probe(HostAccess access);
  std::int32_t attribute(std::int32_t image, std::int32_t attribute, std::int32_t value, void* out);
  std::int32_t convert(HostAccess access, std::int32_t targetType);

  void reset();
  ImageInfo info(std::int32_t image);
  std::vector<std::uint8_t> bytes(std::int32_t image);
  std::vector<std::uint32_t> pixel(std::int32_t image, std::int32_t x, std::int32_t y);
  // A copy of the image (samples included), for saving it as a picture.
  std::optional<Image> snapshot(std::int32_t image);
  std::size_t liveImages();
  std::vector<std::int32_t> liveImageIds();
  std::size_t liveLocks();

 private:
  struct Lock {
    std::shared_ptr<Image> image;
    std::int32_t mode = 0;
  };

  std::int32_t createLocked(ImageContent content);
  std::shared_ptr<Image> findImage(std::int32_t image) const;
  const Lock* findLock(HostAccess access) const;

  std::mutex mutex_;
  std::map<std::int32_t, std::shared_ptr<Image>> images_;
  std::map<HostAccess, Lock> locks_;
  std::int32_t nextId_ = 1;
  // Handles start far from image ids so that one passed for the other fails.
  HostAccess nextAccess_ = 0x40000001;
};

// The palette a palette image reports when it has none of its own.
Palette greyRamp();

}  // namespace hostimg::detail
