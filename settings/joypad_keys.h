// Joypad buttons, hat and Z axis as keys. The shell polls joystick 1 on each joystick-move
// notification and keeps the previous state; the key pressed between two polls is a pure
// function of the two states. Joypad key codes: 0x100 + button (0..31), 0x120..0x123 the hat
// forward, right, backward, left, 0x124 the Z axis pushed past three quarters.
#pragma once

#include <cstdint>

#include "settings/key_bindings.h"

// One poll of the joystick, as JOYINFOEX reports it.
struct JoystickState {
  uint32_t z;        // 0..0xFFFF
  uint32_t pov;      // hat in hundredths of a degree, 0 forward; 0xFFFF when centred
  uint32_t buttons;  // bit i set while button i + 1 is down
};

inline constexpr JoystickState kJoystickAtRest = {0, 0xFFFF, 0};
inline constexpr uint32_t kJoypadZThreshold = 0xC000;

// The key pressed between previous and current, or -1 for none. In rising priority: a hat
// that moved to 0, 9000, 18000 or 27000 (any other new hat value gives nothing); Z reaching
// kJoypadZThreshold from below; the lowest-numbered button that went down. A held button or
// hat gives nothing on later polls.
int JoypadKey(const JoystickState& previous, const JoystickState& current);

// The command of the first joypad binding with that key code (the flag byte is not compared),
// or -1 when none matches.
int JoypadCommand(const KeyBindingTable& joypad, int key);
