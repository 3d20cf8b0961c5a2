// Palettes, device contexts and the record of bitmaps drawn with
// setDIBitsToDevice.
#include "state.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <unordered_map>

struct platform::PaletteObject {
  std::vector<PaletteEntry> entries;
};

namespace platform::headless::detail {
namespace {

struct DeviceContextState {
  PaletteHandle palette = nullptr;
  bool realized = false;
};

struct GdiState {
  std::unordered_map<PaletteObject*, std::unique_ptr<PaletteObject>> palettes;
  std::unordered_map<DeviceContext, DeviceContextState> contexts;
  std::deque<BitmapDraw> draws;
  std::size_t drawCount = 0;
};

GdiState& gdi() {
  static GdiState* instance = new GdiState;
  return *instance;
}

PaletteObject* livePaletteLocked(PaletteHandle palette) {
  auto it = gdi().palettes.find(palette);
  return it == gdi().palettes.end() ? nullptr : it->second.get();
}

// A record to fill: the oldest one is reused once the limit is reached, so
// that a running preview does not allocate for every frame.
BitmapDraw& nextDrawLocked() {
  GdiState& g = gdi();
  ++g.drawCount;
  if (g.draws.size() < kMaxBitmapDraws) return g.draws.emplace_back();
  BitmapDraw reused = std::move(g.draws.front());
  g.draws.pop_front();
  return g.draws.emplace_back(std::move(reused));
}

} // namespace

void resetGdiLocked() {
  GdiState& g = gdi();
  g.palettes.clear();
  g.contexts.clear();
  g.draws.clear();
  g.drawCount = 0;
}

} // namespace platform::headless::detail

namespace platform {

using namespace headless::detail;

PaletteHandle createPalette(std::uint16_t version, const PaletteEntry* entries,
                            std::uint16_t count) {
  static_cast<void>(version);
  if (entries == nullptr || count == 0) return nullptr;
  auto palette = std::make_unique<PaletteObject>();
  palette->entries.assign(entries, entries + count);
  PaletteHandle handle = palette.get();
  Lock lock(stateMutex());
  gdi().palettes.emplace(handle, std::move(palette));
  return handle;
}

PaletteHandle selectPalette(DeviceContext dc, PaletteHandle palette, bool background) {
  static_cast<void>(background);
  Lock lock(stateMutex());
  if (dc == nullptr || livePaletteLocked(palette) == nullptr) return nullptr;
  DeviceContextState& state = gdi().contexts[dc];
  const PaletteHandle previous = state.palette;
  state.palette = palette;
  state.realized = false;
  return previous;
}

unsigned realizePalette(DeviceContext dc) {
  Lock lock(stateMutex());
  auto it = gdi().contexts.find(dc);
  if (it == gdi().contexts.end()) return 0;
  const PaletteObject* palette = livePaletteLocked(it->second.palette);
  if (palette == nullptr) return 0;
  it->second.realized = true;
  return static_cast<unsigned>(palette->entries.size());
}

bool deletePalette(PaletteHandle palette) {
  Lock lock(stateMutex());
  GdiState& g = gdi();
  if (g.palettes.erase(palette) == 0) return false;
  // A device context must not keep a deleted palette.
  for (auto& [dc, state] : g.contexts) {
    if (state.palette == palette) state = DeviceContextState{};
  }
  return true;
}

int setDIBitsToDevice(DeviceContext dc, int x, int y, std::uint32_t width, std::uint32_t height,
                      int sourceX, int sourceY, std::uint32_t startScan, std::uint32_t scanLines,
                      const void* bits, const void* info, unsigned colourUse) {
  static_cast<void>(sourceX);
  static_cast<void>(sourceY);
  if (dc == nullptr || bits == nullptr || info == nullptr) return 0;
  BitmapInfoHeader header;
  std::memcpy(&header, info, sizeof header);
  if (header.size < sizeof header || header.width <= 0 || header.height == 0) return 0;

  // No more rows than the bitmap has from startScan on.
  const std::uint32_t rows = static_cast<std::uint32_t>(std::abs(header.height));
  const std::uint32_t lines = startScan < rows ? std::min(scanLines, rows - startScan) : 0;
  const std::size_t stride =
      ((static_cast<std::size_t>(header.width) * header.bitCount + 31) / 32) * 4;
  const std::size_t byteCount =
      header.compression == 0 ? stride * lines : static_cast<std::size_t>(header.sizeImage);

  std::size_t indexCount = 0;
  if (colourUse == DIB_PAL_COLORS) {
    indexCount = header.clrUsed;
    if (indexCount == 0 && header.bitCount <= 8) indexCount = std::size_t{1} << header.bitCount;
  }
  const auto* table = static_cast<const unsigned char*>(info) + header.size;

  Lock lock(stateMutex());
  headless::BitmapDraw& draw = nextDrawLocked();
  draw.dc = dc;
  draw.x = x;
  draw.y = y;
  draw.width = width;
  draw.height = height;
  draw.scanLines = lines;
  draw.header = header;
  draw.paletteIndices.resize(indexCount);
  if (indexCount != 0) {
    std::memcpy(draw.paletteIndices.data(), table, indexCount * sizeof(std::uint16_t));
  }
  const auto* source = static_cast<const std::uint8_t*>(bits);
  draw.bits.assign(source, source + byteCount);
  draw.paletteSelected = false;
  draw.palette.clear();
  auto it = gdi().contexts.find(dc);
  if (it != gdi().contexts.end()) {
    if (const PaletteObject* palette = livePaletteLocked(it->second.palette)) {
      draw.paletteSelected = it->second.realized;
      draw.palette = palette->entries;
    }
  }
  return static_cast<int>(lines);
}

} // namespace platform

namespace platform::headless {

using namespace detail;

std::vector<BitmapDraw> bitmapDraws() {
  Lock lock(stateMutex());
  return {gdi().draws.begin(), gdi().draws.end()};
}

std::size_t bitmapDrawCount() {
  Lock lock(stateMutex());
  return gdi().drawCount;
}

void clearBitmapDraws() {
  Lock lock(stateMutex());
  gdi().draws.clear();
  gdi().drawCount = 0;
}

std::size_t livePaletteCount() {
  Lock lock(stateMutex());
  return gdi().palettes.size();
}

} // namespace platform::headless
