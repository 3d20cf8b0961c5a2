#include "hostimaging/tiff_row_writer.h"

#include "hostimaging/tiff_channel.h"

#include <algorithm>
#include <vector>

namespace hostimg::detail {

namespace {

class LibtiffRowWriter final : public TiffRowWriter {
 public:
  LibtiffRowWriter(std::unique_ptr<TiffChannel> channel, std::size_t rowBytes)
      : channel_(std::move(channel)), row_(rowBytes) {}

  bool writeRow(const std::uint8_t* row, std::string& error) override {
    std::copy(row, row + row_.size(), row_.begin());  // libtiff takes a mutable buffer
    // Each row is a strip of its own, written out at once.
    if (TIFFWriteEncodedStrip(channel_->tiff(), rows_, row_.data(),
                              static_cast<tmsize_t>(row_.size())) < 0) {
      error = channel_->error();
      return false;
    }
    ++rows_;
    return true;
  }

  bool close(std::string& error) override {
    if (channel_->close()) return true;
    error = channel_->error();
    return false;
  }

 private:
  std::unique_ptr<TiffChannel> channel_;
  std::vector<std::uint8_t> row_;
  std::uint32_t rows_ = 0;
};

}  // namespace

std::unique_ptr<TiffRowWriter> TiffRowWriter::create(const std::string& path, std::uint32_t width,
                                                     std::uint32_t height, std::uint32_t samples,
                                                     std::string& error) {
  auto channel = TiffChannel::open(path, "w");
  TIFF* tiff = channel->tiff();
  if (tiff == nullptr) {
    error = channel->error();
    return nullptr;
  }
  // One row per strip.
  if (TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width) != 1 ||
      TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height) != 1 ||
      TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(samples)) != 1 ||
      TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, std::uint16_t{8}) != 1 ||
      TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
                   samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) != 1 ||
      TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) != 1 ||
      TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) != 1 ||
      TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) != 1 ||
      TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, std::uint32_t{1}) != 1) {
    error = channel->error();
    return nullptr;
  }
  return std::make_unique<LibtiffRowWriter>(std::move(channel), std::size_t{width} * samples);
}

}  // namespace hostimg::detail
