// Masked layer operations: the only ways tools write to the canvas. Each changes only the
// editable bits (layers that are visible and unlocked) unless it says otherwise.
//
// Common contract: the destination is an 8-bit canvas bitmap; the rectangle (x, y, width,
// height) is in destination pixels and is clipped to the destination (a negative start is
// clamped to 0 and the source start moves with it); destination pixels whose source pixel
// lies outside the source are left alone. Sources named masks are 1-bit bitmaps; where two
// sources are given they are read at the same source position. Every operation returns true
// when it covered a non-empty rectangle, false when the rectangle clipped to the destination is
// empty or a source has the wrong depth (nothing changed). Callers may ignore the result.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"

// Destination rectangle and the source position feeding its top-left pixel.
struct BlitArea {
  int x, y, width, height;
  int sx, sy;
};

// d = d AND s: whatever s paints becomes painted, nothing is erased. No protection.
bool AndRect(DibBitmap& dst, const BlitArea& area, const DibBitmap& src);

// d = (s AND NOT P) OR (d AND P): the editable bits come from s.
bool MaskedCopy(DibBitmap& dst, const BlitArea& area, const DibBitmap& src, const LayerTable& layers);

// Where the mask bit is 0, paint every editable layer; where it is 1, leave the pixel.
bool PaintWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, const LayerTable& layers);

// Where the mask bit is 1, erase every editable layer; where it is 0, leave the pixel.
bool EraseWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, const LayerTable& layers);

// Where region is 1, layer k becomes painted where values is 1 and empty where values is 0;
// where region is 0, and for every other layer, nothing changes. Does nothing (and still returns
// true for a non-empty rectangle) unless layer k is visible and unlocked. Returns false when
// width or height is below 1.
bool SetLayerInRegion(DibBitmap& dst, const BlitArea& area, const DibBitmap& values,
                     const DibBitmap& region, const LayerTable& layers, int layer);

// Where the selection bit is 1, d = (s AND NOT P) OR (d AND P); elsewhere unchanged.
bool MaskedCopyThroughSelection(DibBitmap& dst, const BlitArea& area, const DibBitmap& src,
                               const DibBitmap& selection, const LayerTable& layers);

// Where the mask bit is 1, erase layer k if it is visible and unlocked.
bool EraseLayerWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask,
                       const LayerTable& layers, int layer);

// Where the mask bit is 1, paint layer k (0..7); everything else unchanged. No protection: like
// the painting pens, a tool bound to a locked layer still paints it once the caller has checked
// the current layer.
bool PaintLayerWithMask(DibBitmap& dst, const BlitArea& area, const DibBitmap& mask, int layer);

// Erases every editable layer over (0, 0, min(width, bitmap width), min(height, bitmap height)).
// Returns false when width or height is below 1.
bool ClearEditable(DibBitmap& dst, int width, int height, const LayerTable& layers);

// True when no layer is painted anywhere (the AND of all pixels is 0xFF), hidden layers
// included; also true for a bitmap of height below 1.
bool IsCanvasBlank(const DibBitmap& canvas);
