// Palettes and bitmap drawing.
#include "win32_backend.h"

#include <vector>

namespace platform {
namespace {

HPALETTE paletteOf(PaletteHandle palette) { return reinterpret_cast<HPALETTE>(palette); }
PaletteHandle handleOf(HPALETTE palette) { return reinterpret_cast<PaletteHandle>(palette); }

static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER));
static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY));

} // namespace

PaletteHandle createPalette(std::uint16_t version, const PaletteEntry* entries, std::uint16_t count) {
  if (entries == nullptr || count == 0) return nullptr;
  // LOGPALETTE ends in a one-entry array; the rest of the entries follow it.
  std::vector<std::byte> storage(sizeof(LOGPALETTE) + (count - 1u) * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = version;
  logical->palNumEntries = count;
  for (std::uint16_t i = 0; i < count; ++i) {
    logical->palPalEntry[i] = PALETTEENTRY{entries[i].red, entries[i].green, entries[i].blue, entries[i].flags};
  }
  return handleOf(CreatePalette(logical));
}

PaletteHandle selectPalette(DeviceContext dc, PaletteHandle palette, bool background) {
  return handleOf(SelectPalette(dc, paletteOf(palette), background ? TRUE : FALSE));
}

unsigned realizePalette(DeviceContext dc) {
  const UINT realized = RealizePalette(dc);
  return realized == GDI_ERROR ? 0u : realized;
}

bool deletePalette(PaletteHandle palette) { return palette != nullptr && DeleteObject(paletteOf(palette)) != 0; }

int setDIBitsToDevice(DeviceContext dc, int x, int y, std::uint32_t width, std::uint32_t height, int sourceX,
                      int sourceY, std::uint32_t startScan, std::uint32_t scanLines, const void* bits,
                      const void* info, unsigned colourUse) {
  if (bits == nullptr || info == nullptr) return 0;
  return SetDIBitsToDevice(dc, x, y, width, height, sourceX, sourceY, startScan, scanLines, bits,
                           static_cast<const BITMAPINFO*>(info), colourUse);
}

} // namespace platform
