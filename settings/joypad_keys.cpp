#include "settings/joypad_keys.h"

#include <bit>

int JoypadKey(const JoystickState& previous, const JoystickState& current) {
  int key = -1;
  if (current.pov != previous.pov) {
    switch (current.pov) {
      case 0: key = 0x120; break;
      case 9000: key = 0x121; break;
      case 18000: key = 0x122; break;
      case 27000: key = 0x123; break;
      default: break;
    }
  }
  if (current.z >= kJoypadZThreshold && previous.z < kJoypadZThreshold) key = 0x124;
  const uint32_t pressed = current.buttons & ~previous.buttons;
  if (pressed != 0) key = 0x100 + std::countr_zero(pressed);
  return key;
}

int JoypadCommand(const KeyBindingTable& joypad, int key) {
  for (const KeyBinding& b : joypad.entries)
    if (b.key == key) return b.cmd;
  return -1;
}
