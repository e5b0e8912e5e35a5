// Tablet input without window calls: the records of the tablet driver library (Wintab) with
// the layout the library itself uses, the context the program asks it for, and what becomes
// of a tablet packet, a proximity change, a pen pointer reading and a joystick poll before the
// input step sees them. The Windows side (shell/wintab_input) loads the library, opens the
// context and routes messages here.
//
// Positions: the context maps the tablet to the virtual screen in sixteenths of a pixel, with
// y growing downward, so a packet's x and y are a PenSample's x and y as they come.
#pragma once

#include <cstdint>

#include "canvas/pixel_rect.h"
#include "settings/joypad_keys.h"
#include "view/input_state.h"
#include "view/pen_sample.h"

// ---- Wintab records and numbers --------------------------------------------------------
// Laid out like the library's LOGCONTEXTW, AXIS and ORIENTATION (UINT, DWORD, LONG, FIX32
// and BOOL are all 32 bits; FIX32 is 16.16 fixed point).

inline constexpr int kWintabNameLength = 40;

struct WintabContext {
  char16_t lcName[kWintabNameLength];
  uint32_t lcOptions;
  uint32_t lcStatus;
  uint32_t lcLocks;
  uint32_t lcMsgBase;    // first of the context's window messages (packet = base + 0)
  uint32_t lcDevice;
  uint32_t lcPktRate;
  uint32_t lcPktData;    // which packet fields are reported (kPk* bits)
  uint32_t lcPktMode;    // which of them are relative
  uint32_t lcMoveMask;   // which field changes make a packet
  uint32_t lcBtnDnMask;
  uint32_t lcBtnUpMask;
  int32_t lcInOrgX, lcInOrgY, lcInOrgZ;    // tablet area, device units
  int32_t lcInExtX, lcInExtY, lcInExtZ;
  int32_t lcOutOrgX, lcOutOrgY, lcOutOrgZ;  // what packets report for it; a negative extent
  int32_t lcOutExtX, lcOutExtY, lcOutExtZ;  // turns that axis round
  uint32_t lcSensX, lcSensY, lcSensZ;
  int32_t lcSysMode;
  int32_t lcSysOrgX, lcSysOrgY;
  int32_t lcSysExtX, lcSysExtY;
  uint32_t lcSysSensX, lcSysSensY;
};
static_assert(sizeof(WintabContext) == 212, "WintabContext mirrors LOGCONTEXTW");

struct WintabAxis {
  int32_t axMin;
  int32_t axMax;
  uint32_t axUnits;
  uint32_t axResolution;
};
static_assert(sizeof(WintabAxis) == 16, "WintabAxis mirrors AXIS");

// Information categories and indices of WTInfoW.
inline constexpr uint32_t kWtiInterface = 1;
inline constexpr uint32_t kWtiDefaultSystemContext = 4;
inline constexpr uint32_t kWtiDevices = 100;      // + device number; index below
inline constexpr uint32_t kDvcNormalPressure = 15;  // one WintabAxis
inline constexpr uint32_t kDvcOrientation = 17;     // three: azimuth, altitude, twist

// Context options.
inline constexpr uint32_t kCxoSystem = 0x0001;    // the pen moves the system cursor
inline constexpr uint32_t kCxoMessages = 0x0004;  // packets are announced by window messages

// Packet fields, in the order they are laid out in a packet.
inline constexpr uint32_t kPkButtons = 0x0040;
inline constexpr uint32_t kPkX = 0x0080;
inline constexpr uint32_t kPkY = 0x0100;
inline constexpr uint32_t kPkNormalPressure = 0x0400;
inline constexpr uint32_t kPkOrientation = 0x1000;  // azimuth, altitude, twist: three 32-bit ints

// What the program asks for: buttons, x, y, pressure and orientation, which is the PenSample
// record field for field; buttons relative.
inline constexpr uint32_t kPenPacketData = kPkButtons | kPkX | kPkY | kPkNormalPressure | kPkOrientation;
static_assert(kPenPacketData == 0x15C0);
inline constexpr uint32_t kPenPacketMode = kPkButtons;

// The context's window messages: base + 0 a packet (w: serial, l: context), base + 5 a
// proximity change (w: context; low word of l 1 entering, 0 leaving).
inline constexpr uint32_t kTabletMessageBase = 0x7FF0;
inline constexpr uint32_t kTabletPacketOffset = 0;
inline constexpr uint32_t kTabletProximityOffset = 5;

// ---- Opening the tablet ----------------------------------------------------------------

// The virtual screen (all monitors) in pixels.
struct ScreenArea {
  int32_t left, top, width, height;
};

// Points the context's output at the virtual screen in sixteenths of a pixel, y downward:
// origin (left x 16, top x 16), extent (width x 16, -(height x 16)).
void MapTabletToScreen(WintabContext& context, const ScreenArea& screen);

// Turns the library's default system context into the program's: name "test", system cursor
// and messages on, message base 0x7FF0, pen packets (kPenPacketData, relative buttons, moving
// any of those fields makes a packet), button-up mask = button-down mask, output mapped to the
// screen (MapTabletToScreen).
void PreparePenContext(WintabContext& context, const ScreenArea& screen);

// The pressure that means full pressure: the normal-pressure axis maximum when the query
// answered (infoBytes > 0) with a positive one, else 1 (never 0).
uint32_t TabletMaxPressure(uint32_t infoBytes, const WintabAxis& pressure);

// 1 when the tablet reports no usable orientation: the query of the three orientation axes
// failed (infoBytes 0) or the third (twist) has equal minimum and maximum.
int32_t TabletOrientationMissing(uint32_t infoBytes, const WintabAxis (&orientation)[3]);

// ---- Samples ---------------------------------------------------------------------------

// A sample to feed, and the pen preset the shell selects first through the pen-selection
// command (kNoPen: none).
struct TabletStep {
  PenSample sample;
  int32_t selectPen;
};

// A tablet packet (read straight into a PenSample): the pen is in range (tabletActive = 1);
// without usable orientation it gets the default one (altitude -550 for the tail); then the
// tail switch follows the altitude's sign.
TabletStep TakeTabletPacket(InputState& input, const PenSample& packet, bool tailSwitchOn, int32_t currentPen);

// A proximity change: entering sets tabletActive to 1 when the cursor is over the view window,
// else 0; leaving sets it to 0.
void TakeTabletProximity(InputState& input, bool entering, bool overView);

// What the Windows pointer input reports for a pen pointer.
struct PenPointerReading {
  int32_t pixelX, pixelY;          // pointer position, screen pixels
  int32_t himetricX, himetricY;    // position on the device, HIMETRIC
  bool deviceRectsKnown;           // the two rectangles below were read
  PixelRect device, display;       // pointer-device rectangle (HIMETRIC), its display (pixels)
  uint32_t pressure;               // 0 .. 1024
  int32_t tiltX, tiltY;            // degrees, -90 .. 90
  uint32_t rotation;               // degrees
  bool inverted;                   // the pen's tail
};

// A pen pointer: tabletActive = 1; position from the device rectangles when both are known and
// not empty, else the pixel position x 16; the pen's pressure; orientation from the tilt
// (PenPointerOrientation with the input's display offset); then the tail switch.
TabletStep TakePenPointer(InputState& input, const PenPointerReading& pen, bool tailSwitchOn, int32_t currentPen);

// The preset to put back when the program closes while the tail is in use with the switch on,
// else kNoPen.
int32_t PenToRestoreAtClose(const InputState& input, bool tailSwitchOn);

// ---- Joypad ----------------------------------------------------------------------------

// The last joystick poll, kept between notifications.
struct JoypadPoll {
  JoystickState previous = kJoystickAtRest;
};

// One joystick notification: the command bound to the key pressed since the previous poll, or
// -1; the poll is remembered either way.
int32_t PollJoypad(JoypadPoll& poll, const JoystickState& now, const KeyBindingTable& joypad);

// The "0" key forgets the stored Z value, so the next Z push past the threshold counts again.
void ForgetJoypadZ(JoypadPoll& poll);
