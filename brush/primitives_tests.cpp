#include "brush/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>

#include "brush/brush_test_support.h"
#include "brush/span_geometry.h"

using Pixels = std::set<std::pair<int, int>>;
using Rows = std::vector<std::string>;

// ---- Modes -----------------------------------------------------------------------------

TEST(PaintModes, SingleLayerModesTouchOnlyTheDrawingLayer) {
  TestCanvas t(4, 1);
  t.canvas.currentLayer = 3;
  PlotPixel(t.Target(kPaintLayer), 0, 0);
  EXPECT_EQ(t.At(0, 0), 0xF7);
  DibRow(*t.bitmap, 0)[1] = 0x00;
  PlotPixel(t.Target(kEraseLayer), 1, 0);
  EXPECT_EQ(t.At(1, 0), 0x08);
  // The pen's own layer wins over the current layer.
  t.pen.EnablePalette = 1;
  t.pen.Palette = 6;
  PlotPixel(t.Target(kPaintLayer), 2, 0);
  EXPECT_EQ(t.At(2, 0), 0xBF);
  // With the paper selected there is no drawing layer: nothing changes.
  t.pen.EnablePalette = 0;
  t.canvas.currentLayer = kPaperRow;
  FillSpan(t.Target(kPaintLayer), 0, 3, 0);
  EXPECT_EQ(t.At(3, 0), 0xFF);
}

TEST(PaintModes, AllLayerModesSkipHiddenAndLockedLayers) {
  TestCanvas t(9, 1, 0x00);
  t.canvas.layers.rows[2].visible = 0;
  t.canvas.layers.rows[5].locked = 1;
  FillSpan(t.Target(kEraseAll), 0, 8, 0);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(t.At(x, 0), 0xDB) << x;
  FillDisc(t.Target(kPaintAll), 4.5f, 0.5f, 2.0f);
  EXPECT_EQ(t.At(4, 0), 0x00);  // every writable bit cleared again, 2 and 5 stay set
  EXPECT_EQ(t.At(0, 0), 0xDB);
}

// ---- Spans -------------------------------------------------------------------------------

TEST(FillSpan, ClampsToTheRowAndRejectsSpansOffTheCanvas) {
  const struct {
    int xl, xr, y;
    Pixels changed;
  } cases[] = {
      {-5, 15, 1, Block(0, 1, 9, 1)}, {-5, -1, 1, {}}, {10, 12, 1, {}}, {4, 3, 1, {}}, {0, 9, -1, {}}, {0, 9, 3, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.xl << ".." << c.xr << " row " << c.y);
    TestCanvas t(10, 3);
    FillSpan(t.Target(kPaintLayer), c.xl, c.xr, c.y);
    EXPECT_EQ(t.Changed(), c.changed);
  }
}

TEST(FillSpan, WordSpansChangeExactlyTheBytesOfABytewiseLoop) {
  // Every start alignment and length, both directions, plain and with locked layers, on a
  // row whose width is not a multiple of four; compared with a plain byte-by-byte reference.
  std::mt19937 random(3);
  const int width = 75;
  for (int mode = 0; mode < 4; ++mode) {
    for (int xl = -2; xl < 12; ++xl) {
      for (int xr = xl - 1; xr < width + 2; ++xr) {
        TestCanvas t(width, 2);
        t.canvas.currentLayer = 5;
        t.canvas.layers.rows[1].locked = 1;
        std::vector<uint8_t> before(width);
        for (int x = 0; x < width; ++x) DibRow(*t.bitmap, 1)[x] = before[x] = static_cast<uint8_t>(random());
        FillSpan(t.Target(static_cast<PaintMode>(mode)), xl, xr, 1);
        const uint8_t pattern = mode < 2 ? 0x20 : 0xFD;
        for (int x = 0; x < width; ++x) {
          uint8_t expected = before[x];
          if (x >= xl && x <= xr) expected = (mode & 1) ? (before[x] | pattern) : (before[x] & ~pattern);
          ASSERT_EQ(t.At(x, 1), expected) << "mode " << mode << " span " << xl << ".." << xr << " x " << x;
        }
        for (int x = 0; x < width; ++x) ASSERT_EQ(t.At(x, 0), 0xFF) << "row 0 untouched";
      }
    }
  }
}

// ---- Textures ------------------------------------------------------------------------------

namespace {

// A 32 x 4 texture whose texel (column, row) is 1 only at the given columns of every row.
DibPtr ColumnTexture(std::initializer_list<int> columns, int height = 4) {
  DibPtr tex = FilledCanvas(32, height, 0);
  for (int y = 0; y < height; ++y)
    for (int c : columns) DibRow(*tex, y)[c] = 1;
  return tex;
}

}  // namespace

TEST(Textures, PlotsReadColumnXPlusOffset) {
  DibPtr tex = ColumnTexture({1});
  TestCanvas t(8, 1);
  t.pen.TextureOffsetX = 1;
  for (int x = 0; x < 8; ++x) PlotPixel(t.Target(kPaintLayer, tex.get()), x, 0);
  EXPECT_EQ(t.Changed(), Block(0, 0, 0, 0));  // x = 0 reads column 1
}

TEST(Textures, SpansMoveTheTextureInGroupsOfFour) {
  // OX = 1: canvas pixels 0..3 read texture columns 4..7, pixels 28..31 read 0..3.
  DibPtr tex = ColumnTexture({1, 5});
  TestCanvas t(32, 1);
  t.pen.TextureOffsetX = 1;
  FillSpan(t.Target(kPaintLayer, tex.get()), 0, 31, 0);
  EXPECT_EQ(t.Changed(), (Pixels{{1, 0}, {29, 0}}));
  // A negative offset wraps the other way: OX = -1 makes pixels 0..3 read columns 28..31.
  DibPtr tex2 = ColumnTexture({30});
  TestCanvas u(8, 1);
  u.pen.TextureOffsetX = -1;
  FillSpan(u.Target(kPaintLayer, tex2.get()), 0, 7, 0);
  EXPECT_EQ(u.Changed(), (Pixels{{2, 0}}));
}

TEST(Textures, NegativeOffsetYWrapsToTheBottomRows) {
  // Texture of height 8 with only row 5 set: OY = -3 makes canvas row 0 read row 5.
  DibPtr tex = FilledCanvas(32, 8, 0);
  for (int x = 0; x < 32; ++x) DibRow(*tex, 5)[x] = 1;
  TestCanvas t(4, 9);
  t.pen.TextureOffsetY = -3;
  for (int y = 0; y < 9; ++y) FillSpan(t.Target(kPaintLayer, tex.get()), 0, 3, y);
  // Row 8 reads texture row (8 - 3) mod 8 = 5 again.
  Pixels expected = Block(0, 0, 3, 0);
  expected.merge(Block(0, 8, 3, 8));
  EXPECT_EQ(t.Changed(), expected);
}

TEST(Textures, TexelZeroLeavesThePixelInEveryModeAndOneActsOnLayerCOnly) {
  DibPtr tex = ColumnTexture({0});
  for (int mode = 0; mode < 4; ++mode) {
    TestCanvas t(2, 1, (mode & 1) ? 0x00 : 0xFF);
    t.canvas.currentLayer = 4;
    FillSpan(t.Target(static_cast<PaintMode>(mode), tex.get()), 0, 1, 0);
    EXPECT_EQ(t.At(1, 0), (mode & 1) ? 0x00 : 0xFF) << mode;
    EXPECT_EQ(t.At(0, 0), (mode & 1) ? 0x10 : 0xEF) << mode;  // bit 4 only, even for the all modes
  }
}

// ---- Discs -------------------------------------------------------------------------------

TEST(FillDisc, PaintsTheCentresInsideAndClipsAtTheEdges) {
  const struct {
    const char* what;
    int width, height;
    float cx, cy, r;
    Pixels changed;
  } cases[] = {
      {"small discs paint their centres", 20, 20, 10.25f, 10.25f, 0.5f, Block(10, 10, 10, 10)},
      {"radius 1.5", 20, 20, 10.5f, 10.5f, 1.5f, Block(9, 9, 11, 11)},
      // Row centre 9.5 is not visited, row 11.5 has h = 0 and an empty span, row 10.5 spans
      // floor(10) .. floor(11).
      {"centres exactly on the circle", 20, 20, 10.5f, 10.5f, 1.0f, {{10, 10}, {11, 10}}},
      // Row centres first = floor(3.0) + 0.5 = 3.5, last = floor(7.0) + 0.5 = 7.5. Row 3.5: h = 2
      // -> 3..6; rows 4.5, 5.5: h = 2.449 -> floor(3.05) .. floor(6.95) = 3..6; row 6.5: h = 2 ->
      // 3..6; row 7.5: h = 0 -> floor(5.5) .. floor(4.5): empty.
      {"radius 2.5", 10, 10, 5.0f, 5.0f, 2.5f, Block(3, 3, 6, 6)},
      // Row 0.5: h = 1.936 -> xl = floor(-1.44) = -2, xr = floor(1.44) = 1; row 1.5: h = 1.32 ->
      // -1..0 -> 0..0. Row -0.5 etc. are above the canvas.
      {"clipped at the corner", 4, 3, 0.0f, 0.0f, 2.0f, {{0, 0}, {1, 0}, {0, 1}}},
      {"off the canvas", 4, 3, 100.0f, 1.0f, 5.0f, {}},
      {"centre not a number", 4, 3, std::nanf(""), 1.0f, 5.0f, {}},
      {"infinite radius", 4, 3, 1.0f, 1.0f, INFINITY, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestCanvas t(c.width, c.height);
    FillDisc(t.Target(kPaintLayer), c.cx, c.cy, c.r);
    EXPECT_EQ(t.Changed(), c.changed);
  }
}

// ---- Discs against a pixel-by-pixel reference ---------------------------------------------

namespace {

// The pattern byte one pixel takes, from the rules in primitives.h; the pen has no palette of
// its own here, so the drawing layer is the current layer.
uint8_t ReferencePattern(const TestCanvas& t, PaintMode mode, const DibBitmap* texture, int x, int y) {
  const int c = t.canvas.currentLayer;
  if (texture) {
    const int groups = DibWidth(*texture) / 4;
    if (c >= kLayerCount || groups == 0) return 0;
    const int64_t th = DibHeight(*texture);
    const int64_t ty = ((y + int64_t{t.pen.TextureOffsetY}) % th + th) % th;
    const int64_t group = ((x / 4 + int64_t{t.pen.TextureOffsetX}) % groups + groups) % groups;
    return static_cast<uint8_t>((DibRow(*texture, static_cast<int>(ty))[4 * group + x % 4] & 1) << c);
  }
  if (mode == kPaintAll || mode == kEraseAll) return static_cast<uint8_t>(~ProtectionMask(t.canvas.layers));
  return c < kLayerCount ? static_cast<uint8_t>(1u << c) : 0;
}

void ReferencePixel(TestCanvas& t, PaintMode mode, const DibBitmap* texture, int x, int y) {
  uint8_t& pixel = DibRow(*t.bitmap, y)[x];
  const uint8_t pattern = ReferencePattern(t, mode, texture, x, y);
  pixel = (mode & 1) ? static_cast<uint8_t>(pixel | pattern) : static_cast<uint8_t>(pixel & ~pattern);
}

bool Drawable(float v) { return std::isfinite(v) && std::fabs(v) < 8388608.0f; }

// The disc rule written out directly: row centres from floor(cy - r + 0.5) + 0.5, stepped by
// 1.0 in single precision; h = sqrt(r^2 - (cy - y)^2) in float, 0 where not positive; the
// floors of the float values taken in double; then every pixel of the span on the canvas.
// Spans are passed to span(xl, xr, row) before clamping.
template <class Span>
void ReferenceDiscSpans(float cx, float cy, float r, int height, Span&& span) {
  if (!Drawable(cx) || !Drawable(cy) || !Drawable(r)) return;
  const float yFirst = static_cast<float>(std::floor(static_cast<double>(cy - r + 0.5f)) + 0.5);
  const float yLast = static_cast<float>(std::floor(static_cast<double>(cy + r - 0.5f)) + 0.5);
  for (float y = yFirst; y <= yLast; y += 1.0f) {
    const double row = std::floor(static_cast<double>(y));
    if (row < 0 || row >= height) continue;
    const float d = cy - y;
    const float h2 = r * r - d * d;
    const float h = h2 > 0.0f ? std::sqrt(h2) : 0.0f;
    const double xl = std::floor(static_cast<double>(cx - h + 0.5f));
    const double xr = std::floor(static_cast<double>(cx + h - 0.5f));
    span(xl, xr, static_cast<int>(row));
  }
}

void ReferenceDisc(TestCanvas& t, PaintMode mode, const DibBitmap* texture, float cx, float cy, float r) {
  ReferenceDiscSpans(cx, cy, r, t.canvas.height, [&](double xl, double xr, int row) {
    for (int x = 0; x < t.canvas.width; ++x)
      if (x >= xl && x <= xr) ReferencePixel(t, mode, texture, x, row);
  });
}

// Random bytes in every byte of the bitmap, the stride's padding included.
void Scramble(DibBitmap& b, std::mt19937& random) {
  const size_t bytes = static_cast<size_t>(b.stride) * static_cast<size_t>(DibHeight(b));
  for (size_t i = 0; i < bytes; ++i) b.bits[i] = static_cast<uint8_t>(random());
}

bool SameBits(const DibBitmap& a, const DibBitmap& b) {
  return std::memcmp(a.bits, b.bits, static_cast<size_t>(a.stride) * static_cast<size_t>(DibHeight(a))) == 0;
}

// A disc of the kinds a stroke and a careless caller produce: fractional centres anywhere
// around the canvas, often on quarter pixels or touching a canvas edge exactly; radii mostly
// 0..60, sometimes on half pixels, tiny, large or negative.
struct RandomDisc {
  float cx, cy, r;
};

RandomDisc MakeRandomDisc(std::mt19937& random, int width, int height) {
  auto uniform = [&random](float a, float b) { return std::uniform_real_distribution<float>(a, b)(random); };
  RandomDisc d{};
  const int kind = static_cast<int>(random() % 20);
  if (kind < 13) d.r = uniform(0.0f, 60.0f);
  else if (kind < 15) d.r = static_cast<float>(random() % 121) / 2.0f;
  else if (kind < 17) d.r = uniform(0.0f, 1.0f);
  else if (kind < 19) d.r = uniform(60.0f, 400.0f);
  else d.r = -uniform(0.0f, 3.0f);
  d.cx = uniform(-70.0f, static_cast<float>(width) + 70.0f);
  d.cy = uniform(-70.0f, static_cast<float>(height) + 70.0f);
  if (random() % 3 == 0) {
    d.cx = std::round(d.cx * 4.0f) / 4.0f;
    d.cy = std::round(d.cy * 4.0f) / 4.0f;
  }
  const int edge = static_cast<int>(random() % 10);
  if (edge == 0) d.cx = d.r;
  if (edge == 1) d.cx = static_cast<float>(width) - d.r;
  return d;
}

}  // namespace

TEST(FillDisc, WalkGivesTheReferenceRowsAndUnclampedSpans) {
  // The walk the pens share: the same rows, top to bottom, with spans left unclamped.
  std::mt19937 random(11);
  for (int trial = 0; trial < 4000; ++trial) {
    const int width = 1 + static_cast<int>(random() % 170), height = 1 + static_cast<int>(random() % 120);
    const RandomDisc d = MakeRandomDisc(random, width, height);
    std::vector<std::array<int64_t, 3>> expected, walked;
    ReferenceDiscSpans(d.cx, d.cy, d.r, height, [&](double xl, double xr, int row) {
      expected.push_back({static_cast<int64_t>(xl), static_cast<int64_t>(xr), row});
    });
    WalkDiscSpans(d.cx, d.cy, d.r, height, [&](int xl, int xr, int row) { walked.push_back({xl, xr, row}); });
    ASSERT_EQ(walked, expected) << "disc (" << d.cx << ", " << d.cy << ") r " << d.r << " height " << height;
  }
}

TEST(FillDisc, ChangesExactlyTheBytesOfAPixelByPixelReference) {
  // Thousands of discs on random canvas contents, in every mode, plain and textured, on
  // canvases whose widths are mostly not multiples of 4 or 16; the whole bitmap, stride
  // padding included, must come out byte for byte as the reference paints it.
  std::mt19937 random(5);
  const int textureWidths[] = {4, 6, 12, 32, 36, 64, 96};
  int discs = 0;
  for (int trial = 0; trial < 400; ++trial) {
    const int width = 1 + static_cast<int>(random() % 170), height = 1 + static_cast<int>(random() % 120);
    const PaintMode mode = static_cast<PaintMode>(trial % 4);
    TestCanvas ours(width, height), theirs(width, height);
    Scramble(*ours.bitmap, random);
    std::memcpy(theirs.bitmap->bits, ours.bitmap->bits,
                static_cast<size_t>(ours.bitmap->stride) * static_cast<size_t>(height));
    const int layer = random() % 10 == 0 ? kPaperRow : static_cast<int>(random() % 8);
    DibPtr texture;
    if (trial % 8 >= 4) {
      const int tw = textureWidths[random() % std::size(textureWidths)], th = 1 + static_cast<int>(random() % 9);
      texture.reset(CreateDibBitmap(8, nullptr, 0, tw, th));
      Scramble(*texture, random);
      for (int i = 0; i < texture->stride * th; ++i) texture->bits[i] &= random() % 8 == 0 ? 3 : 1;
    }
    for (TestCanvas* t : {&ours, &theirs}) {
      t->canvas.currentLayer = layer;
      for (int k = 0; k < kLayerCount; ++k) t->canvas.layers.rows[k].locked = (trial + k) % 5 == 0;
      t->canvas.layers.rows[(trial / 4) % kLayerCount].visible = 0;
      const int32_t offsets[] = {0, 1, -1, 3, -5, 1000, -777, INT32_MAX, INT32_MIN};
      t->pen.TextureOffsetX = offsets[trial % std::size(offsets)];
      t->pen.TextureOffsetY = offsets[(trial / 3) % std::size(offsets)];
    }
    for (int k = 0; k < 10; ++k, ++discs) {
      const RandomDisc d = MakeRandomDisc(random, width, height);
      FillDisc(ours.Target(mode, texture.get()), d.cx, d.cy, d.r);
      ReferenceDisc(theirs, mode, texture.get(), d.cx, d.cy, d.r);
      ASSERT_TRUE(SameBits(*ours.bitmap, *theirs.bitmap))
          << "disc " << k << " (" << d.cx << ", " << d.cy << ") r " << d.r << " on " << width << " x " << height
          << ", mode " << mode << ", layer " << layer << (texture ? ", textured" : "");
    }
  }
  EXPECT_EQ(discs, 4000);
}

TEST(FillDisc, DiscsAlongTheEdgesAndUnpaintableTargets) {
  // Discs just inside, on and just past each edge of a canvas 37 wide, and targets that paint
  // nothing: the paper selected, or a texture that is not 8-bit.
  std::mt19937 random(9);
  for (float r : {0.5f, 1.0f, 2.5f, 7.25f, 18.5f}) {
    for (float shift : {-0.75f, -0.5f, -0.25f, 0.0f, 0.25f, 0.5f, 0.75f}) {
      TestCanvas ours(37, 29), theirs(37, 29);
      Scramble(*ours.bitmap, random);
      std::memcpy(theirs.bitmap->bits, ours.bitmap->bits, static_cast<size_t>(ours.bitmap->stride) * 29);
      const float centres[][2] = {{r + shift, 14.5f}, {37.0f - r + shift, 14.5f}, {18.5f, r + shift},
                                  {18.5f, 29.0f - r + shift}, {r + shift, r + shift}};
      for (const auto& c : centres) {
        FillDisc(ours.Target(kEraseAll), c[0], c[1], r);
        ReferenceDisc(theirs, kEraseAll, nullptr, c[0], c[1], r);
        FillDisc(ours.Target(kPaintLayer), c[0] + 0.125f, c[1], r);
        ReferenceDisc(theirs, kPaintLayer, nullptr, c[0] + 0.125f, c[1], r);
      }
      ASSERT_TRUE(SameBits(*ours.bitmap, *theirs.bitmap)) << "r " << r << " shift " << shift;
    }
  }
  TestCanvas t(20, 20);
  t.canvas.currentLayer = kPaperRow;
  FillDisc(t.Target(kPaintLayer), 10.0f, 10.0f, 5.0f);
  EXPECT_TRUE(t.Changed().empty());
  t.canvas.currentLayer = 1;
  DibPtr oneBit(CreateDibBitmap(1, nullptr, 0, 32, 4));
  FillDisc(t.Target(kPaintAll, oneBit.get()), 10.0f, 10.0f, 5.0f);
  EXPECT_TRUE(t.Changed().empty());
}

TEST(FillSpan, TexturedSpansMatchAPixelByPixelReference) {
  // Random spans, offsets and texture widths (4 to 48 texels) in every mode, against the
  // texel-by-texel rule; the rest of the bitmap must not change.
  std::mt19937 random(7);
  for (int trial = 0; trial < 2000; ++trial) {
    const int width = 1 + static_cast<int>(random() % 90);
    TestCanvas ours(width, 3), theirs(width, 3);
    Scramble(*ours.bitmap, random);
    std::memcpy(theirs.bitmap->bits, ours.bitmap->bits, static_cast<size_t>(ours.bitmap->stride) * 3);
    DibPtr texture(CreateDibBitmap(8, nullptr, 0, 4 * (1 + static_cast<int>(random() % 12)), 5));
    Scramble(*texture, random);
    for (int i = 0; i < texture->stride * 5; ++i) texture->bits[i] &= 1;
    const PaintMode mode = static_cast<PaintMode>(trial % 4);
    const int32_t ox = static_cast<int32_t>(random() % 41) - 20, oy = static_cast<int32_t>(random() % 41) - 20;
    for (TestCanvas* t : {&ours, &theirs}) {
      t->canvas.currentLayer = trial % 8;
      t->pen.TextureOffsetX = ox;
      t->pen.TextureOffsetY = oy;
    }
    const int xl = static_cast<int>(random() % (width + 8)) - 4, xr = xl + static_cast<int>(random() % 40) - 2;
    const int y = static_cast<int>(random() % 3);
    FillSpan(ours.Target(mode, texture.get()), xl, xr, y);
    for (int x = std::max(xl, 0); x <= std::min(xr, width - 1); ++x) ReferencePixel(theirs, mode, texture.get(), x, y);
    ASSERT_TRUE(SameBits(*ours.bitmap, *theirs.bitmap)) << "span " << xl << ".." << xr << " width " << width;
  }
}

// ---- Polygons ------------------------------------------------------------------------------

TEST(FillConvexPolygon, PaintsThePixelCentresInside) {
  const struct {
    const char* what;
    std::vector<PointF> corners;
    Rows picture;
  } cases[] = {
      // Square (2, 1)-(6, 4): rows with centres 1.5, 2.5, 3.5; columns floor(2.5) .. floor(5.5).
      {"axis-aligned square", {{2, 1}, {6, 1}, {6, 4}, {2, 4}},
       {"........", "..####..", "..####..", "..####..", "........", "........"}},
      // Triangle (0, 0), (8, 0), (0, 8) in clockwise order. Row centre yc = row + 0.5: the left
      // chain is x = 0, the right chain x = 8 - yc; span floor(0.5) .. floor(8 - yc - 0.5), that
      // is 0 .. 7 - row. A centre exactly on the right edge (7.5, 0.5) is inside, one on the left
      // is not.
      {"triangle rows follow both chains", {{0, 0}, {8, 0}, {0, 8}},
       {"########", "#######.", "######..", "#####...", "####....", "###.....", "##......", "#......."}},
      // y from 2.2 to 2.9: yfirst = floor(2.7) = 2, ylast = floor(2.4) = 2: one span from
      // floor(1.5 + 0.5) = 2 to floor(6.0 - 0.5) = 5 on row 2.
      {"thin polygon on one row of centres", {{1.5f, 2.2f}, {6.0f, 2.2f}, {6.0f, 2.9f}, {1.5f, 2.9f}},
       {"........", "........", "..####..", "........", "........"}},
      {"polygon between two rows of centres", {{1, 2.6f}, {6, 2.6f}, {6, 3.4f}, {1, 3.4f}},
       {"........", "........", "........", "........", "........"}},
      // Diamond with corners (4, 0), (8, 4), (4, 8), (0, 4): row centre yc < 4 has xa = 4 - yc and
      // xb = 4 + yc, spanning floor(4.5 - yc) .. floor(3.5 + yc): row 0 is 4..4, row 3 is 1..7.
      // Spans are half-open on the left: a centre exactly on a left edge is left out.
      {"rotated square", {{4, 0}, {8, 4}, {4, 8}, {0, 4}},
       {"....#...", "...###..", "..#####.", ".#######", ".#######", "..#####.", "...###..", "....#..."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestCanvas t(static_cast<int>(c.picture[0].size()), static_cast<int>(c.picture.size()));
    FillConvexPolygon(t.Target(kPaintLayer), c.corners.data(), static_cast<int>(c.corners.size()));
    EXPECT_EQ(t.Picture(), c.picture);
  }
}

// ---- Thin lines ------------------------------------------------------------------------------

TEST(DrawThinLine, StepsAcrossTheCrossAxisAtHalfway) {
  // Shallow, (0.5, 0.5) to (6.5, 2.5): main axis x, extent 6, cross extent 2, f = 0.5, e starts
  // at 3. x = 0.5: plot (0, 0); e = 5. x = 1.5: (1, 0); e = 7 -> 1, y = 1.5. x = 2.5: (2, 1);
  // e = 3. x = 3.5: (3, 1); e = 5. x = 4.5: (4, 1); e = 7 -> 1, y = 2.5. x = 5.5: (5, 2);
  // x = 6.5: (6, 2). Drawn backwards the same pixels come out.
  const Pixels shallow{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, 2}};
  const struct {
    const char* what;
    float x0, y0, x1, y1;
    Pixels changed;
  } cases[] = {
      {"shallow", 0.5f, 0.5f, 6.5f, 2.5f, shallow},
      {"shallow, backwards", 6.5f, 2.5f, 0.5f, 0.5f, shallow},
      {"diagonal uses the y axis", 0.25f, 0.25f, 3.25f, 3.25f, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {"a point plots once", 2.7f, 1.2f, 2.7f, 1.2f, {{2, 1}}},
      // (0.25, 3.75) to (4.25, 1.75): main x, extent 4, cross 2, step -1, f = 0.75,
      // e = (1 - 0.75) * 4 = 1. x = 0.25: (0, 3); e = 3. x = 1.25: (1, 3); e = 5 -> 1, y = 2.75.
      // x = 2.25: (2, 2); e = 3. x = 3.25: (3, 2); e = 5 -> 1, y = 1.75. x = 4.25: (4, 1).
      {"upward cross step uses the complementary error", 0.25f, 3.75f, 4.25f, 1.75f,
       {{0, 3}, {1, 3}, {2, 2}, {3, 2}, {4, 1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestCanvas t(8, 5);
    DrawThinLine(t.Target(kPaintLayer), c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(t.Changed(), c.changed);
  }
}
