#include "settings/key_bindings.h"

#include <array>
#include <cstdio>

#include "settings/command_ids.h"
#include "settings/key_names.h"
#include "settings/number_text.h"

namespace {

constexpr uint8_t kPlain = kFVirtKey;
constexpr uint8_t kCtrl = kFVirtKey | kFControl;

constexpr std::array<KeyBinding, kDefaultKeyBindingCount> kDefaultBindings = {{
    {kCtrl, 'N', CMD_NEW_CANVAS},
    {kCtrl, 'O', CMD_OPEN},
    {kCtrl, 'S', CMD_SAVE},
    {kCtrl, 'D', CMD_SAVE_SNAPSHOT},
    {kCtrl, 'A', CMD_SELECT_ALL},
    {kCtrl, 'X', CMD_CUT},
    {kCtrl, 'C', CMD_COPY},
    {kCtrl, 'V', CMD_PASTE},
    {kPlain, 0x0D, CMD_NEW_CANVAS},        // Enter
    {kPlain, 0x24, CMD_VIEW_RESET},        // Home
    {kPlain, 0x21, CMD_ZOOM_IN},           // PageUp
    {kPlain, 0x22, CMD_ZOOM_OUT},          // PageDown
    {kPlain, 0x2E, CMD_ROTATE_PLUS_15},    // Delete
    {kPlain, 0x23, CMD_ROTATE_MINUS_15},   // End
    {kPlain, 0x09, CMD_TOGGLE_PANEL},      // Tab
    {kPlain, 0x25, CMD_PREVIOUS_FILE},     // Left
    {kPlain, 0x27, CMD_NEXT_FILE},         // Right
    {kPlain, 0xDB, CMD_SIZE_DOWN},         // [
    {kPlain, 0xDD, CMD_SIZE_UP},           // ]
    // The digit keys 1..8 skip 304.
    {kPlain, '1', CMD_DIGIT_301},
    {kPlain, '2', CMD_DIGIT_302},
    {kPlain, '3', CMD_DIGIT_303},
    {kPlain, '4', CMD_DIGIT_305},
    {kPlain, '5', CMD_DIGIT_306},
    {kPlain, '6', CMD_DIGIT_307},
    {kPlain, '7', CMD_DIGIT_308},
    {kPlain, '8', CMD_DIGIT_309},
    {kPlain, 'A', CMD_TOGGLE_TRANSLUCENT},
    {kPlain, 'D', CMD_CLEAR},
    {kPlain, 'H', CMD_MIRROR_VIEW},
    {kPlain, 'R', CMD_UNASSIGNED_40521},
    {kPlain, 'Y', CMD_REDO},
    {kPlain, 'Z', CMD_UNDO},
    {kPlain, 'Q', CMD_POPUP_PENS},
    {kPlain, 'W', CMD_POPUP_PALETTE},
    {kCtrl, 'Y', CMD_REDO},
    {kCtrl, 'Z', CMD_UNDO},
}};

}  // namespace

std::span<const KeyBinding, kDefaultKeyBindingCount> DefaultKeyBindings() { return kDefaultBindings; }

void InstallDefaultKeyBindings(KeyBindingTable& keyboard) {
  keyboard.entries.assign(kDefaultBindings.begin(), kDefaultBindings.end());
}

bool ParseKeyBindingLine(std::string_view line, KeyBinding& binding) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  uint32_t flagsAndKey = 0;
  uint32_t command = 0;
  if (!ParseHexDigits32(line.substr(0, equals), flagsAndKey) ||
      !ParseHexDigits32(line.substr(equals + 1), command))
    return false;
  if ((flagsAndKey >> 16) > 0xFF || command > 0xFFFF) return false;
  binding = {static_cast<uint8_t>(flagsAndKey >> 16), static_cast<uint16_t>(flagsAndKey & 0xFFFF),
             static_cast<uint16_t>(command)};
  return true;
}

std::string FormatKeyBindingLine(const KeyBinding& binding) {
  char text[32];
  std::snprintf(text, sizeof text, "%02X%04X=%04X", static_cast<unsigned>(binding.fVirt),
                static_cast<unsigned>(binding.key), static_cast<unsigned>(binding.cmd));
  return text;
}

bool AddKeyBindingLine(KeyBindingReader& reader, std::string_view line) {
  if (reader.keyboard.size() >= kMaxKeyboardBindings) return false;
  KeyBinding binding{};
  if (ParseKeyBindingLine(line, binding)) {
    if (binding.key < kFirstJoypadKey)
      reader.keyboard.push_back(binding);
    else if (reader.joypad.size() < kMaxJoypadBindings)
      reader.joypad.push_back(binding);
  }
  return reader.keyboard.size() < kMaxKeyboardBindings;
}

void FinishKeyBindings(KeyBindingReader& reader, KeyBindingTable& keyboard, KeyBindingTable& joypad) {
  keyboard.entries = std::move(reader.keyboard);
  joypad.entries = std::move(reader.joypad);
  reader.keyboard.clear();
  reader.joypad.clear();
}

void AppendKeyBindingSection(std::string& out, const KeyBindingTable& keyboard, const KeyBindingTable& joypad) {
  out += "[key]\r\n";
  for (const KeyBinding& b : keyboard.entries) out += FormatKeyBindingLine(b) + "\r\n";
  for (const KeyBinding& b : joypad.entries) out += FormatKeyBindingLine(b) + "\r\n";
}
