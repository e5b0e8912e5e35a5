#include "files/composed_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "canvas/temp_folder_test_support.h"
#include "files/canvas_png.h"

namespace fs = std::filesystem;

TEST(ComposedPicture, WithoutARenderedPictureNothingIsWritten) {
  TempFolder dir;
  EXPECT_FALSE(WriteComposedPicture(nullptr, dir.path / "picture.png"));
  EXPECT_FALSE(fs::exists(dir.path / "picture.png"));
}

TEST(ComposedPicture, TrueColourPicturesAreWrittenWithoutLayerData) {
  // 2 x 1: a red and a blue pixel (blue, green, red, unused bytes).
  TempFolder dir;
  DibPtr picture(CreateDibBitmap(32, nullptr, 0, 2, 1));
  const uint8_t pixels[8] = {0, 0, 255, 0, 255, 0, 0, 0};
  std::copy(pixels, pixels + 8, DibRow(*picture, 0));
  const fs::path path = dir.path / "picture.png";
  ASSERT_TRUE(WriteComposedPicture(picture.get(), path));

  DibPtr back(ReadCanvasPng(path, nullptr));
  ASSERT_TRUE(back);
  EXPECT_EQ(DibDepth(*back), 32);
  const uint8_t* row = DibRow(*back, 0);
  EXPECT_EQ(std::vector<uint8_t>(row, row + 8), std::vector<uint8_t>(pixels, pixels + 8));
  EXPECT_EQ(ReadAll(path).find("Description"), std::string::npos);
}
