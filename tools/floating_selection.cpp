#include "tools/floating_selection.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "brush/pen_setting.h"
#include "canvas/masked_ops.h"
#include "canvas/undo_history.h"
#include "tools/feedback_outline.h"
#include "tools/polygon_mask.h"
#include "view/canvas_view.h"
#include "view/view_mapping.h"

namespace {

constexpr DibColour kMaskColours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};

// The rectangle (left, top, left + width, top + height) cut to the canvas, computed without
// overflow.
PixelRect ClipToCanvas(int64_t left, int64_t top, int64_t right, int64_t bottom, const Canvas& canvas) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, canvas.width);
  bottom = std::min<int64_t>(bottom, canvas.height);
  if (left >= right || top >= bottom) return PixelRect{};
  return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
          static_cast<int32_t>(bottom)};
}

uint32_t PixelOf(uint32_t colourRef) {  // 0x00BBGGRR to a 32-bit pixel (blue, green, red, 0)
  const uint32_t r = colourRef & 0xFF, g = (colourRef >> 8) & 0xFF, b = (colourRef >> 16) & 0xFF;
  return b | (g << 8) | (r << 16);
}

// The all-layer image: the canvas values of rect, 0xFF wherever the shape mask is 0 (NOT mask
// OR image, so nothing outside the shape is painted).
DibBitmap* LiftAllLayers(const Canvas& canvas, const PixelRect& rect, const DibBitmap& mask) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  DibBitmap* image = CreateDibBitmap(8, canvas.bitmap->colours, kDibColourCount, w, h);
  if (!image) return nullptr;
  CopyRect(*image, 0, 0, w, h, *canvas.bitmap, rect.left, rect.top);
  for (int y = 0; y < h; ++y) {
    uint8_t* out = DibRow(*image, y);
    const uint8_t* m = DibRow(mask, y);
    for (int x = 0; x < w; ++x)
      if (!MaskBit(m, x)) out[x] = 0xFF;
  }
  return image;
}

// The single-layer image: 1 where layer k is painted (its bit is 0) inside the shape.
DibBitmap* LiftOneLayer(const Canvas& canvas, const PixelRect& rect, const DibBitmap& mask, int layer) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  DibBitmap* image = CreateDibBitmap(1, kMaskColours, 2, w, h);
  if (!image) return nullptr;
  const uint8_t bit = static_cast<uint8_t>(1u << layer);
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = DibRow(*canvas.bitmap, rect.top + y) + rect.left;
    const uint8_t* m = DibRow(mask, y);
    uint8_t* out = DibRow(*image, y);
    for (int x = 0; x < w; ++x)
      if (MaskBit(m, x) && !(src[x] & bit)) out[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
  return image;
}

}  // namespace

void FreeFloatingImage(FloatingSelection& selection) {
  FreeDibBitmap(selection.image);
  FreeDibBitmap(selection.shapeMask);
  FreeDibBitmap(selection.picture);
  selection.floating = 0;
}

void InvalidateViewRect(const AppContext& app, const PixelRect& clientRect) {
  if (app.view && !IsRectEmpty(clientRect)) InvalidateClient(*app.view, &clientRect);
}

PixelRect LiftSelection(AppContext& app, const IntPoint* points, int count, bool allLayers) {
  Canvas& canvas = *app.canvas;
  FloatingSelection& selection = *app.floating;
  if (selection.floating) {
    // The drop commits on its own; the stroke's dirty rectangle stays the stroke's.
    const PixelRect strokeDirty = canvas.dirty;
    DropFloatingSelection(app);
    canvas.dirty = strokeDirty;
  }
  if (count < 1 || !canvas.bitmap) return PixelRect{};

  int64_t minX = points[0].x, minY = points[0].y, maxX = points[0].x, maxY = points[0].y;
  for (int i = 1; i < count; ++i) {
    minX = std::min<int64_t>(minX, points[i].x);
    minY = std::min<int64_t>(minY, points[i].y);
    maxX = std::max<int64_t>(maxX, points[i].x);
    maxY = std::max<int64_t>(maxY, points[i].y);
  }
  // The pen lights the largest coordinates too, hence the + 1.
  const PixelRect rect = ClipToCanvas(minX, minY, maxX + 1, maxY + 1, canvas);
  if (IsRectEmpty(rect)) return PixelRect{};
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;

  DibBitmap* mask = CreateDibBitmap(1, kMaskColours, 2, w, h);
  if (!mask) return PixelRect{};
  if (!FillPolygonMask(*mask, points, count, IntPoint{rect.left, rect.top}) || !MaskHasAnyBit(*mask)) {
    FreeDibBitmap(mask);
    return PixelRect{};
  }
  const int layer = DrawingLayer(CurrentPen(app), canvas.currentLayer);
  DibBitmap* image = allLayers ? LiftAllLayers(canvas, rect, *mask) : LiftOneLayer(canvas, rect, *mask, layer);
  if (!image) {
    FreeDibBitmap(mask);
    return PixelRect{};
  }

  const BlitArea area{rect.left, rect.top, w, h, 0, 0};
  if (allLayers)
    EraseWithMask(*canvas.bitmap, area, *mask, canvas.layers);
  else
    EraseLayerWithMask(*canvas.bitmap, area, *mask, canvas.layers, layer);

  FreeFloatingImage(selection);
  selection.image = image;
  selection.shapeMask = mask;
  selection.canvasRect = rect;
  selection.floating = 1;
  ComposeFloatingPicture(selection, canvas, *app.view, points, count);
  const PixelRect client = CanvasRectToClient(*app.view, rect);
  selection.clientX = static_cast<float>(client.left);
  selection.clientY = static_cast<float>(client.top);
  return rect;
}

bool ComposeFloatingPicture(FloatingSelection& selection, const Canvas& canvas, const CanvasView& view,
                            const IntPoint* points, int count) {
  FreeDibBitmap(selection.picture);
  if (!selection.image || !selection.shapeMask || !canvas.bitmap) return false;
  const PixelRect box = CanvasRectToView(view, selection.canvasRect);
  const int64_t pw = int64_t{box.right} - box.left, ph = int64_t{box.bottom} - box.top;
  if (pw < 1 || ph < 1 || pw * ph > kMaxFloatingPicturePixels) return false;
  DibBitmap* picture = CreateDibBitmap(32, nullptr, 0, static_cast<int>(pw), static_cast<int>(ph));
  if (!picture) return false;

  // The canvas point under the centre of picture pixel (px, py) is affine in (px, py): the
  // inverse view mapping of the client point (originX + box.left + px + 0.5, ...).
  const ViewGeometry g = GeometryOf(view);
  const ViewPointF start = ClientToCanvasF(view, static_cast<float>(view.originX + box.left) + 0.5f,
                                           static_cast<float>(view.originY + box.top) + 0.5f);
  const double flip = g.mirrored ? -1.0 : 1.0;
  const double xPerCol = flip * g.scale * g.c, xPerRow = -flip * g.scale * g.s;
  const double yPerCol = g.scale * g.s, yPerRow = g.scale * g.c;

  const DibBitmap& image = *selection.image;
  const DibBitmap& mask = *selection.shapeMask;
  const bool oneBit = DibDepth(image) == 1;
  const int layer = canvas.currentLayer >= 0 && canvas.currentLayer < kLayerCount ? canvas.currentLayer : 0;
  const uint32_t ink = PixelOf(canvas.layers.rows[layer].colour);
  const uint32_t paper = PixelOf(canvas.layers.rows[kPaperRow].colour);
  const uint32_t white = 0xFFFFFF;
  const int64_t iw = DibWidth(image), ih = DibHeight(image);
  for (int py = 0; py < ph; ++py) {
    uint32_t* out = reinterpret_cast<uint32_t*>(DibRow(*picture, py));
    for (int px = 0; px < pw; ++px) {
      // Invariant: (cx, cy) is the image pixel under the picture pixel's centre.
      const double x = start.x + px * xPerCol + py * xPerRow;
      const double y = start.y + px * yPerCol + py * yPerRow;
      const int64_t cx = static_cast<int64_t>(std::floor(x)) - selection.canvasRect.left;
      const int64_t cy = static_cast<int64_t>(std::floor(y)) - selection.canvasRect.top;
      uint32_t colour = white;
      if (cx >= 0 && cx < iw && cy >= 0 && cy < ih) {
        const int ix = static_cast<int>(cx), iy = static_cast<int>(cy);
        if (MaskBit(DibRow(mask, iy), ix)) {
          if (oneBit)
            colour = MaskBit(DibRow(image, iy), ix) ? ink : paper;
          else
            colour = DibPixel(canvas.bitmap->colours[DibRow(image, iy)[ix]]);
          colour |= kInsideShape;
        }
      }
      out[px] = colour;
    }
  }

  // The outline through the centres of the polygon's pixels, inverted.
  if (points && count > 1) {
    std::unique_ptr<IntPoint[]> outline(new (std::nothrow) IntPoint[count]);
    if (outline) {
      for (int i = 0; i < count; ++i) {
        const ViewPointF v = CanvasToViewF(view, static_cast<float>(points[i].x) + 0.5f,
                                           static_cast<float>(points[i].y) + 0.5f);
        outline[i] = {static_cast<int32_t>(std::floor(v.x)) - box.left, static_cast<int32_t>(std::floor(v.y)) - box.top};
      }
      InvertClosedPolyline(picture, outline.get(), count);
    }
  }
  selection.picture = picture;
  return true;
}

IntPoint FloatingDropPosition(const AppContext& app) {
  const FloatingSelection& selection = *app.floating;
  const CanvasView& view = *app.view;
  const PixelRect box = CanvasRectToView(view, selection.canvasRect);
  const float dvx = selection.clientX - static_cast<float>(view.originX) - static_cast<float>(box.left);
  const float dvy = selection.clientY - static_cast<float>(view.originY) - static_cast<float>(box.top);
  const ViewPointF moved = ViewToCanvasF(view, dvx, dvy);
  const ViewPointF zero = ViewToCanvasF(view, 0.0f, 0.0f);
  // The cosine of a quarter turn is not exactly 0 in single precision: a whole-pixel move on a
  // view turned by 90 degrees would otherwise land a hair short and floor one pixel off.
  const float dx = SnapNearInteger(moved.x - zero.x), dy = SnapNearInteger(moved.y - zero.y);
  const float x = std::floor(static_cast<float>(selection.canvasRect.left) + dx);
  const float y = std::floor(static_cast<float>(selection.canvasRect.top) + dy);
  auto toInt = [](float v) { return static_cast<int32_t>(std::clamp(v, -1.0e9f, 1.0e9f)); };
  return {toInt(x), toInt(y)};
}

PixelRect DropFloatingSelection(AppContext& app) {
  if (!app.floating) return PixelRect{};
  FloatingSelection& selection = *app.floating;
  Canvas& canvas = *app.canvas;
  if (!selection.floating || !selection.image || !selection.shapeMask || !canvas.bitmap) {
    FreeFloatingImage(selection);
    return PixelRect{};
  }
  const IntPoint at = FloatingDropPosition(app);
  const DibBitmap& image = *selection.image;
  const int w = DibWidth(image), h = DibHeight(image);
  const BlitArea area{at.x, at.y, w, h, 0, 0};
  if (DibDepth(image) == 1)
    SetLayerInRegion(*canvas.bitmap, area, image, *selection.shapeMask, canvas.layers, canvas.currentLayer);
  else
    MaskedCopyThroughSelection(*canvas.bitmap, area, image, *selection.shapeMask, canvas.layers);

  const PixelRect written = ClipToCanvas(at.x, at.y, int64_t{at.x} + w, int64_t{at.y} + h, canvas);
  if (!IsRectEmpty(written)) {
    CommitCanvasRect(canvas, written);
    CanvasView& view = *app.view;
    if (view.sampler) view.sampler(view, canvas, written, 1);
    const PixelRect client = CanvasRectToClient(view, written);
    if (view.hooks.renderViewRect) view.hooks.renderViewRect(view, client);
    InvalidateViewRect(app, client);
  }
  FreeFloatingImage(selection);
  return written;
}

void FreeClipboardImage(ClipboardImage& clipboard) {
  FreeDibBitmap(clipboard.image);
  FreeDibBitmap(clipboard.shapeMask);
  clipboard.canvasRect = PixelRect{};
}

bool CopyFloatingToClipboard(const FloatingSelection& selection, ClipboardImage& clipboard) {
  if (selection.floating != 1 || !selection.image || !selection.shapeMask) return false;
  DibBitmap* image = CloneDibBitmap(*selection.image);
  DibBitmap* mask = image ? CloneDibBitmap(*selection.shapeMask) : nullptr;
  if (!mask) {
    FreeDibBitmap(image);
    return false;
  }
  FreeClipboardImage(clipboard);
  clipboard = ClipboardImage{image, mask, selection.canvasRect};
  return true;
}

PixelRect FloatClipboardImage(AppContext& app, const ClipboardImage& clipboard) {
  if (!clipboard.image || !clipboard.shapeMask || !app.canvas->bitmap) return PixelRect{};
  FloatingSelection& selection = *app.floating;
  if (selection.floating) DropFloatingSelection(app);
  const Canvas& canvas = *app.canvas;
  const int32_t w = DibWidth(*clipboard.image), h = DibHeight(*clipboard.image);
  // Where it came from, pushed back inside the canvas; a copy larger than the canvas starts at
  // its top-left corner.
  const int32_t left = std::max(0, std::min(clipboard.canvasRect.left, canvas.width - w));
  const int32_t top = std::max(0, std::min(clipboard.canvasRect.top, canvas.height - h));
  DibBitmap* image = CloneDibBitmap(*clipboard.image);
  DibBitmap* mask = image ? CloneDibBitmap(*clipboard.shapeMask) : nullptr;
  if (!mask) {
    FreeDibBitmap(image);
    return PixelRect{};
  }
  FreeFloatingImage(selection);
  selection.image = image;
  selection.shapeMask = mask;
  selection.canvasRect = {left, top, left + w, top + h};
  const IntPoint corners[4] = {{left, top}, {left + w - 1, top}, {left + w - 1, top + h - 1}, {left, top + h - 1}};
  ComposeFloatingPicture(selection, canvas, *app.view, corners, 4);
  const PixelRect client = CanvasRectToClient(*app.view, selection.canvasRect);
  selection.clientX = static_cast<float>(client.left);
  selection.clientY = static_cast<float>(client.top);
  selection.floating = 1;
  return selection.canvasRect;
}
