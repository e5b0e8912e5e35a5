// Command identifiers: the 16-bit numbers that menu items, key bindings, the joypad and the
// child windows send to the main window as WM_COMMAND. The list below is the only place they
// are numbered; each has a stable name (the enumerator's spelling, e.g. "CMD_SAVE") that test
// drivers and tools use instead of the number.
//
// The three menus built from folder listings (textures, materials, languages) have no fixed
// identifiers: item k of such a menu is its base identifier + k, for k below the menu's item
// count. Only the bases are listed.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

// V(name, id) once per command, in ascending id order.
#define DOTWRIGHT_COMMANDS(V)                                                                     \
  /* 301..309: the ids the default bindings give the digit keys (1 -> 301, 2 -> 302,           \
     3 -> 303, 4..8 -> 305..309). They select the pen slot of the key's digit less one. */                 \
  V(CMD_DIGIT_301, 301)                                                                          \
  V(CMD_DIGIT_302, 302)                                                                          \
  V(CMD_DIGIT_303, 303)                                                                          \
  V(CMD_DIGIT_304, 304)                                                                          \
  V(CMD_DIGIT_305, 305)                                                                          \
  V(CMD_DIGIT_306, 306)                                                                          \
  V(CMD_DIGIT_307, 307)                                                                          \
  V(CMD_DIGIT_308, 308)                                                                          \
  V(CMD_DIGIT_309, 309)                                                                          \
  /* File. 40010 is not used. */                                                                 \
  V(CMD_NEW_CANVAS, 40001)                                                                       \
  V(CMD_OPEN, 40002)                                                                             \
  V(CMD_NEW_FROM_CLIPBOARD, 40003)                                                               \
  V(CMD_SAVE, 40004)                                                                             \
  V(CMD_SAVE_AS, 40005)                                                                          \
  V(CMD_CLEAR_CANVAS_AS_NEW, 40006)                                                              \
  V(CMD_SAVE_SNAPSHOT, 40007)                                                                    \
  V(CMD_EXPORT_IMAGE, 40008)                                                                     \
  V(CMD_EXPORT_PSD, 40009)                                                                       \
  V(CMD_PREVIOUS_FILE, 40011)                                                                    \
  V(CMD_NEXT_FILE, 40012)                                                                        \
  V(CMD_PRINT, 40013)                                                                            \
  V(CMD_IMPORT_IMAGE, 40014)                                                                     \
  V(CMD_EXIT, 40015)                                                                             \
  /* Edit. */                                                                                    \
  V(CMD_UNDO, 40101)                                                                             \
  V(CMD_REDO, 40102)                                                                             \
  V(CMD_CUT, 40103)                                                                              \
  V(CMD_COPY, 40104)                                                                             \
  V(CMD_PASTE, 40105)                                                                            \
  V(CMD_SELECT_ALL, 40106)                                                                       \
  V(CMD_SELECT_LAYER, 40107)                                                                     \
  V(CMD_CLEAR, 40108)                                                                            \
  V(CMD_FILL_LAYER, 40109)                                                                       \
  V(CMD_TEXT, 40110)                                                                             \
  /* Pen menu: make pen slot k (0..15) current. */                                               \
  V(CMD_SELECT_PEN_0, 40201)                                                                     \
  V(CMD_SELECT_PEN_1, 40202)                                                                     \
  V(CMD_SELECT_PEN_2, 40203)                                                                     \
  V(CMD_SELECT_PEN_3, 40204)                                                                     \
  V(CMD_SELECT_PEN_4, 40205)                                                                     \
  V(CMD_SELECT_PEN_5, 40206)                                                                     \
  V(CMD_SELECT_PEN_6, 40207)                                                                     \
  V(CMD_SELECT_PEN_7, 40208)                                                                     \
  V(CMD_SELECT_PEN_8, 40209)                                                                     \
  V(CMD_SELECT_PEN_9, 40210)                                                                     \
  V(CMD_SELECT_PEN_10, 40211)                                                                    \
  V(CMD_SELECT_PEN_11, 40212)                                                                    \
  V(CMD_SELECT_PEN_12, 40213)                                                                    \
  V(CMD_SELECT_PEN_13, 40214)                                                                    \
  V(CMD_SELECT_PEN_14, 40215)                                                                    \
  V(CMD_SELECT_PEN_15, 40216)                                                                    \
  /* Bases of the texture and material menus: item k selects file k of the folder. */           \
  V(CMD_TEXTURE_ITEM, 40301)                                                                     \
  V(CMD_MATERIAL_ITEM, 40401)                                                                    \
  /* Window: flip one window's visibility setting. */                                            \
  V(CMD_TOGGLE_WINDOW_EASY_PANEL, 40500)                                                         \
  V(CMD_TOGGLE_WINDOW_TABLET_INFO, 40501)                                                        \
  V(CMD_TOGGLE_WINDOW_LOUPE, 40502)                                                              \
  V(CMD_TOGGLE_WINDOW_ICON_0, 40503)                                                             \
  V(CMD_TOGGLE_WINDOW_ICON_1, 40504)                                                             \
  V(CMD_TOGGLE_WINDOW_ICON_2, 40505)                                                             \
  V(CMD_TOGGLE_WINDOW_ICON_3, 40506)                                                             \
  V(CMD_TOGGLE_WINDOW_PEN_SETTING, 40507)                                                        \
  V(CMD_TOGGLE_WINDOW_COLOR_PICKER, 40508)                                                       \
  V(CMD_TOGGLE_WINDOW_LAYER_PANEL, 40509)                                                        \
  V(CMD_TOGGLE_WINDOW_PEN_LIST, 40510)                                                           \
  V(CMD_TOGGLE_WINDOW_TEXTURE, 40511)                                                            \
  V(CMD_TOGGLE_WINDOW_PAPER_TEXTURE, 40512)                                                      \
  V(CMD_TOGGLE_PANEL, 40513)                                                                     \
  V(CMD_TOGGLE_PANEL_RIGHT, 40514)                                                               \
  V(CMD_TOGGLE_SEPARATE_PANEL, 40515)                                                            \
  /* Bound to R by default; no command behind it, so the key does nothing. */                    \
  V(CMD_UNASSIGNED_40521, 40521)                                                                 \
  /* View: zoom presets 1..8 (kZoomPresetScales: 16 down to 0.125 canvas pixels per screen      \
     pixel). */                                                                                  \
  V(CMD_ZOOM_PRESET_1, 40522)                                                                    \
  V(CMD_ZOOM_PRESET_2, 40523)                                                                    \
  V(CMD_ZOOM_PRESET_3, 40524)                                                                    \
  V(CMD_ZOOM_PRESET_4, 40525)                                                                    \
  V(CMD_ZOOM_PRESET_5, 40526)                                                                    \
  V(CMD_ZOOM_PRESET_6, 40527)                                                                    \
  V(CMD_ZOOM_PRESET_7, 40528)                                                                    \
  V(CMD_ZOOM_PRESET_8, 40529)                                                                    \
  V(CMD_ZOOM_FIT, 40535)                                                                         \
  V(CMD_ZOOM_PRINT_SIZE, 40536)                                                                  \
  V(CMD_MIRROR_VIEW, 40537)                                                                      \
  /* Rotation presets, named by their angle in degrees. */                                       \
  V(CMD_ROTATE_PRESET_0, 40541)                                                                  \
  V(CMD_ROTATE_PRESET_90, 40542)                                                                 \
  V(CMD_ROTATE_PRESET_180, 40543)                                                                \
  V(CMD_ROTATE_PRESET_270, 40544)                                                                \
  V(CMD_TOGGLE_TRANSLUCENT, 40552)                                                               \
  /* Dialogs. */                                                                                 \
  V(CMD_SETTINGS, 40801)                                                                         \
  V(CMD_KEY_CONFIG, 40802)                                                                       \
  V(CMD_ABOUT, 40804)                                                                            \
  /* Base of the language menu: item k loads language library k of the listing. */              \
  V(CMD_LANGUAGE_ITEM, 40901)                                                                    \
  /* Commands without menu items, reached by key bindings. */                                    \
  V(CMD_VIEW_RESET, 45001)                                                                       \
  V(CMD_ZOOM_IN, 45002)                                                                          \
  V(CMD_ZOOM_OUT, 45003)                                                                         \
  V(CMD_ROTATE_RIGHT, 45004)                                                                     \
  V(CMD_ROTATE_LEFT, 45005)                                                                      \
  V(CMD_SIZE_DOWN, 45006)                                                                        \
  V(CMD_SIZE_UP, 45007)                                                                          \
  V(CMD_ROTATE_PLUS_15, 45008)                                                                   \
  V(CMD_ROTATE_MINUS_15, 45009)                                                                  \
  V(CMD_POPUP_PALETTE, 45010)                                                                    \
  V(CMD_POPUP_PENS, 45011)                                                                       \
  V(CMD_PASTE_IMPORTED, 45012)

// A command identifier. The underlying type is the WM_COMMAND identifier's, so any 16-bit
// value (a texture item, an unknown number read from the settings file) is a valid CommandId.
enum CommandId : uint16_t {
#define DOTWRIGHT_COMMAND_ENUMERATOR(name, id) name = id,
  DOTWRIGHT_COMMANDS(DOTWRIGHT_COMMAND_ENUMERATOR)
#undef DOTWRIGHT_COMMAND_ENUMERATOR
};

struct CommandName {
  CommandId id;
  std::string_view name;  // the enumerator's spelling
};

inline constexpr CommandName kCommandNames[] = {
#define DOTWRIGHT_COMMAND_NAME(name, id) {name, #name},
    DOTWRIGHT_COMMANDS(DOTWRIGHT_COMMAND_NAME)
#undef DOTWRIGHT_COMMAND_NAME
};
inline constexpr int kCommandCount = static_cast<int>(std::size(kCommandNames));

// Pen slot k is selected by CMD_SELECT_PEN_0 + k; the other fixed runs likewise.
inline constexpr int kPenSlotCommandCount = CMD_SELECT_PEN_15 - CMD_SELECT_PEN_0 + 1;
inline constexpr int kWindowToggleCount = CMD_TOGGLE_SEPARATE_PANEL - CMD_TOGGLE_WINDOW_EASY_PANEL + 1;
inline constexpr int kZoomPresetCommandCount = CMD_ZOOM_PRESET_8 - CMD_ZOOM_PRESET_1 + 1;
inline constexpr int kRotationPresetCommandCount = CMD_ROTATE_PRESET_270 - CMD_ROTATE_PRESET_0 + 1;

// The name of a listed id; empty for any other value (40010, texture item 5, ...).
std::string_view CommandNameOf(CommandId id);

// The id of a whole name ("CMD_SAVE" -> 40004); -1 when no command has that name.
int32_t CommandIdOfName(std::string_view name);

// k when id is first + k with 0 <= k < count, else -1: the position of id in a run of
// consecutive ids (a pen slot, a zoom preset, an item of a listed menu).
int32_t CommandRunIndex(CommandId id, CommandId first, int32_t count);
