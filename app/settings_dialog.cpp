#include "app/settings_dialog.h"

#include <algorithm>
#include <string>

#include "files/pen_xml_fields.h"
#include "files/utf_text.h"

SettingsDraft DraftOfSettings(const AppSettings& s) {
  SettingsDraft d;
  d.newcanvassize = s.newcanvassize;
  d.newcanvascx = s.newcanvascx;
  d.newcanvascy = s.newcanvascy;
  d.PresetIndex = s.PresetIndex;
  d.TemplateFileName = std::u16string(TextOf(s.TemplateFileName));
  d.defaultpath = std::u16string(TextOf(s.defaultpath));
  d.ScreenDPI = s.ScreenDPI;
  d.PrintDPI = s.PrintDPI;
  d.PrintSetting = s.PrintSetting;
  d.TailSwitch = static_cast<int32_t>(s.TailSwitch);
  d.PenEmulation = s.PenEmulation;
  d.TabletDriver = s.TabletDriver;
  d.UseGPU = s.UseGPU;
  d.UIScaling = s.UIScaling;
  d.NumberOfGPUThreads = s.NumberOfGPUThreads;
  d.WindowOpacity = static_cast<int32_t>(s.WindowOpacity);
  d.CorrectionStrength = s.CorrectionStrength;
  d.refColoursShown = s.ChangeRefColors != 0;
  d.printBwShown = s.PrintBW != 0;
  return d;
}

void ApplySettingsDraft(const SettingsDraft& d, AppSettings& s) {
  s.newcanvassize = d.newcanvassize;
  s.newcanvascx = d.newcanvascx;
  s.newcanvascy = d.newcanvascy;
  s.PresetIndex = d.PresetIndex;
  (void)CopyText(s.TemplateFileName, d.TemplateFileName);
  (void)CopyText(s.defaultpath, d.defaultpath);
  s.ScreenDPI = d.ScreenDPI;
  s.PrintDPI = d.PrintDPI;
  s.PrintSetting = d.PrintSetting;
  s.TailSwitch = static_cast<uint32_t>(d.TailSwitch);
  s.PenEmulation = d.PenEmulation;
  s.TabletDriver = d.TabletDriver;
  s.UseGPU = d.UseGPU;
  s.UIScaling = d.UIScaling;
  s.NumberOfGPUThreads = d.NumberOfGPUThreads;
  s.WindowOpacity = static_cast<uint32_t>(d.WindowOpacity);
  s.CorrectionStrength = d.CorrectionStrength;
}

int32_t RadioButtonOf(const SettingsRadioGroup& g, int32_t value) {
  const int32_t index = g.valueIsButton ? value - g.first : value;
  return index >= 0 && index < g.count ? g.first + index : -1;
}

bool ClickSettingsRadio(SettingsDraft& draft, int32_t button) {
  for (const SettingsRadioGroup& g : kSettingsRadioGroups) {
    if (button < g.first || button >= g.first + g.count) continue;
    draft.*g.field = g.valueIsButton ? button : button - g.first;
    return true;
  }
  return false;
}

int32_t SettingsSliderPosition(const SettingsSlider& slider, int32_t value) {
  if (!slider.values) return std::clamp(value, 0, slider.maximum);
  for (int32_t p = 0; p <= slider.maximum; ++p)
    if (slider.values[p] == value) return p;
  return 0;
}

int32_t SettingsSliderValue(const SettingsSlider& slider, int32_t position) {
  const int32_t p = std::clamp(position, 0, slider.maximum);
  return slider.values ? slider.values[p] : p;
}

std::u16string SettingsSliderLabel(const SettingsSlider& slider, int32_t position) {
  const std::string digits = std::to_string(SettingsSliderValue(slider, position));
  std::u16string text(digits.begin(), digits.end());
  if (slider.percent) text += u'%';
  return text;
}

const SettingsSlider* FindSettingsSlider(int32_t control) {
  for (const SettingsSlider& s : kSettingsSliders)
    if (s.control == control) return &s;
  return nullptr;
}

int32_t CanvasSideFromText(std::u16string_view text) {
  return std::clamp(LeadingInteger(text), kMinNewCanvasSide, kMaxNewCanvasSide);
}
int32_t ScreenDpiFromText(std::u16string_view text) {
  return std::clamp(LeadingInteger(text), kMinScreenDpi, kMaxScreenDpi);
}
int32_t PrintDpiFromText(std::u16string_view text) {
  return std::clamp(LeadingInteger(text), kMinPrintDpi, kMaxPrintDpi);
}

std::u16string FolderWithBackslash(std::u16string_view text) {
  std::u16string folder(text);
  if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
  return folder;
}

SettingsDraftProblem CheckSettingsDraft(const SettingsDraft& draft,
                                        const std::function<bool(std::u16string_view)>& fileExists,
                                        const std::function<bool(std::u16string_view)>& isFolder) {
  if (!draft.TemplateFileName.empty() && !(fileExists && fileExists(draft.TemplateFileName)))
    return SettingsDraftProblem::kMissingTemplate;
  if (!draft.defaultpath.empty() && !(isFolder && isFolder(draft.defaultpath)))
    return SettingsDraftProblem::kNotAFolder;
  return SettingsDraftProblem::kNone;
}
