// The program folder's default content, as the build wrote it beside this test program, read
// back through the program's own loaders. Expected pixels are worked out by hand from the
// drawings' rules (see default_content.h).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/pen_icons.h"
#include "canvas/canvas_lifecycle.h"
#include "files/atomic_file.h"
#include "files/canvas_load.h"
#include "files/pen_resources.h"
#include "reduce/opencl_library.h"

namespace fs = std::filesystem;

namespace {

// The program folder: the textures, materials, stamps and template lie in folders named as
// the user data folder's, so the program folder serves as one for the loaders.
fs::path ProgramFolder() { return RunningProgramFolder(); }

struct DibDeleter {
  void operator()(DibBitmap* b) const { FreeDibBitmap(b); }
};
using Dib = std::unique_ptr<DibBitmap, DibDeleter>;

int CountOnes(const DibBitmap& texture) {
  int n = 0;
  for (int y = 0; y < DibHeight(texture); ++y)
    for (int x = 0; x < DibWidth(texture); ++x) n += DibRow(texture, y)[x] == 1;
  return n;
}

int StampBit(const DibBitmap& stamp, int x, int y) { return MaskBit(DibRow(stamp, y), x); }

}  // namespace

// A tone inks its share of the tile to within 2 % (whole rings around each dot), dots centred on
// the pixel corners (4, 4) + a (8, 8) + b (8, -8) first and the holes between them last, every
// dot mirror-symmetric about its centre; at 50 % the dots meet in a chequer of 8 x 8 squares.
TEST(DefaultContent, TonesInkTheirShareAroundTheDotsFirst) {
  for (int percent = 10; percent <= 90; percent += 10) {
    const std::string name = "tone_" + std::to_string(percent) + ".bmp";
    SCOPED_TRACE(name);
    BmpFailure reason = BmpFailure::kNone;
    const Dib t(LoadTexture(ProgramFolder(), name, &reason));
    ASSERT_NE(t, nullptr) << static_cast<int>(reason);
    ASSERT_EQ(DibWidth(*t), 32);
    ASSERT_EQ(DibHeight(*t), 32);
    EXPECT_NEAR(CountOnes(*t), 1024 * percent / 100.0, 21);
    const auto at = [&](int x, int y) { return DibRow(*t, (y + 32) % 32)[(x + 32) % 32]; };
    for (const auto& [x, y] : {std::pair{3, 3}, {4, 4}, {11, 11}, {12, 12}}) EXPECT_EQ(at(x, y), 1) << x << "," << y;
    for (const auto& [x, y] : {std::pair{11, 3}, {12, 4}, {3, 11}, {4, 12}}) EXPECT_EQ(at(x, y), 0) << x << "," << y;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        ASSERT_EQ(at(x, y), at(7 - x, y)) << x << "," << y;
        ASSERT_EQ(at(x, y), at(x, 7 - y)) << x << "," << y;
        if (percent == 50) {
          ASSERT_EQ(at(x, y), (x / 8 + y / 8) % 2 == 0 ? 1 : 0) << x << "," << y;
        }
      }
  }
}

TEST(DefaultContent, LinePatternsAndSand) {
  const struct {
    const char* name;
    int side, ink;
    int x, y, texel;
  } cases[] = {
      {"lines_horizontal.bmp", 32, 256, 5, 4, 1},  // every fourth row
      {"lines_vertical.bmp", 32, 256, 4, 5, 1},    // every fourth column
      {"lines_diagonal.bmp", 32, 128, 5, 3, 1},    // x + y a multiple of 8
      {"crosshatch.bmp", 32, 224, 6, 2, 1},        // both diagonals; they cross 32 times
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Dib t(LoadTexture(ProgramFolder(), c.name));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(DibWidth(*t), c.side);
    EXPECT_EQ(DibHeight(*t), c.side);
    EXPECT_EQ(CountOnes(*t), c.ink);
    EXPECT_EQ(DibRow(*t, c.y)[c.x], c.texel);
    EXPECT_EQ(DibRow(*t, 2)[1], 0);
  }
  const Dib sand(LoadTexture(ProgramFolder(), "sand.bmp"));
  ASSERT_NE(sand, nullptr);
  EXPECT_EQ(DibWidth(*sand), 64);
  const int ink = CountOnes(*sand);  // one pixel in five of 4096, at random
  EXPECT_GT(ink, 700);
  EXPECT_LT(ink, 940);
}

TEST(DefaultContent, PlainPaperIsWhiteEverywhere) {
  const Dib m(LoadMaterial(ProgramFolder(), "none.bmp"));
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(DibWidth(*m), 512);
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) ASSERT_EQ(DibRow(*m, y)[x], 255) << x << "," << y;
}

// A grain's grey levels are ranks: each of the 256 covers exactly 512 x 512 / 256 pixels.
TEST(DefaultContent, GrainsUseEveryGreyLevelEqually) {
  for (const char* name : {"fine_grain.bmp", "rough_grain.bmp", "canvas_weave.bmp"}) {
    SCOPED_TRACE(name);
    BmpFailure reason = BmpFailure::kNone;
    const Dib m(LoadMaterial(ProgramFolder(), name, &reason));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(reason, BmpFailure::kNone);
    std::vector<int> count(256, 0);
    for (int y = 0; y < 512; ++y)
      for (int x = 0; x < 512; ++x) ++count[DibRow(*m, y)[x]];
    for (int level = 0; level < 256; ++level) ASSERT_EQ(count[level], 1024) << level;
  }
}

TEST(DefaultContent, StampsHaveTheirShapes) {
  const struct {
    const char* name;
    int x, y, ink;
  } cases[] = {
      {"star.bmp", 64, 64, 1},     {"star.bmp", 64, 20, 1},    // the centre, inside the top point
      {"star.bmp", 30, 20, 0},     {"star.bmp", 64, 4, 0},     // between points, beyond the tip
      {"heart.bmp", 64, 64, 1},    {"heart.bmp", 40, 24, 1},   // the middle, the left lobe
      {"heart.bmp", 64, 14, 0},    {"heart.bmp", 64, 120, 1},  // the notch, the point
      {"flower.bmp", 64, 64, 0},   {"flower.bmp", 64, 50, 1},  // the hole, the ring
      {"flower.bmp", 64, 28, 1},                               // the top petal
      {"sparkle.bmp", 64, 64, 1},  {"sparkle.bmp", 64, 16, 1}, // the middle, the top point
      {"sparkle.bmp", 64, 10, 0},  {"sparkle.bmp", 20, 20, 0}, // beyond the tip, a concave side
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.x) + "," + std::to_string(c.y));
    const Dib s(LoadStamp(ProgramFolder() / "stamp" / c.name));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(DibDepth(*s), 1);
    EXPECT_EQ(DibWidth(*s), 128);
    EXPECT_EQ(DibHeight(*s), 128);
    EXPECT_EQ(StampBit(*s, c.x, c.y), c.ink);
    EXPECT_EQ(StampBit(*s, 1, 1), 0);
  }
}

// Rules 4 pixels thick centred on round((25 + 7k) mm x 600 / 25.4): 591, 756, ..., 6709.
TEST(DefaultContent, NoteTemplateIsAnA4CanvasWithLockedRules) {
  const fs::path path = ProgramFolder() / "template" / "a4note.png";
  std::error_code error;
  EXPECT_LT(fs::file_size(path, error), 300u * 1024);
  Canvas canvas{};
  InitCanvas(canvas);
  ASSERT_EQ(LoadCanvas(canvas, path), CanvasLoadFailure::kNone);
  EXPECT_EQ(canvas.width, 4961);
  EXPECT_EQ(canvas.height, 7016);
  EXPECT_EQ(canvas.layers.rows[7].locked, 1);
  EXPECT_EQ(canvas.layers.rows[7].colour, 0xE6BE96u);
  EXPECT_EQ(canvas.layers.rows[0].locked, 0);
  const struct {
    int y;
    uint8_t value;
  } rows[] = {{100, 0xFF}, {588, 0xFF}, {589, 0x7F}, {592, 0x7F}, {593, 0xFF},  {753, 0xFF},
              {754, 0x7F}, {757, 0x7F}, {758, 0xFF}, {6710, 0x7F}, {6711, 0xFF}, {7015, 0xFF}};
  for (const auto& r : rows)
    for (int x : {0, 2480, 4960}) EXPECT_EQ(DibRow(*canvas.bitmap, r.y)[x], r.value) << x << "," << r.y;
  DestroyCanvas(canvas);
}

#ifndef _WIN32
// The icon and cursor files as the resource compiler reads them (the Windows tree checks the
// program's own resources through the system instead).
namespace {

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::vector<uint8_t> bytes;
  FILE* f = OpenBinaryFile(path, "rb");
  if (!f) return bytes;
  uint8_t buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}
uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

struct Entry {
  int side;
  uint32_t field4, field6;  // icons: planes, bits; cursors: hot spot x, y
  bool png;
};

std::vector<Entry> ReadDirectory(const std::vector<uint8_t>& b, uint32_t kind) {
  std::vector<Entry> entries;
  if (b.size() < 6 || U16(b, 0) != 0 || U16(b, 2) != kind) return entries;
  for (uint32_t i = 0; i < U16(b, 4); ++i) {
    const size_t at = 6 + 16 * i;
    const uint32_t size = U32(b, at + 8), offset = U32(b, at + 12);
    if (offset + size > b.size() || size < 8) return {};
    const bool png = b[offset] == 0x89 && b[offset + 1] == 'P';
    entries.push_back({b[at] == 0 ? 256 : b[at], U16(b, at + 4), U16(b, at + 6), png});
  }
  return entries;
}

}  // namespace

TEST(DefaultContent, IconHoldsSixSizes) {
  const std::vector<uint8_t> icon = ReadAll(fs::path(DOTWRIGHT_ICON_FOLDER) / "dotwright.ico");
  const std::vector<Entry> entries = ReadDirectory(icon, 1);
  ASSERT_EQ(entries.size(), 6u);
  const int sides[] = {16, 24, 32, 48, 64, 256};
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].side, sides[i]);
    EXPECT_EQ(entries[i].field4, 1u);
    EXPECT_EQ(entries[i].field6, 32u);
    EXPECT_EQ(entries[i].png, sides[i] == 256);
  }
}

TEST(DefaultContent, CursorIsACrossHairOnItsHotSpot) {
  const std::vector<uint8_t> cursor = ReadAll(fs::path(DOTWRIGHT_ICON_FOLDER) / "canvas.cur");
  const std::vector<Entry> entries = ReadDirectory(cursor, 2);
  ASSERT_EQ(entries.size(), 3u);
  const struct {
    int side;
    uint32_t hot;
  } expected[] = {{32, 15}, {48, 23}, {64, 31}};
  for (size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].side, expected[i].side);
    EXPECT_EQ(entries[i].field4, expected[i].hot);
    EXPECT_EQ(entries[i].field6, expected[i].hot);
    EXPECT_FALSE(entries[i].png);
  }
  // The 32-pixel image: after the directory (6 + 3 x 16 bytes) and its 40-byte header come the
  // colours, bottom row first. The hot spot is black in a white rim, the gap to the arm 3
  // pixels out is white rim as well, and a pixel off the lines is clear.
  const size_t pixels = U32(cursor, 6 + 12) + 40;
  const auto at = [&](int x, int y) { return U32(cursor, pixels + 4 * ((31 - y) * 32 + x)); };
  EXPECT_EQ(at(15, 15), 0xFF000000u);
  EXPECT_EQ(at(16, 15), 0xFFFFFFFFu);
  EXPECT_EQ(at(17, 15), 0xFFFFFFFFu);
  EXPECT_EQ(at(17, 17), 0x00000000u);
  EXPECT_EQ(at(18, 15), 0xFF000000u);
  EXPECT_EQ(at(18, 14), 0xFFFFFFFFu);
  EXPECT_EQ(at(0, 0), 0x00000000u);
}

// The pen icons' pictures read back as the program reads its resources (the file less its
// 14-byte file header): square, of their size, with the background round the edge, and with
// both the recoloured layer part and black outlines in each.
TEST(DefaultContent, PenIconPicturesHaveALayerPartOnTheirBackground) {
  for (int resource = kSmallPenIconFirstResource; resource < kLargePenIconFirstResource + kPenIconPictureCount;
       ++resource) {
    const std::vector<uint8_t> file =
        ReadAll(fs::path(DOTWRIGHT_ICON_FOLDER) / ("pen_icon_" + std::to_string(resource) + ".bmp"));
    ASSERT_GT(file.size(), 14u) << resource;
    IndexedPicture p;
    ASSERT_TRUE(DecodeSixteenColourDib(file.data() + 14, file.size() - 14, p)) << resource;
    const int side = resource < kLargePenIconFirstResource ? kSmallPenIconSide : kLargePenIconSide;
    EXPECT_EQ(p.width, side);
    EXPECT_EQ(p.height, side);
    EXPECT_EQ(p.At(0, 0), kPenIconBackground) << resource;
    EXPECT_EQ(p.At(side - 1, 0), kPenIconBackground) << resource;
    int counts[16] = {};
    for (uint8_t i : p.indices) ++counts[i];
    EXPECT_GT(counts[kPenIconLayerColour], side) << resource;
    EXPECT_GT(counts[0], side) << resource;
  }
}
#endif
