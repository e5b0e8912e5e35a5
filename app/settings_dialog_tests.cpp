#include "app/settings_dialog.h"

#include <gtest/gtest.h>

#include "files/utf_text.h"

namespace {

const SettingsSlider& Slider(int32_t control) {
  const SettingsSlider* s = FindSettingsSlider(control);
  EXPECT_NE(s, nullptr) << control;
  return s ? *s : kSettingsSliders[0];
}

}  // namespace

TEST(SettingsDialogEdits, NumbersAreClampedAtBothEnds) {
  EXPECT_EQ(CanvasSideFromText(u"0"), 1);
  EXPECT_EQ(CanvasSideFromText(u"70000"), 65535);
  EXPECT_EQ(CanvasSideFromText(u"1"), 1);
  EXPECT_EQ(CanvasSideFromText(u"65535"), 65535);
  EXPECT_EQ(CanvasSideFromText(u""), 1);
  EXPECT_EQ(ScreenDpiFromText(u"50"), 75);
  EXPECT_EQ(ScreenDpiFromText(u"601"), 600);
  EXPECT_EQ(ScreenDpiFromText(u"96"), 96);
  EXPECT_EQ(PrintDpiFromText(u"2000"), 1200);
  EXPECT_EQ(PrintDpiFromText(u"74"), 75);
  EXPECT_EQ(PrintDpiFromText(u"1200"), 1200);
}

TEST(SettingsDialogEdits, AFolderGetsItsBackslash) {
  EXPECT_EQ(FolderWithBackslash(u"C:\\pictures"), u"C:\\pictures\\");
  EXPECT_EQ(FolderWithBackslash(u"C:\\pictures\\"), u"C:\\pictures\\");
  EXPECT_EQ(FolderWithBackslash(u""), u"");
}

TEST(SettingsDialogSliders, StepsAndLinearScales) {
  const SettingsSlider& scale = Slider(1009);
  const SettingsSlider& threads = Slider(1018);
  const SettingsSlider& opacity = Slider(1025);
  const SettingsSlider& smoothing = Slider(1029);
  EXPECT_EQ(SettingsSliderValue(scale, 0), 100);
  EXPECT_EQ(SettingsSliderValue(scale, 3), 300);
  EXPECT_EQ(SettingsSliderPosition(scale, 200), 2);
  EXPECT_EQ(SettingsSliderLabel(scale, 1), u"150%");
  EXPECT_EQ(SettingsSliderValue(threads, 4), 4096);
  EXPECT_EQ(SettingsSliderPosition(threads, 2304), 3);
  EXPECT_EQ(SettingsSliderLabel(threads, 1), u"576");
  // A value that is no step shows position 0 and its value.
  EXPECT_EQ(SettingsSliderPosition(scale, 125), 0);
  EXPECT_EQ(SettingsSliderLabel(threads, SettingsSliderPosition(threads, 1000)), u"256");
  EXPECT_EQ(SettingsSliderPosition(opacity, 300), 255);
  EXPECT_EQ(SettingsSliderValue(opacity, 128), 128);
  EXPECT_EQ(SettingsSliderValue(smoothing, 25), 20);
  EXPECT_EQ(SettingsSliderPosition(smoothing, -1), 0);
}

TEST(SettingsDialogRadios, EachGroupStoresItsButtonOrIndex) {
  SettingsDraft d;
  EXPECT_TRUE(ClickSettingsRadio(d, 1008));
  EXPECT_EQ(d.newcanvassize, 1008);
  EXPECT_TRUE(ClickSettingsRadio(d, 1032));
  EXPECT_EQ(d.PrintSetting, 1);
  EXPECT_TRUE(ClickSettingsRadio(d, 1023));
  EXPECT_EQ(d.TailSwitch, 0);
  EXPECT_TRUE(ClickSettingsRadio(d, 1047));
  EXPECT_EQ(d.PenEmulation, 1);
  EXPECT_TRUE(ClickSettingsRadio(d, 1057));
  EXPECT_EQ(d.TabletDriver, 1);
  EXPECT_FALSE(ClickSettingsRadio(d, 1027));
  EXPECT_EQ(RadioButtonOf(kSettingsRadioGroups[0], 1006), 1006);
  EXPECT_EQ(RadioButtonOf(kSettingsRadioGroups[0], 7), -1);
  EXPECT_EQ(RadioButtonOf(kSettingsRadioGroups[2], 1), 1024);
  EXPECT_EQ(RadioButtonOf(kSettingsRadioGroups[4], 5), -1);  // any other driver value: none checked
}

TEST(SettingsDialogOk, TemplateThenFolderAreChecked) {
  SettingsDraft d;
  d.TemplateFileName = u"C:\\t.png";
  d.defaultpath = u"C:\\pics\\";
  const auto file = [](std::u16string_view p) { return p == u"C:\\t.png"; };
  const auto folder = [](std::u16string_view p) { return p == u"C:\\pics\\"; };
  const auto none = [](std::u16string_view) { return false; };
  EXPECT_EQ(CheckSettingsDraft(d, file, folder), SettingsDraftProblem::kNone);
  EXPECT_EQ(CheckSettingsDraft(d, none, none), SettingsDraftProblem::kMissingTemplate);
  EXPECT_EQ(CheckSettingsDraft(d, file, none), SettingsDraftProblem::kNotAFolder);
  d.TemplateFileName.clear();
  d.defaultpath.clear();
  EXPECT_EQ(CheckSettingsDraft(d, none, none), SettingsDraftProblem::kNone);  // empty paths pass
}

TEST(SettingsDialogOk, ApplyCopiesTheEditedFieldsOnly) {
  AppSettings live{};
  live.ChangeRefColors = 1;
  live.PrintBW = 0;
  live.UIScaling = 125;
  SettingsDraft d = DraftOfSettings(live);
  EXPECT_TRUE(d.refColoursShown);
  EXPECT_FALSE(d.printBwShown);
  EXPECT_EQ(d.UIScaling, 125);
  d.refColoursShown = false;
  d.printBwShown = true;
  d.newcanvassize = 1006;
  d.newcanvascx = 640;
  d.newcanvascy = 480;
  d.TemplateFileName = u"C:\\t.png";
  d.defaultpath = u"C:\\pics\\";
  d.ScreenDPI = 110;
  d.PrintDPI = 300;
  d.TailSwitch = 0;
  d.UseGPU = 1;
  d.UIScaling = 200;
  d.NumberOfGPUThreads = 1024;
  d.WindowOpacity = 200;
  d.CorrectionStrength = 7;
  d.PresetIndex = 4;
  ApplySettingsDraft(d, live);
  EXPECT_EQ(live.newcanvassize, 1006);
  EXPECT_EQ(live.newcanvascx, 640);
  EXPECT_EQ(live.newcanvascy, 480);
  EXPECT_EQ(TextOf(live.TemplateFileName), u"C:\\t.png");
  EXPECT_EQ(TextOf(live.defaultpath), u"C:\\pics\\");
  EXPECT_EQ(live.ScreenDPI, 110);
  EXPECT_EQ(live.PrintDPI, 300);
  EXPECT_EQ(live.TailSwitch, 0u);
  EXPECT_EQ(live.UseGPU, 1);
  EXPECT_EQ(live.UIScaling, 200);
  EXPECT_EQ(live.NumberOfGPUThreads, 1024);
  EXPECT_EQ(live.WindowOpacity, 200u);
  EXPECT_EQ(live.CorrectionStrength, 7);
  EXPECT_EQ(live.PresetIndex, 4);
  EXPECT_EQ(live.ChangeRefColors, 1u);  // shown only
  EXPECT_EQ(live.PrintBW, 0);
}
