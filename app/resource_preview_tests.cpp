#include "app/resource_preview.h"

#include <gtest/gtest.h>

#include <cstring>

#include "canvas/canvas_test_support.h"

TEST(ResourcePreview, TheCornerRepeatsThroughTheColourTable) {
  // 3 x 2, top row 0 1 2, bottom row 2 2 0; entry 0 white, 1 black, 2 grey 100.
  const DibColour table[3] = {{255, 255, 255, 0}, {0, 0, 0, 0}, {100, 100, 100, 0}};
  DibPtr p(CreateDibBitmap(8, table, 3, 3, 2));
  ASSERT_NE(p, nullptr);
  const uint8_t top[3] = {0, 1, 2}, bottom[3] = {2, 2, 0};
  std::memcpy(p->bits + p->stride, top, 3);  // rows bottom-up
  std::memcpy(p->bits, bottom, 3);
  constexpr uint32_t W = 0xFFFFFF, B = 0, G = 0x646464;
  EXPECT_EQ(PreviewTile(*p, 4), (std::vector<uint32_t>{W, B, G, W,  //
                                                       G, G, W, G,  //
                                                       W, B, G, W,  //
                                                       G, G, W, G}));
  EXPECT_TRUE(PreviewTile(*p, 0).empty());
  DibPtr mono(CreateDibBitmap(1, nullptr, 0, 2, 2));
  EXPECT_TRUE(PreviewTile(*mono, 2).empty());
}
