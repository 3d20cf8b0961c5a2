#include "hostimaging/tiff_channel.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hostimg::detail {

namespace {

// Frees the options record however open() leaves.
struct OptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

int mapProc(thandle_t, void**, toff_t*) { return 0; }
void unmapProc(thandle_t, void*, toff_t) {}

}  // namespace

std::unique_ptr<TiffChannel> TiffChannel::open(const std::string& path, const char* mode) {
  std::unique_ptr<TiffChannel> channel(new TiffChannel);
  channel->writing_ = std::strcmp(mode, "w") == 0;
  const int flags = channel->writing_ ? O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC
                                      : O_RDONLY | O_CLOEXEC;
  channel->fd_ = ::open(path.c_str(), flags, 0666);
  if (channel->fd_ < 0) {
    channel->fail("cannot open " + path + ": " + std::strerror(errno));
    return channel;
  }
  std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (!options) {
    channel->fail("out of memory");
    return channel;
  }
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &TiffChannel::errorHandler, channel.get());
  // Warnings (unknown tags and the like) do not make a file unusable.
  TIFFOpenOptionsSetWarningHandlerExtR(
      options.get(), [](TIFF*, void*, const char*, const char*, va_list) { return 1; }, nullptr);
  // "m": no memory mapping, everything goes through the procedures below.
  const char* tiffMode = channel->writing_ ? "wm" : "rm";
  channel->tiff_ = TIFFClientOpenExt(path.c_str(), tiffMode, channel.get(), &readProc, &writeProc,
                                     &seekProc, &closeProc, &sizeProc, &mapProc, &unmapProc,
                                     options.get());
  if (channel->tiff_ == nullptr) {
    channel->failed_ = true;
    if (channel->error_.empty()) channel->error_ = "not a TIFF file: " + path;
  }
  return channel;
}

TiffChannel::~TiffChannel() { close(); }

bool TiffChannel::close() {
  if (tiff_ != nullptr) {
    if (writing_ && TIFFFlush(tiff_) != 1) fail("flush failed");
    TIFF* tiff = tiff_;
    tiff_ = nullptr;
    TIFFClose(tiff);  // calls closeProc
  }
  if (fd_ >= 0) {  // opened, but libtiff refused the file
    ::close(fd_);
    fd_ = -1;
  }
  return !failed_;
}

void TiffChannel::fail(std::string message) {
  if (!failed_) error_ = std::move(message);
  failed_ = true;
}

tmsize_t TiffChannel::readProc(thandle_t handle, void* buffer, tmsize_t size) {
  auto* self = static_cast<TiffChannel*>(handle);
  auto* bytes = static_cast<char*>(buffer);
  tmsize_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(self->fd_, bytes + done, static_cast<std::size_t>(size - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      self->fail(std::string("read failed: ") + std::strerror(errno));
      return -1;
    }
    if (n == 0) break;  // end of file: libtiff judges the short read
    done += n;
  }
  return done;
}

tmsize_t TiffChannel::writeProc(thandle_t handle, void* buffer, tmsize_t size) {
  auto* self = static_cast<TiffChannel*>(handle);
  const auto* bytes = static_cast<const char*>(buffer);
  tmsize_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(self->fd_, bytes + done, static_cast<std::size_t>(size - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      self->fail(std::string("write failed: ") + std::strerror(n < 0 ? errno : EIO));
      return -1;
    }
    done += n;
  }
  return done;
}

toff_t TiffChannel::seekProc(thandle_t handle, toff_t offset, int whence) {
  auto* self = static_cast<TiffChannel*>(handle);
  const off_t position = ::lseek(self->fd_, static_cast<off_t>(offset), whence);
  if (position < 0) {
    self->fail(std::string("seek failed: ") + std::strerror(errno));
    return static_cast<toff_t>(-1);
  }
  return static_cast<toff_t>(position);
}

int TiffChannel::closeProc(thandle_t handle) {
  auto* self = static_cast<TiffChannel*>(handle);
  const int fd = self->fd_;
  self->fd_ = -1;
  if (fd >= 0 && ::close(fd) != 0) {
    self->fail(std::string("close failed: ") + std::strerror(errno));
    return -1;
  }
  return 0;
}

toff_t TiffChannel::sizeProc(thandle_t handle) {
  auto* self = static_cast<TiffChannel*>(handle);
  struct stat status {};
  if (::fstat(self->fd_, &status) != 0) return 0;
  return static_cast<toff_t>(status.st_size);
}

int TiffChannel::errorHandler(TIFF*, void* user, const char* module, const char* format,
                              va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  auto* self = static_cast<TiffChannel*>(user);
  self->fail(std::string(module != nullptr ? module : "libtiff") + ": " + text);
  return 1;  // handled: nothing printed
}

}  // namespace hostimg::detail
