#include "hostimaging/file_writers.h"

#include "hostimaging/host_imaging_control.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace hostimg::detail {

bool isTifModule(const char* name) {
  if (name == nullptr) return false;
  const std::string_view wanted = HOST_TIF_FORMAT_MODULE;
  const std::string_view given = name;
  return given.size() == wanted.size() &&
         std::equal(given.begin(), given.end(), wanted.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

FileWriters& FileWriters::instance() {
  static FileWriters writers;
  return writers;
}

std::int32_t FileWriters::create(const HostFileDescriptor* descriptor, const char* path,
                                 std::int32_t mode, std::string& error) {
  if (descriptor == nullptr || path == nullptr || path[0] == '\0' || mode != 1) {
    error = "file create: null descriptor or path, or mode other than 1";
    return FileBadArgument;
  }
  const HostFileDescriptor d = *descriptor;  // later changes to the record do not count
  if (!isTifModule(d.formatModule) || d.width < 1 || d.width > 65535 || d.height < 1 ||
      d.height > 65535 || (d.samplesPerPixel != 1 && d.samplesPerPixel != 3) ||
      d.bitsPerSample != 8 || d.one != 1) {
    error = "file create: descriptor not {IFFTIF32.DLL, 1..65535, 1..65535, 1 or 3, 8, 1}";
    return FileBadArgument;
  }
  std::lock_guard guard(mutex_);
  if (files_.count(descriptor) != 0) {
    error = "file create: descriptor already has an open file";
    return FileAlreadyOpen;
  }
  const auto width = static_cast<std::uint32_t>(d.width);
  const auto height = static_cast<std::uint32_t>(d.height);
  const auto samples = static_cast<std::uint32_t>(d.samplesPerPixel);
  std::string why;
  auto writer = TiffRowWriter::create(path, width, height, samples, why);
  if (!writer) {
    error = "file create: " + why;
    return FileIoError;
  }
  OpenFile file;
  file.writer = std::move(writer);
  file.path = path;
  file.width = width;
  file.height = height;
  file.samples = samples;
  files_.emplace(descriptor, std::move(file));
  return FileOk;
}

std::int32_t FileWriters::write(const HostFileDescriptor* descriptor, const std::uint8_t* lines,
                                std::int32_t count, std::string& error) {
  std::lock_guard guard(mutex_);
  const auto it = files_.find(descriptor);
  if (it == files_.end()) {
    error = "file write: no open file for this descriptor";
    return FileNotOpen;
  }
  OpenFile& file = it->second;
  if (lines == nullptr || count < 0) {
    error = "file write: null lines or negative count";
    return FileBadArgument;
  }
  if (file.writeFailed) {
    error = "file write: an earlier write failed";
    return FileIoError;
  }
  if (static_cast<std::uint64_t>(file.rowsWritten) + static_cast<std::uint32_t>(count) >
      file.height) {
    error = "file write: " + std::to_string(count) + " rows after " +
            std::to_string(file.rowsWritten) + " pass the height " + std::to_string(file.height);
    return FileTooManyRows;
  }
  const std::size_t rowBytes = std::size_t{file.width} * file.samples;
  for (std::int32_t i = 0; i < count; ++i) {
    std::string why;
    if (!file.writer->writeRow(lines + static_cast<std::size_t>(i) * rowBytes, why)) {
      file.writeFailed = true;
      error = "file write: " + why;
      return FileIoError;
    }
    ++file.rowsWritten;
  }
  return FileOk;
}

std::int32_t FileWriters::close(const HostFileDescriptor* descriptor, std::string& error) {
  std::unique_lock guard(mutex_);
  const auto it = files_.find(descriptor);
  if (it == files_.end()) {
    error = "file close: no open file for this descriptor";
    return FileNotOpen;
  }
  OpenFile file = std::move(it->second);
  files_.erase(it);
  guard.unlock();

  std::string why;
  const bool closed = file.writer->close(why);
  if (file.writeFailed) {
    error = "file close: " + why;
    return FileIoError;
  }
  // Missing rows are the reason, also when finishing the file failed for
  // lack of them.
  if (file.rowsWritten < file.height) {
    error = "file close: " + std::to_string(file.rowsWritten) + " of " +
            std::to_string(file.height) + " rows written to " + file.path;
    return FileRowsMissing;
  }
  if (!closed) {
    error = "file close: " + why;
    return FileIoError;
  }
  return FileOk;
}

void FileWriters::reset() {
  std::map<const HostFileDescriptor*, OpenFile> dropped;
  {
    std::lock_guard guard(mutex_);
    dropped.swap(files_);
  }
  // Destroying the writers closes the files.
}

std::size_t FileWriters::openCount() {
  std::lock_guard guard(mutex_);
  return files_.size();
}

}  // namespace hostimg::detail
