#include "app/key_config.h"

#include <gtest/gtest.h>

#include "settings/key_names.h"

namespace {

MenuEntry Item(std::u16string text, uint16_t command) { return {std::move(text), command, false, {}}; }
MenuEntry Separator() { return {}; }
MenuEntry Popup(std::u16string text, std::vector<MenuEntry> items) { return {std::move(text), 0, true, std::move(items)}; }

const CommandTreeTexts kTexts{u"(none)", u"&Texture", u"&Paper Texture"};

// A small menu bar with what the real one has: separators, a pen menu with the texture and
// material submenus, the language menu and a nested submenu.
std::vector<MenuEntry> MenuBar() {
  return {
      Popup(u"&File", {Item(u"&New", 40001), Separator(), Item(u"Save &As...", 40005)}),
      Popup(u"&Edit", {Item(u"&Undo", 40101)}),
      Popup(u"&Pen", {Item(u"Pen 1", 40201), Separator(), Popup(u"&Texture", {Item(u"a", 40301)}),
                      Popup(u"&Paper Texture", {Item(u"b", 40401)})}),
      Popup(u"Language(&L)", {Item(u"English", 40901)}),
      Popup(u"&View", {Popup(u"&Zoom", {Item(u"1/16", 40522), Item(u"x2", 40527)}), Item(u"&Mirror", 40537)}),
  };
}

std::vector<MenuEntry> Hidden() {
  return {Popup(u"Other Commands", {Item(u"Reset View", 45001), Item(u"Zoom In", 45002), Item(u"Zoom Out", 45003)})};
}

// Indices of the tree of MenuBar() and Hidden(), as BuildCommandTree lays it out.
constexpr int32_t kUndoItem = 5;
constexpr int32_t kHiddenRoot = 13;
constexpr int32_t kResetViewItem = 14;
constexpr int32_t kZoomInItem = 15;

const int kHome = KeyIndexOfName("Home");
const int kF5 = KeyIndexOfName("F5");

struct Dialog {
  AppSettings settings{};
  KeyConfigDraft draft;
  Dialog() {
    InstallDefaultKeyBindings(settings.keyboard);
    const auto bar = MenuBar();
    const auto hidden = Hidden();
    EXPECT_TRUE(OpenKeyConfig(draft, settings, BuildCommandTree(bar, hidden, kTexts)).empty());
  }
};

}  // namespace

TEST(KeyConfig, AmpersandsAreRemoved) {
  EXPECT_EQ(WithoutAmpersands(u"Save &As..."), u"Save As...");
  EXPECT_EQ(WithoutAmpersands(u"ファイル(&F)"), u"ファイル(F)");
  EXPECT_EQ(WithoutAmpersands(u"A&&B&"), u"AB");
  EXPECT_EQ(WithoutAmpersands(u""), u"");
}

TEST(KeyConfig, TreeFromTheMenuBarAndTheHiddenCommands) {
  const auto bar = MenuBar();
  const auto hidden = Hidden();
  const CommandTree tree = BuildCommandTree(bar, hidden, kTexts);
  const std::vector<CommandTreeItem> expected = {
      {u"(none)", 0, -1},
      {u"File", 0, -1},
      {u"New", 40001, 1},
      {u"Save As...", 40005, 1},
      {u"Edit", 0, -1},
      {u"Undo", 40101, 4},
      {u"Pen", 0, -1},  // the texture and material submenus are left out
      {u"Pen 1", 40201, 6},
      {u"View", 0, -1},  // no root for the language menu
      {u"Zoom", 0, 8},
      {u"1/16", 40522, 9},
      {u"x2", 40527, 9},
      {u"Mirror", 40537, 8},
      {u"メニューにないコマンド", 0, -1},
      {u"Reset View", 45001, 13},
      {u"Zoom In", 45002, 13},
      {u"Zoom Out", 45003, 13},
  };
  EXPECT_EQ(tree.items, expected);
}

TEST(KeyConfig, HiddenCommandsMayAlsoBePlainItems) {
  const std::vector<MenuEntry> hidden = {Item(u"Zoom &In", 45002), Separator()};
  const CommandTree tree = BuildCommandTree({}, hidden, kTexts);
  const std::vector<CommandTreeItem> expected = {{u"(none)", 0, -1}, {kHiddenCommandsRootText, 0, -1}, {u"Zoom In", 45002, 1}};
  EXPECT_EQ(tree.items, expected);
}

TEST(KeyConfig, AtMost256ItemsBelowTheRoots) {
  std::vector<MenuEntry> many;
  for (int i = 0; i < 300; ++i) many.push_back(Item(u"x", static_cast<uint16_t>(1000 + i)));
  const std::vector<MenuEntry> bar = {Popup(u"&Big", many), Popup(u"&Late", {Item(u"y", 7)})};
  const CommandTree tree = BuildCommandTree(bar, Hidden(), kTexts);
  // The unbound root, "Big" with 256 children, the root "Late" and the hidden root, both empty.
  ASSERT_EQ(tree.items.size(), 1u + 1u + 256u + 1u + 1u);
  EXPECT_EQ(tree.items[257].command, 1255);
  EXPECT_EQ(tree.items[258], (CommandTreeItem{u"Late", 0, -1}));
  EXPECT_EQ(tree.items[259], (CommandTreeItem{kHiddenCommandsRootText, 0, -1}));
}

TEST(KeyConfig, ItemShowingACommand) {
  const auto bar = MenuBar();
  const auto hidden = Hidden();
  const CommandTree tree = BuildCommandTree(bar, hidden, kTexts);
  EXPECT_EQ(ItemShowingCommand(tree, 40101), kUndoItem);
  EXPECT_EQ(ItemShowingCommand(tree, 45002), kZoomInItem);
  EXPECT_EQ(ItemShowingCommand(tree, 0), 0);
  EXPECT_EQ(ItemShowingCommand(tree, 301), 0);  // a digit key's command has no item
}

TEST(KeyConfig, SelectingAKeyShowsItsBindingInTheModifierRow) {
  Dialog d;
  EXPECT_EQ(SelectKeyRow(d.draft, kHome), kResetViewItem);  // Home -> 45001
  EXPECT_EQ(SelectKeyRow(d.draft, KeyIndexOfName("Z")), kUndoItem);
  EXPECT_EQ(ChangeModifiers(d.draft, false, true), kUndoItem);  // Ctrl+Z -> 40101 as well
  EXPECT_EQ(ChangeModifiers(d.draft, true, true), 0);          // Ctrl+Shift+Z is unbound
  EXPECT_EQ(SelectKeyRow(d.draft, -1), -1);
  // Without a key row the boxes still change, but nothing is shown.
  EXPECT_EQ(ChangeModifiers(d.draft, true, false), -1);
  EXPECT_TRUE(d.draft.shift);
  EXPECT_FALSE(d.draft.ctrl);
}

TEST(KeyConfig, ShowingAnUnlistedBindingKeepsIt) {
  Dialog d;
  const int one = KeyIndexOfName("1");
  EXPECT_EQ(SelectKeyRow(d.draft, one), 0);  // 301 is in no menu: the unbound root is shown ...
  EXPECT_EQ(d.draft.matrix.commands[0][one], 301);  // ... but the binding stays until chosen
}

TEST(KeyConfig, ChoosingAnItemBindsTheSelectedKey) {
  Dialog d;
  EXPECT_EQ(SelectKeyRow(d.draft, kF5), 0);
  ChooseTreeItem(d.draft, kZoomInItem);
  EXPECT_EQ(d.draft.matrix.commands[0][kF5], 45002);
  (void)ChangeModifiers(d.draft, true, false);
  ChooseTreeItem(d.draft, kUndoItem);
  EXPECT_EQ(d.draft.matrix.commands[1][kF5], 40101);
  ChooseTreeItem(d.draft, kHiddenRoot);  // a root clears the cell
  EXPECT_EQ(d.draft.matrix.commands[1][kF5], 0);
  ChooseTreeItem(d.draft, 99);  // not an item
  (void)SelectKeyRow(d.draft, -1);
  ChooseTreeItem(d.draft, kUndoItem);  // no key row
  EXPECT_EQ(d.draft.matrix.commands[1][kF5], 0);
  EXPECT_EQ(d.draft.matrix.commands[0][kF5], 45002);

  ApplyKeyConfig(d.draft, d.settings);
  // Row 0 in key order: Tab, Enter, PageUp, PageDown, End, Home, Left, Right, Delete, the digits
  // 1..8 and A D H Q R W Y Z come before F5 (25 entries); then [ and ], then the 10 Ctrl keys.
  ASSERT_EQ(d.settings.keyboard.entries.size(), 38u);
  EXPECT_EQ(d.settings.keyboard.entries[25], (KeyBinding{0x01, 0x74, 45002}));
  EXPECT_EQ(d.settings.keyboard.entries[26], (KeyBinding{0x01, 0xDB, 45006}));
}

TEST(KeyConfig, ClearingABindingWithTheFirstRootRemovesIt) {
  Dialog d;
  EXPECT_EQ(SelectKeyRow(d.draft, kHome), kResetViewItem);
  ChooseTreeItem(d.draft, 0);
  ApplyKeyConfig(d.draft, d.settings);
  ASSERT_EQ(d.settings.keyboard.entries.size(), 36u);
  for (const KeyBinding& b : d.settings.keyboard.entries) EXPECT_NE(b.key, 0x24) << "Home is still bound";
}

TEST(KeyConfig, OpeningAgainStartsFromTheSettings) {
  Dialog d;
  (void)SelectKeyRow(d.draft, kHome);
  (void)ChangeModifiers(d.draft, true, true);
  ChooseTreeItem(d.draft, kUndoItem);  // a Cancel: the settings never see it
  const CommandTree tree = d.draft.tree;
  EXPECT_TRUE(OpenKeyConfig(d.draft, d.settings, tree).empty());
  EXPECT_EQ(d.draft.matrix.commands[3][kHome], 0);
  EXPECT_EQ(d.draft.keyIndex, -1);
  EXPECT_FALSE(d.draft.shift || d.draft.ctrl);
  EXPECT_EQ(d.settings.keyboard.entries.size(), 37u);
}
