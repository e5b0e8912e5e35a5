// The pen icons of the pen list, the easy panel and the pen selector, without window calls:
// which picture a pen kind shows, which resource holds it at which icon size, reading the
// sixteen-colour picture out of its resource, stretching it to the icon and painting it in
// the colour of the layer the pen draws on.
//
// The pictures are sixteen-colour images in which colour 12 is the part painted in the pen's
// layer colour and colour 14 the background, which the icon's own background shows through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class PenIconPicture : int32_t { kPen, kEraser, kBucket, kRectangleSelection, kLasso };
inline constexpr int kPenIconPictureCount = 5;

// Kinds 7 to 10 (erasers) the eraser, 11 the fill bucket, 15 and 17 the rectangle selection,
// 16, 18, 20, 21 and 22 the lasso, every other kind the pen.
PenIconPicture PenIconPictureOfKind(int32_t kind);

// Resources 142..146 hold the pictures 48 pixels square, 147..151 64 pixels square, in
// PenIconPicture order.
inline constexpr int kSmallPenIconFirstResource = 142;
inline constexpr int kLargePenIconFirstResource = 147;
inline constexpr int kSmallPenIconSide = 48;
inline constexpr int kLargePenIconSide = 64;
// The small pictures serve icons narrower than 49 pixels, the large ones the others.
int PenIconResource(PenIconPicture picture, int32_t iconWidth);

inline constexpr uint8_t kPenIconLayerColour = 12;
inline constexpr uint8_t kPenIconBackground = 14;

// A picture of colour indices, row 0 at the top, with its colour table (0x00BBGGRR).
struct IndexedPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> indices;
  uint32_t colours[16] = {};
  uint8_t At(int32_t x, int32_t y) const { return indices[static_cast<size_t>(y) * width + x]; }
};

// Reads a sixteen-colour device-independent bitmap as a resource holds it: the 40-byte
// information header (4 bits per pixel, uncompressed, at most 1024 pixels a side), up to 16
// colour table entries (blue, green, red, unused), then the rows bottom-up, each padded to 4
// bytes. False, leaving out alone, when the bytes are anything else or too short.
[[nodiscard]] bool DecodeSixteenColourDib(const uint8_t* data, size_t size, IndexedPicture& out);

// The picture stretched to side x side: each pixel takes the source pixel under its centre.
IndexedPicture StretchIndexedPicture(const IndexedPicture& picture, int32_t side);

// The icon's pixels as a top-down 32-bit DIB takes them (0x00RRGGBB): colour 12 becomes
// layerColour, colour 14 (the background) becomes background, every other index its table
// colour. Both colours are 0x00BBGGRR.
std::vector<uint32_t> ComposePenIcon(const IndexedPicture& picture, uint32_t layerColour, uint32_t background);
