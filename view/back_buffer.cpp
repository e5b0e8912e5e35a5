#include "view/back_buffer.h"

#include <cstdlib>
#include <cstring>

#include "view/composition.h"

bool ResizeBackBuffer(CanvasView& view, int32_t width, int32_t height) {
  if (width < 1 || height < 1) {
    FreeDibBitmap(view.backBuffer);
    return true;
  }
  DibBitmap* next = CreateDibBitmap(32, nullptr, 0, width, height);
  if (!next) return false;
  FillPixels(*next, PixelRect{0, 0, width, height}, kSurroundPixel);
  FreeDibBitmap(view.backBuffer);
  view.backBuffer = next;
  return true;
}

void ScrollBackBuffer(CanvasView& view, int32_t dx, int32_t dy) {
  if (!view.backBuffer) return;
  DibBitmap& b = *view.backBuffer;
  const int32_t w = DibWidth(b), h = DibHeight(b);
  // A shift of the whole width or height (or more) keeps nothing.
  if (std::abs(int64_t{dx}) >= w || std::abs(int64_t{dy}) >= h) return;
  const int32_t keptWidth = w - std::abs(dx);
  const int32_t fromX = dx > 0 ? dx : 0, toX = dx > 0 ? 0 : -dx;
  // Rows are copied in the order that never reads a row already overwritten.
  auto copyRow = [&](int32_t y) {
    const uint8_t* from = DibRow(b, y + dy) + 4 * static_cast<size_t>(fromX);
    uint8_t* to = DibRow(b, y) + 4 * static_cast<size_t>(toX);
    std::memmove(to, from, 4 * static_cast<size_t>(keptWidth));
  };
  if (dy >= 0) {
    for (int32_t y = 0; y < h - dy; ++y) copyRow(y);
  } else {
    for (int32_t y = h - 1; y >= -dy; --y) copyRow(y);
  }
}

void InstallBackBufferHooks(CanvasView& view) {
  view.hooks.resizeBackBuffer = ResizeBackBuffer;
  view.hooks.scrollBackBuffer = ScrollBackBuffer;
}
