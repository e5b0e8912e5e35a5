#include "app/floating_moves.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/session_test_support.h"
#include "canvas/temp_folder_test_support.h"
#include "files/canvas_png.h"
#include "files/utf_text.h"
#include "canvas/palette.h"
#include "tools/bit_mask.h"

TEST(FloatingMoves, AShiftDragKeepsToTheNearestOfEightDirections) {
  struct Case {
    int32_t dx, dy;
    IntPoint moved;
  };
  constexpr Case kCases[] = {
      {0, 0, {0, 0}},
      {100, 3, {100, 0}},     // mostly right with a wobble: exactly horizontal
      {-100, -3, {-100, 0}},  // and left
      {3, -10, {0, -10}},     // up: |(3, -10)| = 10.44
      {-50, -50, {-49, -49}},  // up-left: d = 70, cos 135° × 70 = -49.49
      {40, 15, {42, 0}},      // 20.6° below horizontal is still right: d = 42
      {40, 20, {31, 31}},     // 26.6° is past 22.5°: down-right, d = 44, 44 × 0.7071 = 31.1
      {40, 30, {35, 35}},     // 36.9°: down-right, d = 50, 50 × 0.7071 = 35.36
  };
  for (const Case& c : kCases)
    EXPECT_EQ(ConstrainToEightDirections(c.dx, c.dy), c.moved) << c.dx << "," << c.dy;
  EXPECT_EQ(ArrowMoveStep(false), 1);
  EXPECT_EQ(ArrowMoveStep(true), 10);
}

namespace {

// The parts of a PNG file the drag file test checks, read with zlib alone.
struct RawPng {
  uint32_t width = 0, height = 0;
  int bitDepth = 0, colourType = 0;
  std::vector<uint8_t> palette, pixels;
};

RawPng ReadRawPng(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto be32 = [&](size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint32_t(uint8_t(bytes[at + 3]));
  };
  RawPng png;
  std::string stream;
  for (size_t at = 8; at + 12 <= bytes.size();) {
    const uint32_t length = be32(at);
    const std::string type = bytes.substr(at + 4, 4), data = bytes.substr(at + 8, length);
    if (type == "IHDR") {
      png.width = be32(at + 8);
      png.height = be32(at + 12);
      png.bitDepth = uint8_t(data[8]);
      png.colourType = uint8_t(data[9]);
    }
    if (type == "PLTE") png.palette.assign(data.begin(), data.end());
    if (type == "IDAT") stream += data;
    at += 12 + length;
  }
  png.pixels.resize(1024);
  uLongf size = static_cast<uLongf>(png.pixels.size());
  EXPECT_EQ(uncompress(png.pixels.data(), &size, reinterpret_cast<const Bytef*>(stream.data()), static_cast<uLong>(stream.size())), Z_OK);
  png.pixels.resize(size);
  return png;
}

// A 16 x 16 session with the working folder in a scratch folder, one painted pixel on layer 0
// at (3, 3), and the canvas rectangle (2, 2)..(5, 4) lifted by a selection of kind.
struct LiftedSession {
  TempFolder folder;
  TestSession t;
  explicit LiftedSession(int kind) : t(16, kind, 1) {
    AppState& s = t.State();
    EXPECT_TRUE(CopyText(s.settings.defaultpath, TextFromPath(folder.path / "")));
    DibRow(*s.canvas.bitmap, 3)[3] = 0xFE;
    s.canvas.layers.rows[0].colour = 0x0000FF;  // red
    ComputePalette(*s.canvas.bitmap, s.canvas.layers);
    t.Feed(2.5, 2.5, 0);
    t.Feed(2.5, 2.5, 1024);
    t.Feed(5.5, 4.5, 1024);
    t.Feed(5.5, 4.5, 0);
    EXPECT_EQ(s.floating.floating, 1);
  }
};

}  // namespace

TEST(FloatingMoves, ASingleLayerLiftDragsOutAsTheLayerColourOnPaper) {
  LiftedSession l(kKindRectangleSelectionLayer);
  const std::filesystem::path path = WriteFloatingDragFile(l.t.State());
  ASSERT_EQ(path, l.folder.path / "_DnD_.png");
  // Read independently of the program's reader (which would turn it into a canvas): a 1-bit
  // palette picture, entry 0 the layer's red, entry 1 the paper's white.
  const RawPng png = ReadRawPng(path);
  EXPECT_EQ(png.width, 4u);
  EXPECT_EQ(png.height, 3u);
  EXPECT_EQ(png.bitDepth, 1);
  EXPECT_EQ(png.colourType, 3);
  ASSERT_EQ(png.palette.size(), 6u);
  EXPECT_EQ(png.palette, (std::vector<uint8_t>{0xFF, 0, 0, 0xFF, 0xFF, 0xFF}));
  ASSERT_EQ(png.pixels.size(), 6u);  // a filter byte and one byte per row
  EXPECT_EQ(png.pixels[1] >> 4, 0xF);  // row 0: paper
  EXPECT_EQ(png.pixels[3] >> 4, 0xB);  // row 1: pixel 1 painted (index 0)
  // The floating image itself is as it was: the drop still writes the layer pixel back.
  EXPECT_TRUE(MaskBit(DibRow(*l.t.State().floating.image, 1), 1));
  EXPECT_FALSE(MaskBit(DibRow(*l.t.State().floating.image, 0), 0));
}

TEST(FloatingMoves, AnAllLayerLiftDragsOutAsACanvasFileWithTheLayerTable) {
  LiftedSession l(kKindRectangleSelectionAll);
  const std::filesystem::path path = WriteFloatingDragFile(l.t.State());
  LayerTable layers{};
  DibBitmap* read = ReadCanvasPng(path, &layers);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(DibRow(*read, 1)[1], 0xFE);
  EXPECT_EQ(DibRow(*read, 0)[0], 0xFF);
  EXPECT_EQ(layers.rows[0].colour, 0x0000FFu);
  FreeDibBitmap(read);
}

TEST(FloatingMoves, NothingFloatingWritesNothing) {
  TempFolder folder;
  TestSession t(8, kKindRectangleSelectionAll, 1);
  ASSERT_TRUE(CopyText(t.State().settings.defaultpath, TextFromPath(folder.path / "")));
  EXPECT_TRUE(WriteFloatingDragFile(t.State()).empty());
  EXPECT_TRUE(folder.Names().empty());
}
