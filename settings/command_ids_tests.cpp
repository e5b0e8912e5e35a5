#include "settings/command_ids.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(CommandIds, NamesAndIdsAreUniqueAndRoundTrip) {
  EXPECT_EQ(kCommandCount, 100);
  std::set<std::string_view> names;
  std::set<int> ids;
  for (const CommandName& c : kCommandNames) {
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    EXPECT_EQ(c.name.substr(0, 4), "CMD_") << c.name;
    EXPECT_EQ(CommandIdOfName(c.name), c.id) << c.name;
    EXPECT_EQ(CommandNameOf(c.id), c.name) << c.id;
  }
}

// Each enumerator carries the number the menus and the settings file use, and the name table
// spells it the same way.
TEST(CommandIds, NamesMatchTheirNumbers) {
  struct Row {
    const char* name;
    int id;
  };
  constexpr Row kRows[] = {
      {"CMD_DIGIT_309", 309},           {"CMD_NEW_CANVAS", 40001},
      {"CMD_PREVIOUS_FILE", 40011},     {"CMD_TEXT", 40110},
      {"CMD_SELECT_PEN_15", 40216},     {"CMD_TEXTURE_ITEM", 40301},
      {"CMD_MATERIAL_ITEM", 40401},     {"CMD_TOGGLE_WINDOW_PAPER_TEXTURE", 40512},
      {"CMD_TOGGLE_SEPARATE_PANEL", 40515}, {"CMD_ZOOM_PRESET_8", 40529},
      {"CMD_ROTATE_PRESET_270", 40544}, {"CMD_TOGGLE_TRANSLUCENT", 40552},
      {"CMD_ABOUT", 40804},             {"CMD_LANGUAGE_ITEM", 40901},
      {"CMD_PASTE_IMPORTED", 45012},
  };
  for (const Row& r : kRows) EXPECT_EQ(CommandIdOfName(r.name), r.id) << r.name;
  EXPECT_EQ(kPenSlotCommandCount, 16);
  EXPECT_EQ(kWindowToggleCount, 16);
  EXPECT_EQ(kZoomPresetCommandCount, 8);
  EXPECT_EQ(kRotationPresetCommandCount, 4);
}

TEST(CommandIds, UnknownNamesAndNumbers) {
  for (const char* name : {"", "CMD_", "CMD_SAVE ", "cmd_save", "CMD_SELECT_PEN", "CMD_SELECT_PEN_16"})
    EXPECT_EQ(CommandIdOfName(name), -1) << name;
  for (int id : {0, 300, 310, 40010, 40302, 40516, 40902, 45013, 65535})
    EXPECT_EQ(CommandNameOf(static_cast<CommandId>(id)), "") << id;
}

TEST(CommandIds, CommandRunIndex) {
  EXPECT_EQ(CommandRunIndex(CMD_TEXTURE_ITEM, CMD_TEXTURE_ITEM, 3), 0);
  EXPECT_EQ(CommandRunIndex(static_cast<CommandId>(40303), CMD_TEXTURE_ITEM, 3), 2);
  EXPECT_EQ(CommandRunIndex(static_cast<CommandId>(40304), CMD_TEXTURE_ITEM, 3), -1);  // past the count
  EXPECT_EQ(CommandRunIndex(CMD_TEXTURE_ITEM, CMD_TEXTURE_ITEM, 0), -1);              // empty menu
  EXPECT_EQ(CommandRunIndex(CMD_ABOUT, CMD_LANGUAGE_ITEM, 5), -1);                    // below the base
}
