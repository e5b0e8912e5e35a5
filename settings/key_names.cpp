#include "settings/key_names.h"

#include <array>

namespace {

constexpr std::array<KeyName, kKeyNameCount> kKeyNames = {{
    {"BS", 0x08}, {"TAB", 0x09}, {"Enter", 0x0D}, {"PageUp", 0x21}, {"PageDown", 0x22},
    {"End", 0x23}, {"Home", 0x24}, {"Left", 0x25}, {"Up", 0x26}, {"Right", 0x27},
    {"Down", 0x28}, {"Insert", 0x2D}, {"Delete", 0x2E},
    {"0", 0x30}, {"1", 0x31}, {"2", 0x32}, {"3", 0x33}, {"4", 0x34},
    {"5", 0x35}, {"6", 0x36}, {"7", 0x37}, {"8", 0x38}, {"9", 0x39},
    {"A", 0x41}, {"B", 0x42}, {"C", 0x43}, {"D", 0x44}, {"E", 0x45}, {"F", 0x46}, {"G", 0x47},
    {"H", 0x48}, {"I", 0x49}, {"J", 0x4A}, {"K", 0x4B}, {"L", 0x4C}, {"M", 0x4D}, {"N", 0x4E},
    {"O", 0x4F}, {"P", 0x50}, {"Q", 0x51}, {"R", 0x52}, {"S", 0x53}, {"T", 0x54}, {"U", 0x55},
    {"V", 0x56}, {"W", 0x57}, {"X", 0x58}, {"Y", 0x59}, {"Z", 0x5A},
    {"Menu", 0x5D},
    {"Num 0", 0x60}, {"Num 1", 0x61}, {"Num 2", 0x62}, {"Num 3", 0x63}, {"Num 4", 0x64},
    {"Num 5", 0x65}, {"Num 6", 0x66}, {"Num 7", 0x67}, {"Num 8", 0x68}, {"Num 9", 0x69},
    {"Num *", 0x6A}, {"Num +", 0x6B}, {"Num -", 0x6D}, {"Num .", 0x6E}, {"Num /", 0x6F},
    {"F1", 0x70}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74}, {"F6", 0x75},
    {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"F10", 0x79}, {"F11", 0x7A}, {"F12", 0x7B},
    {";", 0xBB}, {",", 0xBC}, {"-", 0xBD}, {".", 0xBE}, {"/", 0xBF},
    {"@", 0xC0}, {"[", 0xDB}, {"\\", 0xDC}, {"]", 0xDD}, {"^", 0xDE},
    {"Joypad button 1", 0x100}, {"Joypad button 2", 0x101}, {"Joypad button 3", 0x102},
    {"Joypad button 4", 0x103}, {"Joypad button 5", 0x104}, {"Joypad button 6", 0x105},
    {"Joypad button 7", 0x106}, {"Joypad button 8", 0x107}, {"Joypad button 9", 0x108},
    {"Joypad button 10", 0x109}, {"Joypad button 11", 0x10A}, {"Joypad button 12", 0x10B},
    {"Joypad button 13", 0x10C}, {"Joypad button 14", 0x10D}, {"Joypad button 15", 0x10E},
    {"Joypad button 16", 0x10F}, {"Joypad button 17", 0x110}, {"Joypad button 18", 0x111},
    {"Joypad button 19", 0x112}, {"Joypad button 20", 0x113}, {"Joypad button 21", 0x114},
    {"Joypad button 22", 0x115}, {"Joypad button 23", 0x116}, {"Joypad button 24", 0x117},
    {"Joypad button 25", 0x118}, {"Joypad button 26", 0x119}, {"Joypad button 27", 0x11A},
    {"Joypad button 28", 0x11B}, {"Joypad button 29", 0x11C}, {"Joypad button 30", 0x11D},
    {"Joypad button 31", 0x11E}, {"Joypad button 32", 0x11F},
    {"Joypad POV FORWARD", 0x120}, {"Joypad POV RIGHT", 0x121}, {"Joypad POV BACKWARD", 0x122},
    {"Joypad POV LEFT", 0x123},
    {"Joypad Z", 0x124},
}};

constexpr bool CodesAscend() {
  for (int i = 1; i < kKeyNameCount; ++i)
    if (kKeyNames[i].code <= kKeyNames[i - 1].code) return false;
  return true;
}
static_assert(CodesAscend(), "the key list is shown in key-code order");
static_assert(kKeyNames[86].name == "^" && kKeyNames[87].code == kFirstJoypadKey && kKeyNames[123].code == 0x124);

bool SameName(std::string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (static_cast<char16_t>(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return true;
}

}  // namespace

std::span<const KeyName, kKeyNameCount> KeyNames() { return kKeyNames; }

int KeyIndexOfName(std::string_view name) {
  for (int i = 0; i < kKeyNameCount; ++i)
    if (kKeyNames[i].name == name) return i;
  return -1;
}

int KeyIndexOfName(std::u16string_view name) {
  for (int i = 0; i < kKeyNameCount; ++i)
    if (SameName(kKeyNames[i].name, name)) return i;
  return -1;
}

int KeyCodeOfName(std::string_view name) {
  const int index = KeyIndexOfName(name);
  return index < 0 ? -1 : kKeyNames[index].code;
}

int KeyIndexOfCode(int code) {
  for (int i = 0; i < kKeyNameCount; ++i)
    if (kKeyNames[i].code == code) return i;
  return -1;
}
