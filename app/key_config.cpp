#include "app/key_config.h"

#include <utility>

#include "app/language_menu.h"

std::u16string WithoutAmpersands(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char16_t c : text)
    if (c != u'&') out.push_back(c);
  return out;
}

namespace {

struct TreeBuilder {
  const CommandTreeTexts& texts;
  CommandTree tree;
  int children = 0;  // items below the roots so far

  int32_t AddRoot(std::u16string text) {
    tree.items.push_back({std::move(text), 0, -1});
    return static_cast<int32_t>(tree.items.size() - 1);
  }

  bool LeftOut(const MenuEntry& entry) const {
    if (entry.text.empty()) return true;  // separators and items without text
    if (!entry.popup) return false;
    return (!texts.texture.empty() && entry.text == texts.texture) ||
           (!texts.material.empty() && entry.text == texts.material);
  }

  // The items of one submenu below parent; a nested submenu becomes a heading with its items.
  void AddItems(std::span<const MenuEntry> entries, int32_t parent) {
    for (const MenuEntry& entry : entries) {
      if (LeftOut(entry)) continue;
      if (children >= kMaxCommandTreeChildren) return;
      ++children;
      tree.items.push_back({WithoutAmpersands(entry.text), entry.popup ? uint16_t{0} : entry.command, parent});
      if (entry.popup) AddItems(entry.items, static_cast<int32_t>(tree.items.size() - 1));
    }
  }
};

}  // namespace

CommandTree BuildCommandTree(std::span<const MenuEntry> menuBar, std::span<const MenuEntry> hiddenCommands,
                             const CommandTreeTexts& texts) {
  TreeBuilder b{texts, {}, 0};
  b.AddRoot(texts.unbound);
  for (const MenuEntry& top : menuBar) {
    if (top.text == kLanguageMenuText) continue;
    const int32_t root = b.AddRoot(WithoutAmpersands(top.text));
    b.AddItems(top.items, root);
  }
  const int32_t hidden = b.AddRoot(kHiddenCommandsRootText);
  for (const MenuEntry& top : hiddenCommands) {
    if (top.popup) b.AddItems(top.items, hidden);
    else b.AddItems(std::span<const MenuEntry>(&top, 1), hidden);
  }
  return std::move(b.tree);
}

int32_t ItemShowingCommand(const CommandTree& tree, uint16_t command) {
  if (command == 0) return 0;
  for (size_t i = 0; i < tree.items.size(); ++i)
    if (tree.items[i].command == command) return static_cast<int32_t>(i);
  return 0;
}

int ModifierRowOf(bool shift, bool ctrl) { return (shift ? 1 : 0) | (ctrl ? 2 : 0); }

std::vector<BindingCollision> OpenKeyConfig(KeyConfigDraft& draft, const AppSettings& settings, CommandTree tree) {
  draft.tree = std::move(tree);
  draft.shift = draft.ctrl = false;
  draft.keyIndex = -1;
  return FillBindingMatrix(draft.matrix, settings.keyboard, settings.joypad);
}

namespace {

int32_t ItemOfSelectedKey(const KeyConfigDraft& draft) {
  if (draft.keyIndex < 0 || draft.keyIndex >= kKeyNameCount) return -1;
  return ItemShowingCommand(draft.tree, draft.matrix.commands[ModifierRowOf(draft.shift, draft.ctrl)][draft.keyIndex]);
}

}  // namespace

int32_t SelectKeyRow(KeyConfigDraft& draft, int32_t keyIndex) {
  draft.keyIndex = keyIndex >= 0 && keyIndex < kKeyNameCount ? keyIndex : -1;
  return ItemOfSelectedKey(draft);
}

int32_t ChangeModifiers(KeyConfigDraft& draft, bool shift, bool ctrl) {
  draft.shift = shift;
  draft.ctrl = ctrl;
  return ItemOfSelectedKey(draft);
}

void ChooseTreeItem(KeyConfigDraft& draft, int32_t item) {
  if (draft.keyIndex < 0 || draft.keyIndex >= kKeyNameCount) return;
  if (item < 0 || static_cast<size_t>(item) >= draft.tree.items.size()) return;
  draft.matrix.commands[ModifierRowOf(draft.shift, draft.ctrl)][draft.keyIndex] =
      draft.tree.items[static_cast<size_t>(item)].command;
}

void ApplyKeyConfig(const KeyConfigDraft& draft, AppSettings& settings) {
  RebuildTablesFromMatrix(draft.matrix, settings.keyboard, settings.joypad);
}
