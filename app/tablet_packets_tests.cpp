#include "app/tablet_packets.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "app/session_test_support.h"
#include "app/view_commands_run.h"
#include "settings/command_ids.h"
#include "view/tail_switch.h"

namespace {

PenSample Packet(int32_t x, int32_t y, uint32_t pressure, int32_t azimuth, int32_t altitude) {
  return PenSample{0, x, y, pressure, azimuth, altitude, 0};
}

}  // namespace

// Offsets of the driver's LOGCONTEXTW: 40 name characters, eleven 32-bit option fields, twelve
// origins and extents, three sensitivities, the system-mode block.
TEST(TabletContext, RecordLayoutIsTheDrivers) {
  EXPECT_EQ(offsetof(WintabContext, lcOptions), 80u);
  EXPECT_EQ(offsetof(WintabContext, lcMsgBase), 92u);
  EXPECT_EQ(offsetof(WintabContext, lcPktData), 104u);
  EXPECT_EQ(offsetof(WintabContext, lcBtnUpMask), 120u);
  EXPECT_EQ(offsetof(WintabContext, lcInOrgX), 124u);
  EXPECT_EQ(offsetof(WintabContext, lcOutOrgX), 148u);
  EXPECT_EQ(offsetof(WintabContext, lcOutExtY), 164u);
  EXPECT_EQ(offsetof(WintabContext, lcSysMode), 184u);
  EXPECT_EQ(offsetof(WintabContext, lcSysSensY), 208u);
  // A packet of buttons, x, y, pressure and orientation is a PenSample.
  EXPECT_EQ(offsetof(PenSample, pressure), 12u);
  EXPECT_EQ(offsetof(PenSample, twist), 24u);
}

TEST(TabletContext, AsksForPenPacketsOverTheVirtualScreen) {
  WintabContext c{};
  std::copy_n(u"Default system context", 22, c.lcName);
  c.lcOptions = 0x0002;
  c.lcMsgBase = 0x7FF0 - 16;
  c.lcBtnDnMask = 0x0000FFFF;
  c.lcBtnUpMask = 0x00001234;
  c.lcInExtX = 30480;
  c.lcInExtY = 20320;
  // Two monitors, the second left of the first.
  PreparePenContext(c, ScreenArea{-1280, 0, 2560, 1024});
  EXPECT_EQ(std::u16string(c.lcName), u"test");
  EXPECT_EQ(c.lcName[kWintabNameLength - 1], u'\0');
  EXPECT_EQ(c.lcOptions, 0x0007u);
  EXPECT_EQ(c.lcMsgBase, 0x7FF0u);
  EXPECT_EQ(c.lcPktData, 0x15C0u);
  EXPECT_EQ(c.lcPktMode, 0x0040u);
  EXPECT_EQ(c.lcMoveMask, 0x15C0u);
  EXPECT_EQ(c.lcBtnUpMask, 0x0000FFFFu);
  EXPECT_EQ(c.lcOutOrgX, -20480);
  EXPECT_EQ(c.lcOutOrgY, 0);
  EXPECT_EQ(c.lcOutExtX, 40960);
  EXPECT_EQ(c.lcOutExtY, -16384);  // y grows downward
  EXPECT_EQ(c.lcInExtX, 30480);    // the tablet side is the driver's
  EXPECT_EQ(c.lcInExtY, 20320);

  // A display change maps the output again and touches nothing else.
  MapTabletToScreen(c, ScreenArea{0, -200, 1920, 1200});
  EXPECT_EQ(c.lcOutOrgX, 0);
  EXPECT_EQ(c.lcOutOrgY, -3200);
  EXPECT_EQ(c.lcOutExtX, 30720);
  EXPECT_EQ(c.lcOutExtY, -19200);
  EXPECT_EQ(c.lcPktData, 0x15C0u);
}

TEST(TabletContext, PressureRangeAndOrientation) {
  EXPECT_EQ(TabletMaxPressure(16, WintabAxis{0, 8191, 0, 0}), 8191u);
  EXPECT_EQ(TabletMaxPressure(0, WintabAxis{0, 8191, 0, 0}), 1u);  // the query failed
  EXPECT_EQ(TabletMaxPressure(16, WintabAxis{0, 0, 0, 0}), 1u);
  EXPECT_EQ(TabletMaxPressure(16, WintabAxis{0, -3, 0, 0}), 1u);

  const WintabAxis turning[3] = {{0, 3599, 0, 0}, {-900, 900, 0, 0}, {0, 3599, 0, 0}};
  const WintabAxis fixedTwist[3] = {{0, 3599, 0, 0}, {-900, 900, 0, 0}, {0, 0, 0, 0}};
  EXPECT_EQ(TabletOrientationMissing(48, turning), 0);
  EXPECT_EQ(TabletOrientationMissing(0, turning), 1);
  EXPECT_EQ(TabletOrientationMissing(48, fixedTwist), 1);
}

TEST(TabletPackets, PassThroughAndFollowTheTail) {
  InputState input = NewInputState();
  TabletStep step = TakeTabletPacket(input, Packet(1600, 800, 300, 450, 600), true, 4);
  EXPECT_EQ(input.tabletActive, 1);
  EXPECT_EQ(step.selectPen, kNoPen);
  EXPECT_EQ(step.sample.x, 1600);
  EXPECT_EQ(step.sample.pressure, 300u);
  EXPECT_EQ(step.sample.azimuth, 450);
  EXPECT_EQ(step.sample.altitude, 600);
  // The tail comes into range: preset 1 once, then back to 4 when the tip returns.
  EXPECT_EQ(TakeTabletPacket(input, Packet(1600, 800, 0, 450, -600), true, 4).selectPen, 1);
  EXPECT_EQ(TakeTabletPacket(input, Packet(1600, 800, 90, 450, -580), true, 1).selectPen, kNoPen);
  EXPECT_EQ(PenToRestoreAtClose(input, true), 4);
  EXPECT_EQ(PenToRestoreAtClose(input, false), kNoPen);
  EXPECT_EQ(TakeTabletPacket(input, Packet(1600, 800, 0, 450, 600), true, 1).selectPen, 4);
  EXPECT_EQ(PenToRestoreAtClose(input, true), kNoPen);
}

TEST(TabletPackets, DefaultOrientationWhenTheTabletHasNone) {
  InputState input = NewInputState();
  input.noOrientation = 1;
  TabletStep tip = TakeTabletPacket(input, Packet(0, 0, 5, 2000, 0), true, 0);
  EXPECT_EQ(tip.sample.azimuth, 1300);
  EXPECT_EQ(tip.sample.altitude, 550);
  TabletStep tail = TakeTabletPacket(input, Packet(0, 0, 5, 2000, -1), true, 0);
  EXPECT_EQ(tail.sample.azimuth, 1300);
  EXPECT_EQ(tail.sample.altitude, -550);
  EXPECT_EQ(tail.selectPen, 1);
}

TEST(TabletPackets, Proximity) {
  InputState input = NewInputState();
  TakeTabletProximity(input, true, true);
  EXPECT_EQ(input.tabletActive, 1);
  TakeTabletProximity(input, false, true);
  EXPECT_EQ(input.tabletActive, 0);
  TakeTabletProximity(input, true, false);  // in range over a panel: the mouse still draws
  EXPECT_EQ(input.tabletActive, 0);
}

// Tilt 20 and 40 degrees: ca = cos 110, cb = cos 130, az = atan2(cb, ca) = -118.017 degrees,
// e = 90 - acos(1 / sqrt(ca^2 + cb^2 + 1)) = 53.938, alt = (e + cos^2 az x 70 + sin^2 az x 50)
// / 2 = 54.177 -> 542; azimuth trunc(-118.017 - 90) = -208 -> 152 degrees, or with the display
// turned (offset 90) -118 -> 242 degrees.
TEST(PenPointer, PositionPressureAndTilt) {
  InputState input = NewInputState();
  PenPointerReading pen{};
  pen.pixelX = 7;
  pen.pixelY = 9;
  pen.himetricX = 5000;
  pen.himetricY = 2500;
  pen.deviceRectsKnown = true;
  pen.device = PixelRect{0, 0, 20000, 10000};
  pen.display = PixelRect{100, 50, 1380, 690};
  pen.pressure = 512;
  pen.tiltX = 20;
  pen.tiltY = 40;
  TabletStep step = TakePenPointer(input, pen, true, 3);
  EXPECT_EQ(input.tabletActive, 1);
  EXPECT_EQ(step.sample.x, (5000 * 1280 / 20000 + 100) * 16);  // 6720
  EXPECT_EQ(step.sample.y, (2500 * 640 / 10000 + 50) * 16);    // 3360
  EXPECT_EQ(step.sample.pressure, 512u);
  EXPECT_EQ(step.sample.azimuth, 1520);
  EXPECT_EQ(step.sample.altitude, 542);
  EXPECT_EQ(step.selectPen, kNoPen);

  input.displayOffset = 90;
  EXPECT_EQ(TakePenPointer(input, pen, true, 3).sample.azimuth, 2420);

  // Without usable device rectangles the pixel position counts; an untilted tail gets the
  // default orientation, pointing down, and switches to the tail preset.
  pen.display = PixelRect{100, 50, 100, 690};
  pen.tiltX = pen.tiltY = 0;
  pen.inverted = true;
  step = TakePenPointer(input, pen, true, 3);
  EXPECT_EQ(step.sample.x, 7 * 16);
  EXPECT_EQ(step.sample.y, 9 * 16);
  EXPECT_EQ(step.sample.azimuth, 1300);
  EXPECT_EQ(step.sample.altitude, -550);
  EXPECT_EQ(step.selectPen, 1);
  pen.deviceRectsKnown = false;
  pen.display = PixelRect{100, 50, 1380, 690};
  EXPECT_EQ(TakePenPointer(input, pen, true, 1).sample.x, 7 * 16);
}

TEST(Joypad, OneCommandPerNewPress) {
  KeyBindingTable pad{{{0x01, 0x100, 45001}, {0x01, 0x101, 45002}, {0x09, 0x124, 40101}, {0x01, 0x124, 40102}}, 0};
  JoypadPoll poll;
  EXPECT_EQ(PollJoypad(poll, {0, 0xFFFF, 0b01}, pad), 45001);
  EXPECT_EQ(PollJoypad(poll, {0, 0xFFFF, 0b01}, pad), -1);  // held
  EXPECT_EQ(PollJoypad(poll, {0, 0xFFFF, 0b11}, pad), 45002);
  EXPECT_EQ(PollJoypad(poll, {0, 0xFFFF, 0b00}, pad), -1);
  // Z past three quarters: the first binding of its key, whatever its flag byte.
  EXPECT_EQ(PollJoypad(poll, {0xC000, 0xFFFF, 0}, pad), 40101);
  EXPECT_EQ(PollJoypad(poll, {0xD000, 0xFFFF, 0}, pad), -1);
  ForgetJoypadZ(poll);  // the "0" key
  EXPECT_EQ(PollJoypad(poll, {0xD000, 0xFFFF, 0}, pad), 40101);
  EXPECT_EQ(PollJoypad(poll, {0xD000, 9000, 0}, pad), -1);  // the hat's key has no binding
}

// A tablet stroke through the whole session: the tip paints with pen 0, the tail comes into
// range and the shell selects pen 1 (an eraser of every layer), which takes back part of it.
TEST(TabletPackets, TailStrokeErasesWithTheSecondPreset) {
  TestSession t(32, kKindPressurePen, 4);
  AppState& s = t.State();
  s.settings.pens[1].KindOfPen = kKindPressureEraserAllLayers;
  s.settings.pens[1].Size = 6;
  s.settings.pens[1].Interval = 100;
  s.settings.pens[1].Roundness = 100;
  s.settings.CorrectionStrength = 0;
  auto feed = [&](int32_t x, int32_t y, uint32_t pressure, int32_t altitude) {
    TabletStep step = TakeTabletPacket(s.input, Packet(x * 16, y * 16, pressure, 1300, altitude),
                                       s.settings.TailSwitch != 0, s.settings.numPenSetting);
    if (step.selectPen != kNoPen) RunSessionCommand(s, CMD_SELECT_PEN_0 + step.selectPen);
    FeedPenSample(s.context, s.step, step.sample, SampleConditions{});
  };
  s.settings.TailSwitch = 1;
  feed(4, 16, 0, 550);
  feed(4, 16, 1024, 550);
  feed(28, 16, 1024, 550);
  feed(28, 16, 0, 550);
  ASSERT_NE(t.At(16, 16), 0xFF);
  feed(16, 10, 0, -550);
  EXPECT_EQ(s.settings.numPenSetting, 1);
  feed(16, 10, 1024, -550);
  feed(16, 22, 1024, -550);
  feed(16, 22, 0, -550);
  EXPECT_EQ(t.At(16, 16), 0xFF);  // erased across the line
  EXPECT_NE(t.At(6, 16), 0xFF);   // the rest of the line stays
  feed(16, 22, 0, 550);
  EXPECT_EQ(s.settings.numPenSetting, 0);
}
