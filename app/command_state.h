// Menu greying and check marks: one function from a command and a snapshot of the main
// window's state to {enabled, checked}. It is the only place that decides them; the menus ask
// it when a popup opens, and key bindings to greyed menu items do nothing. Also the step
// tables of the pen-size commands.
#pragma once

#include <cstdint>

#include "settings/app_settings.h"
#include "settings/command_ids.h"

// What greying and check marks depend on, taken from the main window's state just before a
// popup opens or a binding runs.
struct CommandSnapshot {
  bool canUndo;                   // the undo history has a step to undo
  bool canRedo;                   // ... and one to redo
  bool pendingOperation;          // a floating selection or floating image exists
  bool clipboardImageHeld;        // Cut or Copy left an internal clipboard image
  bool systemClipboardHasBitmap;  // the system clipboard offers a bitmap
  float viewScale;                // canvas pixels per screen pixel (0.125..16)
  float viewRotation;             // degrees, [0, 360)
  bool viewMirrored;
  bool translucent;               // the main window's translucency flag (CMD_TOGGLE_TRANSLUCENT)
  int32_t currentPen;             // pen slot 0..15
  int32_t currentLanguage;        // language menu item of the loaded library; -1: none
  int32_t checkedTexture = -1;    // texture menu item of the current pen's texture file; -1: none
  int32_t checkedMaterial = -1;   // material menu item of the paper material file; -1: none
  // The setting that CMD_TOGGLE_WINDOW_EASY_PANEL + k flips (kWindowToggleSettings[k]) is
  // nonzero.
  bool windowSettings[kWindowToggleCount];
};

struct CommandAvailability {
  bool enabled;
  bool checked;
  bool operator==(const CommandAvailability&) const = default;
};

// Ids not listed in DOTWRIGHT_COMMANDS and commands with no condition are enabled and
// unchecked.
CommandAvailability QueryCommand(CommandId id, const CommandSnapshot& s);

// The setting each window command flips, for CMD_TOGGLE_WINDOW_EASY_PANEL + k.
inline constexpr int32_t AppSettings::*kWindowToggleSettings[kWindowToggleCount] = {
    &AppSettings::ShowEasyPanel,     &AppSettings::show_tabinfo,      &AppSettings::show_loupe,
    &AppSettings::show_Icon,         &AppSettings::show_Icon1,        &AppSettings::show_Icon2,
    &AppSettings::show_Icon3,        &AppSettings::show_pensetting,   &AppSettings::ShowColorPicker,
    &AppSettings::show_layersetting, &AppSettings::show_penlist,      &AppSettings::show_texture,
    &AppSettings::show_paper_texture, &AppSettings::hide_panel,       &AppSettings::view_panel_right,
    &AppSettings::SeparatePanel,
};

// Copies those settings into s.windowSettings.
void TakeWindowSettings(const AppSettings& settings, CommandSnapshot& s);

// Commands that work on a floating selection or leave it floating (cut, copy, paste, the pen
// slots); before any other command the selection is dropped onto the canvas.
bool CommandKeepsPendingOperation(int32_t command);

// Pen sizes in pixels that CMD_SIZE_DOWN and CMD_SIZE_UP step through, ascending.
inline constexpr int kBrushSizeStepCount = 37;
inline constexpr int32_t kBrushSizeSteps[kBrushSizeStepCount] = {
    1,  2,  3,  4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  20,  25,  30,  35,  40,  50,
    60, 70, 80, 100, 120, 160, 200, 250, 300, 350, 400, 450, 500, 600, 700, 800, 900, 1000};

// The largest step below size; 1 when there is none (size 1 or less).
int32_t BrushSizeStepDown(int32_t size);
// The smallest step above size; 1000 when there is none (size 1000 or more).
int32_t BrushSizeStepUp(int32_t size);
