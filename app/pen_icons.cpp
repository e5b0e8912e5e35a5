#include "app/pen_icons.h"

#include <algorithm>

PenIconPicture PenIconPictureOfKind(int32_t kind) {
  switch (kind) {
    case 7: case 8: case 9: case 10: return PenIconPicture::kEraser;
    case 11: return PenIconPicture::kBucket;
    case 15: case 17: return PenIconPicture::kRectangleSelection;
    case 16: case 18: case 20: case 21: case 22: return PenIconPicture::kLasso;
    default: return PenIconPicture::kPen;
  }
}

int PenIconResource(PenIconPicture picture, int32_t iconWidth) {
  const int first = iconWidth < 49 ? kSmallPenIconFirstResource : kLargePenIconFirstResource;
  return first + static_cast<int>(picture);
}

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// BGR colour table entry (blue, green, red) as 0x00BBGGRR.
uint32_t TableColour(const uint8_t* entry) {
  return static_cast<uint32_t>(entry[2]) | static_cast<uint32_t>(entry[1]) << 8 | static_cast<uint32_t>(entry[0]) << 16;
}

uint32_t ToDibPixel(uint32_t bgr) {
  return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
}

}  // namespace

bool DecodeSixteenColourDib(const uint8_t* data, size_t size, IndexedPicture& out) {
  constexpr size_t kHeader = 40;
  constexpr int32_t kMaxSide = 1024;
  if (!data || size < kHeader || ReadU32(data) != kHeader) return false;
  const auto width = static_cast<int32_t>(ReadU32(data + 4));
  const auto rawHeight = static_cast<int32_t>(ReadU32(data + 8));
  if (ReadU16(data + 12) != 1 || ReadU16(data + 14) != 4 || ReadU32(data + 16) != 0) return false;
  // A negative height would mean top-down rows; resources are bottom-up.
  if (width < 1 || width > kMaxSide || rawHeight < 1 || rawHeight > kMaxSide) return false;
  uint32_t used = ReadU32(data + 32);
  if (used == 0) used = 16;
  if (used > 16) return false;
  const size_t rowBytes = (static_cast<size_t>(width) * 4 + 31) / 32 * 4;
  const size_t tableEnd = kHeader + 4 * static_cast<size_t>(used);
  if (size < tableEnd + rowBytes * static_cast<size_t>(rawHeight)) return false;

  IndexedPicture picture;
  picture.width = width;
  picture.height = rawHeight;
  for (uint32_t i = 0; i < used; ++i) picture.colours[i] = TableColour(data + kHeader + 4 * i);
  picture.indices.resize(static_cast<size_t>(width) * static_cast<size_t>(rawHeight));
  for (int32_t y = 0; y < rawHeight; ++y) {
    const uint8_t* row = data + tableEnd + rowBytes * static_cast<size_t>(rawHeight - 1 - y);
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t pair = row[x / 2];
      picture.indices[static_cast<size_t>(y) * width + x] = (x % 2 == 0) ? pair >> 4 : pair & 0x0F;
    }
  }
  out = std::move(picture);
  return true;
}

IndexedPicture StretchIndexedPicture(const IndexedPicture& picture, int32_t side) {
  IndexedPicture out;
  std::copy(std::begin(picture.colours), std::end(picture.colours), out.colours);
  if (side < 1 || picture.width < 1 || picture.height < 1) return out;
  out.width = out.height = side;
  out.indices.resize(static_cast<size_t>(side) * side);
  for (int32_t y = 0; y < side; ++y) {
    const int32_t sy = static_cast<int32_t>((2 * static_cast<int64_t>(y) + 1) * picture.height / (2 * side));
    for (int32_t x = 0; x < side; ++x) {
      const int32_t sx = static_cast<int32_t>((2 * static_cast<int64_t>(x) + 1) * picture.width / (2 * side));
      out.indices[static_cast<size_t>(y) * side + x] = picture.At(sx, sy);
    }
  }
  return out;
}

std::vector<uint32_t> ComposePenIcon(const IndexedPicture& picture, uint32_t layerColour, uint32_t background) {
  uint32_t table[16];
  for (int i = 0; i < 16; ++i) table[i] = ToDibPixel(picture.colours[i]);
  table[kPenIconLayerColour] = ToDibPixel(layerColour);
  table[kPenIconBackground] = ToDibPixel(background);
  std::vector<uint32_t> pixels(picture.indices.size());
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = table[picture.indices[i] & 0x0F];
  return pixels;
}
