// The independent TIFF and PNG reader and writer of the tests on Linux:
// libtiff and libpng.
#include "test_files.h"

#include <png.h>
#include <tiffio.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace hostimg_test {

void writeTiff(const std::string& path, const Picture& p, std::uint16_t planar,
               std::uint16_t sampleFormat, std::uint32_t tileSide) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (tiff == nullptr) return;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, p.width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, p.height);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(p.samples));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<std::uint16_t>(p.bits));
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, static_cast<std::uint16_t>(p.photometric));
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, planar);
  TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, sampleFormat);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, static_cast<std::uint16_t>(p.compression));
  if (p.samples == 4) {
    const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  if (p.palette.size() == 768) {
    std::vector<std::uint16_t> r(256), g(256), b(256);
    for (std::size_t i = 0; i < 256; ++i) {
      r[i] = static_cast<std::uint16_t>(p.palette[i * 3] * 257);
      g[i] = static_cast<std::uint16_t>(p.palette[i * 3 + 1] * 257);
      b[i] = static_cast<std::uint16_t>(p.palette[i * 3 + 2] * 257);
    }
    TIFFSetField(tiff, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
  }
  if (tileSide > 0) {
    TIFFSetField(tiff, TIFFTAG_TILEWIDTH, tileSide);
    TIFFSetField(tiff, TIFFTAG_TILELENGTH, tileSide);
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(TIFFTileSize(tiff)));
    for (std::uint32_t y = 0; y < p.height; y += tileSide) {
      for (std::uint32_t x = 0; x < p.width; x += tileSide) {
        TIFFWriteTile(tiff, tile.data(), x, y, 0, 0);
      }
    }
  } else {
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t{4});
    const std::size_t rowBytes = p.bytes.size() / p.height;
    std::vector<std::uint8_t> row(rowBytes);
    for (std::uint32_t y = 0; y < p.height; ++y) {
      std::memcpy(row.data(), p.bytes.data() + y * rowBytes, rowBytes);
      TIFFWriteScanline(tiff, row.data(), y, 0);
    }
  }
  TIFFClose(tiff);
}

Picture readTiff(const std::string& path) {
  Picture p;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (tiff == nullptr) return p;
  std::uint16_t samples = 1, bits = 1, photometric = 0, compression = 1;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &p.width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &p.height);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  p.samples = samples;
  p.bits = bits;
  p.photometric = photometric;
  p.compression = compression;
  std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
  if (photometric == PHOTOMETRIC_PALETTE && TIFFGetField(tiff, TIFFTAG_COLORMAP, &r, &g, &b) == 1) {
    for (std::size_t i = 0; i < 256; ++i) {
      p.palette.push_back(static_cast<std::uint8_t>(r[i] >> 8));
      p.palette.push_back(static_cast<std::uint8_t>(g[i] >> 8));
      p.palette.push_back(static_cast<std::uint8_t>(b[i] >> 8));
    }
  }
  const auto rowBytes = static_cast<std::size_t>(TIFFScanlineSize64(tiff));
  p.bytes.resize(rowBytes * p.height);
  for (std::uint32_t y = 0; y < p.height; ++y) {
    if (TIFFReadScanline(tiff, p.bytes.data() + y * rowBytes, y, 0) != 1) p.width = 0;
  }
  TIFFClose(tiff);
  return p;
}

namespace {

// libpng work in a frame that holds only C objects, so that an error's
// longjmp skips no destructor.
bool decodePng(std::FILE* file, Picture* p) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  p->width = png_get_image_width(png, info);
  p->height = png_get_image_height(png, info);
  p->bits = png_get_bit_depth(png, info);
  p->samples = png_get_channels(png, info);
  p->photometric = png_get_color_type(png, info);
  png_colorp colours = nullptr;
  int count = 0;
  if (png_get_PLTE(png, info, &colours, &count) != 0) {
    p->palette.resize(768);
    for (int i = 0; i < count && i < 256; ++i) {
      p->palette[static_cast<std::size_t>(i) * 3] = colours[i].red;
      p->palette[static_cast<std::size_t>(i) * 3 + 1] = colours[i].green;
      p->palette[static_cast<std::size_t>(i) * 3 + 2] = colours[i].blue;
    }
  }
  if (p->bits == 16) png_set_swap(png);  // machine order, as the store keeps them
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  p->bytes.resize(rowBytes * p->height);
  for (std::uint32_t y = 0; y < p->height; ++y) png_read_row(png, p->bytes.data() + y * rowBytes, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

Picture readPng(const std::string& path) {
  Picture p;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file || !decodePng(file.get(), &p)) p.width = 0;
  return p;
}

}  // namespace hostimg_test
