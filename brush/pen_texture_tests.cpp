#include "brush/pen_texture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"

using Rows = std::vector<std::string>;

namespace {

std::string Repeat(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

}  // namespace

TEST(WidenedTextureWidth, IsTheLeastCommonMultipleWith32) {
  EXPECT_EQ(WidenedTextureWidth(1), 32);
  EXPECT_EQ(WidenedTextureWidth(24), 96);     // 24 = 3 * 8: doubled twice
  EXPECT_EQ(WidenedTextureWidth(33), 1056);   // odd: 33 * 32
  EXPECT_EQ(WidenedTextureWidth(40), 160);    // 40 = 5 * 8: doubled twice, lcm(40, 32) = 160
  EXPECT_EQ(WidenedTextureWidth(64), 64);     // already a multiple of 32
  EXPECT_EQ(WidenedTextureWidth(96), 96);
  EXPECT_EQ(WidenedTextureWidth(0), -1);
  EXPECT_EQ(WidenedTextureWidth(-8), -1);
  // 2^31 - 1 is odd and would need 32 copies; 2^26 + 2^25 (trailing zeros 25) stays.
  EXPECT_EQ(WidenedTextureWidth(2147483647), -1);
  EXPECT_EQ(WidenedTextureWidth(100663296), 100663296);
}

TEST(WidenTexture, RepeatsAnEightBitFileSideBySide) {
  // A 3 x 2 "F"-like corner: asymmetric both ways, so a flip or a shifted copy shows.
  DibPtr file = CanvasFromHex({"01 01 00",
                               "01 00 00"});
  DibPtr texture(WidenTexture(*file));
  ASSERT_TRUE(texture);
  EXPECT_EQ(DibDepth(*texture), 8);
  // 3 is odd: 96 wide, 32 copies.
  EXPECT_EQ(TexelRows(*texture), (Rows{Repeat("110", 32), Repeat("100", 32)}));
  // Entry 0 white, every other entry black.
  EXPECT_EQ(texture->colours[0].red, 255);
  EXPECT_EQ(texture->colours[0].green, 255);
  EXPECT_EQ(texture->colours[0].blue, 255);
  EXPECT_EQ(texture->colours[1].red + texture->colours[1].green + texture->colours[1].blue, 0);
  EXPECT_EQ(texture->colours[255].red + texture->colours[255].green + texture->colours[255].blue, 0);
}

TEST(WidenTexture, OneBitFilesMapBlackToOneWhicheverIndexHoldsIt) {
  DibPtr file = MaskFromText({"1000000000000000000000001",
                              "0110000000000000000000000"});  // 25 wide
  // Index 1 black: the set bits are texels.
  file->colours[0] = {255, 255, 255, 0};
  file->colours[1] = {0, 0, 0, 0};
  DibPtr texture(WidenTexture(*file));
  ASSERT_TRUE(texture);
  EXPECT_EQ(DibWidth(*texture), 800);  // 25 * 32
  EXPECT_EQ(TexelRows(*texture), (Rows{Repeat("1000000000000000000000001", 32),
                                       Repeat("0110000000000000000000000", 32)}));
  // Index 0 black (the other common table order): the clear bits are texels.
  file->colours[0] = {0, 0, 0, 0};
  file->colours[1] = {255, 255, 255, 0};
  DibPtr inverted(WidenTexture(*file));
  EXPECT_EQ(TexelRows(*inverted), (Rows{Repeat("0111111111111111111111110", 32),
                                        Repeat("1001111111111111111111111", 32)}));
}

TEST(WidenTexture, RefusesOtherDepths) {
  DibPtr colour(CreateDibBitmap(32, nullptr, 0, 8, 8));
  EXPECT_EQ(WidenTexture(*colour), nullptr);
}
