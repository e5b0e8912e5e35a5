#include <gtest/gtest.h>

#include <string>

#include "canvas/canvas_lifecycle.h"
#include "files/canvas_load.h"
#include "canvas/canvas_test_support.h"
#include "canvas/temp_folder_test_support.h"
#include "files/canvas_png.h"

namespace {

namespace fs = std::filesystem;

struct LoadFixture : ::testing::Test {
  TempFolder temp;
  const fs::path dir = temp.path;
  Canvas canvas{};
  void SetUp() override {
    InitCanvas(canvas);
  }
  void TearDown() override {
    DestroyCanvas(canvas);
  }
};

DibBitmap* TrueColour(int w, int h) { return CreateDibBitmap(32, nullptr, 0, w, h); }

void SetRgb(DibBitmap& b, int x, int y, uint8_t r, uint8_t g, uint8_t bl) {
  uint8_t* p = DibRow(b, y) + 4 * x;
  p[0] = bl;
  p[1] = g;
  p[2] = r;
}

}  // namespace

TEST_F(LoadFixture, EightBitCanvasKeepsItsPixelsAndLayers) {
  DibPtr source = CanvasFromHex({"FF FE 00", "7F 80 FD"});
  LayerTable layers = DefaultLayerTable();
  layers.rows[3].visible = 0;
  layers.rows[1].colour = 0x123456;
  ASSERT_TRUE(WriteCanvasPng(dir / "c.png", *source, &layers));
  ASSERT_EQ(LoadCanvas(canvas, dir / "c.png"), CanvasLoadFailure::kNone);
  EXPECT_EQ(canvas.width, 3);
  EXPECT_EQ(canvas.height, 2);
  EXPECT_EQ(CanvasToHex(*canvas.bitmap), CanvasToHex(*source));
  EXPECT_EQ(CanvasToHex(*canvas.previous), CanvasToHex(*source));
  EXPECT_EQ(canvas.layers.rows[3].visible, 0);
  EXPECT_EQ(canvas.layers.rows[1].colour, 0x123456u);
  EXPECT_EQ(canvas.saved, 1);
  EXPECT_EQ(canvas.undo.newest, -1);
}

TEST_F(LoadFixture, TrueColourIsDitheredOntoAddedBlueGreenRedLayers) {
  DibBitmap* image = TrueColour(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) SetRgb(*image, x, y, 255, 255, 255);
  SetRgb(*image, 0, 0, 0, 0, 0);          // black: no layer
  SetRgb(*image, 1, 0, 200, 100, 0);      // top row is stored row 3: thresholds 252 182 237 158
  ASSERT_TRUE(WriteCanvasPng(dir / "rgb.png", *image, nullptr));
  FreeDibBitmap(image);
  ASSERT_EQ(LoadCanvas(canvas, dir / "rgb.png"), CanvasLoadFailure::kNone);
  EXPECT_EQ(DibRow(*canvas.bitmap, 3)[2], 0xF8);  // white paints all three layers
  EXPECT_EQ(DibRow(*canvas.bitmap, 0)[0], 0xFF);  // black paints none
  // (1, 0): stored row 3, column 1, threshold 182: red 200 > 182 paints layer 2, green 100 not.
  EXPECT_EQ(DibRow(*canvas.bitmap, 0)[1], 0xFB);
  EXPECT_EQ(canvas.layers.rows[0].colour, 0xFF0000u);
  EXPECT_EQ(canvas.layers.rows[2].colour, 0x0000FFu);
  EXPECT_EQ(canvas.layers.rows[1].blendMode, kBlendAdd);
  EXPECT_EQ(canvas.layers.rows[kPaperRow].colour, 0u);
  // White composes back to white through the add layers on black paper.
  EXPECT_EQ(canvas.bitmap->colours[0xF8].red, 255);
  EXPECT_EQ(canvas.bitmap->colours[0xF8].blue, 255);
  EXPECT_EQ(canvas.bitmap->colours[0xFF].green, 0);
}

TEST_F(LoadFixture, OneBitBlackOnWhiteBecomesLayerZeroOnWhitePaper) {
  DibColour table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  DibBitmap* image = CreateDibBitmap(1, table, 2, 10, 2);
  DibRow(*image, 0)[0] = 0x80;  // pixel (0, 0) is colour 1 (white), the rest colour 0 (black)
  ASSERT_TRUE(WriteCanvasPng(dir / "bw.png", *image, nullptr));
  FreeDibBitmap(image);
  ASSERT_EQ(LoadCanvas(canvas, dir / "bw.png"), CanvasLoadFailure::kNone);
  EXPECT_EQ(DibRow(*canvas.bitmap, 0)[0], 0xFF);
  EXPECT_EQ(DibRow(*canvas.bitmap, 0)[1], 0xFE);
  EXPECT_EQ(DibRow(*canvas.bitmap, 1)[9], 0xFE);
  EXPECT_EQ(canvas.layers.rows[0].colour, 0x000000u);
  EXPECT_EQ(canvas.layers.rows[kPaperRow].colour, 0xFFFFFFu);
}

TEST_F(LoadFixture, UnreadableFileReportsAndLeavesNoBitmaps) {
  EXPECT_EQ(LoadCanvas(canvas, dir / "missing.png"), CanvasLoadFailure::kCannotOpen);
  EXPECT_EQ(canvas.bitmap, nullptr);
  EXPECT_EQ(canvas.previous, nullptr);
  EXPECT_EQ(LoadImportedImage(canvas, dir / "missing.png"), CanvasLoadFailure::kCannotOpen);
  EXPECT_EQ(canvas.importedImageState, -1);
}

TEST_F(LoadFixture, ImportedImageKeepsTheLayerTable) {
  DibBitmap* image = TrueColour(2, 1);
  SetRgb(*image, 0, 0, 255, 255, 255);
  ASSERT_TRUE(WriteCanvasPng(dir / "i.png", *image, nullptr));
  FreeDibBitmap(image);
  ASSERT_TRUE(NewCanvas(canvas, 4, 4));
  ASSERT_EQ(LoadImportedImage(canvas, dir / "i.png"), CanvasLoadFailure::kNone);
  EXPECT_EQ(canvas.importedImageState, 1);
  EXPECT_EQ(DibRow(*canvas.importedImage, 0)[0], 0xF8);
  EXPECT_EQ(canvas.layers.rows[0].colour, 0u);  // still the default black layer 0
  FreeImportedImage(canvas);
  EXPECT_EQ(canvas.importedImage, nullptr);
}
