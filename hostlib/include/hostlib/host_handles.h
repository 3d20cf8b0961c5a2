// Owning wrappers for the host imaging library's handles: an image the
// driver created, a lock on an image, and a file opened through the host's
// file writer. Each undoes its handle when it goes out of scope, so that
// every early return releases what was taken.
#pragma once

#include "hostlib/host_imaging.h"

#include <cstdint>
#include <utility>

namespace vx {

// A host image that the driver created. Released on destruction unless it
// was handed over to the host.
class OwnedHostImage {
 public:
  OwnedHostImage() = default;
  // Creates a width x height image of the given type code; check with
  // valid(). Host image ids are non-negative, a negative id is a failure.
  static OwnedHostImage create(std::int32_t width, std::int32_t height, std::int32_t type) {
    OwnedHostImage image;
    image.id_ = HostImageCreate(width, height, type, 0);
    return image;
  }
  ~OwnedHostImage() { reset(); }
  OwnedHostImage(OwnedHostImage&& other) noexcept : id_(std::exchange(other.id_, -1)) {}
  OwnedHostImage& operator=(OwnedHostImage&& other) noexcept {
    if (this != &other) {
      reset();
      id_ = std::exchange(other.id_, -1);
    }
    return *this;
  }
  OwnedHostImage(const OwnedHostImage&) = delete;
  OwnedHostImage& operator=(const OwnedHostImage&) = delete;

  bool valid() const { return id_ >= 0; }
  std::int32_t id() const { return id_; }
  // Gives the image to the caller (the host); it is no longer released here.
  std::int32_t handOver() { return std::exchange(id_, -1); }
  void reset() {
    if (id_ >= 0) HostImageRelease(id_);
    id_ = -1;
  }

 private:
  std::int32_t id_ = -1;
};

// A lock on a host image (mode 2 to write pixels, 1 to read). Undone on
// destruction or by unlock().
class HostImageAccess {
 public:
  HostImageAccess() = default;
  HostImageAccess(std::int32_t image, std::int32_t mode) : access_(HostImageLock(image, mode, 0)) {}
  ~HostImageAccess() { unlock(); }
  HostImageAccess(HostImageAccess&& other) noexcept : access_(std::exchange(other.access_, 0)) {}
  HostImageAccess& operator=(HostImageAccess&& other) noexcept {
    if (this != &other) {
      unlock();
      access_ = std::exchange(other.access_, 0);
    }
    return *this;
  }
  HostImageAccess(const HostImageAccess&) = delete;
  HostImageAccess& operator=(const HostImageAccess&) = delete;

  explicit operator bool() const { return access_ != 0; }
  // The pixel bytes of one row (0 = first row), or null.
  std::uint8_t* row(std::int32_t index) const { return access_ != 0 ? HostImageLine(access_, index) : nullptr; }
  void unlock() {
    if (access_ != 0) HostImageUnlock(access_);
    access_ = 0;
  }

 private:
  HostAccess access_ = 0;
};

// A file written through the host's file writer, row by row from the top.
// The descriptor's address names the open file, so the writer stays where
// it was made. A file still open on destruction is closed.
class HostFileWriter {
 public:
  explicit HostFileWriter(const HostFileDescriptor& descriptor) : descriptor_(descriptor) {}
  ~HostFileWriter() { close(); }
  HostFileWriter(const HostFileWriter&) = delete;
  HostFileWriter& operator=(const HostFileWriter&) = delete;

  bool create(const char* path) {
    open_ = HostFileCreate(&descriptor_, path, 1) == 0;
    return open_;
  }
  // Writes one row of width x samples bytes.
  bool writeLine(const std::uint8_t* line) { return HostFileWriteLines(&descriptor_, line, 1) == 0; }
  // Closes the file (also after a failed write); false when the close
  // reports failure or nothing was open.
  bool close() {
    if (!open_) return false;
    open_ = false;
    return HostFileClose(&descriptor_) == 0;
  }

 private:
  HostFileDescriptor descriptor_;
  bool open_ = false;
};

} // namespace vx
