#include "hostimaging/image_files.h"

#include "hostimaging/image_types.h"
#include "hostimaging/tiff_channel.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace hostimg::detail {

namespace {

FileFailure unsupported(std::string what) { return {ErrorUnsupported, std::move(what)}; }

// Host type code for a TIFF's sample layout, or 0.
std::int32_t typeFor(std::uint16_t photometric, std::uint16_t bits, std::uint16_t samples) {
  const bool grey = photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
  if (bits == 8 && samples == 1 && grey) return 1;
  if (bits == 8 && samples == 1 && photometric == PHOTOMETRIC_PALETTE) return 2;
  if (bits == 8 && samples == 3 && photometric == PHOTOMETRIC_RGB) return 3;
  if (bits == 16 && samples == 1 && grey) return 6;
  if (bits == 16 && samples == 3 && photometric == PHOTOMETRIC_RGB) return 9;
  return 0;
}

// Colour maps hold 16-bit values, but some writers put 8-bit values in them;
// a map with no value above 255 is taken as such.
Palette paletteFrom(const std::uint16_t* red, const std::uint16_t* green,
                    const std::uint16_t* blue) {
  bool eightBit = true;
  for (std::size_t i = 0; i < 256; ++i) {
    if (red[i] > 255 || green[i] > 255 || blue[i] > 255) eightBit = false;
  }
  const int shift = eightBit ? 0 : 8;
  Palette palette{};
  for (std::size_t i = 0; i < 256; ++i) {
    palette[i * 3] = static_cast<std::uint8_t>(red[i] >> shift);
    palette[i * 3 + 1] = static_cast<std::uint8_t>(green[i] >> shift);
    palette[i * 3 + 2] = static_cast<std::uint8_t>(blue[i] >> shift);
  }
  return palette;
}

void invert(std::vector<std::uint8_t>& samples, std::int32_t type) {
  if (type == 1) {
    for (auto& s : samples) s = static_cast<std::uint8_t>(255 - s);
    return;
  }
  for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
    std::uint16_t v;
    std::memcpy(&v, &samples[i], 2);
    v = static_cast<std::uint16_t>(65535 - v);
    std::memcpy(&samples[i], &v, 2);
  }
}

}  // namespace

std::variant<ImageContent, FileFailure> readTiff(const std::string& path) {
  auto channel = TiffChannel::open(path, "r");
  TIFF* tiff = channel->tiff();
  if (tiff == nullptr) return FileFailure{ErrorUnreadable, channel->error()};

  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint16_t photometric = 0;
  if (TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) != 1 ||
      TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) != 1 ||
      TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 1) {
    return FileFailure{ErrorUnreadable, "size or photometric tag missing"};
  }
  std::uint16_t bits = 1;
  std::uint16_t samples = 1;
  std::uint16_t planar = PLANARCONFIG_CONTIG;
  std::uint16_t format = SAMPLEFORMAT_UINT;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);

  const std::int32_t type = typeFor(photometric, bits, samples);
  if (type == 0) {
    return unsupported("photometric " + std::to_string(photometric) + " with " +
                       std::to_string(samples) + " x " + std::to_string(bits) + " bits");
  }
  if (format != SAMPLEFORMAT_UINT) return unsupported("samples are not unsigned integers");
  if (samples > 1 && planar != PLANARCONFIG_CONTIG) return unsupported("separate colour planes");
  if (TIFFIsTiled(tiff)) return unsupported("tiled organisation");
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
    return unsupported("size " + std::to_string(width) + " x " + std::to_string(height));
  }

  ImageContent content;
  content.width = static_cast<std::int32_t>(width);
  content.height = static_cast<std::int32_t>(height);
  content.type = type;
  if (type == 2) {
    std::uint16_t* red = nullptr;
    std::uint16_t* green = nullptr;
    std::uint16_t* blue = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue) != 1) {
      return FileFailure{ErrorUnreadable, "palette image without a colour map"};
    }
    content.palette = paletteFrom(red, green, blue);
  }

  const std::size_t rowBytes =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(typeLayout(type)->bytesPerPixel());
  if (static_cast<std::size_t>(TIFFScanlineSize64(tiff)) != rowBytes) {
    return FileFailure{ErrorUnreadable, "unexpected scanline size"};
  }
  if (rowBytes * height > kMaxSampleBytes) return FileFailure{ErrorNoMemory, "image too large"};
  try {
    content.samples.resize(rowBytes * height);
  } catch (const std::bad_alloc&) {
    return FileFailure{ErrorNoMemory, "out of memory"};
  }
  for (std::uint32_t row = 0; row < height; ++row) {
    if (TIFFReadScanline(tiff, content.samples.data() + row * rowBytes, row, 0) != 1) {
      return FileFailure{ErrorUnreadable,
                         "row " + std::to_string(row) + " unreadable: " + channel->error()};
    }
  }
  if (photometric == PHOTOMETRIC_MINISWHITE) invert(content.samples, type);
  return content;
}

std::string writeTiff(const Image& image, const std::string& path) {
  std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
  switch (image.type) {
    case 1: case 4: case 6: photometric = PHOTOMETRIC_MINISBLACK; break;
    case 2: photometric = PHOTOMETRIC_PALETTE; break;
    case 3: case 8: case 9: photometric = PHOTOMETRIC_RGB; break;
    default: return "image type " + std::to_string(image.type) + " has no picture form";
  }
  const TypeLayout layout = *typeLayout(image.type);
  auto channel = TiffChannel::open(path, "w");
  TIFF* tiff = channel->tiff();
  if (tiff == nullptr) return channel->error();

  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height));
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(layout.samplesPerPixel));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(layout.bytesPerSample * 8));
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
  if (image.type == 2) {
    const Palette palette = image.palette ? *image.palette : greyRamp();
    std::uint16_t red[256];
    std::uint16_t green[256];
    std::uint16_t blue[256];
    for (std::size_t i = 0; i < 256; ++i) {  // 8-bit levels spread over 16 bits
      red[i] = static_cast<std::uint16_t>(palette[i * 3] * 257);
      green[i] = static_cast<std::uint16_t>(palette[i * 3 + 1] * 257);
      blue[i] = static_cast<std::uint16_t>(palette[i * 3 + 2] * 257);
    }
    TIFFSetField(tiff, TIFFTAG_COLORMAP, red, green, blue);
  }
  std::vector<std::uint8_t> row(image.rowBytes);  // TIFFWriteScanline may modify its buffer
  for (std::int32_t y = 0; y < image.height; ++y) {
    const auto* source = image.samples.data() + static_cast<std::size_t>(y) * image.rowBytes;
    std::copy(source, source + image.rowBytes, row.begin());
    if (TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) != 1) break;
  }
  if (!channel->close()) return channel->error();
  return {};
}

}  // namespace hostimg::detail
