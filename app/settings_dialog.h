// The settings dialog's rules, apart from its window: the record it edits (a copy of the
// settings it shows), the clamps of its number edits, the slider scales, the radio groups, the
// checks OK makes and what OK copies back. Nothing reaches the live settings before OK.
//
// Control identifiers are those of the dialog template (100 of the language libraries).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "settings/app_settings.h"

inline constexpr int32_t kSettingsDialogTemplate = 100;

// Edits and buttons.
inline constexpr int32_t kCanvasWidthEdit = 1000;
inline constexpr int32_t kCanvasHeightEdit = 1003;
inline constexpr int32_t kPrinterPageButton = 1033;
inline constexpr int32_t kPresetList = 1045;
inline constexpr int32_t kTemplateEdit = 1011;
inline constexpr int32_t kTemplateBrowseButton = 1012;
inline constexpr int32_t kFolderEdit = 1048;
inline constexpr int32_t kFolderBrowseButton = 1014;
inline constexpr int32_t kScreenDpiEdit = 1036;
inline constexpr int32_t kPrintDpiEdit = 1038;
inline constexpr int32_t kUseGpuBox = 1027;
inline constexpr int32_t kRefColoursBox = 1028;  // shown only
inline constexpr int32_t kPrintBwBox = 1035;     // shown only

// What the dialog edits: the fields of its controls, the shown-only ones included.
struct SettingsDraft {
  int32_t newcanvassize = kNewCanvasPreset;
  int32_t newcanvascx = 1, newcanvascy = 1;
  int32_t PresetIndex = 0;
  std::u16string TemplateFileName;  // at most 259 units
  std::u16string defaultpath;       // at most 259 units
  int32_t ScreenDPI = 96, PrintDPI = 600;
  int32_t PrintSetting = 0, TailSwitch = 0, PenEmulation = 0, TabletDriver = 0;
  int32_t UseGPU = 0;
  int32_t UIScaling = 100, NumberOfGPUThreads = 256;
  int32_t WindowOpacity = 128, CorrectionStrength = 3;
  // Shown only, never written back.
  bool refColoursShown = false, printBwShown = false;
};

SettingsDraft DraftOfSettings(const AppSettings& settings);

// OK: the draft's fields over the live settings (the shown-only ones are left alone; paths too
// long for their 260-unit fields are cut).
void ApplySettingsDraft(const SettingsDraft& draft, AppSettings& settings);

// A radio button group: the buttons in order and the field's value for each.
struct SettingsRadioGroup {
  int32_t first, count;  // buttons first .. first + count - 1 (newcanvassize: 1005 .. 1008)
  int32_t SettingsDraft::*field;
  bool valueIsButton;    // the field holds the button's identifier, else its index 0..count-1
};

inline constexpr int kSettingsRadioGroupCount = 5;
inline constexpr SettingsRadioGroup kSettingsRadioGroups[kSettingsRadioGroupCount] = {
    {1005, 4, &SettingsDraft::newcanvassize, true},
    {1031, 2, &SettingsDraft::PrintSetting, false},
    {1023, 2, &SettingsDraft::TailSwitch, false},
    {1046, 2, &SettingsDraft::PenEmulation, false},
    {1056, 2, &SettingsDraft::TabletDriver, false},
};

// The button to check for the field's value: -1 when no button of the group has that value.
int32_t RadioButtonOf(const SettingsRadioGroup& group, int32_t value);
// Button `button` was clicked: the group it belongs to takes its value. Returns false when the
// button is in no group.
bool ClickSettingsRadio(SettingsDraft& draft, int32_t button);

// The sliders: positions 0..maximum; a table of values, or the position itself.
struct SettingsSlider {
  int32_t control, label;
  int32_t maximum;
  int32_t SettingsDraft::*field;
  const int32_t* values;  // maximum + 1 values, or null: linear
  bool percent;           // the label reads "%d%%"
};

inline constexpr int32_t kUiScalingSteps[4] = {100, 150, 200, 300};
inline constexpr int32_t kGpuThreadSteps[5] = {256, 576, 1024, 2304, 4096};

inline constexpr int kSettingsSliderCount = 4;
inline constexpr SettingsSlider kSettingsSliders[kSettingsSliderCount] = {
    {1009, 1040, 3, &SettingsDraft::UIScaling, kUiScalingSteps, true},
    {1018, 1026, 4, &SettingsDraft::NumberOfGPUThreads, kGpuThreadSteps, false},
    {1025, 1030, 255, &SettingsDraft::WindowOpacity, nullptr, false},
    {1029, 1034, 20, &SettingsDraft::CorrectionStrength, nullptr, false},
};

// The position that shows a value: its step's index (0 for a value that is no step), or the
// value kept within 0..maximum for a linear slider.
int32_t SettingsSliderPosition(const SettingsSlider& slider, int32_t value);
// The value of a position (kept within 0..maximum).
int32_t SettingsSliderValue(const SettingsSlider& slider, int32_t position);
// The label of a position: its value as "%d" or "%d%%".
std::u16string SettingsSliderLabel(const SettingsSlider& slider, int32_t position);
const SettingsSlider* FindSettingsSlider(int32_t control);

// The number edits: the leading integer of the text (0 without digits), clamped.
inline constexpr int32_t kMinNewCanvasSide = 1, kMaxNewCanvasSide = 65535;
inline constexpr int32_t kMinScreenDpi = 75, kMaxScreenDpi = 600;
inline constexpr int32_t kMinPrintDpi = 75, kMaxPrintDpi = 1200;
int32_t CanvasSideFromText(std::u16string_view text);
int32_t ScreenDpiFromText(std::u16string_view text);
int32_t PrintDpiFromText(std::u16string_view text);

// The folder edit: a text that is not empty and does not end in a backslash gets one.
std::u16string FolderWithBackslash(std::u16string_view text);

enum class SettingsDraftProblem {
  kNone = 0,
  kMissingTemplate,  // "Template file is not exist."
  kNotAFolder,       // language string 101
};

// OK's checks, in order: a template path naming no file, then a folder path that is no folder.
SettingsDraftProblem CheckSettingsDraft(const SettingsDraft& draft,
                                        const std::function<bool(std::u16string_view)>& fileExists,
                                        const std::function<bool(std::u16string_view)>& isFolder);

// The size-preset list: 16 entries, language strings 201 .. 216.
inline constexpr int32_t kPresetListCount = 16;
inline constexpr uint32_t kStringFirstPreset = 201;
// The folder browser's title.
inline constexpr uint32_t kStringChooseFolder = 102;
// Shown when the folder is no folder.
inline constexpr uint32_t kStringFolderMissing = 101;
