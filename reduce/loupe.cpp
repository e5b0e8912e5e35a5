#include "reduce/loupe.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "reduce/nearest_picture.h"
#include "view/composition.h"
#include "view/sample_to_canvas.h"
#include "view/view_mapping.h"

namespace {

// Inverts the colour bytes of the pixels from (x0, y0) up to but not including (x1, y1) on a
// horizontal or vertical line (R2_NOT: the fourth byte stays 0).
void InvertLine(DibBitmap& picture, int x0, int y0, int x1, int y1) {
  const int dx = x1 > x0 ? 1 : (x1 < x0 ? -1 : 0), dy = y1 > y0 ? 1 : (y1 < y0 ? -1 : 0);
  for (int x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy) {
    uint8_t* p = DibRow(picture, y) + x * 4;
    StorePixel(p, ~LoadPixel(p) & 0x00FFFFFFu);
  }
}

}  // namespace

TabInfoText FormatTabInfo(const PenSample& sample, int statusCode) {
  TabInfoText text{};
  std::snprintf(text.lines[0], sizeof text.lines[0], "X:%5d  Y:%5d", static_cast<int>(sample.x),
                static_cast<int>(sample.y));
  std::snprintf(text.lines[1], sizeof text.lines[1], "press:%5d inf:%2d", static_cast<int>(sample.pressure),
                statusCode);
  std::snprintf(text.lines[2], sizeof text.lines[2], "tilt:%4d rotate:%4d", static_cast<int>(sample.altitude),
                static_cast<int>(sample.azimuth));
  return text;
}

bool ComposeLoupeAt(const CanvasView& view, float canvasX, float canvasY, DibBitmap& picture) {
  if (DibDepth(picture) != 32 || DibWidth(picture) < kLoupeSide || DibHeight(picture) < kLoupeSide) return false;
  if (!view.canvas || !view.canvas->bitmap || DibDepth(*view.canvas->bitmap) != 8) return false;

  // The view as it would be at one canvas pixel per screen pixel, rotation and mirror kept.
  CanvasView straight = view;
  straight.scale = 1.0f;
  const int32_t x = TruncCoordinate(canvasX), y = TruncCoordinate(canvasY);
  const PixelRect source{x - kLoupeReach, y - kLoupeReach, x + kLoupeReach, y + kLoupeReach};
  const PixelRect area = CanvasRectToView(straight, source);
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width < 1 || height < 1) return false;

  const DibBitmap& canvas = *view.canvas->bitmap;
  DibBitmap* image = CreateDibBitmap(8, canvas.colours, kDibColourCount, width, height);
  const DibColour maskColours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  DibBitmap* mask = CreateDibBitmap(1, maskColours, 2, width, height);
  if (!image || !mask) {
    FreeDibBitmap(image);
    FreeDibBitmap(mask);
    return false;
  }
  // The view's transform moved so that destination (0, 0) is view point (left, top).
  NearestAffine t = ViewNearestAffine(straight);
  t.e += static_cast<int64_t>(t.a) * area.left + static_cast<int64_t>(t.c) * area.top;
  t.f += static_cast<int64_t>(t.b) * area.left + static_cast<int64_t>(t.d) * area.top;
  NearestRequest request{};
  request.source = &canvas;
  request.destination = image;
  request.mask = mask;
  request.markOutside = 1;
  request.threaded = 0;
  request.area = {0, 0, width, height};
  request.transform = t;
  if (!NearestResample(request)) {
    FreeDibBitmap(image);
    FreeDibBitmap(mask);
    return false;
  }

  FillPixels(picture, {0, 0, kLoupeSide, kLoupeSide}, kLoupeFill);
  uint32_t colours[kDibColourCount];
  for (int i = 0; i < kDibColourCount; ++i) colours[i] = DibPixel(image->colours[i]);
  const uint32_t orWord[2] = {DibPixel(mask->colours[0]), DibPixel(mask->colours[1])};
  const uint32_t andWord[2] = {0x00FFFFFFu, kSurroundPixel};
  const int ox = width / 2 - kLoupeReach, oy = height / 2 - kLoupeReach;
  for (int j = 0; j < kLoupeSide; ++j) {
    const int sy = oy + j;
    if (sy < 0 || sy >= height) continue;
    const uint8_t* src = DibRow(*image, sy);
    const uint8_t* bits = DibRow(*mask, sy);
    uint8_t* out = DibRow(picture, j);
    for (int i = 0; i < kLoupeSide; ++i) {
      const int sx = ox + i;
      if (sx < 0 || sx >= width) continue;
      const int bit = MaskBit(bits, sx);
      StorePixel(out + i * 4, (colours[src[sx]] | orWord[bit]) & andWord[bit]);
    }
  }
  FreeDibBitmap(image);
  FreeDibBitmap(mask);

  InvertLine(picture, 57, 64, 72, 64);
  InvertLine(picture, 64, 57, 64, 72);
  for (int i = 0; i < kLoupeSide; ++i) {
    StorePixel(DibRow(picture, 0) + i * 4, kLoupeFrame);
    StorePixel(DibRow(picture, kLoupeSide - 1) + i * 4, kLoupeFrame);
    StorePixel(DibRow(picture, i), kLoupeFrame);
    StorePixel(DibRow(picture, i) + (kLoupeSide - 1) * 4, kLoupeFrame);
  }
  return true;
}

bool ComposeLoupe(const CanvasView& view, const InputState& input, DibBitmap& picture) {
  const CanvasSample s = SampleToCanvas(input, view, true, false);
  return ComposeLoupeAt(view, s.x, s.y, picture);
}
