#include "app/resource_preview.h"

std::vector<uint32_t> PreviewTile(const DibBitmap& picture, int32_t side) {
  const int32_t w = picture.header.width, h = picture.header.height;
  if (side < 1 || picture.header.bitCount != 8 || w < 1 || h < 1 || !picture.bits) return {};
  std::vector<uint32_t> tile(static_cast<size_t>(side) * static_cast<size_t>(side));
  for (int32_t y = 0; y < side; ++y) {
    const uint8_t* row = picture.bits + static_cast<size_t>(h - 1 - y % h) * static_cast<size_t>(picture.stride);
    for (int32_t x = 0; x < side; ++x) {
      const DibColour& c = picture.colours[row[x % w]];
      tile[static_cast<size_t>(y) * static_cast<size_t>(side) + static_cast<size_t>(x)] =
          (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
    }
  }
  return tile;
}
