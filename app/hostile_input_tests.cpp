// What a damaged settings file, pen XML or device can hand the input step: numbers far outside
// their ranges, pressure above the stated maximum, positions a hundred million pixels away.
// Nothing may overflow (the sanitizer build checks), hang, or paint outside the pen's reach.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/session_test_support.h"

namespace {

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

// A session on a blank 64 x 64 canvas with a size-8 pen of the kind.
struct Session : TestSession {
  explicit Session(int kind) : TestSession(64, kind, 8) {}
};

}  // namespace

TEST(HostileInput, OutOfRangePenNumbersAreClampedBeforeTheyArePainted) {
  Session t(kKindStampBrush);
  PenSetting& pen = t.Pen();
  pen.Size = kIntMax;
  pen.Dispersal = -1;  // 0xFFFFFFFF in the file
  pen.Hardness = kIntMin;
  pen.Interval = 0;
  t.Feed(10, 10, 0);
  t.Feed(10, 10, 1024);
  t.Feed(40, 40, 1024);
  t.Feed(40, 40, 0);
  EXPECT_EQ(pen.Size, kMaxPenSize);
  EXPECT_EQ(pen.Dispersal, 0);
  EXPECT_EQ(pen.Hardness, 0);
  EXPECT_EQ(pen.Interval, 1);
  EXPECT_FLOAT_EQ(PressureGamma(kIntMin), PressureGamma(0));
  EXPECT_FLOAT_EQ(PressureGamma(kIntMax), PressureGamma(100));
}

TEST(HostileInput, PressureAboveTheMaximumPaintsAsFullPressure) {
  // Pressure pen, size 8: at full pressure a horizontal stroke is 8 rows wide; twice the
  // maximum paints exactly the same pixels. The grain-tone pen paints at all.
  for (const int kind : {kKindPressurePen, kKindGrainTonePen}) {
    Session full(kind), over(kind);
    for (Session* s : {&full, &over}) {
      const uint32_t p = s == &full ? 1024 : 2048;
      s->Feed(10, 30, 0);
      s->Feed(10, 30, p);
      s->Feed(50, 30, p);
      s->Feed(50, 30, 0);
    }
    EXPECT_GT(full.Painted(), 0) << kind;
    EXPECT_EQ(over.Painted(), full.Painted()) << kind;
  }
}

TEST(HostileInput, SegmentsReachingFarOffTheCanvasPaintNothingAndEnd) {
  // Each of these kinds walks the segment in steps; a walk of 10^8 pixels in single precision
  // never ends. They must return at once and leave the canvas as the pen-down left it.
  for (const int kind : {kKindGrainDabPen, kKindTiltPencil, kKindTiltEraser, kKindTiltEraserAllLayers,
                         kKindStampBrush, kKindPressurePen}) {
    Session t(kind);
    t.Feed(10, 10, 0);
    t.Feed(10, 10, 1024);
    const int atPenDown = t.Painted();  // the pressure pen's first dab
    t.Feed(1.0e8, 10, 1024);
    t.Feed(1.0e8, 1.0e8, 1024);
    t.Feed(1.0e8, 1.0e8, 0);
    EXPECT_EQ(t.Painted(), atPenDown) << kind;
  }
}
