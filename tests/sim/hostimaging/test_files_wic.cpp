// The independent TIFF and PNG reader and writer of the tests on Windows:
// the Windows Imaging Component reads, TIFF files are written byte by byte.
#include "test_files.h"

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
#include <cstdio>
#include <utility>

namespace hostimg_test {

namespace {

template <typename T>
struct Ptr {
  T* p = nullptr;
  Ptr() = default;
  Ptr(const Ptr&) = delete;
  Ptr& operator=(const Ptr&) = delete;
  ~Ptr() {
    if (p != nullptr) p->Release();
  }
  T* operator->() const { return p; }
  T** out() { return &p; }
};

struct Com {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

bool makeFactory(Ptr<IWICImagingFactory>& f) {
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(f.out())));
}

void swapRedBlue(std::vector<std::uint8_t>& bytes, int bytesPerSample) {
  const auto sample = static_cast<std::size_t>(bytesPerSample);
  for (std::size_t i = 0; i + 3 * sample <= bytes.size(); i += 3 * sample) {
    for (std::size_t b = 0; b < sample; ++b) std::swap(bytes[i + b], bytes[i + 2 * sample + b]);
  }
}

Picture read(const std::string& path, bool png) {
  Picture p;
  Com com;
  Ptr<IWICImagingFactory> factory;
  Ptr<IWICBitmapDecoder> decoder;
  Ptr<IWICBitmapFrameDecode> frame;
  if (!makeFactory(factory) ||
      FAILED(factory->CreateDecoderFromFilename(wide(path).c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, decoder.out())) ||
      FAILED(decoder->GetFrame(0, frame.out()))) {
    return p;
  }
  UINT width = 0;
  UINT height = 0;
  WICPixelFormatGUID format{};
  frame->GetSize(&width, &height);
  frame->GetPixelFormat(&format);
  bool swap = false;
  if (format == GUID_WICPixelFormat8bppGray) {
    p.samples = 1, p.bits = 8, p.photometric = png ? kPngGrey : kMinIsBlack;
  } else if (format == GUID_WICPixelFormat8bppIndexed) {
    p.samples = 1, p.bits = 8, p.photometric = png ? kPngPalette : kTiffPalette;
  } else if (format == GUID_WICPixelFormat24bppRGB || format == GUID_WICPixelFormat24bppBGR) {
    p.samples = 3, p.bits = 8, p.photometric = png ? kPngRgb : kTiffRgb;
    swap = format == GUID_WICPixelFormat24bppBGR;
  } else if (format == GUID_WICPixelFormat16bppGray) {
    p.samples = 1, p.bits = 16, p.photometric = png ? kPngGrey : kMinIsBlack;
  } else if (format == GUID_WICPixelFormat48bppRGB || format == GUID_WICPixelFormat48bppBGR) {
    p.samples = 3, p.bits = 16, p.photometric = png ? kPngRgb : kTiffRgb;
    swap = format == GUID_WICPixelFormat48bppBGR;
  } else {
    return p;
  }
  const std::size_t rowBytes = std::size_t{width} * static_cast<std::size_t>(p.samples * p.bits / 8);
  p.bytes.resize(rowBytes * height);
  if (FAILED(frame->CopyPixels(nullptr, static_cast<UINT>(rowBytes), static_cast<UINT>(p.bytes.size()),
                               p.bytes.data()))) {
    return Picture{};
  }
  if (swap) swapRedBlue(p.bytes, p.bits / 8);
  if (format == GUID_WICPixelFormat8bppIndexed) {
    Ptr<IWICPalette> palette;
    WICColor colours[256] = {};
    UINT count = 0;
    if (SUCCEEDED(factory->CreatePalette(palette.out())) && SUCCEEDED(frame->CopyPalette(palette.p)) &&
        SUCCEEDED(palette->GetColors(256, colours, &count))) {
      p.palette.assign(768, 0);
      for (UINT i = 0; i < count && i < 256; ++i) {
        p.palette[i * 3] = static_cast<std::uint8_t>(colours[i] >> 16);
        p.palette[i * 3 + 1] = static_cast<std::uint8_t>(colours[i] >> 8);
        p.palette[i * 3 + 2] = static_cast<std::uint8_t>(colours[i]);
      }
    }
  }
  p.width = width;
  p.height = height;
  return p;
}

}  // namespace

// An uncompressed little-endian strip TIFF with contiguous samples, written
// byte by byte (the imaging component does not write every sample layout
// the loader reads); other layouts are not written (the file stays absent).
void writeTiff(const std::string& path, const Picture& p, std::uint16_t planar, std::uint16_t sampleFormat,
               std::uint32_t tileSide) {
  if (planar != kContiguous || tileSide != 0 || p.compression != kUncompressed || p.height == 0) return;
  std::vector<std::uint8_t> file;
  const auto put16 = [&](unsigned v) {
    file.push_back(static_cast<std::uint8_t>(v & 0xFF));
    file.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  };
  const auto put32 = [&](std::uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const auto at = [&] { return static_cast<std::uint32_t>(file.size()); };
  for (const std::uint8_t b : {std::uint8_t{'I'}, std::uint8_t{'I'}, std::uint8_t{42}, std::uint8_t{0}}) file.push_back(b);
  put32(0);  // the directory's offset, filled in below
  const std::uint32_t stripOffset = at();
  file.insert(file.end(), p.bytes.begin(), p.bytes.end());
  if (file.size() % 2 != 0) file.push_back(0);
  const std::uint32_t bitsOffset = at();
  for (int i = 0; i < p.samples; ++i) put16(static_cast<unsigned>(p.bits));
  std::uint32_t mapOffset = 0;
  if (p.palette.size() == 768) {
    mapOffset = at();
    for (int channel = 0; channel < 3; ++channel) {
      for (std::size_t i = 0; i < 256; ++i) put16(p.palette[i * 3 + static_cast<std::size_t>(channel)] * 257u);
    }
  }
  const std::uint32_t directory = at();
  file[4] = static_cast<std::uint8_t>(directory & 0xFF);
  file[5] = static_cast<std::uint8_t>((directory >> 8) & 0xFF);
  file[6] = static_cast<std::uint8_t>((directory >> 16) & 0xFF);
  file[7] = static_cast<std::uint8_t>(directory >> 24);
  struct Entry {
    unsigned tag, type;  // type 3 SHORT, 4 LONG
    std::uint32_t count, value;
  };
  const auto samples = static_cast<std::uint32_t>(p.samples);
  std::vector<Entry> entries = {
      {256, 4, 1, p.width},
      {257, 4, 1, p.height},
      {258, 3, samples, samples <= 2 ? static_cast<std::uint32_t>(p.bits) : bitsOffset},
      {259, 3, 1, 1},
      {262, 3, 1, static_cast<std::uint32_t>(p.photometric)},
      {273, 4, 1, stripOffset},
      {277, 3, 1, samples},
      {278, 4, 1, p.height},
      {279, 4, 1, static_cast<std::uint32_t>(p.bytes.size())},
      {284, 3, 1, 1}};
  if (mapOffset != 0) entries.push_back({320, 3, 768, mapOffset});
  if (sampleFormat != kUnsigned) entries.push_back({339, 3, 1, sampleFormat});
  put16(static_cast<unsigned>(entries.size()));
  for (const Entry& e : entries) {
    put16(e.tag);
    put16(e.type);
    put32(e.count);
    if (e.type == 3 && e.count == 1) {
      put16(e.value);
      put16(0);
    } else if (e.type == 3 && e.count == 2) {  // two 16-bit values in place
      put16(e.value);
      put16(e.value);
    } else {
      put32(e.value);
    }
  }
  put32(0);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);
}

Picture readTiff(const std::string& path) {
  Picture p = read(path, false);
  if (p.width != 0) p.compression = kUncompressed;
  return p;
}

Picture readPng(const std::string& path) { return read(path, true); }

}  // namespace hostimg_test
