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

// A binding that landed on a cell already holding a command (only possible in a hand-edited
// file). The later entry wins the cell.
struct BindingCollision {
  int index;      // the entry's index within its own table, from 0
  uint8_t fVirt;  // its flag byte
  int keyIndex;   // its key index (key_names.h)
  uint16_t cmd;   // its command
};

// Fills the matrix from the keyboard table, then the joypad table, and returns the collisions
// in that order (empty when there are none); the dialog tells the user of each
// (BindingCollisionText, app/user_texts.h).
[[nodiscard]] std::vector<BindingCollision> FillBindingMatrix(BindingMatrix& matrix, const KeyBindingTable& keyboard,
                                                              const KeyBindingTable& joypad);

// The dialog's OK: both tables rebuilt from the matrix, rows 0..3 and within each the key
// indices 0..123, every non-zero cell one entry (joypad table for key codes 0x100 and above);
// then the unshown bindings, each to the table its key code belongs to. Owners are kept.
void RebuildTablesFromMatrix(const BindingMatrix& matrix, KeyBindingTable& keyboard, KeyBindingTable& joypad);
