#include "view/input_state.h"

#include <gtest/gtest.h>

#include <utility>

#include "view/tail_switch.h"

namespace {

PenSample Sample(int32_t x, int32_t y, uint32_t pressure, int32_t azimuth = 1300,
                 int32_t altitude = 550) {
  PenSample s{};
  s.x = x;
  s.y = y;
  s.pressure = pressure;
  s.azimuth = azimuth;
  s.altitude = altitude;
  s.twist = 77;
  return s;
}

void ExpectSameMotion(const PenSample& a, const PenSample& b) {
  EXPECT_EQ(a.x, b.x);
  EXPECT_EQ(a.y, b.y);
  EXPECT_EQ(a.pressure, b.pressure);
  EXPECT_EQ(a.azimuth, b.azimuth);
  EXPECT_EQ(a.altitude, b.altitude);
}

}  // namespace

TEST(PenSample, MouseAndMissingOrientation) {
  PenSample m = MouseSample(100, -3, true, 1024);
  ExpectSameMotion(m, Sample(1600, -48, 1024, 1300, 550));
  EXPECT_EQ(MouseSample(1, 1, false, 1024).pressure, 0u);

  PenSample tail = Sample(0, 0, 5, 2000, -3);
  ApplyDefaultOrientation(tail);
  EXPECT_EQ(tail.azimuth, 1300);
  EXPECT_EQ(tail.altitude, -550);
  PenSample flat = Sample(0, 0, 5, 2000, 0);
  ApplyDefaultOrientation(flat);
  EXPECT_EQ(flat.altitude, 550);  // 0 is the tip

  EXPECT_EQ(PointerMaxPressure(0x84), 1024u);
  EXPECT_EQ(PointerMaxPressure(0x88), 1024u);
  EXPECT_EQ(PointerMaxPressure(0x04), 1u);  // not ready
  EXPECT_EQ(PointerMaxPressure(0x80), 1u);  // no pen
  EXPECT_EQ(TabletLacksOrientation(true, 0, 0), 1);  // fixed twist axis
  EXPECT_EQ(TabletLacksOrientation(false, 0, 3599), 1);
  EXPECT_EQ(TabletLacksOrientation(true, 0, 3599), 0);
}

TEST(PenSample, Pcbm10Remapping) {
  // trunc(q * 255 / 45): 150 -> q 22 -> 124.7; 200 -> 32 -> 181.3; 240 -> 40 -> 226.7; 159 is
  // q 31, 232 is q 32 on both sides of 232, 244 is q 44.
  const std::pair<uint32_t, uint32_t> cases[] = {{127, 0},   {150, 124}, {200, 181}, {240, 226}, {255, 255},
                                                 {128, 0},   {159, 175}, {232, 181}, {244, 249}, {1024, 255}};
  for (const auto& [raw, remapped] : cases) EXPECT_EQ(RemapPressurePcbm10(raw), remapped) << raw;
}

TEST(Smoothing, StrengthZeroFollowsTheRawSample) {
  int32_t strength = 0;
  InputState input = NewInputState();
  input.correctionStrength = &strength;
  StoreRawSample(input, Sample(10, 20, 300, 450, 600));
  StartSmoothing(input);
  PushSmoothing(input);
  ExpectSameMotion(input.smoothedCurrent, input.current);
  StoreRawSample(input, Sample(-35, 27, 800, 3000, -400));
  PushSmoothing(input);
  ExpectSameMotion(input.smoothedCurrent, input.current);
  ExpectSameMotion(input.smoothedPrevious, Sample(10, 20, 300, 450, 600));
  EXPECT_EQ(input.smoothedCurrent.twist, 0);  // twist is not carried
}

TEST(Smoothing, StrengthTwoAveragesTheNeighboursOfEntryTwo) {
  PenSample h[kSmoothingHistory]{};
  // Entries 0, 1, 3, 4 are summed; entry 2 gives only azimuth and altitude.
  h[0] = Sample(10, -10, 100, 1, 11);
  h[1] = Sample(20, -20, 101, 2, 12);
  h[2] = Sample(999, 999, 5000, 3, 13);
  h[3] = Sample(31, -31, 102, 4, 14);
  h[4] = Sample(40, -40, 104, 5, 15);
  h[5] = Sample(9999, 9999, 9999, 6, 16);  // outside the window
  PenSample s = SmoothedSample(h, 2);
  EXPECT_EQ(s.x, 25);         // 101 / 4 = 25.25
  EXPECT_EQ(s.y, -25);        // -101 / 4 truncates toward zero
  EXPECT_EQ(s.pressure, 101u);  // 407 / 4
  EXPECT_EQ(s.azimuth, 3);
  EXPECT_EQ(s.altitude, 13);
}

TEST(Smoothing, StrokeStartFillsTheWindowAndPushesAgeIt) {
  int32_t strength = 2;
  InputState input = NewInputState();
  input.correctionStrength = &strength;
  PenSample a = Sample(100, 200, 400);
  PenSample b = Sample(140, 240, 800);
  StoreRawSample(input, a);
  StartSmoothing(input);
  for (int i = 0; i < 5; ++i) ExpectSameMotion(input.history[i], a);
  EXPECT_EQ(input.history[5].x, 0);          // only 2N + 1 entries are set
  ExpectSameMotion(input.smoothedCurrent, a);  // the stroke starts where the pen came down

  StoreRawSample(input, b);
  PushSmoothing(input);
  ExpectSameMotion(input.history[0], b);
  ExpectSameMotion(input.history[5], a);
  ExpectSameMotion(input.smoothedPrevious, a);
  // (140 + 3 * 100) / 4 = 110, (240 + 600) / 4 = 210, (800 + 1200) / 4 = 500.
  ExpectSameMotion(input.smoothedCurrent, Sample(110, 210, 500));
}

TEST(Smoothing, StrengthIsLimitedToTheHistory) {
  InputState input = NewInputState();
  EXPECT_EQ(SmoothingStrength(input), 0);
  int32_t strength = 50;
  input.correctionStrength = &strength;
  EXPECT_EQ(SmoothingStrength(input), 20);
  strength = -1;
  EXPECT_EQ(SmoothingStrength(input), 0);
  strength = 50;  // a window of 41 entries, not 101: must not run past the history
  StoreRawSample(input, Sample(1, 2, 3));
  StartSmoothing(input);
  PushSmoothing(input);
  EXPECT_EQ(input.smoothedCurrent.x, 1);
}

TEST(TailSwitch, SelectsTheSecondPresetOnceAndRestores) {
  InputState input = NewInputState();
  int32_t pen = 5;
  EXPECT_EQ(ApplyTailSwitch(input, 500, true, pen), kNoPen);   // tip: nothing
  EXPECT_EQ(ApplyTailSwitch(input, -500, true, pen), 1);       // tail comes into use
  pen = 1;
  EXPECT_EQ(input.inverted, 1);
  EXPECT_EQ(ApplyTailSwitch(input, -480, true, pen), kNoPen);  // still the tail: once only
  EXPECT_EQ(ApplyTailSwitch(input, -1, true, pen), kNoPen);
  EXPECT_EQ(ApplyTailSwitch(input, 0, true, pen), 5);          // tip again: back to 5
  EXPECT_EQ(input.inverted, 0);
  EXPECT_EQ(ApplyTailSwitch(input, 300, true, 5), kNoPen);
}

TEST(TailSwitch, OffFollowsTheTailWithoutSelecting) {
  InputState input = NewInputState();
  EXPECT_EQ(ApplyTailSwitch(input, -500, false, 5), kNoPen);
  EXPECT_EQ(input.inverted, 1);
  // Switched on while the tail is in use: there is no preset to go back to.
  EXPECT_EQ(ApplyTailSwitch(input, 500, true, 7), kNoPen);
  EXPECT_EQ(input.inverted, 0);
}
