#include "hostimaging/image_store.h"

#include "hostimaging/image_types.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace hostimg::detail {

namespace {

// Luminance of an RGB triple, rounded to nearest.
std::uint8_t luminance(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const double y = 0.299 * r + 0.587 * g + 0.114 * b;
  return static_cast<std::uint8_t>(std::lround(y));
}

}  // namespace

Palette greyRamp() {
  Palette palette{};
  for (std::size_t i = 0; i < 256; ++i) {
    const auto level = static_cast<std::uint8_t>(i);
    palette[i * 3] = level;
    palette[i * 3 + 1] = level;
    palette[i * 3 + 2] = level;
  }
  return palette;
}

ImageStore& ImageStore::instance() {
  static ImageStore store;
  return store;
}

std::int32_t ImageStore::create(ImageContent content) {
  std::lock_guard guard(mutex_);
  return createLocked(std::move(content));
}

std::int32_t ImageStore::createLocked(ImageContent content) {
  const auto layout = typeLayout(content.type);
  if (!layout || content.width < 1 || content.height < 1 || content.width > kMaxSide ||
      content.height > kMaxSide) {
    return ErrorBadArgument;
  }
  if (content.palette && content.type != 2) return ErrorBadArgument;
  const std::size_t rowBytes =
      static_cast<std::size_t>(content.width) * static_cast<std::size_t>(layout->bytesPerPixel());
  const std::size_t total = rowBytes * static_cast<std::size_t>(content.height);
  if (total > kMaxSampleBytes) return ErrorNoMemory;
  if (!content.samples.empty() && content.samples.size() != total) return ErrorBadArgument;
  if (nextId_ == std::numeric_limits<std::int32_t>::max()) return ErrorNoMemory;

  auto image = std::make_shared<Image>();
  try {
    if (content.samples.empty()) {
      image->samples.assign(total, 0);
    } else {
      image->samples = std::move(content.samples);
    }
  } catch (const std::bad_alloc&) {
    return ErrorNoMemory;
  }
  image->id = nextId_++;
  image->width = content.width;
  image->height = content.height;
  image->type = content.type;
  image->rowBytes = rowBytes;
  image->palette = content.palette;
  images_.emplace(image->id, image);
  return image->id;
}

std::shared_ptr<Image> ImageStore::findImage(std::int32_t image) const {
  const auto it = images_.find(image);
  return it == images_.end() ? nullptr : it->second;
}

const ImageStore::Lock* ImageStore::findLock(HostAccess access) const {
  const auto it = locks_.find(access);
  return it == locks_.end() ? nullptr : &it->second;
}

void ImageStore::release(std::int32_t image) {
  std::lock_guard guard(mutex_);
  // Locks still holding the image keep its storage alive until unlocked.
  images_.erase(image);
}

HostAccess ImageStore::lock(std::int32_t image, std::int32_t mode) {
  std::lock_guard guard(mutex_);
  if (mode != HostAccessRead && mode != HostAccessWrite) return 0;
  auto found = findImage(image);
  if (!found) return 0;
  const HostAccess access = nextAccess_++;
  ++found->lockCount;
  locks_.emplace(access, Lock{std::move(found), mode});
  return access;
}

void ImageStore::unlock(HostAccess access) {
  std::lock_guard guard(mutex_);
  const auto it = locks_.find(access);
  if (it == locks_.end()) return;
  --it->second.image->lockCount;
  locks_.erase(it);
}

std::uint8_t* ImageStore::line(HostAccess access, std::int32_t row) {
  std::lock_guard guard(mutex_);
  const Lock* lock = findLock(access);
  if (lock == nullptr) return nullptr;
  Image& image = *lock->image;
  if (row < 0 || row >= image.height) return nullptr;
  return image.samples.data() + static_cast<std::size_t>(row) * image.rowBytes;
}

std::int32_t ImageStore::probe(HostAccess access) {
  std::lock_guard guard(mutex_);
  return findLock(access) != nullptr ? 1 : 0;
}

std::int32_t ImageStore::attribute(std::int32_t image, std::int32_t attribute,
                                   std::int32_t value, void* out) {
  std::lock_guard guard(mutex_);
  const auto found = findImage(image);
  if (!found) return ErrorUnknown;
  const Image& img = *found;

  if (out == nullptr) {
    if (attribute != HostAttributeFinished) return ErrorBadArgument;
    found->finishedSet = true;
    found->finished = value;
    return 0;
  }

  auto put32 = [out](std::uint32_t v) { std::memcpy(out, &v, sizeof v); };
  switch (attribute) {
    case HostAttributeType:
      put32(static_cast<std::uint32_t>(img.type));
      return 0;
    case HostAttributeInfo:
      put32(static_cast<std::uint32_t>(typeLayout(img.type)->bytesPerPixel() * 8));
      return 0;
    case HostAttributeSize:
      put32(static_cast<std::uint32_t>(img.width) | (static_cast<std::uint32_t>(img.height) << 16));
      return 0;
    case HostAttributePalette: {
      const Palette palette = img.palette ? *img.palette : greyRamp();
      std::memcpy(out, palette.data(), palette.size());
      return 0;
    }
    default:
      return ErrorBadArgument;
  }
}

std::int32_t ImageStore::convert(HostAccess access, std::int32_t targetType) {
  std::lock_guard guard(mutex_);
  const Lock* lock = findLock(access);
  if (lock == nullptr) return ErrorUnknown;
  if (targetType != 1) return ErrorUnsupported;
  const Image& source = *lock->image;
  const std::size_t pixels =
      static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height);

  ImageContent grey{source.width, source.height, 1, {}, std::nullopt};
  try {
    switch (source.type) {
      case 1:
        grey.samples = source.samples;
        break;
      case 2: {
        const Palette palette = source.palette ? *source.palette : greyRamp();
        std::array<std::uint8_t, 256> levels{};
        for (std::size_t i = 0; i < 256; ++i) {
          levels[i] = luminance(palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]);
        }
        grey.samples.resize(pixels);
        for (std::size_t i = 0; i < pixels; ++i) grey.samples[i] = levels[source.samples[i]];
        break;
      }
      case 3:
        grey.samples.resize(pixels);
        for (std::size_t i = 0; i < pixels; ++i) {
          grey.samples[i] = luminance(source.samples[i * 3], source.samples[i * 3 + 1],
                                      source.samples[i * 3 + 2]);
        }
        break;
      default:
        return ErrorUnsupported;
    }
  } catch (const std::bad_alloc&) {
    return ErrorNoMemory;
  }
  return createLocked(std::move(grey));
}

void ImageStore::reset() {
  std::lock_guard guard(mutex_);
  locks_.clear();
  images_.clear();
}

ImageInfo ImageStore::info(std::int32_t image) {
  std::lock_guard guard(mutex_);
  const auto found = findImage(image);
  if (!found) return {};
  return ImageInfo{true,           found->width,    found->height,   found->type,
                   found->finishedSet, found->finished, found->lockCount};
}

std::vector<std::uint8_t> ImageStore::bytes(std::int32_t image) {
  std::lock_guard guard(mutex_);
  const auto found = findImage(image);
  return found ? found->samples : std::vector<std::uint8_t>{};
}

std::vector<std::uint32_t> ImageStore::pixel(std::int32_t image, std::int32_t x, std::int32_t y) {
  std::lock_guard guard(mutex_);
  const auto found = findImage(image);
  if (!found || x < 0 || y < 0 || x >= found->width || y >= found->height) return {};
  const TypeLayout layout = *typeLayout(found->type);
  const std::uint8_t* at = found->samples.data() + static_cast<std::size_t>(y) * found->rowBytes +
                           static_cast<std::size_t>(x) * static_cast<std::size_t>(layout.bytesPerPixel());
  std::vector<std::uint32_t> samples;
  for (int s = 0; s < layout.samplesPerPixel; ++s, at += layout.bytesPerSample) {
    if (layout.bytesPerSample == 1) {
      samples.push_back(*at);
    } else if (layout.bytesPerSample == 2) {
      std::uint16_t v;
      std::memcpy(&v, at, 2);
      samples.push_back(v);
    } else {
      std::uint32_t v;
      std::memcpy(&v, at, 4);
      samples.push_back(v);
    }
  }
  return samples;
}

std::optional<Image> ImageStore::snapshot(std::int32_t image) {
  std::lock_guard guard(mutex_);
  const auto found = findImage(image);
  if (!found) return std::nullopt;
  return *found;
}

std::size_t ImageStore::liveImages() {
  std::lock_guard guard(mutex_);
  return images_.size();
}

std::vector<std::int32_t> ImageStore::liveImageIds() {
  std::lock_guard guard(mutex_);
  std::vector<std::int32_t> ids;
  ids.reserve(images_.size());
  for (const auto& entry : images_) ids.push_back(entry.first);
  return ids;
}

std::size_t ImageStore::liveLocks() {
  std::lock_guard guard(mutex_);
  return locks_.size();
}

}  // namespace hostimg::detail
