// The control interface over the image store, the file writers and the
// call journal.
#include "hostimaging/host_imaging_control.h"

#include "hostimaging/call_journal.h"
#include "hostimaging/file_writers.h"
#include "hostimaging/image_files.h"
#include "hostimaging/image_store.h"
#include "hostimaging/image_types.h"

#include <algorithm>

namespace hostimg {

using detail::CallJournal;
using detail::FileWriters;
using detail::ImageStore;

void reset() {
  FileWriters::instance().reset();
  ImageStore::instance().reset();
  CallJournal::instance().reset();
}

ImageInfo imageInfo(std::int32_t image) { return ImageStore::instance().info(image); }

std::vector<std::uint8_t> imageBytes(std::int32_t image) {
  return ImageStore::instance().bytes(image);
}

std::vector<std::uint32_t> pixel(std::int32_t image, std::int32_t x, std::int32_t y) {
  return ImageStore::instance().pixel(image, x, y);
}

std::int32_t createImage(std::int32_t width, std::int32_t height, std::int32_t type,
                         const std::vector<std::uint8_t>& bytes,
                         const std::vector<std::uint8_t>& palette) {
  const auto layout = detail::typeLayout(type);
  if (!layout || width < 1 || height < 1) return ErrorBadArgument;
  const std::size_t expected = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                               static_cast<std::size_t>(layout->bytesPerPixel());
  if (bytes.size() != expected) return ErrorBadArgument;
  detail::ImageContent content{width, height, type, bytes, std::nullopt};
  if (!palette.empty()) {
    if (palette.size() != 768 || type != 2) return ErrorBadArgument;
    content.palette.emplace();
    std::copy(palette.begin(), palette.end(), content.palette->begin());
  }
  return ImageStore::instance().create(std::move(content));
}

std::size_t liveImages() { return ImageStore::instance().liveImages(); }
std::vector<std::int32_t> liveImageIds() { return ImageStore::instance().liveImageIds(); }
std::size_t liveLocks() { return ImageStore::instance().liveLocks(); }

namespace {

bool save(std::int32_t image, const std::string& path,
          std::string (*writer)(const detail::Image&, const std::string&)) {
  const auto copy = ImageStore::instance().snapshot(image);
  if (!copy) {
    CallJournal::instance().setLastError("no image " + std::to_string(image));
    return false;
  }
  const std::string error = writer(*copy, path);
  if (!error.empty()) CallJournal::instance().setLastError(error);
  return error.empty();
}

}  // namespace

bool saveTiff(std::int32_t image, const std::string& path) {
  return save(image, path, &detail::writeTiff);
}

bool savePng(std::int32_t image, const std::string& path) {
  return save(image, path, &detail::writePng);
}

std::size_t openFiles() { return FileWriters::instance().openCount(); }
std::string lastError() { return CallJournal::instance().lastError(); }

std::vector<CallRecord> callLog() { return CallJournal::instance().log(); }
void clearCallLog() { CallJournal::instance().clearLog(); }
void setCallLogging(bool on) { CallJournal::instance().setLogging(on); }

bool failNext(const std::string& function, int count) {
  return CallJournal::instance().armFault(function, count);
}
void clearFaults() { CallJournal::instance().clearFaults(); }

}  // namespace hostimg
