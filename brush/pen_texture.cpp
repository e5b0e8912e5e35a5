#include "brush/pen_texture.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

int64_t WidenedTextureWidth(int fileWidth) {
  if (fileWidth < 1) return -1;
  const int doublings = 5 - std::min(std::countr_zero(static_cast<unsigned>(fileWidth)), 5);
  const int64_t width = static_cast<int64_t>(fileWidth) << doublings;
  return width > std::numeric_limits<int32_t>::max() ? -1 : width;
}

DibBitmap* WidenTexture(const DibBitmap& source) {
  const int depth = DibDepth(source);
  if (depth != 1 && depth != 8) return nullptr;
  const int fileWidth = DibWidth(source), height = DibHeight(source);
  const int64_t width = WidenedTextureWidth(fileWidth);
  if (width < 0 || height < 1) return nullptr;

  DibColour table[kDibColourCount] = {};  // every entry black ...
  table[0] = {255, 255, 255, 0};          // ... but 0, white
  DibBitmap* texture = CreateDibBitmap(8, table, kDibColourCount, static_cast<int>(width), height);
  if (!texture) return nullptr;

  uint8_t blackIndex[2] = {0, 0};  // texel of each index of a 1-bit source
  if (depth == 1) {
    for (int i = 0; i < 2; ++i) {
      const DibColour& c = source.colours[i];
      blackIndex[i] = c.red + c.green + c.blue < 383 ? 1 : 0;
    }
  }
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = DibRow(source, y);
    uint8_t* out = DibRow(*texture, y);
    if (depth == 8) {
      std::memcpy(out, in, static_cast<size_t>(fileWidth));
    } else {
      for (int x = 0; x < fileWidth; ++x) out[x] = blackIndex[MaskBit(in, x)];
    }
    // Repeat the first copy; width is a whole multiple of fileWidth.
    for (int64_t x = fileWidth; x < width; x += fileWidth) std::memcpy(out + x, out, static_cast<size_t>(fileWidth));
  }
  return texture;
}
