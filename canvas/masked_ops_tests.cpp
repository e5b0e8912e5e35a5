#include "canvas/masked_ops.h"

#include <gtest/gtest.h>

#include <random>

#include "canvas/canvas_test_support.h"

using Rows = std::vector<std::string>;

namespace {

LayerTable LockedAndHidden() {
  // Layer 3 locked, layer 6 hidden: P = 0x48.
  LayerTable t = DefaultLayerTable();
  t.rows[3].locked = 1;
  t.rows[6].visible = 0;
  return t;
}

}  // namespace

TEST(ClearEditable, LeavesLockedLayerBitsAsTheyWere) {
  LayerTable t = DefaultLayerTable();
  t.rows[3].locked = 1;
  DibPtr c = CanvasFromHex({"00 08 F7",
                            "FF 55 AA"});
  EXPECT_TRUE(ClearEditable(*c, 100, 100, t));  // clamped to the bitmap
  EXPECT_EQ(CanvasToHex(*c), (Rows{"F7 FF F7",
                                   "FF F7 FF"}));
}

TEST(ClearEditable, CoversOnlyTheTopLeftAndRefusesEmptySizes) {
  DibPtr c = FilledCanvas(3, 2, 0x00);
  EXPECT_FALSE(ClearEditable(*c, 0, 2, DefaultLayerTable()));
  EXPECT_TRUE(ClearEditable(*c, 2, 1, DefaultLayerTable()));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FF 00",
                                   "00 00 00"}));
}

TEST(PaintWithMask, AllOnesChangesNothingAllZerosPaintsEditableLayers) {
  LayerTable t = LockedAndHidden();
  DibPtr c = FilledCanvas(3, 2, 0xFF);
  DibPtr ones = MaskFromText({"111", "111"});
  EXPECT_TRUE(PaintWithMask(*c, {0, 0, 3, 2, 0, 0}, *ones, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FF FF", "FF FF FF"}));
  DibPtr mixed = MaskFromText({"010", "101"});
  EXPECT_TRUE(PaintWithMask(*c, {0, 0, 3, 2, 0, 0}, *mixed, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"48 FF 48",
                                   "FF 48 FF"}));
}

TEST(EraseWithMask, ErasesEditableLayersWhereTheMaskIsOne) {
  LayerTable t = LockedAndHidden();
  DibPtr c = FilledCanvas(3, 1, 0x00);
  DibPtr m = MaskFromText({"101"});
  EXPECT_TRUE(EraseWithMask(*c, {0, 0, 3, 1, 0, 0}, *m, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"B7 00 B7"}));
}

TEST(MaskedCopy, TakesOnlyEditableBitsFromTheSource) {
  LayerTable t = LockedAndHidden();
  DibPtr c = CanvasFromHex({"FF 00"});
  DibPtr s = CanvasFromHex({"00 FF"});
  EXPECT_TRUE(MaskedCopy(*c, {0, 0, 2, 1, 0, 0}, *s, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"48 B7"}));
}

TEST(AndRect, PaintsWhatTheSourcePaintsAndErasesNothingEvenWhenLocked) {
  DibPtr c = CanvasFromHex({"F0 FF 0F"});
  DibPtr s = CanvasFromHex({"0F 7E FF"});
  EXPECT_TRUE(AndRect(*c, {0, 0, 3, 1, 0, 0}, *s));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"00 7E 0F"}));
}

TEST(SetLayerInRegion, WritesLayerValuesInsideTheRegionOnly) {
  LayerTable t = DefaultLayerTable();
  // Layer 2 (bit 0x04). Pixels start with layer 2 painted in the left half.
  DibPtr c = CanvasFromHex({"FB FB FF FF"});
  DibPtr values = MaskFromText({"0110"});
  DibPtr region = MaskFromText({"1101"});
  EXPECT_TRUE(SetLayerInRegion(*c, {0, 0, 4, 1, 0, 0}, *values, *region, t, 2));
  // x0: region, value 0 -> empty; x1: region, value 1 -> painted; x2: outside region;
  // x3: region, value 0 -> empty.
  EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FB FF FF"}));
}

TEST(SetLayerInRegion, HiddenOrLockedLayerChangesNothingAndSucceeds) {
  DibPtr values = MaskFromText({"11"});
  DibPtr region = MaskFromText({"11"});
  for (int hidden = 0; hidden < 2; ++hidden) {
    LayerTable t = DefaultLayerTable();
    (hidden ? t.rows[5].visible : t.rows[5].locked) = hidden ? 0 : 1;
    DibPtr c = FilledCanvas(2, 1, 0xFF);
    EXPECT_TRUE(SetLayerInRegion(*c, {0, 0, 2, 1, 0, 0}, *values, *region, t, 5));
    EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FF"}));
  }
  LayerTable t = DefaultLayerTable();
  DibPtr c = FilledCanvas(2, 1, 0xFF);
  EXPECT_FALSE(SetLayerInRegion(*c, {0, 0, 0, 1, 0, 0}, *values, *region, t, 5));
  EXPECT_TRUE(SetLayerInRegion(*c, {0, 0, 2, 1, 0, 0}, *values, *region, t, kPaperRow));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FF"}));
}

TEST(MaskedCopyThroughSelection, CopiesEditableBitsInsideTheSelection) {
  LayerTable t = LockedAndHidden();
  DibPtr c = FilledCanvas(3, 1, 0xFF);
  DibPtr s = FilledCanvas(3, 1, 0x00);
  DibPtr selection = MaskFromText({"101"});
  EXPECT_TRUE(MaskedCopyThroughSelection(*c, {0, 0, 3, 1, 0, 0}, *s, *selection, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"48 FF 48"}));
}

TEST(EraseLayerWithMask, ErasesOneEditableLayer) {
  DibPtr m = MaskFromText({"110"});
  LayerTable t = DefaultLayerTable();
  DibPtr c = FilledCanvas(3, 1, 0x00);
  EXPECT_TRUE(EraseLayerWithMask(*c, {0, 0, 3, 1, 0, 0}, *m, t, 4));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"10 10 00"}));
  t.rows[4].locked = 1;
  c = FilledCanvas(3, 1, 0x00);
  EXPECT_TRUE(EraseLayerWithMask(*c, {0, 0, 3, 1, 0, 0}, *m, t, 4));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"00 00 00"}));
}

TEST(PaintLayerWithMask, PaintsOneLayerWhereTheMaskIsOneEvenWhenLocked) {
  DibPtr m = MaskFromText({"110"});
  DibPtr c = FilledCanvas(3, 1, 0xFF);
  EXPECT_TRUE(PaintLayerWithMask(*c, {0, 0, 3, 1, 0, 0}, *m, 3));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"F7 F7 FF"}));
  c = FilledCanvas(3, 1, 0xFF);
  EXPECT_TRUE(PaintLayerWithMask(*c, {1, 0, 2, 1, 0, 0}, *m, 0));  // mask pixel 0 lands on x = 1
  EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FE FE"}));
}

TEST(MaskedOperations, NegativeStartReadsTheSourceFromTheMatchingOffset) {
  LayerTable t = DefaultLayerTable();
  DibPtr c = FilledCanvas(3, 2, 0xFF);
  DibPtr m = MaskFromText({"111",
                           "101",
                           "010"});
  // Destination (-1, -1): pixel (0, 0) reads mask (1, 1).
  EXPECT_TRUE(PaintWithMask(*c, {-1, -1, 3, 3, 0, 0}, *m, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"00 FF FF",
                                   "FF 00 FF"}));
  DibPtr s = CanvasFromHex({"01 02 03",
                            "04 05 06"});
  c = FilledCanvas(3, 2, 0xFF);
  EXPECT_TRUE(MaskedCopy(*c, {-2, 0, 3, 2, 0, 0}, *s, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"03 FF FF",
                                   "06 FF FF"}));
}

TEST(MaskedOperations, EmptyClippedRectangleReturnsOne) {
  LayerTable t = DefaultLayerTable();
  DibPtr c = FilledCanvas(3, 2, 0xFF);
  DibPtr m = MaskFromText({"000"});
  DibPtr s = FilledCanvas(3, 2, 0x00);
  EXPECT_FALSE(PaintWithMask(*c, {3, 0, 2, 1, 0, 0}, *m, t));
  EXPECT_FALSE(EraseWithMask(*c, {0, -1, 3, 1, 0, 0}, *m, t));
  EXPECT_FALSE(MaskedCopy(*c, {0, 2, 3, 1, 0, 0}, *s, t));
  EXPECT_FALSE(AndRect(*c, {-5, 0, 5, 1, 0, 0}, *s));
  // Inside the destination but past the source: reported as done, nothing changes.
  EXPECT_TRUE(PaintWithMask(*c, {0, 1, 3, 1, 0, 1}, *m, t));
  EXPECT_EQ(CanvasToHex(*c), (Rows{"FF FF FF", "FF FF FF"}));
}

TEST(MaskedOperations, MaskBitsMatchPerPixelReadingAtEveryAlignment) {
  // The mask rows are expanded eight pixels at a time; compare with reading bit by bit for
  // every source offset within a byte and run lengths across byte and chunk boundaries.
  std::mt19937 random(7);
  const int width = 1100;
  DibPtr mask(CreateDibBitmap(1, nullptr, 0, width, 1));
  for (int i = 0; i < mask->stride; ++i) mask->bits[i] = static_cast<uint8_t>(random());
  LayerTable t = DefaultLayerTable();
  t.rows[1].locked = 1;
  for (int sx = 0; sx < 16; ++sx) {
    for (int length : {0, 1, 7, 8, 9, 15, 16, 17, 63, 511, 512, 513, 1080}) {
      DibPtr c = FilledCanvas(width, 1, 0xFF);
      PaintWithMask(*c, {3, 0, length, 1, sx, 0}, *mask, t);
      const uint8_t* row = DibRow(*c, 0);
      const uint8_t* bits = DibRow(*mask, 0);
      for (int x = 0; x < width; ++x) {
        int source = x - 3 + sx;
        bool inside = x >= 3 && x < 3 + length && source < width;
        uint8_t expected = inside && MaskBit(bits, source) == 0 ? 0x02 : 0xFF;
        ASSERT_EQ(row[x], expected) << "sx " << sx << " length " << length << " x " << x;
      }
    }
  }
}

TEST(IsCanvasBlank, AnyPaintedBitCountsHiddenLayersIncluded) {
  DibPtr c = FilledCanvas(5, 3, 0xFF);
  EXPECT_TRUE(IsCanvasBlank(*c));
  DibRow(*c, 2)[4] = 0x7F;  // layer 7 painted at the last pixel, whatever its visibility
  EXPECT_FALSE(IsCanvasBlank(*c));
}
