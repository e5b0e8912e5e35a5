#include "view/composition_preview.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "view/composition.h"
#include "view/view_mapping.h"

namespace {

// The screen colour of composed pixel (x, y), which lies inside the image.
uint32_t ComposedPixel(const DibBitmap& image, const DibBitmap* mask, const uint32_t colours[256], int x, int y) {
  if (mask && x < DibWidth(*mask) && y < DibHeight(*mask) && MaskBit(DibRow(*mask, y), x)) return kSurroundPixel;
  const uint8_t* row = DibRow(image, y);
  if (DibDepth(image) == 8) return colours[row[x]];
  uint32_t v;
  std::memcpy(&v, row + static_cast<ptrdiff_t>(x) * 4, 4);
  return v & 0x00FFFFFFu;
}

}  // namespace

float ZoomPreviewFactor(float scale, float r, float r0) {
  float m = r / r0;
  if (!(m > 0.0f) || !std::isfinite(m) || !(scale > 0.0f)) return 1.0f;
  if (scale / m > 16.0f) m = scale / 16.0f;
  if (scale / m < 1.0f) m = scale;
  return m;
}

void RenderZoomPreview(CanvasView& view, float m) {
  DibBitmap* screen = view.backBuffer;
  if (!screen || DibDepth(*screen) != 32) return;
  const int cw = DibWidth(*screen), ch = DibHeight(*screen);
  FillPixels(*screen, {0, 0, cw, ch}, kSurroundPixel);
  const DibBitmap* image = view.composed;
  if (!image || (DibDepth(*image) != 8 && DibDepth(*image) != 32) || !(m > 0.0f) || !std::isfinite(m)) return;

  float sw = static_cast<float>(cw) / m, sh = static_cast<float>(ch) / m;
  float cx = static_cast<float>(view.centreX), cy = static_cast<float>(view.centreY);
  if (view.scale < 1.0f) {
    sw *= view.scale;
    sh *= view.scale;
    cx *= view.scale;
    cy *= view.scale;
  }
  const int64_t w = std::max(1, TruncCoordinate(sw)), h = std::max(1, TruncCoordinate(sh));
  const int64_t left = TruncCoordinate(cx) - w / 2, top = TruncCoordinate(cy) - h / 2;
  const int iw = DibWidth(*image), ih = DibHeight(*image);

  // Source column of every destination column; -1 where it falls outside the image.
  std::vector<int32_t> columns(static_cast<size_t>(cw));
  for (int i = 0; i < cw; ++i) {
    const int64_t sx = left + (2 * int64_t{i} + 1) * w / (2 * int64_t{cw});
    columns[static_cast<size_t>(i)] = sx >= 0 && sx < iw ? static_cast<int32_t>(sx) : -1;
  }
  uint32_t colours[256];
  for (int i = 0; i < 256; ++i)
    colours[i] = DibPixel(image->colours[i]);
  const DibBitmap* mask = DibDepth(*image) == 8 && view.outsideMask && DibDepth(*view.outsideMask) == 1
                              ? view.outsideMask
                              : nullptr;
  for (int j = 0; j < ch; ++j) {
    const int64_t sy = top + (2 * int64_t{j} + 1) * h / (2 * int64_t{ch});
    if (sy < 0 || sy >= ih) continue;
    uint8_t* out = DibRow(*screen, j);
    for (int i = 0; i < cw; ++i) {
      const int32_t sx = columns[static_cast<size_t>(i)];
      if (sx >= 0) StorePixel(out + i * 4, ComposedPixel(*image, mask, colours, sx, static_cast<int>(sy)));
    }
  }
}

bool SameRotationRequest(const RotationPreviewRequest& request, const RotationPreviewRequest& last) {
  return request.angle == last.angle && request.zoom == last.zoom;
}

bool RotatePicture(DibBitmap& target, const DibBitmap& picture, const RotationPreviewRequest& request) {
  if (DibDepth(target) != 32 || DibDepth(picture) != 32) return false;
  const int tw = DibWidth(target), th = DibHeight(target);
  const int64_t pw = DibWidth(picture), ph = DibHeight(picture);
  // Gestures keep the zoom within 1/8 .. 8; the limits here only keep damaged values from
  // overflowing the fixed-point steps.
  const double zoom =
      request.zoom > 0.0f && std::isfinite(request.zoom) ? std::clamp(double{request.zoom}, 1.0 / 1024, 1024.0) : 1.0;
  const double angle = std::isfinite(request.angle) ? request.angle : 0.0;
  const int64_t cosF = std::llround(std::cos(angle) / zoom * 65536.0);
  const int64_t sinF = std::llround(std::sin(angle) / zoom * 65536.0);
  const int64_t cx = request.centreX, cy = request.centreY;
  // Rows of the picture, as a base and a signed step (bottom-up bitmaps step backwards).
  const uint8_t* pictureRow0 = ph > 0 ? DibRow(picture, 0) : nullptr;
  const ptrdiff_t pictureStep = ph > 1 ? DibRow(picture, 1) - pictureRow0 : 0;
  for (int j = 0; j < th; ++j) {
    const int64_t dy = j - cy;
    // Source position of pixel (0, j) in 16.16, plus one half so that the shift rounds to the
    // nearest pixel; pixel i's is (fx + i * cosF, fy + i * sinF).
    const int64_t fx = (cx << 16) - cx * cosF - dy * sinF + 0x8000;
    const int64_t fy = (cy << 16) - cx * sinF + dy * cosF + 0x8000;
    // The pixels [first, end) whose source lies inside the picture: one stretch, as both
    // positions step linearly; the rest of the row is the surround.
    int64_t firstX, endX, firstY, endY;
    StepsInside(fx, cosF, pw << 16, tw, &firstX, &endX);
    StepsInside(fy, sinF, ph << 16, tw, &firstY, &endY);
    const int first = static_cast<int>(std::max(firstX, firstY));
    const int end = std::max(first, static_cast<int>(std::min(endX, endY)));
    FillPixels(target, {0, j, first, j + 1}, kSurroundPixel);
    FillPixels(target, {end, j, tw, j + 1}, kSurroundPixel);
    uint8_t* out = DibRow(target, j) + static_cast<ptrdiff_t>(first) * 4;
    int64_t x = fx + first * cosF, y = fy + first * sinF;
    for (int i = first; i < end; ++i, x += cosF, y += sinF, out += 4)
      std::memcpy(out, pictureRow0 + (y >> 16) * pictureStep + (x >> 16) * 4, 4);
  }
  return true;
}

bool RenderRotationPreview(CanvasView& view, const DibBitmap& picture, const RotationPreviewRequest& request) {
  DibBitmap* screen = view.backBuffer;
  if (!screen || DibDepth(*screen) != 32 || &picture == screen) return false;
  // Straight into the back buffer: the frame is drawn under the view lock, which painting
  // also takes, so no one sees it half drawn. A scratch bitmap of the client size per frame
  // cost an allocation, its page faults and a copy on every move of a turning drag.
  return RotatePicture(*screen, picture, request);
}
