#include "view/back_buffer.h"

#include <gtest/gtest.h>

#include "view/composition.h"

namespace {

// Pixel (x, y) of a 4 x 3 buffer holds 10 y + x.
CanvasView NumberedView() {
  CanvasView view = NewCanvasView();
  EXPECT_TRUE(ResizeBackBuffer(view, 4, 3));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) StorePixel(DibRow(*view.backBuffer, y) + 4 * x, static_cast<uint32_t>(10 * y + x));
  return view;
}

uint32_t At(const CanvasView& v, int x, int y) { return LoadPixel(DibRow(*v.backBuffer, y) + 4 * x); }

}  // namespace

TEST(BackBuffer, ANewBufferIsSurroundGreyAndASizeOfNothingFreesIt) {
  CanvasView view = NewCanvasView();
  ASSERT_TRUE(ResizeBackBuffer(view, 5, 2));
  EXPECT_EQ(At(view, 4, 1), kSurroundPixel);
  EXPECT_TRUE(ResizeBackBuffer(view, 0, 7));
  EXPECT_EQ(view.backBuffer, nullptr);
}

TEST(BackBuffer, ScrollingMovesThePictureAgainstTheShift) {
  // (dx, dy) -> expected rows; uncovered pixels keep their old value (the caller renders them).
  struct Case {
    int dx, dy;
    uint32_t rows[3][4];
  };
  const Case cases[] = {
      {1, 0, {{1, 2, 3, 3}, {11, 12, 13, 13}, {21, 22, 23, 23}}},
      {-1, 0, {{0, 0, 1, 2}, {10, 10, 11, 12}, {20, 20, 21, 22}}},
      {0, 1, {{10, 11, 12, 13}, {20, 21, 22, 23}, {20, 21, 22, 23}}},
      {2, -1, {{0, 1, 2, 3}, {2, 3, 12, 13}, {12, 13, 22, 23}}},
      {4, 0, {{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}}},  // nothing kept: unchanged
  };
  for (const Case& c : cases) {
    CanvasView view = NumberedView();
    ScrollBackBuffer(view, c.dx, c.dy);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(At(view, x, y), c.rows[y][x]) << c.dx << "," << c.dy << " at " << x << "," << y;
    FreeDibBitmap(view.backBuffer);
  }
}
