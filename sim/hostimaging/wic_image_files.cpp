// TIFF and PNG files through the Windows Imaging Component: reading host
// images from TIFF files, writing them as TIFF or PNG, and the row-by-row
// TIFF writer of the file functions.
#include "hostimaging/image_files.h"
#include "hostimaging/image_types.h"
#include "hostimaging/tiff_row_writer.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace hostimg::detail {

namespace {

// An owned COM interface pointer.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() { reset(); }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  Com(Com&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Com& operator=(Com&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** out() {
    reset();
    return &p_;
  }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// COM for the calling thread for as long as it lives (left alone when the
// thread already runs COM in another mode, which serves as well).
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

constexpr const char* kRefused = "the encoder does not take this pixel format";

std::string failure(const char* what, HRESULT hr) {
  char text[96];
  std::snprintf(text, sizeof text, "%s failed (0x%08lx)", what, static_cast<unsigned long>(hr));
  return text;
}

std::wstring widePath(const std::string& path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
  wide.pop_back();
  return wide;
}

Com<IWICImagingFactory> factory(HRESULT& hr) {
  Com<IWICImagingFactory> f;
  hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                        reinterpret_cast<void**>(f.out()));
  return f;
}

// Swaps the first and third sample of every pixel (RGB <-> BGR), for 8- or
// 16-bit samples.
void swapRedBlue(std::uint8_t* bytes, std::size_t size, int bytesPerSample) {
  const auto sample = static_cast<std::size_t>(bytesPerSample);
  for (std::size_t i = 0; i + 3 * sample <= size; i += 3 * sample) {
    for (std::size_t b = 0; b < sample; ++b) std::swap(bytes[i + b], bytes[i + 2 * sample + b]);
  }
}

// The WIC pixel format of a host image type and, when the encoder asks for
// it, the one with red and blue swapped.
struct Format {
  WICPixelFormatGUID wanted;
  WICPixelFormatGUID swapped;
  bool colour;
};

bool formatOf(std::int32_t type, Format& format) {
  switch (type) {
    case 1: format = {GUID_WICPixelFormat8bppGray, GUID_WICPixelFormat8bppGray, false}; return true;
    case 2: format = {GUID_WICPixelFormat8bppIndexed, GUID_WICPixelFormat8bppIndexed, false}; return true;
    case 3: format = {GUID_WICPixelFormat24bppRGB, GUID_WICPixelFormat24bppBGR, true}; return true;
    case 4:
    case 6: format = {GUID_WICPixelFormat16bppGray, GUID_WICPixelFormat16bppGray, false}; return true;
    case 8:
    case 9: format = {GUID_WICPixelFormat48bppRGB, GUID_WICPixelFormat48bppBGR, true}; return true;
    default: return false;
  }
}

// An encoder with one frame on a file, ready for rows.
struct FrameWriter {
  ComScope com;
  Com<IWICImagingFactory> factory;
  Com<IWICStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  bool swapRows = false;  // the encoder takes BGR instead of RGB
  bool refused = false;   // the encoder does not take the image's format
  int bytesPerSample = 1;

  // Returns an empty string on success.
  std::string open(const std::string& path, const GUID& container, std::uint32_t width, std::uint32_t height,
                   const Format& format, int sampleBytes, const std::optional<Palette>& palette) {
    bytesPerSample = sampleBytes;
    HRESULT hr = S_OK;
    factory = detail::factory(hr);
    if (FAILED(hr)) return failure("imaging factory", hr);
    if (FAILED(hr = factory->CreateStream(stream.out()))) return failure("stream", hr);
    const std::wstring wide = widePath(path);
    if (FAILED(hr = stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE))) {
      return "cannot open " + path + ": " + failure("create", hr);
    }
    if (FAILED(hr = factory->CreateEncoder(container, nullptr, encoder.out()))) return failure("encoder", hr);
    if (FAILED(hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache))) return failure("encoder", hr);
    Com<IPropertyBag2> options;
    if (FAILED(hr = encoder->CreateNewFrame(frame.out(), options.out()))) return failure("frame", hr);
    if (container == GUID_ContainerFormatTiff && options) {
      PROPBAG2 option{};
      option.pstrName = const_cast<LPOLESTR>(L"TiffCompressionMethod");
      VARIANT value;
      VariantInit(&value);
      value.vt = VT_UI1;
      value.bVal = WICTiffCompressionNone;
      options->Write(1, &option, &value);
    }
    if (FAILED(hr = frame->Initialize(options.get()))) return failure("frame", hr);
    if (FAILED(hr = frame->SetSize(width, height))) return failure("size", hr);
    // The encoder names the format it takes instead of one it does not; an
    // RGB image may then go as BGR.
    WICPixelFormatGUID taken = format.wanted;
    if (FAILED(hr = frame->SetPixelFormat(&taken))) return failure("pixel format", hr);
    if (taken != format.wanted && format.colour) {
      taken = format.swapped;
      if (FAILED(hr = frame->SetPixelFormat(&taken))) return failure("pixel format", hr);
      swapRows = taken == format.swapped;
    }
    if (taken != format.wanted && !swapRows) {
      refused = true;
      return kRefused;
    }
    if (palette) {
      WICColor colours[256];
      for (std::size_t i = 0; i < 256; ++i) {
        colours[i] = 0xFF000000u | (WICColor{(*palette)[i * 3]} << 16) | (WICColor{(*palette)[i * 3 + 1]} << 8) |
                     WICColor{(*palette)[i * 3 + 2]};
      }
      Com<IWICPalette> wicPalette;
      if (FAILED(hr = factory->CreatePalette(wicPalette.out()))) return failure("palette", hr);
      if (FAILED(hr = wicPalette->InitializeCustom(colours, 256))) return failure("palette", hr);
      if (FAILED(hr = frame->SetPalette(wicPalette.get()))) return failure("palette", hr);
    }
    return {};
  }

  std::string rows(std::uint32_t count, std::size_t rowBytes, const std::uint8_t* data) {
    std::vector<std::uint8_t> swapped;
    if (swapRows) {
      swapped.assign(data, data + count * rowBytes);
      swapRedBlue(swapped.data(), swapped.size(), bytesPerSample);
      data = swapped.data();
    }
    const HRESULT hr = frame->WritePixels(count, static_cast<UINT>(rowBytes), static_cast<UINT>(count * rowBytes),
                                          const_cast<BYTE*>(data));
    return FAILED(hr) ? failure("write", hr) : std::string();
  }

  std::string finish() {
    HRESULT hr = frame->Commit();
    if (FAILED(hr)) return failure("frame commit", hr);
    if (FAILED(hr = encoder->Commit())) return failure("commit", hr);
    frame.reset();
    encoder.reset();
    if (FAILED(hr = stream->Commit(STGC_DEFAULT))) return failure("flush", hr);
    stream.reset();
    return {};
  }
};

// Whether the PNG encoder takes 16-bit samples in the machine's (little-
// endian) order, as the decoder gives them. Some versions of the component
// copy them into the file unswapped; a one-pixel round trip in memory finds
// out, and the samples are then handed over swapped.
bool pngEncoderTakesLittleEndian(IWICImagingFactory* wic) {
  Com<IWICStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  Com<IPropertyBag2> options;
  std::array<BYTE, 256> memory{};
  BYTE sample[2] = {0x02, 0x01};
  WICPixelFormatGUID format = GUID_WICPixelFormat16bppGray;
  if (FAILED(wic->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromMemory(memory.data(), static_cast<DWORD>(memory.size()))) ||
      FAILED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.out(), options.out())) || FAILED(frame->Initialize(options.get())) ||
      FAILED(frame->SetSize(1, 1)) || FAILED(frame->SetPixelFormat(&format)) ||
      FAILED(frame->WritePixels(1, 2, 2, sample)) || FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
    return true;
  }
  LARGE_INTEGER start{};
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> decoded;
  BYTE back[2] = {};
  if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
      FAILED(wic->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, decoded.out())) || FAILED(decoded->CopyPixels(nullptr, 2, 2, back))) {
    return true;
  }
  return back[0] == sample[0];
}

std::string writePicture(const Image& image, const std::string& path, const GUID& container) {
  Format format{};
  if (!formatOf(image.type, format)) return "image type " + std::to_string(image.type) + " has no picture form";
  const TypeLayout layout = *typeLayout(image.type);
  std::optional<Palette> palette;
  if (image.type == 2) palette = image.palette ? *image.palette : greyRamp();
  FrameWriter writer;
  std::string error = writer.open(path, container, static_cast<std::uint32_t>(image.width),
                                  static_cast<std::uint32_t>(image.height), format, layout.bytesPerSample, palette);
  const std::uint8_t* rows = image.samples.data();
  std::vector<std::uint8_t> swapped;
  if (error.empty() && container == GUID_ContainerFormatPng && layout.bytesPerSample == 2 &&
      !pngEncoderTakesLittleEndian(writer.factory.get())) {
    swapped = image.samples;
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
    rows = swapped.data();
  }
  if (error.empty()) error = writer.rows(static_cast<std::uint32_t>(image.height), image.rowBytes, rows);
  if (error.empty()) error = writer.finish();
  return error;
}

class WicRowWriter final : public TiffRowWriter {
 public:
  WicRowWriter(std::unique_ptr<FrameWriter> writer, std::size_t rowBytes)
      : writer_(std::move(writer)), rowBytes_(rowBytes) {}

  bool writeRow(const std::uint8_t* row, std::string& error) override {
    error = writer_->rows(1, rowBytes_, row);
    return error.empty();
  }

  bool close(std::string& error) override {
    error = writer_->finish();
    writer_.reset();
    return error.empty();
  }

 private:
  std::unique_ptr<FrameWriter> writer_;
  std::size_t rowBytes_;
};

}  // namespace

std::variant<ImageContent, FileFailure> readTiff(const std::string& path) {
  ComScope com;
  HRESULT hr = S_OK;
  Com<IWICImagingFactory> wic = factory(hr);
  if (FAILED(hr)) return FileFailure{ErrorUnreadable, failure("imaging factory", hr)};
  Com<IWICBitmapDecoder> decoder;
  const std::wstring wide = widePath(path);
  hr = wic->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                      decoder.out());
  if (FAILED(hr)) return FileFailure{ErrorUnreadable, "not a readable image: " + path};
  GUID container{};
  if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatTiff) {
    return FileFailure{ErrorUnreadable, "not a TIFF file: " + path};
  }
  Com<IWICBitmapFrameDecode> frame;
  if (FAILED(hr = decoder->GetFrame(0, frame.out()))) return FileFailure{ErrorUnreadable, failure("frame", hr)};
  UINT width = 0;
  UINT height = 0;
  WICPixelFormatGUID pixelFormat{};
  if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&pixelFormat))) {
    return FileFailure{ErrorUnreadable, "size or pixel format missing"};
  }
  std::int32_t type = 0;
  bool swap = false;
  if (pixelFormat == GUID_WICPixelFormat8bppGray) type = 1;
  else if (pixelFormat == GUID_WICPixelFormat8bppIndexed) type = 2;
  else if (pixelFormat == GUID_WICPixelFormat24bppRGB) type = 3;
  else if (pixelFormat == GUID_WICPixelFormat24bppBGR) type = 3, swap = true;
  else if (pixelFormat == GUID_WICPixelFormat16bppGray) type = 6;
  else if (pixelFormat == GUID_WICPixelFormat48bppRGB) type = 9;
  else if (pixelFormat == GUID_WICPixelFormat48bppBGR) type = 9, swap = true;
  if (type == 0) return FileFailure{ErrorUnsupported, "a pixel format the loader does not take"};
  if (width < 1 || height < 1 || width > static_cast<UINT>(kMaxSide) || height > static_cast<UINT>(kMaxSide)) {
    return FileFailure{ErrorUnsupported, "size " + std::to_string(width) + " x " + std::to_string(height)};
  }
  const TypeLayout layout = *typeLayout(type);
  const std::size_t rowBytes = std::size_t{width} * static_cast<std::size_t>(layout.bytesPerPixel());
  if (rowBytes * height > kMaxSampleBytes) return FileFailure{ErrorNoMemory, "image too large"};

  ImageContent content;
  content.width = static_cast<std::int32_t>(width);
  content.height = static_cast<std::int32_t>(height);
  content.type = type;
  try {
    content.samples.resize(rowBytes * height);
  } catch (const std::bad_alloc&) {
    return FileFailure{ErrorNoMemory, "out of memory"};
  }
  hr = frame->CopyPixels(nullptr, static_cast<UINT>(rowBytes), static_cast<UINT>(content.samples.size()),
                         content.samples.data());
  if (FAILED(hr)) return FileFailure{ErrorUnreadable, failure("reading the rows", hr)};
  if (swap) swapRedBlue(content.samples.data(), content.samples.size(), layout.bytesPerSample);
  if (type == 2) {
    Com<IWICPalette> palette;
    WICColor colours[256] = {};
    UINT count = 0;
    if (FAILED(wic->CreatePalette(palette.out())) || FAILED(frame->CopyPalette(palette.get())) ||
        FAILED(palette->GetColors(256, colours, &count))) {
      return FileFailure{ErrorUnreadable, "palette image without a colour map"};
    }
    Palette p{};
    for (std::size_t i = 0; i < std::min<std::size_t>(count, 256); ++i) {
      p[i * 3] = static_cast<std::uint8_t>(colours[i] >> 16);
      p[i * 3 + 1] = static_cast<std::uint8_t>(colours[i] >> 8);
      p[i * 3 + 2] = static_cast<std::uint8_t>(colours[i]);
    }
    content.palette = p;
  }
  return content;
}

namespace {

// An uncompressed little-endian TIFF of 16-bit grey samples, one strip, for
// the encoders that do not take that format.
std::string writeGrey16Tiff(const Image& image, const std::string& path) {
  std::vector<std::uint8_t> file;
  const auto put16 = [&](unsigned v) {
    file.push_back(static_cast<std::uint8_t>(v & 0xFF));
    file.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  };
  const auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const auto stripBytes = static_cast<std::uint32_t>(image.samples.size());
  for (const std::uint8_t b : {std::uint8_t{'I'}, std::uint8_t{'I'}, std::uint8_t{42}, std::uint8_t{0}}) file.push_back(b);
  put32(8 + stripBytes + (stripBytes % 2));  // the directory follows the samples
  file.insert(file.end(), image.samples.begin(), image.samples.end());  // 16-bit samples, little-endian
  if (stripBytes % 2 != 0) file.push_back(0);
  const std::uint32_t width = static_cast<std::uint32_t>(image.width);
  const std::uint32_t height = static_cast<std::uint32_t>(image.height);
  struct Entry {
    unsigned tag;
    unsigned type;  // 3 SHORT, 4 LONG
    std::uint32_t value;
  };
  const Entry entries[] = {{256, 4, width}, {257, 4, height}, {258, 3, 16}, {259, 3, 1},   {262, 3, 1},
                           {273, 4, 8},     {277, 3, 1},      {278, 4, height}, {279, 4, stripBytes}, {284, 3, 1}};
  put16(static_cast<unsigned>(std::size(entries)));
  for (const Entry& e : entries) {
    put16(e.tag);
    put16(e.type);
    put32(1);
    if (e.type == 3) {
      put16(e.value);
      put16(0);
    } else {
      put32(e.value);
    }
  }
  put32(0);  // no further directory
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return "cannot open " + path;
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  const bool closed = std::fclose(out) == 0;
  return written && closed ? std::string() : "cannot write " + path;
}

}  // namespace

std::string writeTiff(const Image& image, const std::string& path) {
  const std::string error = writePicture(image, path, GUID_ContainerFormatTiff);
  if (!error.empty() && (image.type == 4 || image.type == 6) && error == kRefused) {
    return writeGrey16Tiff(image, path);
  }
  return error;
}

std::string writePng(const Image& image, const std::string& path) {
  return writePicture(image, path, GUID_ContainerFormatPng);
}

std::unique_ptr<TiffRowWriter> TiffRowWriter::create(const std::string& path, std::uint32_t width,
                                                     std::uint32_t height, std::uint32_t samples,
                                                     std::string& error) {
  auto writer = std::make_unique<FrameWriter>();
  const Format format = samples == 3 ? Format{GUID_WICPixelFormat24bppRGB, GUID_WICPixelFormat24bppBGR, true}
                                     : Format{GUID_WICPixelFormat8bppGray, GUID_WICPixelFormat8bppGray, false};
  error = writer->open(path, GUID_ContainerFormatTiff, width, height, format, 1, std::nullopt);
  if (!error.empty()) return nullptr;
  return std::make_unique<WicRowWriter>(std::move(writer), std::size_t{width} * samples);
}

}  // namespace hostimg::detail
