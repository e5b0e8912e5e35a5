// The bindings as the key configuration dialog edits them: one command per (modifier state,
// key index) cell. Row 0 is no modifier, 1 Shift, 2 Ctrl, 3 Ctrl+Shift (the FSHIFT and
// FCONTROL bits of the flag byte shifted down by 2); the column is the key index of
// key_names.h; 0 means unbound. The dialog itself belongs to the Windows shell.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/key_bindings.h"
#include "settings/key_names.h"

inline constexpr int kModifierRows = 4;

struct BindingMatrix {
  uint16_t commands[kModifierRows][kKeyNameCount];
  // Bindings no cell can show (a key code outside the key-name table, or a flag byte with Alt
  // or without FVIRTKEY, only possible in a hand-edited file). They are kept as they are, so
  // that saving the dialog does not silently drop them.
  std::vector<KeyBinding> unshown;
};

// The modifier row of a flag byte, 0..3.
int ModifierRow(uint8_t fVirt);

// The flag byte a row stands for: FVIRTKEY plus FSHIFT and FCONTROL as the row says.
uint8_t FlagsOfRow(int row);

// Fills the matrix from the keyboard table, then the joypad table. A cell that already holds a
// command is a collision: it is reported with ShowUserMessage as
// "collision: num=%d ,fVirt=%d ,vk_index=%d ,cmd=%d" (the entry's index within its table from
// 0, flag byte, key index, command), caption "Dotwright", and the later entry wins.
void FillBindingMatrix(BindingMatrix& matrix, const KeyBindingTable& keyboard, const KeyBindingTable& joypad);

// The dialog's OK: both tables rebuilt from the matrix, rows 0..3 and within each the key
// indices 0..123, every non-zero cell one entry (joypad table for key codes 0x100 and above);
// then the unshown bindings, each to the table its key code belongs to. Owners are kept.
void RebuildTablesFromMatrix(const BindingMatrix& matrix, KeyBindingTable& keyboard, KeyBindingTable& joypad);
