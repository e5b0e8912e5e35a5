#include "settings/key_bindings.h"

#include <gtest/gtest.h>

#include "settings/binding_matrix.h"
#include "settings/joypad_keys.h"
#include "settings/key_names.h"
#include "settings/settings_file.h"
#include "settings/settings_test_support.h"

using namespace settings_test;

// ---- Key names ----------------------------------------------------------------------------

TEST(KeyNames, TableAndLookups) {
  const auto names = KeyNames();
  EXPECT_EQ(names.size(), 124u);
  EXPECT_EQ(names[0].name, "BS");
  EXPECT_EQ(names[12].name, "Delete");
  EXPECT_EQ(names[13].name, "0");
  EXPECT_EQ(names[23].name, "A");
  EXPECT_EQ(names[49].name, "Menu");
  EXPECT_EQ(names[64].name, "Num /");
  EXPECT_EQ(names[76].name, "F12");
  EXPECT_EQ(names[118].name, "Joypad button 32");
  EXPECT_EQ(KeyCodeOfName("Num *"), 0x6A);
  EXPECT_EQ(KeyCodeOfName("Num -"), 0x6D);  // 0x6C (separator) has no entry
  EXPECT_EQ(KeyCodeOfName("\\"), 0xDC);
  EXPECT_EQ(KeyCodeOfName("Joypad POV LEFT"), 0x123);
  EXPECT_EQ(KeyIndexOfName("Joypad Z"), 123);
  EXPECT_EQ(KeyIndexOfName(u"Joypad button 1"), 87);
  EXPECT_EQ(KeyIndexOfName("Joypad button"), -1);  // whole names only
  EXPECT_EQ(KeyIndexOfName("tab"), -1);
  EXPECT_EQ(KeyCodeOfName(""), -1);
  EXPECT_EQ(KeyIndexOfCode(0x5A), 48);
  EXPECT_EQ(KeyIndexOfCode(0x20), -1);  // the space bar cannot be bound in the dialog
}

// ---- Lines and defaults -------------------------------------------------------------------

TEST(KeyBindingLines, ParseAndFormat) {
  KeyBinding b{};
  ASSERT_TRUE(ParseKeyBindingLine("09005A=9C45", b));
  EXPECT_EQ(b, (KeyBinding{0x09, 0x5A, 40005}));  // 0x9C45 = 40005: Ctrl+Z -> 40005
  ASSERT_TRUE(ParseKeyBindingLine("010124=AFC9", b));
  EXPECT_EQ(b, (KeyBinding{0x01, 0x124, 45001}));  // 0xAFC9 = 45001: joypad Z
  ASSERT_TRUE(ParseKeyBindingLine("0d0021=af0a  ", b));  // lower case, trailing spaces
  EXPECT_EQ(b, (KeyBinding{0x0D, 0x21, 0xAF0A}));
  const KeyBinding before = b;
  for (const char* bad : {"09005A", "=9C45", "09005A=", "0x09005A=9C45", "09005A=9C45x", "-9005A=1", "1FF0041=1",
                          "090041=10000", "09 0041=1"})
    EXPECT_FALSE(ParseKeyBindingLine(bad, b)) << bad;
  EXPECT_EQ(b, before);
  EXPECT_EQ(FormatKeyBindingLine({0x09, 'N', 40001}), "09004E=9C41");
  EXPECT_EQ(FormatKeyBindingLine({0x0D, 0x124, 0x0A}), "0D0124=000A");
}

TEST(KeyBindingDefaults, ThirtySevenInOrder) {
  const auto d = DefaultKeyBindings();
  ASSERT_EQ(d.size(), 37u);
  EXPECT_EQ(d[0], (KeyBinding{0x09, 'N', 40001}));
  EXPECT_EQ(d[8], (KeyBinding{0x01, 0x0D, 40001}));   // Enter
  EXPECT_EQ(d[14], (KeyBinding{0x01, 0x09, 40513}));  // Tab
  EXPECT_EQ(d[17], (KeyBinding{0x01, 0xDB, 45006}));  // [
  EXPECT_EQ(d[22], (KeyBinding{0x01, '4', 305}));     // 4 skips 304
  EXPECT_EQ(d[35], (KeyBinding{0x09, 'Y', 40102}));
  EXPECT_EQ(d[36], (KeyBinding{0x09, 'Z', 40101}));
  for (const KeyBinding& b : d) {
    EXPECT_TRUE(b.fVirt == 0x01 || b.fVirt == 0x09);
    EXPECT_LT(b.key, kFirstJoypadKey);
  }
  KeyBindingTable table{{{0x01, 'B', 1}}, 7};
  InstallDefaultKeyBindings(table);
  EXPECT_EQ(table.entries.size(), 37u);
  EXPECT_EQ(table.owner, 7u);
}

TEST(KeyBindingLines, SectionWrittenKeyboardFirst) {
  KeyBindingTable keyboard{{{0x09, 0x5A, 40005}, {0x05, 0x41, 1}}, 0};
  KeyBindingTable joypad{{{0x01, 0x124, 45001}}, 0};
  std::string out;
  AppendKeyBindingSection(out, keyboard, joypad);
  EXPECT_EQ(out, "[key]\r\n09005A=9C45\r\n050041=0001\r\n010124=AFC9\r\n");
}

// ---- The binding matrix -------------------------------------------------------------------

TEST(BindingMatrix, FillsFromBothTables) {
  KeyBindingTable keyboard{{}, 0};
  InstallDefaultKeyBindings(keyboard);
  KeyBindingTable joypad{{{0x01, 0x124, 45001}, {0x05, 0x100, 40001}}, 0};
  BindingMatrix m{};
  EXPECT_TRUE(FillBindingMatrix(m, keyboard, joypad).empty());
  EXPECT_EQ(m.commands[2][KeyIndexOfName("N")], 40001);  // Ctrl: row 2
  EXPECT_EQ(m.commands[0][KeyIndexOfName("Enter")], 40001);
  EXPECT_EQ(m.commands[0][KeyIndexOfName("Z")], 40101);
  EXPECT_EQ(m.commands[2][KeyIndexOfName("Z")], 40101);
  EXPECT_EQ(m.commands[0][KeyIndexOfName("Joypad Z")], 45001);
  EXPECT_EQ(m.commands[1][KeyIndexOfName("Joypad button 1")], 40001);  // Shift: row 1
  EXPECT_EQ(m.commands[3][KeyIndexOfName("Z")], 0);
  int bound = 0;
  for (auto& row : m.commands)
    for (uint16_t cell : row) bound += cell != 0;
  EXPECT_EQ(bound, 39);
  EXPECT_TRUE(m.unshown.empty());
}

TEST(BindingMatrix, CollisionIsReturnedAndTheLaterEntryWins) {
  KeyBindingTable keyboard{{{0x01, 0x41, 100}, {0x09, 0x42, 5}, {0x01, 0x41, 200}}, 0};
  KeyBindingTable joypad{{}, 0};
  BindingMatrix m{};
  const std::vector<BindingCollision> collisions = FillBindingMatrix(m, keyboard, joypad);
  ASSERT_EQ(collisions.size(), 1u);
  // Entry 2 of the keyboard table, flag byte 1, key index 23 ("A"), command 200.
  EXPECT_EQ(collisions[0].index, 2);
  EXPECT_EQ(collisions[0].fVirt, 1);
  EXPECT_EQ(collisions[0].keyIndex, 23);
  EXPECT_EQ(collisions[0].cmd, 200);
  EXPECT_EQ(m.commands[0][23], 200);
}

TEST(BindingMatrix, RebuildWalksRowsThenKeysAndKeepsUnshownBindings) {
  KeyBindingTable keyboard{{{0x09, 0x5A, 40101}, {0x01, 0x5A, 40101}, {0x01, 0x20, 777}, {0x11, 0x41, 778}}, 9};
  KeyBindingTable joypad{{{0x0D, 0x124, 45001}, {0x01, 0x100, 40001}}, 9};
  BindingMatrix m{};
  EXPECT_TRUE(FillBindingMatrix(m, keyboard, joypad).empty());
  EXPECT_EQ(m.unshown.size(), 2u);  // the space bar, and Alt+A
  m.commands[1][KeyIndexOfName("F1")] = 40004;  // the dialog binds Shift+F1
  m.commands[0][KeyIndexOfName("Joypad button 1")] = 0;  // and clears joypad button 1
  RebuildTablesFromMatrix(m, keyboard, joypad);
  // Row 0 (Z), row 1 (Shift+F1), row 2 (Ctrl+Z); then the unshown ones as they were.
  const std::vector<KeyBinding> expectedKeyboard = {
      {0x01, 0x5A, 40101}, {0x05, 0x70, 40004}, {0x09, 0x5A, 40101}, {0x01, 0x20, 777}, {0x11, 0x41, 778}};
  EXPECT_EQ(keyboard.entries, expectedKeyboard);
  const std::vector<KeyBinding> expectedJoypad = {{0x0D, 0x124, 45001}};  // Ctrl+Shift row
  EXPECT_EQ(joypad.entries, expectedJoypad);
  EXPECT_EQ(keyboard.owner, 9u);
}

TEST(BindingMatrix, ClearedBindingIsGoneFromTheNextSave) {
  TempFolder root("matrix-clear");
  AppSettings s{};
  InitSettings(s, TestPlatform(root.path), 1);
  BindingMatrix m{};
  EXPECT_TRUE(FillBindingMatrix(m, s.keyboard, s.joypad).empty());
  m.commands[0][KeyIndexOfName("Home")] = 0;
  RebuildTablesFromMatrix(m, s.keyboard, s.joypad);
  ASSERT_TRUE(SaveSettings(s));
  const auto lines = SplitCrLf(ReadAll(s.settingsFile));
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "010024=AFC9"), lines.end());  // Home -> 45001
  EXPECT_NE(std::find(lines.begin(), lines.end(), "010021=AFCA"), lines.end());  // PageUp stays
  AppSettings back{};
  InitSettings(back, TestPlatform(root.path), 1);
  EXPECT_EQ(back.keyboard.entries.size(), 36u);
}

// ---- Joypad -------------------------------------------------------------------------------

TEST(JoypadKeys, ButtonsGiveOneKeyOnTheirWayDown) {
  JoystickState rest = kJoystickAtRest;
  JoystickState pressed = rest;
  pressed.buttons = 1u << 4;  // button 5
  EXPECT_EQ(JoypadKey(rest, pressed), 0x104);
  EXPECT_EQ(JoypadKey(pressed, pressed), -1);  // held: nothing more
  EXPECT_EQ(JoypadKey(pressed, rest), -1);     // released: nothing
  JoystickState two = pressed;
  two.buttons |= (1u << 2) | (1u << 31);  // buttons 3 and 32 go down together
  EXPECT_EQ(JoypadKey(pressed, two), 0x102);
  JoystickState last = rest;
  last.buttons = 1u << 31;
  EXPECT_EQ(JoypadKey(rest, last), 0x11F);
}

TEST(JoypadKeys, HatAndZ) {
  JoystickState a = kJoystickAtRest;
  JoystickState b = a;
  b.pov = 0;
  EXPECT_EQ(JoypadKey(a, b), 0x120);
  EXPECT_EQ(JoypadKey(b, b), -1);  // still forward
  a.pov = 0, b.pov = 9000;
  EXPECT_EQ(JoypadKey(a, b), 0x121);
  b.pov = 18000;
  EXPECT_EQ(JoypadKey(a, b), 0x122);
  b.pov = 27000;
  EXPECT_EQ(JoypadKey(a, b), 0x123);
  b.pov = 4500;  // a diagonal gives no key
  EXPECT_EQ(JoypadKey(a, b), -1);
  b.pov = 0xFFFF;  // back to the centre
  EXPECT_EQ(JoypadKey(a, b), -1);

  JoystickState low = kJoystickAtRest, high = kJoystickAtRest;
  low.z = 0xBFFF;
  high.z = 0xC000;
  EXPECT_EQ(JoypadKey(low, high), 0x124);
  EXPECT_EQ(JoypadKey(high, high), -1);
  high.pov = 0;  // Z replaces a hat key, a button replaces both
  EXPECT_EQ(JoypadKey(low, high), 0x124);
  high.buttons = 1;
  EXPECT_EQ(JoypadKey(low, high), 0x100);
}

TEST(JoypadKeys, FirstBindingOfTheKeyWhateverItsFlags) {
  KeyBindingTable joypad{{{0x05, 0x100, 111}, {0x01, 0x124, 45001}, {0x01, 0x100, 222}}, 0};
  EXPECT_EQ(JoypadCommand(joypad, 0x100), 111);
  EXPECT_EQ(JoypadCommand(joypad, 0x124), 45001);
  EXPECT_EQ(JoypadCommand(joypad, 0x101), -1);
  EXPECT_EQ(JoypadCommand(joypad, -1), -1);
}
