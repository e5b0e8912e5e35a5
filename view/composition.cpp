#include "view/composition.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "files/bmp_reader.h"

namespace {

constexpr uint32_t kWhitePixel = 0x00FFFFFFu;

// Floor division and the matching non-negative remainder (k > 0).
inline int64_t FloorDiv(int64_t a, int64_t k) { return a >= 0 ? a / k : -((-a + k - 1) / k); }

PixelRect BitmapRect(const DibBitmap& b) { return {0, 0, DibWidth(b), DibHeight(b)}; }

// A rectangle given in 64-bit coordinates, cut to the int32 range by intersecting with `within`.
PixelRect Clip64(int64_t left, int64_t top, int64_t right, int64_t bottom, const PixelRect& within) {
  PixelRect r{static_cast<int32_t>(std::max<int64_t>(left, within.left)),
              static_cast<int32_t>(std::max<int64_t>(top, within.top)),
              static_cast<int32_t>(std::min<int64_t>(right, within.right)),
              static_cast<int32_t>(std::min<int64_t>(bottom, within.bottom))};
  return IsRectEmpty(r) ? PixelRect{} : r;
}

// The 32-bit screen colour of every 8-bit index, through the bitmap's colour table.
void IndexColours(const DibBitmap& image, uint32_t out[kDibColourCount]) {
  for (int i = 0; i < kDibColourCount; ++i) out[i] = DibPixel(image.colours[i]);
}

// Blends count pixels of paper into target (both 32-bit rows), strength a in 0..255.
void BlendPaperRow(uint8_t* target, const uint8_t* paper, int count, int a) {
  // Invariant: per channel f = ((p * a) >> 8) + (255 - a) <= 255, t = target * f <= 65025, so
  // (t + (t >> 8) + 1) >> 8 <= 255 already; the limit is kept as the rule states it.
  for (int i = 0; i < count; ++i, target += 4, paper += 4) {
    if (paper[0] == 255 && paper[1] == 255 && paper[2] == 255) continue;
    for (int c = 0; c < 3; ++c) {
      const int f = ((paper[c] * a) >> 8) + (255 - a);
      const int t = target[c] * f;
      target[c] = static_cast<uint8_t>(std::min((t + (t >> 8) + 1) >> 8, 255));
    }
  }
}

// One screen row of the magnified path: width pixels from composed column sx, phase pixels
// into its block. Depth is the composed image's depth, 8 or 32.
template <int Depth>
void MagnifiedRow(uint8_t* out, int32_t width, const uint8_t* src, const uint8_t* maskRow, int64_t maskWidth,
                  int64_t sx, int64_t phase, int64_t k, const uint32_t colours[kDibColourCount],
                  const uint32_t orWord[2], const uint32_t andWord[2]) {
  // Invariant: sx and phase are the composed column of the pixel being written and its offset
  // in that column's block; a column past the mask's width counts as inside.
  for (int32_t i = 0; i < width; ++i, out += 4) {
    uint32_t c;
    if constexpr (Depth == 8) {
      c = colours[src[sx]];
    } else {
      c = LoadPixel(src + sx * 4) & kWhitePixel;
    }
    const int bit = sx < maskWidth ? MaskBit(maskRow, static_cast<int>(sx)) : 0;
    StorePixel(out, (c | orWord[bit]) & andWord[bit]);
    if (++phase == k) {
      phase = 0;
      ++sx;
    }
  }
}

// Step 2 of RenderViewRect: k x k blocks of the 8-bit (or 32-bit) composed image with the
// outside mask applied.
void RenderMagnified(const CanvasView& view, DibBitmap& screen, const PixelRect& r) {
  const DibBitmap& image = *view.composed;
  const int depth = DibDepth(image);
  if (depth != 8 && depth != 32) return;
  const int64_t k = MagnifiedPixelSide(view.scale);
  const int64_t ox = view.originX, oy = view.originY;

  // Widen to whole blocks aligned to the origin, then clip to the image on the screen and to
  // the back buffer (the snapped blocks may reach outside the requested rectangle).
  const int64_t left = ox + FloorDiv(r.left - ox, k) * k;
  const int64_t top = oy + FloorDiv(r.top - oy, k) * k;
  const int64_t right = ox + FloorDiv(r.right - ox + k - 1, k) * k;
  const int64_t bottom = oy + FloorDiv(r.bottom - oy + k - 1, k) * k;
  PixelRect d = Clip64(left, top, right, bottom, BitmapRect(screen));
  d = Clip64(std::max<int64_t>(d.left, ox), std::max<int64_t>(d.top, oy),
             std::min<int64_t>(d.right, ox + DibWidth(image) * k),
             std::min<int64_t>(d.bottom, oy + DibHeight(image) * k), d);
  if (IsRectEmpty(d)) return;

  uint32_t colours[kDibColourCount];
  IndexColours(image, colours);
  // The two mask steps per mask bit: OR with the mask's own colour, AND with {white, grey}.
  const DibBitmap* mask = view.outsideMask;
  const bool masked = mask && DibDepth(*mask) == 1;
  const uint32_t orWord[2] = {masked ? DibPixel(mask->colours[0]) : 0u,
                              masked ? DibPixel(mask->colours[1]) : 0u};
  const uint32_t andWord[2] = {kWhitePixel, kSurroundPixel};

  const int32_t width = d.right - d.left;
  const int64_t firstColumn = (d.left - ox) / k;  // d.left >= ox
  const int64_t firstPhase = (d.left - ox) % k;
  for (int32_t y = d.top; y < d.bottom;) {
    const int64_t sy = (y - oy) / k;
    const int32_t blockEnd = static_cast<int32_t>(std::min<int64_t>(d.bottom, oy + (sy + 1) * k));
    const uint8_t* src = DibRow(image, static_cast<int>(sy));
    const bool rowMasked = masked && sy < DibHeight(*mask);
    const uint8_t* maskRow = rowMasked ? DibRow(*mask, static_cast<int>(sy)) : nullptr;
    const int64_t maskWidth = rowMasked ? DibWidth(*mask) : 0;
    uint8_t* out = DibRow(screen, y) + static_cast<ptrdiff_t>(d.left) * 4;
    if (depth == 8) {
      MagnifiedRow<8>(out, width, src, maskRow, maskWidth, firstColumn, firstPhase, k, colours, orWord, andWord);
    } else {
      MagnifiedRow<32>(out, width, src, maskRow, maskWidth, firstColumn, firstPhase, k, colours, orWord, andWord);
    }
    // The other rows of the block repeat this one.
    for (int32_t yy = y + 1; yy < blockEnd; ++yy)
      std::memcpy(DibRow(screen, yy) + static_cast<ptrdiff_t>(d.left) * 4, out, static_cast<size_t>(width) * 4);
    y = blockEnd;
  }
}

// Step 3 of RenderViewRect: the composed image 1:1, then the paper.
void RenderStraight(const CanvasView& view, DibBitmap& screen, const PixelRect& r) {
  const DibBitmap& image = *view.composed;
  const int depth = DibDepth(image);
  const int64_t ox = view.originX, oy = view.originY;
  if (depth == 8 || depth == 32) {
    const PixelRect d = Clip64(ox, oy, ox + DibWidth(image), oy + DibHeight(image), r);
    uint32_t colours[kDibColourCount];
    if (depth == 8) IndexColours(image, colours);
    for (int32_t y = d.top; y < d.bottom; ++y) {
      const uint8_t* src = DibRow(image, static_cast<int>(y - oy));
      uint8_t* out = DibRow(screen, y) + static_cast<ptrdiff_t>(d.left) * 4;
      const int64_t sx0 = d.left - ox;
      if (depth == 8) {
        for (int32_t i = 0; i < d.right - d.left; ++i) StorePixel(out + i * 4, colours[src[sx0 + i]]);
      } else {
        for (int32_t i = 0; i < d.right - d.left; ++i)
          StorePixel(out + i * 4, LoadPixel(src + (sx0 + i) * 4) & kWhitePixel);
      }
    }
  }
  if (!ViewPaperTexture(view) || !view.paper || DibDepth(*view.paper) != 32) return;
  const DibBitmap& paper = *view.paper;
  const PixelRect p = Clip64(ox, oy, ox + DibWidth(paper), oy + DibHeight(paper), r);
  for (int32_t y = p.top; y < p.bottom; ++y) {
    BlendPaperRow(DibRow(screen, y) + static_cast<ptrdiff_t>(p.left) * 4,
                  DibRow(paper, static_cast<int>(y - oy)) + (p.left - ox) * 4, p.right - p.left,
                  kViewPaperStrength);
  }
}

}  // namespace

int32_t MagnifiedPixelSide(float scale) {
  if (!(scale > 0.0f)) return 1;
  const double k = std::floor(1.0 / static_cast<double>(scale) + 0.5);
  return k < 1.0 ? 1 : (k > 1024.0 ? 1024 : static_cast<int32_t>(k));
}

bool ViewIsMagnified(const CanvasView& view) {
  return static_cast<double>(view.scale) < RotationSpan(view.rotation);
}

void FillPixels(DibBitmap& bitmap, const PixelRect& rect, uint32_t pixel) {
  if (DibDepth(bitmap) != 32) return;
  const PixelRect r = IntersectRect(rect, BitmapRect(bitmap));
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint8_t* out = DibRow(bitmap, y) + static_cast<ptrdiff_t>(r.left) * 4;
    for (int32_t x = r.left; x < r.right; ++x, out += 4) StorePixel(out, pixel);
  }
}

void RenderViewRect(CanvasView& view, const PixelRect& clientRect) {
  DibBitmap* screen = view.backBuffer;
  if (!screen || DibDepth(*screen) != 32) return;
  const PixelRect r = IntersectRect(clientRect, BitmapRect(*screen));
  if (IsRectEmpty(r)) return;
  FillPixels(*screen, r, kSurroundPixel);
  if (!view.composed) return;
  if (ViewIsMagnified(view)) {
    RenderMagnified(view, *screen, r);
  } else {
    RenderStraight(view, *screen, r);
  }
}

bool BlendPaper(DibBitmap& target, int width, int height, const DibBitmap& paper, int strength) {
  if (DibDepth(target) != 32 || DibDepth(paper) != 32) return false;
  const int w = std::min({width, DibWidth(target), DibWidth(paper)});
  const int h = std::min({height, DibHeight(target), DibHeight(paper)});
  const int a = std::clamp(strength, 0, 255);
  for (int y = 0; y < h; ++y) BlendPaperRow(DibRow(target, y), DibRow(paper, y), w, a);
  return true;
}

DibBitmap* PreparePaperImage(const DibBitmap& texture, int width, int height) {
  const int tw = DibWidth(texture), th = DibHeight(texture);
  if (width < 1 || height < 1 || tw < 1 || th < 1 || !texture.bits) return nullptr;
  DibBitmap* paper = CreateDibBitmap(32, nullptr, 0, width, height);
  if (!paper) return nullptr;
  // Only the columns the paper shows are read: a texture may be far wider than the view.
  const int used = std::min(tw, width);
  std::vector<DibColour> colours(static_cast<size_t>(used));
  for (int y = 0; y < std::min(height, th); ++y) {
    DibRowColours(texture, y, 0, used, colours.data());
    uint8_t* out = DibRow(*paper, y);
    // Invariant: tx = x mod tw.
    for (int x = 0, tx = 0; x < width; ++x, out += 4) {
      StorePixel(out, DibPixel(colours[static_cast<size_t>(tx)]));
      if (++tx == tw) tx = 0;
    }
  }
  // Rows below the texture repeat the rows one texture height above.
  for (int y = th; y < height; ++y)
    std::memcpy(DibRow(*paper, y), DibRow(*paper, y - th), static_cast<size_t>(paper->stride));
  return paper;
}
