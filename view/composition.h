// Screen composition: drawing client rectangles of the view's back buffer from the composed
// image, the grey surround, and the paper-texture blend.
//
// Images (see canvas_view.h for the record):
//   composed image  the rotated bounding box of the canvas in display colours. Reduced views
//                   (scale > d) hold it as 32-bit pixels at view resolution with the surround
//                   already in it; other views hold it as 8-bit layer values with the canvas
//                   palette as colour table, at view resolution when scale >= 1 and at canvas
//                   resolution when scale < 1 (it is then magnified k times on the screen).
//   outside mask    1-bit, the composed image's size: 1 where a pixel lies off the canvas.
//   paper image     32-bit, addressed like the composed image (PreparePaperImage).
//   back buffer     32-bit, client size: what the view window shows.
// d = |sin| + |cos| of the rotation (RotationSpan, 1 <= d <= sqrt 2).
//
// Pixels of the back buffer are blue, green, red and a fourth byte that is always written 0.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"
#include "canvas/pixel_rect.h"
#include "view/canvas_view.h"

// The surround outside the canvas and the client area the composed image does not cover:
// RGB(192, 192, 192), the light grey stock brush.
inline constexpr uint8_t kSurroundGrey = 192;
// The same colour as one 32-bit pixel read little-endian (blue in the low byte).
inline constexpr uint32_t kSurroundPixel = 0x00C0C0C0u;
// Strength of the paper blend in the view.
inline constexpr int kViewPaperStrength = 128;

// The integer magnification of a magnified view, k = floor(1 / scale + 0.5), at least 1. Every
// scale the commands produce gives a power of two; other values still work (whole k x k
// blocks aligned to the view origin).
int32_t MagnifiedPixelSide(float scale);

// True when the view draws through the magnified path: scale < d (magnified, or rotated at
// about one to one). The composed image is then 8-bit and needs the outside mask.
bool ViewIsMagnified(const CanvasView& view);

// Redraws clientRect of view.backBuffer from the composed image. The rectangle is clipped to
// the back buffer; an empty one draws nothing; without a 32-bit back buffer nothing happens.
//
//   1. The rectangle is filled with the surround grey.
//   2. Magnified (scale < d): the rectangle is widened to whole magnified pixels (k x k blocks
//      aligned to the view origin), clipped to the composed image's area on the screen
//      (origin, imageWidth x k by imageHeight x k), and every block gets its composed pixel
//      through the image's colour table. Then the outside mask is applied as the two raster
//      steps of a masked blit, done on the pixels: OR with the mask's own colour of the pixel's
//      bit (outside turns white with the usual black/white mask), then AND with white for bit 0
//      and the surround grey for bit 1. Outside pixels end up grey, inside pixels unchanged.
//   3. Otherwise: the composed image at view position (left - originX, top - originY) is copied
//      into the rectangle, 1:1. With the paper switch on and a 32-bit paper image, every pixel
//      that the paper image covers is then blended with its paper pixel (BlendPaper, strength
//      128); pixels outside the paper image count as white paper and are left alone.
// The caller invalidates the window.
void RenderViewRect(CanvasView& view, const PixelRect& clientRect);

// Lays paper onto a picture. Both bitmaps 32-bit (blue, green, red, unused; the fourth byte is
// neither read nor changed), processed over the smaller of width x height and both bitmaps'
// sizes, top-left aligned. For each pixel whose paper colour is not pure white, per channel c
// in integer arithmetic:
//   f = ((paper_c * a) >> 8) + (255 - a);  t = target_c * f;  target_c = min((t + (t >> 8) + 1) >> 8, 255)
// so paper 128 with a = 128 gives f = 191 and turns a target 200 into 149. Pure white paper
// leaves the target alone. a is limited to 0..255 (255 - a must not go negative).
// Returns true when blended; false, changing nothing, when target or paper is not 32-bit.
bool BlendPaper(DibBitmap& target, int width, int height, const DibBitmap& paper, int strength);

// The paper image for a composed image of width x height: a 32-bit bitmap with the texture
// (any depth ReadBmpFile gives; indexed colours through its table) tiled from the top-left
// corner, one texture pixel per composed pixel. Null when a size is below 1, the texture is
// empty, or memory is short (status code 41).
DibBitmap* PreparePaperImage(const DibBitmap& texture, int width, int height);

// Fills a rectangle of a 32-bit bitmap (clipped to it) with one pixel value.
void FillPixels(DibBitmap& bitmap, const PixelRect& rect, uint32_t pixel);
