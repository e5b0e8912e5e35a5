#include "app/text_stamp.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/session_test_support.h"
#include "canvas/undo_history.h"
#include "tools/bit_mask.h"

namespace {

// A 4 x 3 text picture, white but for (1, 1) and (3, 2).
struct TextPicture {
  DibBitmap* mask = nullptr;
  TextPicture() {
    const DibColour colours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    mask = CreateDibBitmap(1, colours, 2, 4, 3);
    for (int y = 0; y < 3; ++y) std::memset(DibRow(*mask, y), 0xFF, static_cast<size_t>(DibStride(1, 4)));
    ClearMaskBits(DibRow(*mask, 1), 1, 1);
    ClearMaskBits(DibRow(*mask, 2), 3, 3);
  }
  ~TextPicture() { FreeDibBitmap(mask); }
};

struct TextSession : TestSession {
  TextSession() : TestSession(16, 0, 1) {}
  int Painted() const {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) n += At(x, y) != 0xFF;
    return n;
  }
};

}  // namespace

TEST(TextStamp, TheTextPaintsTheCurrentLayerOnlyAndIsOneUndoStep) {
  TextSession t;
  TextPicture p;
  t.State().canvas.currentLayer = 2;
  ASSERT_TRUE(PaintTextMask(t.State(), *p.mask, 5, 5));
  EXPECT_EQ(t.At(6, 6), 0xFB);
  EXPECT_EQ(t.At(8, 7), 0xFB);
  EXPECT_EQ(t.Painted(), 2);
  PixelRect changed{};
  ASSERT_TRUE(Undo(t.State().canvas, changed));
  EXPECT_EQ(t.Painted(), 0);
}

TEST(TextStamp, AHiddenOrLockedLayerTakesNothing) {
  TextSession t;
  TextPicture p;
  LayerEntry& layer = t.State().canvas.layers.rows[0];
  layer.locked = 1;
  EXPECT_FALSE(PaintTextMask(t.State(), *p.mask, 0, 0));
  layer.locked = 0;
  layer.visible = 0;
  EXPECT_FALSE(PaintTextMask(t.State(), *p.mask, 0, 0));
  EXPECT_EQ(t.Painted(), 0);
}

TEST(TextStamp, TextPartlyOffTheCanvasIsClipped) {
  TextSession t;
  TextPicture p;
  ASSERT_TRUE(PaintTextMask(t.State(), *p.mask, 14, 14));  // (1, 1) lands on (15, 15)
  EXPECT_EQ(t.At(15, 15), 0xFE);
  EXPECT_EQ(t.Painted(), 1);
  ASSERT_TRUE(PaintTextMask(t.State(), *p.mask, -1, -1));  // (1, 1) lands on (0, 0)
  EXPECT_EQ(t.At(0, 0), 0xFE);
  EXPECT_EQ(t.At(2, 1), 0xFE);
  EXPECT_FALSE(PaintTextMask(t.State(), *p.mask, 16, 0));  // wholly beside it
}

TEST(TextStamp, NumbersAreKeptWhereTheyCanBeUsed) {
  TextRecord r = DefaultTextRecord();
  r.fontHeight = 0;
  r.x = -5;
  r.y = 70000;
  r.boxWidth = 0;
  r.boxHeight = -3;
  ClampTextRecord(r);
  EXPECT_EQ(r.fontHeight, 1);
  EXPECT_EQ(r.x, 0);
  EXPECT_EQ(r.y, 65535);
  EXPECT_EQ(r.boxWidth, 1);
  EXPECT_EQ(r.boxHeight, 1);
}

TEST(TextStamp, OnlyThePartOfTheBoxOnTheCanvasIsRendered) {
  TextRecord r = DefaultTextRecord();
  const struct {
    int32_t x, y, boxWidth, boxHeight;
    TextBoxSize expected;
  } cases[] = {
      {0, 0, 1000, 200, {1000, 200}},         // inside a 4000 x 3000 canvas
      {3500, 2900, 1000, 200, {500, 100}},    // cut at the right and bottom edges
      {0, 0, 65535, 65535, {4000, 3000}},     // the largest box: the canvas at most
      {3999, 2999, 65535, 65535, {1, 1}},     // the last pixel
      {4000, 0, 10, 10, {0, 0}},              // beside the canvas
      {0, 65535, 10, 10, {0, 0}},             // below it
  };
  for (const auto& c : cases) {
    r.x = c.x, r.y = c.y, r.boxWidth = c.boxWidth, r.boxHeight = c.boxHeight;
    const TextBoxSize size = TextBoxOnCanvas(r, 4000, 3000);
    EXPECT_EQ(size.width, c.expected.width) << c.x << "," << c.y;
    EXPECT_EQ(size.height, c.expected.height) << c.x << "," << c.y;
  }
}
