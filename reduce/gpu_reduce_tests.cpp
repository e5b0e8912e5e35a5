// The OpenCL engine's reductions against the averaging rules, worked out by hand where the
// numbers are small, and byte for byte against the CPU engines and a plain reference loop
// elsewhere. They run on any OpenCL device (pocl's CPU device on the build machines) and are
// skipped where there is none.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "reduce/gpu_engine.h"
#include "reduce/gpu_test_support.h"
#include "reduce/linear_light.h"
#include "reduce/reduce.h"
#include "reduce/view_samplers.h"
#include "settings/settings_test_support.h"
#include "view/view_test_support.h"

namespace {

uint32_t Pixel(const DibBitmap& b, int x, int y) {
  uint32_t p;
  std::memcpy(&p, DibRow(b, y) + 4 * x, 4);
  return p;
}

// The straightforward reduction: every source pixel stepped on its own with the 16.16 stepping
// of reduce.h, its increment added, every accumulator divided by the rules of linear_light.h.
DibPtr ReferenceReduce(const CanvasView& view, const DibBitmap& canvas, const PixelRect& source,
                       uint32_t background) {
  ReduceStepping s{};
  if (!ComputeReduceStepping(view, source, s)) return nullptr;
  const int w = s.destination.right - s.destination.left, h = s.destination.bottom - s.destination.top;
  uint64_t increments[kDibColourCount];
  BuildPackedIncrements(canvas.colours, increments);
  std::vector<uint64_t> sums(static_cast<size_t>(w) * h, 0);
  for (int y = s.source.top; y < s.source.bottom; ++y) {
    for (int x = s.source.left; x < s.source.right; ++x) {
      const int64_t i = x - s.source.left, j = y - s.source.top;
      const int64_t dx = (s.startX + i * s.colX + j * s.rowX) >> 16;
      const int64_t dy = (s.startY + i * s.colY + j * s.rowY) >> 16;
      if (dx < 0 || dy < 0 || dx >= w || dy >= h) continue;
      sums[dy * w + dx] += increments[DibRow(canvas, y)[x]];
    }
  }
  DibPtr out(CreateDibBitmap(32, nullptr, 0, w, h));
  const DivideContext c = MakeDivideContext(background);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = DividePacked(c, sums[static_cast<size_t>(y) * w + x]);
      std::memcpy(DibRow(*out, y) + 4 * x, &p, 4);
    }
  return out;
}

// Where two pictures differ: "" when equal in size and every byte.
std::string Difference(const DibBitmap* a, const DibBitmap* b) {
  if (!a || !b) return a == b ? "" : "one picture is missing";
  if (DibWidth(*a) != DibWidth(*b) || DibHeight(*a) != DibHeight(*b))
    return "sizes differ: " + std::to_string(DibWidth(*a)) + "x" + std::to_string(DibHeight(*a)) + " and " +
           std::to_string(DibWidth(*b)) + "x" + std::to_string(DibHeight(*b));
  for (int y = 0; y < DibHeight(*a); ++y)
    for (int x = 0; x < DibWidth(*a); ++x)
      if (Pixel(*a, x, y) != Pixel(*b, x, y)) {
        char text[96];
        std::snprintf(text, sizeof text, "pixel (%d, %d): %06X and %06X", x, y, Pixel(*a, x, y), Pixel(*b, x, y));
        return text;
      }
  return "";
}

// A canvas that looks drawn: paper with strokes of many colours, an odd size, and a palette
// of 256 different colours (entry 255 the paper).
DibPtr DrawnCanvas(int width, int height) {
  DibColour palette[kDibColourCount];
  for (int i = 0; i < kDibColourCount; ++i)
    palette[i] = {static_cast<uint8_t>(i * 37 + 11), static_cast<uint8_t>(i * 91 + 3), static_cast<uint8_t>(i * 13 + 5), 0};
  palette[255] = {0xF0, 0xF8, 0xFF, 0};
  palette[0] = {0, 0, 0, 0};
  DibPtr canvas(CreateDibBitmap(8, palette, kDibColourCount, width, height));
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      seed = seed * 1103515245u + 12345u;
      const bool stroke = (x * 3 + y * 5) % 23 < 4 || (x - 2 * y) % 41 == 0 || ((x / 9 + y / 7) % 5 == 0);
      DibRow(*canvas, y)[x] = stroke ? static_cast<uint8_t>(seed >> 24) : 0xFF;
    }
  return canvas;
}

// Columns alternating between palette entries 0 (black) and 1 (white).
DibPtr AlternatingCanvas(int width, int height) {
  DibColour palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  DibPtr canvas(CreateDibBitmap(8, palette, 2, width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) DibRow(*canvas, y)[x] = static_cast<uint8_t>(x & 1);
  return canvas;
}

void SetView(TestView& t, float scale, float rotation, int mirrored) {
  t.view.scale = scale;
  t.view.rotation = rotation;
  t.view.mirrored = mirrored;
}

GpuEngineOptions AnyDevice(const std::filesystem::path& folder) {
  return {GpuDeviceKind::kAny, nullptr, folder, folder / "openclinfo.txt"};
}

// Sets the engine up on the kernels beside the test program for one test.
class GpuReduceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GPU_TEST_REQUIRE_PLATFORM();
    ASSERT_EQ(InitGpuEngine(AnyDevice(RunningProgramFolder())), GpuSetUpFailure::kNone) << GpuEngineFailure();
  }
  void TearDown() override { ReleaseGpuEngine(); }
};

TEST_F(GpuReduceTest, TwoToOneOfBlackAndWhiteIsTheLinearMean186) {
  // 2:1: every view pixel holds one black and one white column, two rows: n = 4, the sums are
  // 2 x 4095, FastPow(0.5) x 255 + 0.5 = 186.6. At 8:1 n = 64 takes the divide's other branch
  // and gives 186 too.
  for (float scale : {2.0f, 8.0f}) {
    TestView t(16, 16);
    SetView(t, scale, 0, 0);
    DibPtr canvas = AlternatingCanvas(16, 16);
    DibPtr picture(GpuReduceOnDevice(t.view, *canvas, {0, 0, 16, 16}, kReduceBackground));
    ASSERT_TRUE(picture) << GpuEngineFailure();
    const int side = static_cast<int>(16 / scale);
    ASSERT_EQ(DibWidth(*picture), side);
    ASSERT_EQ(DibHeight(*picture), side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) EXPECT_EQ(Pixel(*picture, x, y), 0xBABABAu) << scale << " " << x << "," << y;
  }
}

TEST_F(GpuReduceTest, PixelsNoCanvasPixelReachesAreTheBackground) {
  // At 45 degrees the corners of the view's box lie off the canvas.
  TestView t(64, 64);
  SetView(t, 2.0f, 45.0f, 0);
  DibPtr canvas = AlternatingCanvas(64, 64);
  DibPtr picture(GpuReduceOnDevice(t.view, *canvas, {0, 0, 64, 64}, kReduceBackground));
  ASSERT_TRUE(picture) << GpuEngineFailure();
  const int w = DibWidth(*picture), h = DibHeight(*picture);
  EXPECT_EQ(Pixel(*picture, 0, 0), 0xC0C0C0u);
  EXPECT_EQ(Pixel(*picture, w - 1, 0), 0xC0C0C0u);
  EXPECT_EQ(Pixel(*picture, 0, h - 1), 0xC0C0C0u);
  EXPECT_EQ(Pixel(*picture, w - 1, h - 1), 0xC0C0C0u);
  EXPECT_NE(Pixel(*picture, w / 2, h / 2), 0xC0C0C0u);
  // Another background shows there instead.
  DibPtr other(GpuReduceOnDevice(t.view, *canvas, {0, 0, 64, 64}, 0x123456));
  ASSERT_TRUE(other);
  EXPECT_EQ(Pixel(*other, 0, 0), 0x123456u);
}

struct Case {
  float scale, rotation;
  int mirrored;
};

TEST_F(GpuReduceTest, EqualsThePlainReferenceAtManyScalesRotationsAndMirrors) {
  DibPtr canvas = DrawnCanvas(203, 157);
  int compared = 0;
  for (float scale : {1.5f, 2.0f, 3.0f, 4.5f, 6.25f, 8.0f, 9.5f})
    for (float rotation : {0.0f, 30.0f, 45.0f, 90.0f, 137.5f, 270.0f})
      for (int mirrored : {0, 1}) {
        const double f = RotationSpan(rotation) * scale;
        if (scale <= RotationSpan(rotation) || f > kWideReductionAbove) continue;
        TestView t(203, 157);
        SetView(t, scale, rotation, mirrored);
        for (PixelRect source : {PixelRect{0, 0, 203, 157}, PixelRect{37, 21, 150, 120}})
          for (uint32_t background : {kReduceBackground, 0x123456u}) {
            DibPtr gpu(GpuReduceOnDevice(t.view, *canvas, source, background));
            ASSERT_TRUE(gpu) << GpuEngineFailure();
            DibPtr reference = ReferenceReduce(t.view, *canvas, source, background);
            ASSERT_EQ(Difference(gpu.get(), reference.get()), "")
                << "scale " << scale << " rotation " << rotation << " mirrored " << mirrored;
            ++compared;
          }
      }
  EXPECT_GT(compared, 100);
}

TEST_F(GpuReduceTest, EqualsTheCpuEngines) {
  // Straight and turned, the whole canvas and a part of it, against the pool engine on one
  // thread and on the pool (tiles at 0 degrees, bands of rows otherwise, counted pixel by pixel
  // or, from 6 at 30 degrees and 7.1 at 45, by crossings); and a part reduced on
  // the device and written into the CPU engine's whole picture changes nothing.
  DibPtr canvas = DrawnCanvas(401, 283);
  for (Case c : {Case{2, 0, 0}, Case{4, 30, 1}, Case{7.1f, 45, 0}, Case{8, 0, 0}, Case{3.3f, 200.5f, 1},
                 Case{1.5f, 30, 0}, Case{6, 30, 1}}) {
    TestView t(401, 283);
    SetView(t, c.scale, c.rotation, c.mirrored);
    for (const PixelRect& source : {PixelRect{0, 0, 401, 283}, PixelRect{53, 17, 330, 250}}) {
      DibPtr gpu(GpuReduce(t.view, *canvas, source, kReduceBackground, 1));
      EXPECT_STREQ(GpuEngineFailure(), "");
      for (int threaded : {0, 1}) {
        DibPtr pool(ReducePool(t.view, *canvas, source, kReduceBackground, threaded));
        EXPECT_EQ(Difference(gpu.get(), pool.get()), "")
            << "scale " << c.scale << " rotation " << c.rotation << " source " << source.left;
      }
    }
    DibPtr whole(ReducePool(t.view, *canvas, {0, 0, 401, 283}, kReduceBackground, 1));
    ASSERT_TRUE(whole);
    DibPtr before(ReducePool(t.view, *canvas, {0, 0, 401, 283}, kReduceBackground, 0));
    EXPECT_TRUE(ReduceIntoImage(t.view, *canvas, {120, 90, 181, 140}, kReduceBackground, 1, GpuReduce, *whole));
    EXPECT_EQ(Difference(whole.get(), before.get()), "") << "scale " << c.scale << " rotation " << c.rotation;
  }
}

TEST_F(GpuReduceTest, RecomposingAtTheSameSizeReusesThePicture) {
  // The device's picture is read back into the composed picture's memory when the size stays.
  DibPtr canvas = DrawnCanvas(401, 283);
  TestView t(401, 283);
  t.canvas->bitmap = canvas.get();
  SetView(t, 4.0f, 30.0f, 0);
  ASSERT_EQ(RecomposeViewImage(t.view, {1, GpuReduce}), RecomposeFailure::kNone);
  const uint8_t* memory = t.view.composed->bits;
  std::memset(t.view.composed->bits, 0x5A, static_cast<size_t>(t.view.composed->stride) * DibHeight(*t.view.composed));
  ASSERT_EQ(RecomposeViewImage(t.view, {1, GpuReduce}), RecomposeFailure::kNone);
  EXPECT_EQ(t.view.composed->bits, memory);
  DibPtr pool(ReducePool(t.view, *canvas, {0, 0, 401, 283}, kReduceBackground, 1));
  EXPECT_EQ(Difference(t.view.composed, pool.get()), "");
  FreeDibBitmap(t.view.composed);
}

TEST_F(GpuReduceTest, ReductionsAboveTenAndAnEngineNotSetUpGoToTheCpuEngines) {
  DibPtr canvas = DrawnCanvas(301, 211);
  const PixelRect all{0, 0, 301, 211};
  TestView t(301, 211);
  SetView(t, 10.5f, 0, 0);
  EXPECT_EQ(GpuReduceOnDevice(t.view, *canvas, all, kReduceBackground), nullptr);
  DibPtr wide(ReduceWide(t.view, *canvas, all, kReduceBackground, 0));
  DibPtr viaGpu(GpuReduce(t.view, *canvas, all, kReduceBackground, 0));
  EXPECT_EQ(Difference(viaGpu.get(), wide.get()), "");

  ReleaseGpuEngine();
  SetView(t, 3.0f, 30, 0);
  EXPECT_EQ(GpuReduceOnDevice(t.view, *canvas, all, kReduceBackground), nullptr);
  DibPtr pool(ReducePool(t.view, *canvas, all, kReduceBackground, 0));
  DibPtr fallback(GpuReduce(t.view, *canvas, all, kReduceBackground, 0));
  EXPECT_EQ(Difference(fallback.get(), pool.get()), "");
}

TEST_F(GpuReduceTest, NothingToReduceGivesNoPicture) {
  DibPtr canvas = DrawnCanvas(50, 40);
  TestView t(50, 40);
  SetView(t, 2.0f, 0, 0);
  EXPECT_EQ(GpuReduceOnDevice(t.view, *canvas, {60, 0, 80, 10}, kReduceBackground), nullptr);
  EXPECT_EQ(GpuReduceOnDevice(t.view, *canvas, {10, 10, 10, 20}, kReduceBackground), nullptr);
}

// OpenCL lets a device's division be 2.5 ulp off; the divide corrects its quotient. The
// kernels' RoundedQuotient, started from a guess a few ulp off either way, must give the host's
// correctly rounded a / b for every numerator and denominator the divide can meet.
TEST(GpuReduceDivide, TheQuotientIsCorrectlyRoundedFromAnInexactGuess) {
  GPU_TEST_REQUIRE_PLATFORM();
  const std::string kernels = ReadAll(RunningProgramFolder() / kGpuKernelFileName);
  ASSERT_FALSE(kernels.empty());
  // Numerators and denominators as the divide forms them: n = 32..127, sums 0..n x 4095.
  std::vector<float> a, b;
  for (const float background : {0.0f, 0.52711517f, 1.0f})
    for (uint32_t n = 32; n <= 127; ++n)
      for (uint32_t sum = 0; sum <= n * 4095; sum += 197 + n % 7) {
        float t = static_cast<float>(sum) * (1.0f / 4095.0f);
        t = t * 65536.0f;
        a.push_back(t + background);
        b.push_back(static_cast<float>(n) * 65536.0f + 1.0f);
      }
  for (const char* guess : {"((a) / (b))", "nextafter(nextafter(nextafter((a) / (b), INFINITY), INFINITY), INFINITY)",
                            "nextafter(nextafter(nextafter((a) / (b), 0.0f), 0.0f), 0.0f)"}) {
    const std::string source = std::string("#define CRRHFDIB_QUOTIENT_GUESS(a, b) ") + guess + "\n" + kernels +
                               "\n__kernel void QuotientProbe(__global const float* a, __global const float* b,"
                               " __global float* q) { size_t i = get_global_id(0); q[i] = RoundedQuotient(a[i], b[i]); }\n";
    std::vector<float> q;
    ASSERT_EQ(RunFloatProbe(source, "QuotientProbe", a, b, q), "") << guess;
    size_t wrong = 0;
    for (size_t i = 0; i < a.size(); ++i)
      if (q[i] != a[i] / b[i] && wrong++ < 5) ADD_FAILURE() << guess << ": " << a[i] << " / " << b[i];
    EXPECT_EQ(wrong, 0u) << guess << " of " << a.size();
  }
}

}  // namespace
