// DibBitmap: the one raster record of the program. Canvas, previous canvas, undo patches,
// masks, stamps, textures and print pages are all DibBitmaps.
//
// The record is plain memory. Its header is laid out byte for byte like Windows'
// BITMAPINFOHEADER and is followed directly by the 256-entry RGBQUAD colour table, so the
// Windows shell hands &bitmap->header to GDI as a BITMAPINFO without copying
// (see dib_bitmap_win32.h).
//
// Pixel layout, all depths: rows are stored bottom-up with strides rounded up to 32 bits.
// Top-down row y starts at bits + (height - 1 - y) * stride. In a 1-bit row pixel x is bit
// (7 - x % 8) of byte x / 8. A 32-bit pixel is the bytes blue, green, red, unused.
//
// Meaning of an 8-bit canvas pixel: bit k is layer k, 0 = painted, 1 = empty; 0xFF is paper.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Same layout as BITMAPINFOHEADER (40 bytes, no padding).
struct DibHeader {
  uint32_t size;            // always 40
  int32_t width;
  int32_t height;           // positive: rows bottom-up
  uint16_t planes;          // always 1
  uint16_t bitCount;        // 1, 4, 8, 24 or 32
  uint32_t compression;     // 0: uncompressed RGB
  uint32_t sizeImage;       // 0
  int32_t xPelsPerMeter;    // 0
  int32_t yPelsPerMeter;    // 0
  uint32_t clrUsed;         // 0
  uint32_t clrImportant;    // 0
};
static_assert(sizeof(DibHeader) == 40, "DibHeader must match BITMAPINFOHEADER");

// Same layout as RGBQUAD.
struct DibColour {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t reserved;
};
static_assert(sizeof(DibColour) == 4, "DibColour must match RGBQUAD");

inline constexpr int kDibColourCount = 256;

struct DibBitmap {
  uint8_t* bits;            // pixel memory, stride * height bytes, owned by the record
  int32_t stride;           // bytes per stored row, a multiple of 4
  int32_t reserved;         // keeps the header 8-byte aligned; unused
  DibHeader header;
  DibColour colours[kDibColourCount];  // must follow header directly: header + table = BITMAPINFO
};
static_assert(offsetof(DibBitmap, colours) == offsetof(DibBitmap, header) + sizeof(DibHeader),
              "the colour table must follow the header directly");

// Creates a zero-filled bitmap. colours may be null; colourCount entries (at most 256) are
// copied into the table, the rest of the table is zero. Returns null, allocating nothing,
// for a depth other than 1, 4, 8, 24, 32 or a width or height below 1; returns null and sets
// gStatusCode to 41 when memory cannot be had.
DibBitmap* CreateDibBitmap(int depth, const DibColour* colours, int colourCount, int width, int height);

// A copy of bitmap: the same depth, size, colour table and pixels; null as CreateDibBitmap.
DibBitmap* CloneDibBitmap(const DibBitmap& bitmap);

// Returns false when *bitmap was already null; otherwise frees the pixels and the record, sets
// *bitmap to null and returns true. Callers may ignore the result.
bool FreeDibBitmap(DibBitmap*& bitmap);

// Stride in bytes of one row of the given depth and width: the row's bits rounded up to a
// multiple of 32. Returns -1 when the row would not fit in 31 bits of bytes.
int64_t DibStride(int depth, int width);

inline int DibWidth(const DibBitmap& b) { return b.header.width; }
inline int DibHeight(const DibBitmap& b) { return b.header.height; }
inline int DibDepth(const DibBitmap& b) { return b.header.bitCount; }

// Start of top-down row y (0 <= y < height).
inline uint8_t* DibRow(DibBitmap& b, int y) {
  return b.bits + static_cast<ptrdiff_t>(b.header.height - 1 - y) * b.stride;
}
inline const uint8_t* DibRow(const DibBitmap& b, int y) {
  return b.bits + static_cast<ptrdiff_t>(b.header.height - 1 - y) * b.stride;
}

// Bit of pixel x in a 1-bit row: 0 or 1.
// A colour as a 32-bit pixel word (blue in the low byte, then green, red, and 0): how 32-bit
// bitmaps hold it on a little-endian machine.
inline uint32_t DibPixel(const DibColour& c) {
  return static_cast<uint32_t>(c.blue) | static_cast<uint32_t>(c.green) << 8 | static_cast<uint32_t>(c.red) << 16;
}

// The pixel word at p in a 32-bit row, and storing one there (rows need not be 4-aligned).
inline uint32_t LoadPixel(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void StorePixel(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

inline int MaskBit(const uint8_t* row, int x) { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

// Copies the top-left width x height pixels of an 8-bit source into an 8-bit destination with
// the indices unchanged (two palette entries of one colour stay apart). Clipped to both
// bitmaps; does nothing unless both are 8-bit.
void CopyIndicesExact(DibBitmap& destination, const DibBitmap& source, int width, int height);

// Copies the source rectangle at (sx, sy) to (dx, dy), byte by byte, clipped against both
// bitmaps (a negative destination start moves the source start with it; source pixels
// outside the source are skipped). Both bitmaps must have the same byte depth (8, 24, 32).
// Returns true when the clipped destination rectangle is not empty, false when it lies wholly
// outside the destination (or the depths do not allow a byte copy).
bool CopyRect(DibBitmap& destination, int dx, int dy, int width, int height,
             const DibBitmap& source, int sx, int sy);
