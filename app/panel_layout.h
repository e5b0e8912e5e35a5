// The main window's arrangement without window calls: the UI scale factor, where the canvas
// view and the docked panel column go, how the column stacks and scrolls its members, the
// floating positions of the separate panel windows, and what the window commands flip.
//
// Lengths are client pixels. Every length of the 100 % layout is multiplied by the UI scale
// factor s and truncated (Scaled).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/app_settings.h"
#include "settings/command_ids.h"

// s for UIScaling (percent): 1.5, 2.0 and 3.0 for 150, 200 and 300; 1.0 for any other value.
// Fixed for the program run.
float UiScaleFactor(int32_t uiScaling);

// trunc(length * s).
int32_t Scaled(int32_t length, float s);

// A panel's own scale factor, from the client width it was given: 3.0 from 384, 2.0 from 256,
// 1.5 from 192, else 1.0 (the column gives every member the width 128 s).
float PanelScaleOfWidth(int32_t clientWidth);

inline constexpr int32_t kColumnWidth = 128;       // W: the column's client width at 100 %
inline constexpr int32_t kColumnStripHeight = 32;  // the icon strip at the column's top
inline constexpr int32_t kListedRowHeight = 16;    // one file row of the texture panels

// The members of the panel column, in stacking order (also the order they are created in).
enum class PanelMember : int32_t {
  kTabInfo,
  kLoupe,
  kIcon0,
  kIcon1,
  kIcon2,
  kIcon3,
  kPenSetting,
  kColorPicker,
  kLayer,
  kPenList,
  kTexture,
  kPaperTexture,
};
inline constexpr int kPanelMemberCount = 12;

struct PanelMemberFacts {
  int32_t height;                     // at 100 %; 0 for the texture panels (a row per file)
  int32_t AppSettings::*visible;      // 1: shown
  int32_t AppSettings::*floatX;       // floating position in the main window's client area
  int32_t AppSettings::*floatY;
  CommandId toggle;                   // the window command that flips `visible`
};

inline constexpr PanelMemberFacts kPanelMembers[kPanelMemberCount] = {
    {60, &AppSettings::show_tabinfo, &AppSettings::TabInfoWindowPosX, &AppSettings::TabInfoWindowPosY,
     CMD_TOGGLE_WINDOW_TABLET_INFO},
    {128, &AppSettings::show_loupe, &AppSettings::LoupeWindowPosX, &AppSettings::LoupeWindowPosY,
     CMD_TOGGLE_WINDOW_LOUPE},
    {128, &AppSettings::show_Icon, &AppSettings::IconWindowPosX, &AppSettings::IconWindowPosY,
     CMD_TOGGLE_WINDOW_ICON_0},
    {128, &AppSettings::show_Icon1, &AppSettings::Icon1WindowPosX, &AppSettings::Icon1WindowPosY,
     CMD_TOGGLE_WINDOW_ICON_1},
    {128, &AppSettings::show_Icon2, &AppSettings::Icon2WindowPosX, &AppSettings::Icon2WindowPosY,
     CMD_TOGGLE_WINDOW_ICON_2},
    {128, &AppSettings::show_Icon3, &AppSettings::Icon3WindowPosX, &AppSettings::Icon3WindowPosY,
     CMD_TOGGLE_WINDOW_ICON_3},
    {92, &AppSettings::show_pensetting, &AppSettings::PenSettingWindowPosX, &AppSettings::PenSettingWindowPosY,
     CMD_TOGGLE_WINDOW_PEN_SETTING},
    {128, &AppSettings::ShowColorPicker, &AppSettings::ColorPickerWindowPosX, &AppSettings::ColorPickerWindowPosY,
     CMD_TOGGLE_WINDOW_COLOR_PICKER},
    {220, &AppSettings::show_layersetting, &AppSettings::LayerSettingWindowPosX,
     &AppSettings::LayerSettingWindowPosY, CMD_TOGGLE_WINDOW_LAYER_PANEL},
    {288, &AppSettings::show_penlist, &AppSettings::PenListWindowPosX, &AppSettings::PenListWindowPosY,
     CMD_TOGGLE_WINDOW_PEN_LIST},
    {0, &AppSettings::show_texture, &AppSettings::TextureWindowPosX, &AppSettings::TextureWindowPosY,
     CMD_TOGGLE_WINDOW_TEXTURE},
    {0, &AppSettings::show_paper_texture, &AppSettings::PaperTextureWindowPosX,
     &AppSettings::PaperTextureWindowPosY, CMD_TOGGLE_WINDOW_PAPER_TEXTURE},
};

inline const PanelMemberFacts& FactsOf(PanelMember m) { return kPanelMembers[static_cast<int>(m)]; }

// How many files the texture and material menus list: the texture panels exist only when
// their menu has items, one row each.
struct ColumnContents {
  int32_t textureItems = 0;
  int32_t materialItems = 0;
};

// The member exists (every member but the texture panels always does).
bool PanelMemberExists(PanelMember m, const ColumnContents& contents);
// Its client height at scale s: the table's height, or kListedRowHeight per file of its menu.
int32_t PanelMemberHeight(PanelMember m, float s, const ColumnContents& contents);
// It exists and its visibility setting is nonzero.
bool PanelMemberShown(const AppSettings& settings, PanelMember m, const ColumnContents& contents);

// A window's place: position of its top-left corner in its parent's client area and size.
struct WindowBox {
  int32_t x, y, width, height;
  bool operator==(const WindowBox&) const = default;
};

// Where the view and the docked column go in a client area of clientWidth x clientHeight.
// x0 is clientWidth - (W + scrollBarWidth) with view_panel_right, else 0. The column is the
// box (x0, 0, W + scrollBarWidth, clientHeight), its scroll bar at its right edge. The view
// fills the client area, except while none of hide_panel, ShowEasyPanel and SeparatePanel is
// set: then it leaves the column's width free on the column's side.
struct MainLayout {
  bool placeColumn;  // false while SeparatePanel is set: the column floats
  bool showColumn;   // hide_panel is 0
  WindowBox column;
  WindowBox view;
  bool operator==(const MainLayout&) const = default;
};
MainLayout ComputeMainLayout(const AppSettings& settings, float s, int32_t clientWidth, int32_t clientHeight,
                             int32_t scrollBarWidth);

// The docked column's members from the top: y starts below the icon strip (32 s); each shown
// member gets (0, y - offset, W, its height) and y grows by its height. contentHeight is the
// strip plus the shown members' heights: the scroll range.
struct ColumnStack {
  bool shown[kPanelMemberCount];
  WindowBox boxes[kPanelMemberCount];  // all zero for members not shown
  int32_t contentHeight;
};
ColumnStack StackColumn(const AppSettings& settings, float s, const ColumnContents& contents, int32_t offset);

// The scroll offset of the column: 0 .. max(0, contentHeight - pageHeight).
int32_t ClampColumnOffset(int32_t offset, int32_t contentHeight, int32_t pageHeight);

enum class ColumnScroll : int32_t { kLineUp, kLineDown, kPageUp, kPageDown, kTop, kBottom, kTo };
inline constexpr int32_t kColumnLine = 16;  // one line of the scroll bar's arrows at 100 %

// The offset after a scroll request: a line is 16 s, a page the page height, kTo goes to
// `position`; the result is clamped.
int32_t ScrollColumn(int32_t offset, ColumnScroll how, int32_t position, int32_t contentHeight, int32_t pageHeight,
                     float s);

// Floating windows: 0 is the column's frame (its icon strip), 1 + k is member k.
inline constexpr int kFloatingWindowCount = 1 + kPanelMemberCount;
struct FloatingPosition {
  int32_t x, y;
  bool operator==(const FloatingPosition&) const = default;
};
// The pair PanelWindowPosX/Y (window 0) .. PaperTextureWindowPosX/Y (window 12).
FloatingPosition FloatingPositionOf(const AppSettings& settings, int window);
void StoreFloatingPosition(AppSettings& settings, int window, FloatingPosition position);

// True when some floating position differs from (0, 0): the windows have floated before.
bool FloatingPositionsStored(const AppSettings& settings);

// A floating window's position kept where its caption can be reached in a client area of
// clientWidth x clientHeight: x within 0 .. clientWidth - outerWidth and y within
// 0 .. clientHeight - captionHeight (each range starting at 0 when the window is larger).
FloatingPosition ReachableFloatingPosition(FloatingPosition at, int32_t outerWidth, int32_t captionHeight,
                                           int32_t clientWidth, int32_t clientHeight);

// What a caption and border add to a client area (the outer size minus the client size).
struct FrameExtra {
  int32_t width, height;
};

// The first floating arrangement, for settings that hold no positions yet (all 0, which would
// pile every window on the client area's corner): the frame where the docked column's top is,
// then the shown members below it in stacking order, then the hidden ones (placed for when
// they are shown), each window's outer height below the last; a window that would pass the
// client area's bottom starts a new column of windows beside the previous one, towards the
// view (rightwards from a left column, leftwards from a right one). Where no further column
// fits the client's width, the columns start again over the first, one caption height lower
// and further in each time.
void SpreadFloatingPositions(AppSettings& settings, float s, const ColumnContents& contents, int32_t clientWidth,
                             int32_t clientHeight, int32_t scrollBarWidth, FrameExtra frame);

// What a command of the window menu does.
enum class WindowCommandKind : int32_t {
  kNone,         // not a window command
  kEasyPanel,    // 40500: flip ShowEasyPanel, lay out again
  kMember,       // 40501..40512: flip the member's setting, show or hide it, lay out again
  kHidePanel,    // 40513: flip hide_panel
  kPanelRight,   // 40514: flip view_panel_right
  kSeparate,     // 40515: flip SeparatePanel, move the panels between the column and floating
  kTranslucent,  // 40552: flip the main window's translucency
};
struct WindowCommand {
  WindowCommandKind kind;
  PanelMember member;  // for kMember
  bool operator==(const WindowCommand&) const = default;
};
WindowCommand ClassifyWindowCommand(int32_t command);

// Flips the setting that command (40500..40515) toggles: 0 becomes 1, anything else 0.
// Returns the new value; -1 (nothing changed) for other commands.
int32_t FlipWindowSetting(AppSettings& settings, int32_t command);

// The main window's translucency: alpha WindowOpacity (clamped to 255) while on, 255 while
// off; the layered style is set exactly while the alpha is below 255.
struct WindowAlpha {
  bool layered;
  uint8_t alpha;
  bool operator==(const WindowAlpha&) const = default;
};
WindowAlpha TranslucencyAlpha(bool on, uint32_t windowOpacity);

// At start the right-docked and separate arrangements are applied by their commands: a set
// (nonzero) view_panel_right and SeparatePanel are cleared and the commands that set them
// again (40514, then 40515) written to commands. Returns how many (0..2).
int StartUpPanelCommands(AppSettings& settings, int32_t commands[2]);

// A window caption from a menu item's text: a trailing "(&X)" mnemonic is dropped, every
// other "&" removed ("&&" gives "&"), and the text ends at a tab or "...".
std::u16string CaptionOfMenuText(std::u16string_view text);

// Which row of rowCount rows of rowHeight pixels from the client top holds y; -1 outside.
int32_t RowAt(int32_t y, int32_t rowHeight, int32_t rowCount);
