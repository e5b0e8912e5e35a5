#include "canvas/dib_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "canvas/clip_area.h"
#include "canvas/status.h"

int64_t DibStride(int depth, int width) {
  int64_t rowBits = static_cast<int64_t>(width) * depth;
  int64_t stride = ((rowBits + 31) / 32) * 4;
  if (stride > std::numeric_limits<int32_t>::max()) return -1;
  return stride;
}

DibBitmap* CreateDibBitmap(int depth, const DibColour* colours, int colourCount, int width, int height) {
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return nullptr;
  if (width < 1 || height < 1) return nullptr;

  int64_t stride = DibStride(depth, width);
  // Sizes a process cannot address are an allocation failure, not a wrap-around.
  if (stride < 0 || static_cast<uint64_t>(stride) >
                        std::numeric_limits<size_t>::max() / static_cast<uint64_t>(height)) {
    gStatusCode = kStatusBitmapAllocationFailed;
    return nullptr;
  }
  size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(height);

  auto* bitmap = static_cast<DibBitmap*>(std::calloc(1, sizeof(DibBitmap)));
  if (!bitmap) {
    gStatusCode = kStatusBitmapAllocationFailed;
    return nullptr;
  }
  bitmap->bits = static_cast<uint8_t*>(std::calloc(bytes, 1));
  if (!bitmap->bits) {
    std::free(bitmap);
    gStatusCode = kStatusBitmapAllocationFailed;
    return nullptr;
  }
  bitmap->stride = static_cast<int32_t>(stride);
  DibHeader& h = bitmap->header;
  h.size = sizeof(DibHeader);
  h.width = width;
  h.height = height;
  h.planes = 1;
  h.bitCount = static_cast<uint16_t>(depth);
  if (colours && colourCount > 0) {
    std::memcpy(bitmap->colours, colours,
                sizeof(DibColour) * static_cast<size_t>(std::min(colourCount, kDibColourCount)));
  }
  return bitmap;
}

bool FreeDibBitmap(DibBitmap*& bitmap) {
  if (!bitmap) return false;
  std::free(bitmap->bits);
  std::free(bitmap);
  bitmap = nullptr;
  return true;
}

void CopyIndicesExact(DibBitmap& destination, const DibBitmap& source, int width, int height) {
  // On plain memory an 8-bit copy never goes through colours, so indices survive as they are
  // even where two table entries hold one colour.
  if (DibDepth(destination) != 8 || DibDepth(source) != 8) return;
  CopyRect(destination, 0, 0, width, height, source, 0, 0);
}

bool CopyRect(DibBitmap& destination, int dx, int dy, int width, int height,
             const DibBitmap& source, int sx, int sy) {
  int depth = DibDepth(destination);
  if (depth != DibDepth(source) || depth < 8) return false;
  const int bytesPerPixel = depth / 8;
  ClippedArea a = ClipArea(dx, dy, width, height, DibWidth(destination), DibHeight(destination),
                           sx, sy, DibWidth(source), DibHeight(source));
  if (a.outsideDestination) return false;
  const size_t rowBytes = static_cast<size_t>(a.width) * bytesPerPixel;
  for (int j = 0; j < a.height; ++j) {
    std::memmove(DibRow(destination, a.dy + j) + static_cast<size_t>(a.dx) * bytesPerPixel,
                 DibRow(source, a.sy + j) + static_cast<size_t>(a.sx) * bytesPerPixel, rowBytes);
  }
  return true;
}

DibBitmap* CloneDibBitmap(const DibBitmap& b) {
  const int depth = DibDepth(b);
  DibBitmap* copy = CreateDibBitmap(depth, b.colours, depth <= 8 ? 1 << depth : 0, DibWidth(b), DibHeight(b));
  if (!copy) return nullptr;
  const size_t stride = static_cast<size_t>(DibStride(depth, DibWidth(b)));
  for (int y = 0; y < DibHeight(b); ++y) std::memcpy(DibRow(*copy, y), DibRow(b, y), stride);
  return copy;
}
