#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include "settings/canvas_presets.h"
#include "settings/first_start.h"
#include "settings/pen_defaults.h"
#include "settings/settings_file.h"
#include "settings/settings_test_support.h"
#include "files/utf_text.h"

using namespace settings_test;

// ---- Paths and defaults -------------------------------------------------------------------

TEST(InitSettings, WorksOutThePaths) {
  TempFolder root("init-paths");
  PlatformQueries platform = TestPlatform(root.path);
  platform.commandLineFile = u"\"C:\\pictures\\my canvas.png\"";
  AppSettings s{};
  ASSERT_TRUE(InitSettings(s, platform, 1));
  const fs::path data = root.path / "Pictures" / "Dotwright";
  EXPECT_EQ(s.userDataFolder, data);
  EXPECT_EQ(s.settingsFile, data / "setting" / "Dotwright.ini");
  EXPECT_EQ(s.workingCanvasFile, data / "canvas.png");
  EXPECT_EQ(s.defaultTemplate, data / "template" / "a4note.png");
  EXPECT_EQ(s.stampFolder, data / "stamp");
  EXPECT_EQ(s.programFolder, root.path / "Program");
  EXPECT_EQ(TextFromPath(s.currentFilePath), u"C:\\pictures\\my canvas.png");  // quotes stripped
  EXPECT_EQ(Text(s.defaultpath, kPathUnits), TextFromPath(data / ""));
  EXPECT_EQ(Text(s.TemplateFileName, kPathUnits), TextFromPath(data / "template" / "a4note.png"));
  EXPECT_EQ(s.keyboard.owner, 0x1234u);
  EXPECT_EQ(s.joypad.owner, 0x1234u);
}

TEST(InitSettings, CommandLineArgument) {
  EXPECT_EQ(TextFromPath(CommandLineFilePath(u"plain.png")), u"plain.png");
  EXPECT_EQ(TextFromPath(CommandLineFilePath(u"\"quoted name.png\"")), u"quoted name.png");
  EXPECT_EQ(TextFromPath(CommandLineFilePath(u"\"unclosed.png")), u"unclosed.png");
  EXPECT_TRUE(CommandLineFilePath(u"").empty());
}

TEST(InitSettings, DefaultsFromThePlatform) {
  TempFolder root("init-defaults");
  PlatformQueries platform = TestPlatform(root.path);
  AppSettings s{};
  InitSettings(s, platform, 0);
  EXPECT_EQ(s.placement.length, 44u);
  EXPECT_EQ(s.placement.showCmd, 1u);
  EXPECT_EQ(s.placement.rcNormalPosition.bottom, 780);
  EXPECT_EQ(s.newcanvascx, 16000);  // 16 x client width 1000
  EXPECT_EQ(s.newcanvascy, 11200);  // 16 x client height 700
  EXPECT_EQ(Text(s.ResourceFile, kPathUnits), u"English.dll");
  EXPECT_EQ(Text(s.pens[0].Name, kPenNameUnits), u"pencil");

  platform.systemLocale = kJapaneseLocale;
  InitSettings(s, platform, 0);
  EXPECT_EQ(Text(s.ResourceFile, kPathUnits), u"Japanese.dll");
  EXPECT_EQ(Text(s.pens[0].Name, kPenNameUnits), u"鉛筆");
  EXPECT_EQ(Text(s.pens[15].Name, kPenNameUnits), u"練り消し(全レイヤー)");
}

TEST(InitSettings, ResetWithoutReadingIgnoresTheFile) {
  TempFolder root("init-reset");
  AppSettings s{};
  InitSettings(s, TestPlatform(root.path), 1);
  s.AbnormalTerminationCount = 2;
  s.CorrectionStrength = 11;
  s.keyboard.entries = {{0x09, 0x5A, 40005}};
  ASSERT_TRUE(SaveSettings(s));
  InitSettings(s, TestPlatform(root.path), 0);
  EXPECT_EQ(s.AbnormalTerminationCount, 0);
  EXPECT_EQ(s.CorrectionStrength, 3);
  EXPECT_EQ(s.keyboard.entries.size(), 37u);
  EXPECT_EQ(s.Version, 0);  // so the first-start set-up ran again
}

TEST(InitSettings, UnknownPicturesFolderKeepsDefaultsAndTouchesNothing) {
  TempFolder root("init-unknown");
  PlatformQueries platform = TestPlatform(root.path);
  platform.picturesFolder.clear();
  AppSettings s{};
  EXPECT_FALSE(InitSettings(s, platform, 1));
  EXPECT_TRUE(s.settingsFile.empty());
  EXPECT_EQ(s.keyboard.entries.size(), 37u);
  EXPECT_EQ(s.ScreenDPI, 96);
  EXPECT_FALSE(fs::exists(root.path / "Pictures"));
}

TEST(PenDefaults, TheSixteenSlots) {
  PenSetting pens[kPenCount] = {};
  SetPenDefaults(pens, false);
  // Slot 3: ballpoint pen on layer 4; slot 11: selection of layer 6; slot 15: the only eraser
  // with EnablePalette set.
  EXPECT_EQ(Text(pens[3].Name, kPenNameUnits), u"ballpoint pen");
  EXPECT_EQ(pens[3].KindOfPen, 0);
  EXPECT_EQ(pens[3].Size, 6);
  EXPECT_EQ(pens[3].Hardness, 10);
  EXPECT_EQ(pens[3].Palette, 4);
  EXPECT_EQ(pens[11].KindOfPen, 15);
  EXPECT_EQ(pens[11].Palette, 6);
  EXPECT_EQ(pens[15].KindOfPen, 10);
  EXPECT_EQ(pens[15].EnablePalette, 1);
  EXPECT_EQ(pens[0].Size, 215);
  EXPECT_EQ(pens[0].BrushCursor, 0);
  for (const PenSetting& p : pens) {
    EXPECT_EQ(p.Interval, 10);
    EXPECT_EQ(p.Roundness, 100);
    EXPECT_EQ(p.Angle, 90);
    EXPECT_EQ(p.IntervalPressure, 1);
    EXPECT_EQ(p.SizePressure, 0);
    EXPECT_EQ(Text(p.TextureFileName, kPathUnits), u"tone_50.bmp");
    EXPECT_EQ(Text(p.StampFileName, kPathUnits), u"");
  }
  EXPECT_EQ(DefaultPenName(10, true), u"投げ縄(全レイヤー)");
  EXPECT_EQ(DefaultPenName(16, false), u"");
}

TEST(CanvasPresets, SizesAtThePrintResolution) {
  EXPECT_EQ(CanvasPresetSize(1, 600), (CanvasSize{4961, 7016}));   // A4, the default
  EXPECT_EQ(CanvasPresetSize(9, 600), (CanvasSize{7016, 4961}));   // A4 landscape
  EXPECT_EQ(CanvasPresetSize(4, 600), (CanvasSize{8598, 12165}));  // B4
  EXPECT_EQ(CanvasPresetSize(15, 600), (CanvasSize{4299, 3024}));  // B7 landscape
  // 300 DPI: 4961 x 300 / 600 = 2480.5 rounds up to 2481; 7016 / 2 = 3508.
  EXPECT_EQ(CanvasPresetSize(1, 300), (CanvasSize{2481, 3508}));
  // 350 DPI, A3: 7016 x 350 / 600 = 4092.67 -> 4093; 9921 x 350 / 600 = 5787.25 -> 5787.
  EXPECT_EQ(CanvasPresetSize(0, 350), (CanvasSize{4093, 5787}));
  // Out of range: A4; a PrintDPI of 0 counts as 600.
  EXPECT_EQ(CanvasPresetSize(16, 600), (CanvasSize{4961, 7016}));
  EXPECT_EQ(CanvasPresetSize(-1, 600), (CanvasSize{4961, 7016}));
  EXPECT_EQ(CanvasPresetSize(2, 0), (CanvasSize{3496, 4961}));
  EXPECT_EQ(CanvasPresetSize(4, 2000000000).height, INT32_MAX);
}

// ---- First start --------------------------------------------------------------------------

TEST(FirstStart, MakesAndFillsTheUserDataFolders) {
  TempFolder root("first-start");
  const fs::path program = root.path / "Program";
  WriteAll(program / "material" / "none.bmp", "paper");
  WriteAll(program / "material" / "grain.bmp", "grain");
  WriteAll(program / "material" / "old" / "x.bmp", "not copied");  // sub-folders stay behind
  WriteAll(program / "texture" / "tone_50.bmp", "tone");
  WriteAll(program / "stamp" / "star.bmp", "star");
  WriteAll(program / "template" / "a4note.png", "note");
  WriteAll(program / "template" / "README", "no dot");              // "*.*" matches it too
  WriteAll(program / "language" / "English.dll", "not copied");
  // A file from an earlier installation is overwritten.
  const fs::path data = root.path / "Pictures" / "Dotwright";
  WriteAll(data / "texture" / "tone_50.bmp", "old tone");

  PlatformQueries platform = TestPlatform(root.path);
  platform.displayPixelsX = 2560;  // 597 mm: 23.504 in, 108.9 DPI -> 109
  platform.displayMillimetresX = 597;
  platform.monitorDpiX = platform.monitorDpiY = 96;
  AppSettings s{};
  InitSettings(s, platform, 1);

  EXPECT_TRUE(fs::is_directory(data / "setting"));
  EXPECT_EQ(ReadAll(data / "material" / "none.bmp"), "paper");
  EXPECT_EQ(ReadAll(data / "material" / "grain.bmp"), "grain");
  EXPECT_FALSE(fs::exists(data / "material" / "old"));
  EXPECT_EQ(ReadAll(data / "texture" / "tone_50.bmp"), "tone");
  EXPECT_EQ(ReadAll(data / "stamp" / "star.bmp"), "star");
  EXPECT_EQ(ReadAll(data / "template" / "a4note.png"), "note");
  EXPECT_EQ(ReadAll(data / "template" / "README"), "no dot");
  EXPECT_FALSE(fs::exists(data / "language"));
  EXPECT_EQ(s.ScreenDPI, 109);
  EXPECT_EQ(s.UIScaling, 150);  // 96 DPI with GetDpiForMonitor present: 150
}

TEST(FirstStart, MissingProgramFoldersStillMakeEmptyUserFolders) {
  TempFolder root("first-start-bare");
  AppSettings s{};
  InitSettings(s, TestPlatform(root.path), 1);
  const fs::path data = root.path / "Pictures" / "Dotwright";
  for (const char* name : {"setting", "material", "texture", "stamp", "template"})
    EXPECT_TRUE(fs::is_directory(data / name)) << name;
  EXPECT_EQ(s.ScreenDPI, 96);   // 1920 px over 508 mm = 20 in
  EXPECT_EQ(s.UIScaling, 100);  // no GetDpiForMonitor
}

TEST(FirstStart, DisplayMeasurements) {
  EXPECT_EQ(MeasureScreenDpi(1920, 508, 50), 96);
  EXPECT_EQ(MeasureScreenDpi(1366, 344, 50), 101);  // 344 mm = 13.543 in: 100.86
  EXPECT_EQ(MeasureScreenDpi(1920, 0, 50), 50);     // unknown size keeps the value
  EXPECT_EQ(MeasureScreenDpi(0, 508, 50), 50);
  EXPECT_EQ(DetectUiScaling(0, 0), 100);
  EXPECT_EQ(DetectUiScaling(96, 96), 150);
  EXPECT_EQ(DetectUiScaling(143, 96), 150);
  EXPECT_EQ(DetectUiScaling(144, 96), 200);
  EXPECT_EQ(DetectUiScaling(96, 191), 200);
  EXPECT_EQ(DetectUiScaling(96, 192), 300);
}

// ---- Text helpers -------------------------------------------------------------------------

TEST(SettingsText, Utf8AndUtf16) {
  EXPECT_EQ(Utf8ToUtf16("a\xC3\xA9\xE7\xB5\xB5\xF0\x9F\x96\x8A"), u"aé絵\U0001F58A");
  EXPECT_EQ(Utf16ToUtf8(u"aé絵\U0001F58A"), "a\xC3\xA9\xE7\xB5\xB5\xF0\x9F\x96\x8A");
  // Overlong "/" (C0 AF), an encoded surrogate (ED A0 80), a cut sequence at the end.
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), u"\uFFFDx");
  EXPECT_EQ(Utf8ToUtf16("x\xE7\xB5"), u"x\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(SettingsText, FixedBuffers) {
  char16_t buffer[4];
  EXPECT_TRUE(CopyText(buffer, u"abc"));
  EXPECT_EQ(TextOf(buffer), u"abc");
  EXPECT_FALSE(CopyText(buffer, u"abcd"));
  EXPECT_EQ(TextOf(buffer), u"abc");
  EXPECT_FALSE(CopyText(buffer, u"ab\U0001F58A"));  // the pair would straddle the end
  EXPECT_EQ(TextOf(buffer), u"ab");
  const char16_t full[3] = {u'x', u'y', u'z'};  // no terminator: the whole buffer
  EXPECT_EQ(TextOf(full), u"xyz");
}
