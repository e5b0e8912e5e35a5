// The key configuration dialog without the window calls: the command tree made from the menu
// bar and the commands that have no menu item, which tree item shows a key's binding, what
// choosing an item writes into the binding matrix, and the tables rebuilt at OK.
//
// The dialog edits a KeyConfigDraft: a binding matrix filled from the settings when it opens,
// the command tree, the Shift and Ctrl boxes and the selected key row. Only OK writes the
// settings' binding tables; Cancel drops the draft.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/app_settings.h"
#include "settings/binding_matrix.h"

// One item of a menu as the shell reads it from the system.
struct MenuEntry {
  std::u16string text;           // as the menu holds it, "&" included; empty for a separator
  uint16_t command = 0;          // a plain item's command identifier
  bool popup = false;            // a submenu, whose items follow in items
  std::vector<MenuEntry> items;
};

// The root that holds the commands without menu items; the same text in every language.
inline constexpr char16_t kHiddenCommandsRootText[] = u"メニューにないコマンド";
// Shown (plain message box owned by the dialog) when a modifier box changes while no key row
// is selected.
inline constexpr char16_t kKeyNotSelectedText[] = u"Key is not selected.";
// The tree holds at most this many items below its roots.
inline constexpr int kMaxCommandTreeChildren = 256;

struct CommandTreeItem {
  std::u16string text;  // the menu text with every "&" removed
  uint16_t command;     // 0 for a root and for the heading of a nested submenu
  int32_t parent;       // index of the parent item; -1 for a root
  bool operator==(const CommandTreeItem&) const = default;
};

// Items in the order they are inserted: every parent before its children, siblings in menu
// order. Item 0 is the root that stands for "no command".
struct CommandTree {
  std::vector<CommandTreeItem> items;
};

// Language strings the tree is built with.
struct CommandTreeTexts {
  std::u16string unbound;   // string 103: the root chosen to clear a binding
  std::u16string texture;   // string 401: the pen menu's texture submenu, left out
  std::u16string material;  // string 402: the pen menu's material submenu, left out
};

// text without any "&" ("Save &As..." -> "Save As...", "A&&B" -> "AB").
std::u16string WithoutAmpersands(std::u16string_view text);

// The tree: first the unbound root; then one root per item of the menu bar except the language
// menu ("Language(&L)"), holding one child per item of its submenu that has text, except the
// texture and material submenus; a nested submenu is a child without a command holding its own
// items the same way. Last the root kHiddenCommandsRootText with the items of the language
// library's "HIDDEN_COMMAND" menu (a popup there contributes its items). Items past
// kMaxCommandTreeChildren below the roots are left out; roots are always made.
CommandTree BuildCommandTree(std::span<const MenuEntry> menuBar, std::span<const MenuEntry> hiddenCommands,
                             const CommandTreeTexts& texts);

// The item that shows command: the first item holding it, or 0 (the unbound root) when none
// does or command is 0.
int32_t ItemShowingCommand(const CommandTree& tree, uint16_t command);

// The matrix row of the two modifier boxes (0 none, 1 Shift, 2 Ctrl, 3 both).
int ModifierRowOf(bool shift, bool ctrl);

struct KeyConfigDraft {
  BindingMatrix matrix{};
  CommandTree tree;
  bool shift = false;
  bool ctrl = false;
  int32_t keyIndex = -1;  // the selected key row (a key index, key_names.h); -1 when none
};

// Opening: the matrix filled from both tables, no modifier, no key row yet. Returns the
// collisions, for the dialog to report one by one (BindingCollisionText).
[[nodiscard]] std::vector<BindingCollision> OpenKeyConfig(KeyConfigDraft& draft, const AppSettings& settings,
                                                          CommandTree tree);

// A key row was selected (-1: none is). Returns the tree item to show: the one holding the
// key's binding in the current modifier row; -1 when no row is selected.
int32_t SelectKeyRow(KeyConfigDraft& draft, int32_t keyIndex);

// A modifier box changed: the boxes' state is kept either way. Returns the tree item to show
// for the selected key, or -1 when no key row is selected (the dialog then says
// kKeyNotSelectedText and selects nothing).
int32_t ChangeModifiers(KeyConfigDraft& draft, bool shift, bool ctrl);

// The user chose tree item: its command (0 for a root or a heading) becomes the binding of the
// selected key in the current modifier row. Nothing happens without a selected key or for an
// item that is not in the tree.
void ChooseTreeItem(KeyConfigDraft& draft, int32_t item);

// OK: both binding tables rebuilt from the matrix (RebuildTablesFromMatrix). The caller then
// rebuilds the accelerator table from the keyboard table.
void ApplyKeyConfig(const KeyConfigDraft& draft, AppSettings& settings);
