// Key bindings: every keyboard shortcut and joypad button is a binding from a key with its
// Shift and Ctrl state to a command identifier. Two tables live in AppSettings: the keyboard
// table (key codes below 0x100, the source of the accelerator table) and the joypad table
// (key codes 0x100 and above). The settings file stores them in its "[key]" section, one line
// "%02X%04X=%04X" (flag byte, key code, command) per binding, keyboard entries first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Flag bits of a binding, as in the Windows ACCEL record.
inline constexpr uint8_t kFVirtKey = 0x01;  // always set: key is a virtual-key code
inline constexpr uint8_t kFShift = 0x04;
inline constexpr uint8_t kFControl = 0x08;
inline constexpr uint8_t kFAlt = 0x10;      // never set by the program

// Laid out like ACCEL (flag byte, 16-bit key, 16-bit command; 6 bytes).
struct KeyBinding {
  uint8_t fVirt;
  uint16_t key;
  uint16_t cmd;
  bool operator==(const KeyBinding&) const = default;
};
static_assert(sizeof(KeyBinding) == 6, "KeyBinding mirrors ACCEL");

struct KeyBindingTable {
  std::vector<KeyBinding> entries;
  uintptr_t owner;  // the main window (HWND), or 0
};

// Reading stops when the keyboard list holds this many entries; joypad lines beyond their own
// bound are skipped (at most 37 joypad keys x 4 modifier states make sense).
inline constexpr size_t kMaxKeyboardBindings = 1024;
inline constexpr size_t kMaxJoypadBindings = 1024;
inline constexpr int kDefaultKeyBindingCount = 37;

// The bindings a keyboard table gets when the settings file left it empty.
std::span<const KeyBinding, kDefaultKeyBindingCount> DefaultKeyBindings();

// Replaces the table's entries with the 37 defaults.
void InstallDefaultKeyBindings(KeyBindingTable& keyboard);

// One "[key]" line (line end already removed): hexadecimal digits, "=", hexadecimal digits,
// optionally followed by spaces. The number before "=" is the flag byte times 0x10000 plus the
// key code ("09005A": flag 0x09, key 0x5A). false, and binding untouched, for a line that is
// not of this form or whose flag byte or command does not fit (8 and 16 bits).
bool ParseKeyBindingLine(std::string_view line, KeyBinding& binding);

// "09005A=9C45": upper-case hexadecimal, no line end.
std::string FormatKeyBindingLine(const KeyBinding& binding);

// The "[key]" section being read: bindings gathered line by line, then made the new tables.
struct KeyBindingReader {
  std::vector<KeyBinding> keyboard;
  std::vector<KeyBinding> joypad;
};

// Takes one line of the section. Returns false once the keyboard list is full: the caller
// stops reading there.
bool AddKeyBindingLine(KeyBindingReader& reader, std::string_view line);

// Makes the gathered lists the new contents of both tables (owners unchanged).
void FinishKeyBindings(KeyBindingReader& reader, KeyBindingTable& keyboard, KeyBindingTable& joypad);

// Appends "[key]" and one line per binding, keyboard first, each ending in CR LF.
void AppendKeyBindingSection(std::string& out, const KeyBindingTable& keyboard, const KeyBindingTable& joypad);
