#include "hostimaging/file_writers.h"

#include "hostimaging/host_imaging_control.h"

#include <strings.h>

#include <algorithm>

namespace hostimg::detail {

bool isTifModule(const char* name) {
  return name != nullptr && ::strcasecmp(name, HOST_TIF_FORMAT_MODULE) == 0;
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
  auto channel = TiffChannel::open(path, "w");
  TIFF* tiff = channel->tiff();
  if (tiff == nullptr) {
    error = channel->error();
    return FileIoError;
  }
  const auto width = static_cast<std::uint32_t>(d.width);
  const auto height = static_cast<std::uint32_t>(d.height);
  const auto samples = static_cast<std::uint16_t>(d.samplesPerPixel);
  // One row per strip: a failing disk shows up at the write that hit it.
  if (TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width) != 1 ||
      TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height) != 1 ||
      TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples) != 1 ||
      TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, std::uint16_t{8}) != 1 ||
      TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
                   samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) != 1 ||
      TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) != 1 ||
      TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) != 1 ||
      TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) != 1 ||
      TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t{1}) != 1) {
    error = "file create: " + channel->error();
    return FileIoError;
  }
  OpenFile file;
  file.channel = std::move(channel);
  file.path = path;
  file.width = width;
  file.height = height;
  file.samples = samples;
  file.row.resize(std::size_t{width} * samples);
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
    const std::uint8_t* source = lines + static_cast<std::size_t>(i) * rowBytes;
    std::copy(source, source + rowBytes, file.row.begin());
    // Each row is a strip of its own, written out at once.
    if (TIFFWriteEncodedStrip(file.channel->tiff(), file.rowsWritten, file.row.data(),
                              static_cast<tmsize_t>(rowBytes)) < 0) {
      file.writeFailed = true;
      error = "file write: " + file.channel->error();
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

  const bool closed = file.channel->close();
  if (file.writeFailed || !closed) {
    error = "file close: " + file.channel->error();
    return FileIoError;
  }
  if (file.rowsWritten < file.height) {
    error = "file close: " + std::to_string(file.rowsWritten) + " of " +
            std::to_string(file.height) + " rows written to " + file.path;
    return FileRowsMissing;
  }
  return FileOk;
}

void FileWriters::reset() {
  std::map<const HostFileDescriptor*, OpenFile> dropped;
  {
    std::lock_guard guard(mutex_);
    dropped.swap(files_);
  }
  // Destroying the channels closes the files.
}

std::size_t FileWriters::openCount() {
  std::lock_guard guard(mutex_);
  return files_.size();
}

}  // namespace hostimg::detail
