#include "app/pen_icons.h"

#include <gtest/gtest.h>

namespace {

TEST(PenIcons, KindsChooseTheirPictures) {
  using P = PenIconPicture;
  const P expected[23] = {P::kPen, P::kPen, P::kPen, P::kPen, P::kPen, P::kPen, P::kPen, P::kEraser,
                          P::kEraser, P::kEraser, P::kEraser, P::kBucket, P::kPen, P::kPen, P::kPen,
                          P::kRectangleSelection, P::kLasso, P::kRectangleSelection, P::kLasso, P::kPen,
                          P::kLasso, P::kLasso, P::kLasso};
  for (int kind = 0; kind < 23; ++kind) EXPECT_EQ(PenIconPictureOfKind(kind), expected[kind]) << kind;
  EXPECT_EQ(PenIconPictureOfKind(99), P::kPen);
}

TEST(PenIcons, NarrowIconsTakeTheSmallPictures) {
  EXPECT_EQ(PenIconResource(PenIconPicture::kPen, 16), 142);
  EXPECT_EQ(PenIconResource(PenIconPicture::kLasso, 48), 146);
  EXPECT_EQ(PenIconResource(PenIconPicture::kPen, 49), 147);
  EXPECT_EQ(PenIconResource(PenIconPicture::kBucket, 64), 149);
}

// A 3 x 2 sixteen-colour DIB: rows bottom-up, two pixels a byte, each row padded to 4 bytes.
std::vector<uint8_t> SmallDib() {
  std::vector<uint8_t> d(40 + 16 * 4 + 2 * 4, 0);
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, 3);
  put32(8, 2);
  d[12] = 1;
  d[14] = 4;
  d[40 + 4 * 12 + 0] = 0xFF;  // colour 12: blue
  d[40 + 4 * 3 + 2] = 0x80;   // colour 3: dark red
  // Bottom row (y = 1): 12, 14, 3; top row (y = 0): 14, 3, 12.
  d[104] = 0xCE;
  d[105] = 0x30;
  d[108] = 0xE3;
  d[109] = 0xC0;
  return d;
}

TEST(PenIcons, DecodesASixteenColourDib) {
  const std::vector<uint8_t> dib = SmallDib();
  IndexedPicture p;
  ASSERT_TRUE(DecodeSixteenColourDib(dib.data(), dib.size(), p));
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(p.indices, (std::vector<uint8_t>{14, 3, 12, 12, 14, 3}));
  EXPECT_EQ(p.colours[12], 0xFF0000u);  // 0x00BBGGRR
  EXPECT_EQ(p.colours[3], 0x000080u);
}

TEST(PenIcons, RefusesOtherBitmapsAndShortData) {
  std::vector<uint8_t> dib = SmallDib();
  IndexedPicture p;
  EXPECT_FALSE(DecodeSixteenColourDib(dib.data(), dib.size() - 1, p));
  EXPECT_FALSE(DecodeSixteenColourDib(dib.data(), 39, p));
  dib[14] = 8;
  EXPECT_FALSE(DecodeSixteenColourDib(dib.data(), dib.size(), p));
  dib[14] = 4;
  dib[8] = 0;  // no rows
  EXPECT_FALSE(DecodeSixteenColourDib(dib.data(), dib.size(), p));
  EXPECT_EQ(p.width, 0);
}

TEST(PenIcons, StretchTakesThePixelUnderEachCentre) {
  IndexedPicture p;
  p.width = p.height = 4;
  p.indices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  // Half size: centres 1 and 3 of each row and column.
  EXPECT_EQ(StretchIndexedPicture(p, 2).indices, (std::vector<uint8_t>{5, 7, 13, 15}));
  const IndexedPicture big = StretchIndexedPicture(p, 8);
  EXPECT_EQ(big.At(0, 0), 0);
  EXPECT_EQ(big.At(1, 1), 0);
  EXPECT_EQ(big.At(2, 0), 1);
  EXPECT_EQ(big.At(7, 7), 15);
}

TEST(PenIcons, ColourTwelveTakesTheLayerColourAndFourteenTheBackground) {
  IndexedPicture p;
  p.width = 3;
  p.height = 1;
  p.indices = {12, 14, 3};
  p.colours[3] = 0x000080;   // dark red, 0x00BBGGRR
  p.colours[12] = 0xFF0000;  // the picture's own blue is replaced
  const std::vector<uint32_t> pixels = ComposePenIcon(p, /*layer: green*/ 0x00FF00, /*background*/ 0xE0E0E0);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0x00FF00, 0xE0E0E0, 0x800000}));  // 0x00RRGGBB
}

}  // namespace
