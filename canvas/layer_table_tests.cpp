#include "canvas/layer_table.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool SameEntry(const LayerEntry& a, const LayerEntry& b) {
  return a.visible == b.visible && a.locked == b.locked && a.blendMode == b.blendMode &&
         a.colour == b.colour && a.order == b.order && a.clipped == b.clipped && a.opacity == b.opacity;
}

}  // namespace

TEST(LayerTableDefaults, TextFormOfTheDefaultTable) {
  EXPECT_EQ(FormatLayerTable(DefaultLayerTable()),
            "1,1,0,0,0,0,255\n"
            "1,1,13387591,1,0,0,255\n"
            "1,1,6333785,2,0,0,255\n"
            "1,1,13817979,3,0,0,255\n"
            "1,1,5064668,4,0,0,255\n"
            "1,1,15219176,5,0,0,255\n"
            "1,1,4640755,6,0,0,255\n"
            "1,1,8421504,7,0,0,255\n"
            "0,0,16777215,0,0,0,255\n");
}

TEST(LayerTableDefaults, ResetKeepsThePaperLock) {
  LayerTable t = DefaultLayerTable();
  t.rows[kPaperRow].locked = 1;
  t.rows[kPaperRow].colour = 0x123456;
  t.rows[4].locked = 1;
  t.rows[4].order = 0;
  ResetLayerTable(t);
  EXPECT_EQ(t.rows[kPaperRow].locked, 1);
  EXPECT_EQ(t.rows[kPaperRow].colour, 0xFFFFFFu);
  EXPECT_EQ(t.rows[4].locked, 0);
  EXPECT_EQ(t.rows[4].order, 4);
}

TEST(LayerTableText, RoundTripsEveryField) {
  LayerTable t = DefaultLayerTable();
  t.rows[2] = LayerEntry{0, 1, 2, 0xFFFFFFFFu, 5, 1, 17, {}};
  t.rows[5] = LayerEntry{1, 0, 0, 0x00ABCDEFu, 2, 0, 0, {}};
  t.rows[kPaperRow].colour = 0x102030;
  LayerTable back{};
  ParseLayerTable(FormatLayerTable(t), back);
  for (int i = 0; i < kLayerTableRows; ++i) EXPECT_TRUE(SameEntry(t.rows[i], back.rows[i])) << "row " << i;
}

TEST(LayerTableText, FiveLinesSetRowsZeroToFourOnly) {
  LayerTable t{};
  ParseLayerTable("1,0,1,0,0,0,1\n1,0,2,1,0,0,2\n1,0,3,2,0,0,3\n1,0,4,3,0,0,4\n1,0,5,4,0,0,5\n", t);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.rows[i].colour, static_cast<uint32_t>(i + 1));
  for (int i = 5; i < kLayerTableRows; ++i) EXPECT_TRUE(SameEntry(t.rows[i], LayerEntry{})) << i;
}

TEST(LayerTableText, PartialLineSetsOnlyItsLeadingFields) {
  LayerTable t = DefaultLayerTable();
  ParseLayerTable("1,1,0,0,0,0,255\n0,2", t);
  EXPECT_EQ(t.rows[1].visible, 0);
  EXPECT_EQ(t.rows[1].blendMode, kBlendAdd);
  EXPECT_EQ(t.rows[1].colour, 0xCC4747u);
  EXPECT_EQ(t.rows[1].opacity, 255);
}

TEST(LayerTableText, ReadsNumbersLikeTheCRuntime) {
  LayerTable t = DefaultLayerTable();
  // Colour unsigned, opacity keeps its low byte, trailing junk and a CR are ignored, an empty
  // field keeps its value, more than nine lines are ignored.
  ParseLayerTable("1,1,4294967295,0,0,0,511\n"
                  "1,1,-1,1,0,0,-1\r\n"
                  "1,,12abc,2,0,0,256\n"
                  "\n\n\n\n\n\n"
                  "0,0,0,0,0,0,0\n",
                  t);
  EXPECT_EQ(t.rows[0].colour, 0xFFFFFFFFu);
  EXPECT_EQ(t.rows[0].opacity, 255);
  EXPECT_EQ(t.rows[1].colour, 0xFFFFFFFFu);
  EXPECT_EQ(t.rows[1].opacity, 255);
  EXPECT_EQ(t.rows[2].blendMode, kBlendMultiply);
  EXPECT_EQ(t.rows[2].colour, 12u);
  EXPECT_EQ(t.rows[2].opacity, 0);
  EXPECT_EQ(t.rows[kPaperRow].colour, 0xFFFFFFu);  // the tenth line is not read
  EXPECT_EQ(t.rows[3].colour, 0xD2D87Bu);

  // Numbers of 19 and more digits saturate (a damaged file must not overflow the parser).
  ParseLayerTable("1,1,99999999999999999999,0,0,0,-9999999999999999999\n", t);
  EXPECT_EQ(t.rows[0].colour, 0xFFFFFFFFu);
  EXPECT_EQ(t.rows[0].opacity, 0);
}

TEST(LayerTableProtection, HiddenAndLockedLayersAreProtected) {
  LayerTable t = DefaultLayerTable();
  EXPECT_EQ(ProtectionMask(t), 0x00);
  t.rows[3].locked = 1;
  t.rows[5].visible = 0;
  t.rows[6].locked = 7;  // any nonzero lock counts
  EXPECT_EQ(ProtectionMask(t), 0x68);
  EXPECT_EQ(SingleLayerProtection(t, 2), 0xFB);
  EXPECT_EQ(SingleLayerProtection(t, 3), 0xFF);
  EXPECT_TRUE(IsLayerEditable(t, 2));
  EXPECT_FALSE(IsLayerEditable(t, 3));
  EXPECT_FALSE(IsLayerEditable(t, 5));
  EXPECT_FALSE(IsLayerEditable(t, kPaperRow));
}
