#include "settings/key_bindings.h"

#include <array>
#include <cstdio>

#include "settings/key_names.h"
#include "settings/number_text.h"

namespace {

constexpr uint8_t kPlain = kFVirtKey;
constexpr uint8_t kCtrl = kFVirtKey | kFControl;

constexpr std::array<KeyBinding, kDefaultKeyBindingCount> kDefaultBindings = {{
    {kCtrl, 'N', 40001},  {kCtrl, 'O', 40002},  {kCtrl, 'S', 40004},  {kCtrl, 'D', 40007},
    {kCtrl, 'A', 40106},  {kCtrl, 'X', 40103},  {kCtrl, 'C', 40104},  {kCtrl, 'V', 40105},
    {kPlain, 0x0D, 40001},  // Enter
    {kPlain, 0x24, 45001},  // Home
    {kPlain, 0x21, 45002},  // PageUp
    {kPlain, 0x22, 45003},  // PageDown
    {kPlain, 0x2E, 45008},  // Delete
    {kPlain, 0x23, 45009},  // End
    {kPlain, 0x09, 40513},  // Tab
    {kPlain, 0x25, 40011},  // Left
    {kPlain, 0x27, 40012},  // Right
    {kPlain, 0xDB, 45006},  // [
    {kPlain, 0xDD, 45007},  // ]
    {kPlain, '1', 301},   {kPlain, '2', 302},   {kPlain, '3', 303},   {kPlain, '4', 305},
    {kPlain, '5', 306},   {kPlain, '6', 307},   {kPlain, '7', 308},   {kPlain, '8', 309},
    {kPlain, 'A', 40552}, {kPlain, 'D', 40108}, {kPlain, 'H', 40537}, {kPlain, 'R', 40521},
    {kPlain, 'Y', 40102}, {kPlain, 'Z', 40101}, {kPlain, 'Q', 45011}, {kPlain, 'W', 45010},
    {kCtrl, 'Y', 40102},  {kCtrl, 'Z', 40101},
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
