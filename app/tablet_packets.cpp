#include "app/tablet_packets.h"

#include <algorithm>
#include <limits>

#include "view/pointer_tilt.h"
#include "view/tail_switch.h"

namespace {

// v x 16 in 32 bits; a screen that large does not exist, so saturate rather than wrap.
int32_t Sixteenths(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v * 16, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

TabletStep FollowTail(InputState& input, const PenSample& sample, bool tailSwitchOn, int32_t currentPen) {
  return {sample, ApplyTailSwitch(input, sample.altitude, tailSwitchOn, currentPen)};
}

}  // namespace

void MapTabletToScreen(WintabContext& context, const ScreenArea& screen) {
  context.lcOutOrgX = Sixteenths(screen.left);
  context.lcOutOrgY = Sixteenths(screen.top);
  context.lcOutExtX = Sixteenths(screen.width);
  context.lcOutExtY = -Sixteenths(screen.height);
}

void PreparePenContext(WintabContext& context, const ScreenArea& screen) {
  std::fill(std::begin(context.lcName), std::end(context.lcName), u'\0');
  std::copy_n(u"test", 4, context.lcName);
  context.lcOptions |= kCxoSystem | kCxoMessages;
  context.lcMsgBase = kTabletMessageBase;
  context.lcPktData = kPenPacketData;
  context.lcPktMode = kPenPacketMode;
  context.lcMoveMask = kPenPacketData;
  context.lcBtnUpMask = context.lcBtnDnMask;
  MapTabletToScreen(context, screen);
}

uint32_t TabletMaxPressure(uint32_t infoBytes, const WintabAxis& pressure) {
  return infoBytes > 0 && pressure.axMax > 0 ? static_cast<uint32_t>(pressure.axMax) : 1u;
}

int32_t TabletOrientationMissing(uint32_t infoBytes, const WintabAxis (&orientation)[3]) {
  return TabletLacksOrientation(infoBytes > 0, orientation[2].axMin, orientation[2].axMax);
}

TabletStep TakeTabletPacket(InputState& input, const PenSample& packet, bool tailSwitchOn, int32_t currentPen) {
  input.tabletActive = 1;
  PenSample sample = packet;
  if (input.noOrientation) ApplyDefaultOrientation(sample);
  return FollowTail(input, sample, tailSwitchOn, currentPen);
}

void TakeTabletProximity(InputState& input, bool entering, bool overView) {
  input.tabletActive = entering && overView ? 1 : 0;
}

TabletStep TakePenPointer(InputState& input, const PenPointerReading& pen, bool tailSwitchOn, int32_t currentPen) {
  input.tabletActive = 1;
  PenSample sample{};
  if (!pen.deviceRectsKnown ||
      !PointerDevicePosition(pen.device, pen.display, pen.himetricX, pen.himetricY, sample.x, sample.y)) {
    sample.x = Sixteenths(pen.pixelX);
    sample.y = Sixteenths(pen.pixelY);
  }
  sample.pressure = pen.pressure;
  const PenOrientation o = PenPointerOrientation(pen.tiltX, pen.tiltY, pen.rotation, pen.inverted, input.displayOffset);
  sample.azimuth = o.azimuth;
  sample.altitude = o.altitude;
  return FollowTail(input, sample, tailSwitchOn, currentPen);
}

int32_t PenToRestoreAtClose(const InputState& input, bool tailSwitchOn) {
  return tailSwitchOn && input.inverted ? input.penBeforeTail : kNoPen;
}

int32_t PollJoypad(JoypadPoll& poll, const JoystickState& now, const KeyBindingTable& joypad) {
  const int key = JoypadKey(poll.previous, now);
  poll.previous = now;
  return key < 0 ? -1 : JoypadCommand(joypad, key);
}

void ForgetJoypadZ(JoypadPoll& poll) { poll.previous.z = 0; }
