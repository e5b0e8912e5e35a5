// The resource scripts' copies of the command identifiers name the same numbers as the
// enumerators.
#include "settings/command_ids_rc.h"

#include <gtest/gtest.h>

#include <string_view>

#include "settings/command_ids.h"

namespace {

struct RcRow {
  int id;
  std::string_view name;
};

#define RC_ROW(name) {RC_##name, #name}
constexpr RcRow kRcRows[] = {
    RC_ROW(CMD_NEW_CANVAS),
    RC_ROW(CMD_OPEN),
    RC_ROW(CMD_NEW_FROM_CLIPBOARD),
    RC_ROW(CMD_SAVE),
    RC_ROW(CMD_SAVE_AS),
    RC_ROW(CMD_CLEAR_CANVAS_AS_NEW),
    RC_ROW(CMD_SAVE_SNAPSHOT),
    RC_ROW(CMD_EXPORT_IMAGE),
    RC_ROW(CMD_EXPORT_PSD),
    RC_ROW(CMD_PREVIOUS_FILE),
    RC_ROW(CMD_NEXT_FILE),
    RC_ROW(CMD_PRINT),
    RC_ROW(CMD_IMPORT_IMAGE),
    RC_ROW(CMD_EXIT),
    RC_ROW(CMD_UNDO),
    RC_ROW(CMD_REDO),
    RC_ROW(CMD_CUT),
    RC_ROW(CMD_COPY),
    RC_ROW(CMD_PASTE),
    RC_ROW(CMD_SELECT_ALL),
    RC_ROW(CMD_SELECT_LAYER),
    RC_ROW(CMD_CLEAR),
    RC_ROW(CMD_FILL_LAYER),
    RC_ROW(CMD_TEXT),
    RC_ROW(CMD_TOGGLE_WINDOW_EASY_PANEL),
    RC_ROW(CMD_TOGGLE_WINDOW_TABLET_INFO),
    RC_ROW(CMD_TOGGLE_WINDOW_LOUPE),
    RC_ROW(CMD_TOGGLE_WINDOW_ICON_0),
    RC_ROW(CMD_TOGGLE_WINDOW_ICON_1),
    RC_ROW(CMD_TOGGLE_WINDOW_ICON_2),
    RC_ROW(CMD_TOGGLE_WINDOW_ICON_3),
    RC_ROW(CMD_TOGGLE_WINDOW_PEN_SETTING),
    RC_ROW(CMD_TOGGLE_WINDOW_COLOR_PICKER),
    RC_ROW(CMD_TOGGLE_WINDOW_LAYER_PANEL),
    RC_ROW(CMD_TOGGLE_WINDOW_PEN_LIST),
    RC_ROW(CMD_TOGGLE_WINDOW_TEXTURE),
    RC_ROW(CMD_TOGGLE_WINDOW_PAPER_TEXTURE),
    RC_ROW(CMD_TOGGLE_PANEL),
    RC_ROW(CMD_TOGGLE_PANEL_RIGHT),
    RC_ROW(CMD_TOGGLE_SEPARATE_PANEL),
    RC_ROW(CMD_ZOOM_PRESET_1),
    RC_ROW(CMD_ZOOM_PRESET_2),
    RC_ROW(CMD_ZOOM_PRESET_3),
    RC_ROW(CMD_ZOOM_PRESET_4),
    RC_ROW(CMD_ZOOM_PRESET_5),
    RC_ROW(CMD_ZOOM_PRESET_6),
    RC_ROW(CMD_ZOOM_PRESET_7),
    RC_ROW(CMD_ZOOM_PRESET_8),
    RC_ROW(CMD_ZOOM_FIT),
    RC_ROW(CMD_ZOOM_PRINT_SIZE),
    RC_ROW(CMD_MIRROR_VIEW),
    RC_ROW(CMD_ROTATE_PRESET_0),
    RC_ROW(CMD_ROTATE_PRESET_90),
    RC_ROW(CMD_ROTATE_PRESET_180),
    RC_ROW(CMD_ROTATE_PRESET_270),
    RC_ROW(CMD_TOGGLE_TRANSLUCENT),
    RC_ROW(CMD_SETTINGS),
    RC_ROW(CMD_KEY_CONFIG),
    RC_ROW(CMD_ABOUT),
    RC_ROW(CMD_VIEW_RESET),
    RC_ROW(CMD_ZOOM_IN),
    RC_ROW(CMD_ZOOM_OUT),
    RC_ROW(CMD_ROTATE_RIGHT),
    RC_ROW(CMD_ROTATE_LEFT),
    RC_ROW(CMD_SIZE_DOWN),
    RC_ROW(CMD_SIZE_UP),
    RC_ROW(CMD_ROTATE_PLUS_15),
    RC_ROW(CMD_ROTATE_MINUS_15),
    RC_ROW(CMD_POPUP_PALETTE),
    RC_ROW(CMD_POPUP_PENS),
    RC_ROW(CMD_PASTE_IMPORTED),
};
#undef RC_ROW

TEST(CommandIdsRc, EveryResourceIdIsTheCommandOfItsName) {
  for (const RcRow& row : kRcRows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CommandNameOf(static_cast<CommandId>(row.id)), row.name);
    EXPECT_EQ(CommandIdOfName(row.name), row.id);
  }
}

TEST(CommandIdsRc, ListsEveryFixedMenuAndHiddenCommand) {
  // All named commands but the digit keys, the unassigned id, the pen slots (the program makes
  // the pen menu) and the bases of the listed menus.
  int expected = 0;
  for (const CommandName& c : kCommandNames) {
    const bool made = c.id < 1000 || c.id == CMD_UNASSIGNED_40521 ||
                      CommandRunIndex(c.id, CMD_SELECT_PEN_0, kPenSlotCommandCount) >= 0 ||
                      c.id == CMD_TEXTURE_ITEM || c.id == CMD_MATERIAL_ITEM || c.id == CMD_LANGUAGE_ITEM;
    if (!made) ++expected;
  }
  EXPECT_EQ(static_cast<int>(std::size(kRcRows)), expected);
}

}  // namespace
