// An uncompressed 8-bit TIFF (grey or RGB, top row first) written one row
// at a time, each row reaching the file as it comes, so that a failing disk
// shows up at the write that hit it. libtiff on Linux, the Windows Imaging
// Component on Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace hostimg::detail {

class TiffRowWriter {
 public:
  // Null with `error` set when the file cannot be created.
  static std::unique_ptr<TiffRowWriter> create(const std::string& path, std::uint32_t width,
                                               std::uint32_t height, std::uint32_t samples,
                                               std::string& error);
  virtual ~TiffRowWriter() = default;
  // One row of width x samples bytes. False with `error` set on failure.
  virtual bool writeRow(const std::uint8_t* row, std::string& error) = 0;
  // Finishes and closes the file; whether everything since create went well.
  virtual bool close(std::string& error) = 0;
};

}  // namespace hostimg::detail
