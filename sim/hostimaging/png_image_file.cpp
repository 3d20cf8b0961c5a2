#include "hostimaging/image_files.h"

#include "hostimaging/image_types.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace hostimg::detail {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

struct PngContext {
  char message[256] = {};
};

[[noreturn]] void pngError(png_structp png, png_const_charp message) {
  auto* context = static_cast<PngContext*>(png_get_error_ptr(png));
  std::snprintf(context->message, sizeof context->message, "%s", message);
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// The rows of the image in PNG form: 16-bit samples big-endian.
void pngRow(const Image& image, std::int32_t y, std::uint8_t* out) {
  const std::uint8_t* source = image.samples.data() + static_cast<std::size_t>(y) * image.rowBytes;
  if (typeLayout(image.type)->bytesPerSample == 1) {
    std::memcpy(out, source, image.rowBytes);
    return;
  }
  for (std::size_t i = 0; i + 1 < image.rowBytes; i += 2) {
    std::uint16_t v;
    std::memcpy(&v, source + i, 2);
    out[i] = static_cast<std::uint8_t>(v >> 8);
    out[i + 1] = static_cast<std::uint8_t>(v & 0xFF);
  }
}

// All libpng work happens here, where an error's longjmp returns to the
// setjmp below. Only C objects live in this frame; the caller owns the rest.
bool encode(png_structp png, png_infop info, std::FILE* file, const Image& image, int colourType,
            int bitDepth, const png_color* palette, std::uint8_t* row) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), bitDepth, colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (palette != nullptr) png_set_PLTE(png, info, palette, 256);
  png_write_info(png, info);
  for (std::int32_t y = 0; y < image.height; ++y) {
    pngRow(image, y, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string writePng(const Image& image, const std::string& path) {
  int colourType = PNG_COLOR_TYPE_GRAY;
  switch (image.type) {
    case 1: case 4: case 6: colourType = PNG_COLOR_TYPE_GRAY; break;
    case 2: colourType = PNG_COLOR_TYPE_PALETTE; break;
    case 3: case 8: case 9: colourType = PNG_COLOR_TYPE_RGB; break;
    default: return "image type " + std::to_string(image.type) + " has no picture form";
  }
  const int bitDepth = typeLayout(image.type)->bytesPerSample * 8;

  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return "cannot open " + path + ": " + std::strerror(errno);

  png_color palette[256];
  if (image.type == 2) {
    const Palette colours = image.palette ? *image.palette : greyRamp();
    for (std::size_t i = 0; i < 256; ++i) {
      palette[i] = png_color{colours[i * 3], colours[i * 3 + 1], colours[i * 3 + 2]};
    }
  }
  std::vector<std::uint8_t> row(image.rowBytes);

  PngContext context;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &context, pngError, pngWarning);
  if (png == nullptr) return "out of memory";
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return "out of memory";
  }
  const bool encoded = encode(png, info, file.get(), image, colourType, bitDepth,
                              image.type == 2 ? palette : nullptr, row.data());
  png_destroy_write_struct(&png, &info);
  if (!encoded) return std::string("libpng: ") + context.message;

  std::FILE* handle = file.release();
  const bool flushed = std::fflush(handle) == 0 && !std::ferror(handle);
  if (std::fclose(handle) != 0 || !flushed) return "cannot write " + path;
  return {};
}

}  // namespace hostimg::detail
