// A libtiff handle on a file of our own, so that every read, write, seek and
// close error is seen (libtiff's TIFFClose does not report them) and the
// library's messages are kept instead of printed.
#pragma once

#include <tiffio.h>

#include <memory>
#include <string>

namespace hostimg::detail {

class TiffChannel {
 public:
  // mode "r" reads an existing file; "w" creates or truncates one.
  static std::unique_ptr<TiffChannel> open(const std::string& path, const char* mode);
  ~TiffChannel();
  TiffChannel(const TiffChannel&) = delete;
  TiffChannel& operator=(const TiffChannel&) = delete;

  TIFF* tiff() const { return tiff_; }
  // Flushes (when writing) and closes. Returns whether everything since the
  // open went without an I/O or library error.
  bool close();
  bool failed() const { return failed_; }
  const std::string& error() const { return error_; }

 private:
  TiffChannel() = default;

  static tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size);
  static tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size);
  static toff_t seekProc(thandle_t handle, toff_t offset, int whence);
  static int closeProc(thandle_t handle);
  static toff_t sizeProc(thandle_t handle);
  static int errorHandler(TIFF* tiff, void* user, const char* module, const char* format,
                          va_list args);
  void fail(std::string message);

  int fd_ = -1;
  TIFF* tiff_ = nullptr;
  bool writing_ = false;
  bool failed_ = false;
  std::string error_;
};

}  // namespace hostimg::detail
