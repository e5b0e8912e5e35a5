#include "canvas/masked_ops.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "canvas/clip_area.h"

namespace {

// 1-bit rows are expanded into bytes (0xFF for a 1 bit, 0x00 for a 0 bit) a chunk at a time,
// so every operation below is a plain byte loop the compiler can vectorise.
constexpr int kChunk = 512;

constexpr std::array<uint64_t, 256> MakeByteExpansion() {
  std::array<uint64_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    uint64_t bytes = 0;
    for (int bit = 0; bit < 8; ++bit) {
      // Leftmost pixel (most significant bit) goes to the lowest address.
      if (b & (0x80 >> bit)) bytes |= uint64_t{0xFF} << (8 * bit);
    }
    table[b] = bytes;
  }
  return table;
}
constexpr std::array<uint64_t, 256> kByteExpansion = MakeByteExpansion();

// Expands pixels x0 .. x0 + count - 1 of a 1-bit row into out[0 .. count - 1]. Reads only
// bytes that hold those pixels.
void ExpandMaskBits(const uint8_t* row, int x0, int count, uint8_t* out) {
  const int shift = x0 & 7;
  const uint8_t* in = row + (x0 >> 3);
  int i = 0;
  if (shift == 0) {
    for (; i + 8 <= count; i += 8, ++in) std::memcpy(out + i, &kByteExpansion[*in], 8);
  } else {
    // Pixels x0 + i .. x0 + i + 7 straddle in[0] and in[1]; both hold pixels of this run.
    for (; i + 8 <= count; i += 8, ++in) {
      uint8_t b = static_cast<uint8_t>((in[0] << shift) | (in[1] >> (8 - shift)));
      std::memcpy(out + i, &kByteExpansion[b], 8);
    }
  }
  for (; i < count; ++i) out[i] = MaskBit(row, x0 + i) ? 0xFF : 0x00;
}

bool IsCanvasDepth(const DibBitmap& b) { return DibDepth(b) == 8; }
bool IsMaskDepth(const DibBitmap& b) { return DibDepth(b) == 1; }

ClippedArea Clip(const DibBitmap& dst, const BlitArea& a, const DibBitmap& src) {
  return ClipArea(a.x, a.y, a.width, a.height, DibWidth(dst), DibHeight(dst), a.sx, a.sy,
                  DibWidth(src), DibHeight(src));
}

// Runs op(d, m, n) over the clipped area, chunk by chunk: d points at n destination pixels,
// m at the same n pixels of the mask expanded to bytes.
template <class Op>
bool ForMaskChunks(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, Op op) {
  if (!IsCanvasDepth(dst) || !IsMaskDepth(mask)) return false;
  ClippedArea a = Clip(dst, area, mask);
  if (a.outsideDestination) return false;
  uint8_t m[kChunk];
  for (int j = 0; j < a.height; ++j) {
    uint8_t* d = DibRow(dst, a.dy + j) + a.dx;
    const uint8_t* maskRow = DibRow(mask, a.sy + j);
    for (int done = 0; done < a.width; done += kChunk) {
      int n = std::min(kChunk, a.width - done);
      ExpandMaskBits(maskRow, a.sx + done, n, m);
      op(d + done, m, n);
    }
  }
  return true;
}

}  // namespace

bool AndRect(DibBitmap& dst, const BlitArea& area, const DibBitmap& src) {
  if (!IsCanvasDepth(dst) || !IsCanvasDepth(src)) return false;
  ClippedArea a = Clip(dst, area, src);
  if (a.outsideDestination) return false;
  for (int j = 0; j < a.height; ++j) {
    uint8_t* d = DibRow(dst, a.dy + j) + a.dx;
    const uint8_t* s = DibRow(src, a.sy + j) + a.sx;
    for (int i = 0; i < a.width; ++i) d[i] &= s[i];
  }
  return true;
}

bool MaskedCopy(DibBitmap& dst, const BlitArea& area, const DibBitmap& src, const LayerTable& layers) {
  if (!IsCanvasDepth(dst) || !IsCanvasDepth(src)) return false;
  ClippedArea a = Clip(dst, area, src);
  if (a.outsideDestination) return false;
  const uint8_t keep = ProtectionMask(layers);
  const uint8_t take = static_cast<uint8_t>(~keep);
  if (keep == 0) {
    // Every layer editable: the copy is a plain one.
    for (int j = 0; j < a.height; ++j)
      std::memmove(DibRow(dst, a.dy + j) + a.dx, DibRow(src, a.sy + j) + a.sx, static_cast<size_t>(a.width));
    return true;
  }
  for (int j = 0; j < a.height; ++j) {
    uint8_t* d = DibRow(dst, a.dy + j) + a.dx;
    const uint8_t* s = DibRow(src, a.sy + j) + a.sx;
    for (int i = 0; i < a.width; ++i) d[i] = static_cast<uint8_t>((s[i] & take) | (d[i] & keep));
  }
  return true;
}

bool PaintWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, const LayerTable& layers) {
  const uint8_t keep = ProtectionMask(layers);
  // Where m = 0xFF nothing is cleared; where m = 0 only the protected bits survive.
  return ForMaskChunks(dst, area, mask, [keep](uint8_t* d, const uint8_t* m, int n) {
    for (int i = 0; i < n; ++i) d[i] &= static_cast<uint8_t>(m[i] | keep);
  });
}

bool EraseWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, const LayerTable& layers) {
  const uint8_t editable = static_cast<uint8_t>(~ProtectionMask(layers));
  return ForMaskChunks(dst, area, mask, [editable](uint8_t* d, const uint8_t* m, int n) {
    for (int i = 0; i < n; ++i) d[i] |= static_cast<uint8_t>(m[i] & editable);
  });
}

bool SetLayerInRegion(DibBitmap& dst, const BlitArea& area, const DibBitmap& values,
                     const DibBitmap& region, const LayerTable& layers, int layer) {
  if (area.width < 1 || area.height < 1) return false;
  if (!IsCanvasDepth(dst) || !IsMaskDepth(values) || !IsMaskDepth(region)) return false;
  ClippedArea a = Clip(dst, area, values);
  if (a.outsideDestination) return false;
  if (!IsLayerEditable(layers, layer)) return true;
  // Both masks are read at one source position; clip to the smaller of the two.
  ClippedArea r = Clip(dst, area, region);
  a.width = std::min(a.width, r.width);
  a.height = std::min(a.height, r.height);

  const uint8_t bit = static_cast<uint8_t>(1u << layer);
  uint8_t value[kChunk];
  uint8_t inRegion[kChunk];
  for (int j = 0; j < a.height; ++j) {
    uint8_t* d = DibRow(dst, a.dy + j) + a.dx;
    const uint8_t* valueRow = DibRow(values, a.sy + j);
    const uint8_t* regionRow = DibRow(region, a.sy + j);
    for (int done = 0; done < a.width; done += kChunk) {
      int n = std::min(kChunk, a.width - done);
      ExpandMaskBits(valueRow, a.sx + done, n, value);
      ExpandMaskBits(regionRow, a.sx + done, n, inRegion);
      uint8_t* dd = d + done;
      // Inside the region bit k becomes 0 (painted) where the value is 1, 1 where it is 0.
      for (int i = 0; i < n; ++i) {
        uint8_t changed = static_cast<uint8_t>(inRegion[i] & bit);
        dd[i] = static_cast<uint8_t>((dd[i] & ~changed) | (changed & ~value[i]));
      }
    }
  }
  return true;
}

bool MaskedCopyThroughSelection(DibBitmap& dst, const BlitArea& area, const DibBitmap& src,
                               const DibBitmap& selection, const LayerTable& layers) {
  if (!IsCanvasDepth(dst) || !IsCanvasDepth(src) || !IsMaskDepth(selection)) return false;
  ClippedArea a = Clip(dst, area, src);
  if (a.outsideDestination) return false;
  ClippedArea sel = Clip(dst, area, selection);
  a.width = std::min(a.width, sel.width);
  a.height = std::min(a.height, sel.height);

  const uint8_t editable = static_cast<uint8_t>(~ProtectionMask(layers));
  uint8_t selected[kChunk];
  for (int j = 0; j < a.height; ++j) {
    uint8_t* d = DibRow(dst, a.dy + j) + a.dx;
    const uint8_t* s = DibRow(src, a.sy + j) + a.sx;
    const uint8_t* selectionRow = DibRow(selection, a.sy + j);
    for (int done = 0; done < a.width; done += kChunk) {
      int n = std::min(kChunk, a.width - done);
      ExpandMaskBits(selectionRow, a.sx + done, n, selected);
      uint8_t* dd = d + done;
      const uint8_t* ss = s + done;
      // take: the bits copied from s; editable bits inside the selection only.
      for (int i = 0; i < n; ++i) {
        uint8_t take = static_cast<uint8_t>(selected[i] & editable);
        dd[i] = static_cast<uint8_t>((ss[i] & take) | (dd[i] & ~take));
      }
    }
  }
  return true;
}

bool EraseLayerWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask,
                       const LayerTable& layers, int layer) {
  const uint8_t editable = static_cast<uint8_t>(~SingleLayerProtection(layers, layer));
  return ForMaskChunks(dst, area, mask, [editable](uint8_t* d, const uint8_t* m, int n) {
    for (int i = 0; i < n; ++i) d[i] |= static_cast<uint8_t>(m[i] & editable);
  });
}

bool PaintLayerWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, int layer) {
  const uint8_t bit = static_cast<uint8_t>(1u << layer);
  return ForMaskChunks(dst, area, mask, [bit](uint8_t* d, const uint8_t* m, int n) {
    for (int i = 0; i < n; ++i) d[i] &= static_cast<uint8_t>(~(m[i] & bit));
  });
}

bool ClearEditable(DibBitmap& dst, int width, int height, const LayerTable& layers) {
  if (width < 1 || height < 1 || !IsCanvasDepth(dst)) return false;
  const int w = std::min(width, DibWidth(dst));
  const int h = std::min(height, DibHeight(dst));
  const uint8_t editable = static_cast<uint8_t>(~ProtectionMask(layers));
  for (int y = 0; y < h; ++y) {
    uint8_t* d = DibRow(dst, y);
    for (int i = 0; i < w; ++i) d[i] |= editable;
  }
  return true;
}

bool IsCanvasBlank(const DibBitmap& canvas) {
  const int w = DibWidth(canvas);
  const int h = DibHeight(canvas);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = DibRow(canvas, y);
    uint8_t all = 0xFF;
    for (int i = 0; i < w; ++i) all &= row[i];
    if (all != 0xFF) return false;
  }
  return true;
}
