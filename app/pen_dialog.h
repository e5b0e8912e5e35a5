// The pen setting dialog's rules, apart from its window: which control edits which field of the
// preset, how a slider position becomes a value and back, the clamps of its edits, which
// controls belong to the stamp brush, the preset an XML import starts from, and what OK and
// Cancel do to the preset and its stamp. The dialog (shell/pen_setting_dialog) edits one preset
// in place, live, and keeps a copy of it as it was when it opened for Cancel.
//
// Control identifiers are those of the dialog template (116 of the language libraries).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "brush/pen_setting.h"
#include "tools/app_context.h"

inline constexpr int32_t kPenDialogTemplate = 116;
inline constexpr int32_t kStampBrushKind = 19;

// Controls other than sliders and check boxes.
inline constexpr int32_t kPenNameEdit = 1003;
inline constexpr int32_t kPenKindList = 1004;
inline constexpr int32_t kStampPathEdit = 1011;
inline constexpr int32_t kStampBrowseButton = 1012;
inline constexpr int32_t kTextureOffsetXEdit = 1036;
inline constexpr int32_t kTextureOffsetYEdit = 1038;
inline constexpr int32_t kPenImportButton = 1061;
inline constexpr int32_t kPenExportButton = 1062;
inline constexpr int32_t kStampCheckBox = 1028;
inline constexpr int32_t kStampGroupBox = 1039;

// How a slider's position maps to its field.
enum class PenSliderScale {
  kLinear,     // the position is the value
  kSize,       // 1..1000 on a logarithmic scale over positions 0..1000
  kInterval,   // 1..999 on a logarithmic scale over positions 1..1000
  kDispersal,  // 0..999 on a logarithmic scale over positions 1..1000
};

struct PenSlider {
  int32_t control;          // the slider
  int32_t label;            // the static text that shows the value
  int32_t minimum, maximum; // the slider's range of positions
  PenSliderScale scale;
  int32_t PenSetting::*field;
  bool percent;             // the label reads "%d%%", else "%d"
  bool reselects;           // a change is reported to the main window (Size, Hardness)
};

inline constexpr int kPenSliderCount = 9;
inline constexpr PenSlider kPenSliders[kPenSliderCount] = {
    {1049, 1050, 0, 1000, PenSliderScale::kSize, &PenSetting::Size, false, true},
    {1051, 1052, 0, 100, PenSliderScale::kLinear, &PenSetting::Hardness, false, true},
    {1060, 1040, 0, 100, PenSliderScale::kLinear, &PenSetting::SizePressure, true, false},
    {1018, 1026, 1, 1000, PenSliderScale::kInterval, &PenSetting::Interval, true, false},
    {1025, 1030, 1, 1000, PenSliderScale::kDispersal, &PenSetting::Dispersal, true, false},
    {1029, 1034, 1, 100, PenSliderScale::kLinear, &PenSetting::Roundness, true, false},
    {1009, 1002, 0, 359, PenSliderScale::kLinear, &PenSetting::Angle, false, false},
    {1044, 1041, 0, 100, PenSliderScale::kLinear, &PenSetting::AngleJitter, true, false},
    {1043, 1042, 0, 100, PenSliderScale::kLinear, &PenSetting::SizeJitter, true, false},
};

struct PenCheckBox {
  int32_t control;
  int32_t PenSetting::*field;  // 1 while checked, 0 otherwise
};

inline constexpr int kPenCheckBoxCount = 9;
inline constexpr PenCheckBox kPenCheckBoxes[kPenCheckBoxCount] = {
    {1035, &PenSetting::EnablePalette},     {1063, &PenSetting::BrushCursor},
    {1010, &PenSetting::IntervalPressure},  {1013, &PenSetting::DispersalPressure},
    {1015, &PenSetting::RoundnessPressure}, {1017, &PenSetting::RoundnessTilt},
    {1019, &PenSetting::AngleRotation},     {1027, &PenSetting::Direction},
    {kStampCheckBox, &PenSetting::Stamp},
};

// The controls that only the stamp brush uses (its sliders, their labels, its check boxes, its
// group box and the stamp path): enabled while the kind is kStampBrushKind.
inline constexpr int kStampBrushControlCount = 22;
inline constexpr int32_t kStampBrushControls[kStampBrushControlCount] = {
    1018, 1025, 1029, 1009, 1044, 1043, 1026, 1030, 1034, 1002, 1041,
    1042, 1010, 1013, 1015, 1017, 1019, 1039, 1027, 1028, 1011, 1012};

inline bool StampBrushControlsEnabled(int32_t kind) { return kind == kStampBrushKind; }

// The slider of that control, or null.
const PenSlider* FindPenSlider(int32_t control);

// The field's value for a slider position (kept within the slider's range first):
//   kSize:      trunc(1000^(pos/1000) + 0.5)
//   kInterval:  trunc((1000^(pos/1000) - 1) * 998/999 + 1 + 0.5)
//   kDispersal: trunc((1000^(pos/1000) - 1) * 999/999 + 0.5)
// where 998/999 and 999/999 are 0.001001001001001001 times 998 and 999 in double precision.
int32_t PenSliderValue(const PenSlider& slider, int32_t position);

// The slider position that shows a field's value, within the slider's range:
//   kSize:      trunc(ln(Size) * 1000 / ln 1000)
//   kInterval:  trunc(ln(Interval) * 1000 / ln 999)
//   kDispersal: trunc(ln(Dispersal * 999/999 + 1) * 1000 / ln 1000)
// A value below the smallest the scale can take (Size or Interval below 1, Dispersal below 0)
// counts as that smallest value.
int32_t PenSliderPosition(const PenSlider& slider, int32_t value);

// The label text of a value: "%d", or "%d%%" for a percentage.
std::u16string PenSliderLabel(const PenSlider& slider, int32_t value);

// A texture offset typed into its edit: the leading integer of the text, kept within 0..255.
int32_t TextureOffsetFromText(std::u16string_view text);

// Stores a typed stamp path (at most 259 units); longer text is cut. (Names: SetPenName of
// app/pen_panels.h.)
void SetStampPath(PenSetting& pen, std::u16string_view text);

// Loads the stamp at a full path; null when it cannot be read.
using StampLoader = std::function<DibBitmap*(std::u16string_view path)>;

// The pen's stamp bitmap is replaced by the one its StampFileName names (null when the path is
// empty or the file cannot be read; the old one is freed) and the session's transformed stamps
// are forgotten. Only when Stamp is 1 and the path is not empty; returns whether it reloaded.
bool ReloadPenStamp(AppContext& app, PenSetting& pen, const StampLoader& load);

// The preset an XML import reads into: the defaults of a new pen (kind 0, Size 50, Hardness 50,
// layer 0 with EnablePalette 1, BrushCursor 1, Interval 10, Roundness 100, Angle 90,
// IntervalPressure 1, texture "tone_50.bmp", every other number 0, name and stamp path empty)
// with the edited preset's dialog-open flag and stamp bitmap, so a file that lacks an element
// gives the default, not the preset's old value.
PenSetting PenImportTemplate(const PenSetting& edited);

// Takes an imported preset over: a stamp path holding the Pictures token gets the Pictures
// folder back (RestorePicturesFolder), the preset becomes the import, and its stamp is reloaded
// when it uses one (ReloadPenStamp).
void AdoptImportedPen(AppContext& app, PenSetting& pen, const PenSetting& imported,
                      std::u16string_view picturesFolder, const StampLoader& load);

enum class PenDialogClose {
  kClose = 0,      // the dialog may close; the dialog-open flag is cleared
  kMissingStamp,   // a stamp path names no file: "Stamp file is not exist.", the dialog stays
};

// OK, after the edits were read: a stamp path naming a missing file keeps the dialog open;
// an empty path turns Stamp off. stampExists tells whether the file at the path exists.
PenDialogClose FinishPenDialog(PenSetting& pen, const std::function<bool(std::u16string_view)>& stampExists);

// Cancel: the preset becomes the copy taken when the dialog opened, with its stamp loaded anew
// from the restored path (the bitmap the copy points to may have been freed by an edit), the
// transformed stamps forgotten and the dialog-open flag cleared.
void CancelPenEdits(AppContext& app, PenSetting& pen, const PenSetting& atOpening, const StampLoader& load);

// The stamp loader of the program: LoadStamp (files/pen_resources) of the path.
StampLoader FileStampLoader();
