// The TIF files opened through HostFileCreate, found again by the address of
// the descriptor they were opened with.
#pragma once

#include "hostlib/host_imaging.h"
#include "hostimaging/tiff_row_writer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace hostimg::detail {

class FileWriters {
 public:
  static FileWriters& instance();

  // Each returns 0 or a FileError; `error` receives what went wrong.
  std::int32_t create(const HostFileDescriptor* descriptor, const char* path, std::int32_t mode,
                      std::string& error);
  std::int32_t write(const HostFileDescriptor* descriptor, const std::uint8_t* lines,
                     std::int32_t count, std::string& error);
  std::int32_t close(const HostFileDescriptor* descriptor, std::string& error);

  void reset();
  std::size_t openCount();

 private:
  struct OpenFile {
    std::unique_ptr<TiffRowWriter> writer;
    std::string path;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t samples = 0;
    std::uint32_t rowsWritten = 0;
    bool writeFailed = false;
  };

  std::mutex mutex_;
  std::map<const HostFileDescriptor*, OpenFile> files_;
};

// Whether a format module name is the TIF module's, in any letter case.
bool isTifModule(const char* name);

}  // namespace hostimg::detail
