#include "settings/binding_matrix.h"


int ModifierRow(uint8_t fVirt) { return (fVirt & (kFShift | kFControl)) >> 2; }

uint8_t FlagsOfRow(int row) {
  return static_cast<uint8_t>(kFVirtKey | ((row & 1) ? kFShift : 0) | ((row & 2) ? kFControl : 0));
}

namespace {

void FillFrom(BindingMatrix& matrix, const KeyBindingTable& table, std::vector<BindingCollision>& collisions) {
  for (size_t i = 0; i < table.entries.size(); ++i) {
    const KeyBinding& b = table.entries[i];
    const int keyIndex = KeyIndexOfCode(b.key);
    const bool showable = keyIndex >= 0 && (b.fVirt & kFVirtKey) && (b.fVirt & ~(kFVirtKey | kFShift | kFControl)) == 0;
    if (!showable) {
      matrix.unshown.push_back(b);
      continue;
    }
    uint16_t& cell = matrix.commands[ModifierRow(b.fVirt)][keyIndex];
    if (cell != 0) collisions.push_back({static_cast<int>(i), b.fVirt, keyIndex, b.cmd});
    cell = b.cmd;
  }
}

}  // namespace

std::vector<BindingCollision> FillBindingMatrix(BindingMatrix& matrix, const KeyBindingTable& keyboard,
                                                const KeyBindingTable& joypad) {
  for (auto& row : matrix.commands)
    for (uint16_t& cell : row) cell = 0;
  matrix.unshown.clear();
  std::vector<BindingCollision> collisions;
  FillFrom(matrix, keyboard, collisions);
  FillFrom(matrix, joypad, collisions);
  return collisions;
}

void RebuildTablesFromMatrix(const BindingMatrix& matrix, KeyBindingTable& keyboard, KeyBindingTable& joypad) {
  std::vector<KeyBinding> keys;
  std::vector<KeyBinding> pad;
  const auto names = KeyNames();
  for (int row = 0; row < kModifierRows; ++row) {
    for (int k = 0; k < kKeyNameCount; ++k) {
      const uint16_t command = matrix.commands[row][k];
      if (command == 0) continue;
      const KeyBinding b{FlagsOfRow(row), names[k].code, command};
      (b.key >= kFirstJoypadKey ? pad : keys).push_back(b);
    }
  }
  for (const KeyBinding& b : matrix.unshown) (b.key >= kFirstJoypadKey ? pad : keys).push_back(b);
  keyboard.entries = std::move(keys);
  joypad.entries = std::move(pad);
}
