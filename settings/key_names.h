// The keys a binding can name: 124 entries in key-code order, keyboard keys first, then the
// joypad's 32 buttons, its hat (POV) directions and its Z axis as key codes 0x100..0x124.
// An entry's position is its key index, the column of the binding matrix.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

inline constexpr int kKeyNameCount = 124;
inline constexpr uint16_t kFirstJoypadKey = 0x100;  // key codes from here on are joypad keys

struct KeyName {
  std::string_view name;  // ASCII display name, e.g. "PageUp", "Num *", "Joypad button 1"
  uint16_t code;          // Windows virtual-key code, or 0x100.. for the joypad
};

std::span<const KeyName, kKeyNameCount> KeyNames();

// Whole-name lookups; -1 when the name is not in the table.
int KeyCodeOfName(std::string_view name);
int KeyIndexOfName(std::string_view name);
int KeyIndexOfName(std::u16string_view name);  // the text of a list-view row

// The key index of a key code; -1 when no entry has that code.
int KeyIndexOfCode(int code);
