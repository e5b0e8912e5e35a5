/* The command identifiers of settings/command_ids.h as plain #defines, for the resource scripts
   of the language libraries (windres reads only the preprocessor). Each is named RC_ followed
   by the command's stable name; command_ids_rc_tests.cpp holds them to the enumerators. Only
   the commands that the menus of a language library carry are listed: the menu items and the
   commands without menu items. The pen, texture, material and language items are made by the
   program. Keep this file to #define lines and comments. */
#ifndef DOTWRIGHT_SETTINGS_COMMAND_IDS_RC_H
#define DOTWRIGHT_SETTINGS_COMMAND_IDS_RC_H

/* File. */
#define RC_CMD_NEW_CANVAS 40001
#define RC_CMD_OPEN 40002
#define RC_CMD_NEW_FROM_CLIPBOARD 40003
#define RC_CMD_SAVE 40004
#define RC_CMD_SAVE_AS 40005
#define RC_CMD_CLEAR_CANVAS_AS_NEW 40006
#define RC_CMD_SAVE_SNAPSHOT 40007
#define RC_CMD_EXPORT_IMAGE 40008
#define RC_CMD_EXPORT_PSD 40009
#define RC_CMD_PREVIOUS_FILE 40011
#define RC_CMD_NEXT_FILE 40012
#define RC_CMD_PRINT 40013
#define RC_CMD_IMPORT_IMAGE 40014
#define RC_CMD_EXIT 40015

/* Edit. */
#define RC_CMD_UNDO 40101
#define RC_CMD_REDO 40102
#define RC_CMD_CUT 40103
#define RC_CMD_COPY 40104
#define RC_CMD_PASTE 40105
#define RC_CMD_SELECT_ALL 40106
#define RC_CMD_SELECT_LAYER 40107
#define RC_CMD_CLEAR 40108
#define RC_CMD_FILL_LAYER 40109
#define RC_CMD_TEXT 40110

/* Window. */
#define RC_CMD_TOGGLE_WINDOW_EASY_PANEL 40500
#define RC_CMD_TOGGLE_WINDOW_TABLET_INFO 40501
#define RC_CMD_TOGGLE_WINDOW_LOUPE 40502
#define RC_CMD_TOGGLE_WINDOW_ICON_0 40503
#define RC_CMD_TOGGLE_WINDOW_ICON_1 40504
#define RC_CMD_TOGGLE_WINDOW_ICON_2 40505
#define RC_CMD_TOGGLE_WINDOW_ICON_3 40506
#define RC_CMD_TOGGLE_WINDOW_PEN_SETTING 40507
#define RC_CMD_TOGGLE_WINDOW_COLOR_PICKER 40508
#define RC_CMD_TOGGLE_WINDOW_LAYER_PANEL 40509
#define RC_CMD_TOGGLE_WINDOW_PEN_LIST 40510
#define RC_CMD_TOGGLE_WINDOW_TEXTURE 40511
#define RC_CMD_TOGGLE_WINDOW_PAPER_TEXTURE 40512
#define RC_CMD_TOGGLE_PANEL 40513
#define RC_CMD_TOGGLE_PANEL_RIGHT 40514
#define RC_CMD_TOGGLE_SEPARATE_PANEL 40515

/* View. */
#define RC_CMD_ZOOM_PRESET_1 40522
#define RC_CMD_ZOOM_PRESET_2 40523
#define RC_CMD_ZOOM_PRESET_3 40524
#define RC_CMD_ZOOM_PRESET_4 40525
#define RC_CMD_ZOOM_PRESET_5 40526
#define RC_CMD_ZOOM_PRESET_6 40527
#define RC_CMD_ZOOM_PRESET_7 40528
#define RC_CMD_ZOOM_PRESET_8 40529
#define RC_CMD_ZOOM_FIT 40535
#define RC_CMD_ZOOM_PRINT_SIZE 40536
#define RC_CMD_MIRROR_VIEW 40537
#define RC_CMD_ROTATE_PRESET_0 40541
#define RC_CMD_ROTATE_PRESET_90 40542
#define RC_CMD_ROTATE_PRESET_180 40543
#define RC_CMD_ROTATE_PRESET_270 40544
#define RC_CMD_TOGGLE_TRANSLUCENT 40552

/* Dialogs. */
#define RC_CMD_SETTINGS 40801
#define RC_CMD_KEY_CONFIG 40802
#define RC_CMD_ABOUT 40804

/* Commands without menu items, for the key configuration. */
#define RC_CMD_VIEW_RESET 45001
#define RC_CMD_ZOOM_IN 45002
#define RC_CMD_ZOOM_OUT 45003
#define RC_CMD_ROTATE_RIGHT 45004
#define RC_CMD_ROTATE_LEFT 45005
#define RC_CMD_SIZE_DOWN 45006
#define RC_CMD_SIZE_UP 45007
#define RC_CMD_ROTATE_PLUS_15 45008
#define RC_CMD_ROTATE_MINUS_15 45009
#define RC_CMD_POPUP_PALETTE 45010
#define RC_CMD_POPUP_PENS 45011
#define RC_CMD_PASTE_IMPORTED 45012

#endif
