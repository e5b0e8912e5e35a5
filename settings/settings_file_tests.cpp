#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "settings/number_text.h"
#include "settings/settings_keys.h"
#include "settings/settings_test_support.h"
#include "files/utf_text.h"

using namespace settings_test;

namespace {

// A record as the program has it after start-up in folder root (first start done, no file).
AppSettings FreshSettings(const fs::path& root, uint32_t locale = 1033) {
  PlatformQueries platform = TestPlatform(root);
  platform.systemLocale = locale;
  AppSettings s{};
  InitSettings(s, platform, 1);
  return s;
}

// Writes a settings file (mark included by the caller) and starts the program on it.
AppSettings StartWithFile(const fs::path& root, const std::string& contents) {
  WriteAll(root / "Pictures" / "Dotwright" / "setting" / "Dotwright.ini", contents);
  AppSettings s{};
  InitSettings(s, TestPlatform(root), 1);
  return s;
}

// Every saved field of a and b through the key table, plus the bindings.
void ExpectSameSavedFields(const AppSettings& a, const AppSettings& b) {
  AppSettings& x = const_cast<AppSettings&>(a);
  AppSettings& y = const_cast<AppSettings&>(b);
  for (const SettingKey& k : SettingKeyTable()) {
    if (!k.address) continue;
    const void* fa = k.address(x, k.pen);
    const void* fb = k.address(y, k.pen);
    switch (k.type) {
      case SettingType::kInt32:
        EXPECT_EQ(*static_cast<const int32_t*>(fa), *static_cast<const int32_t*>(fb)) << k.key;
        break;
      case SettingType::kUInt32:
        EXPECT_EQ(*static_cast<const uint32_t*>(fa), *static_cast<const uint32_t*>(fb)) << k.key;
        break;
      case SettingType::kText:
        EXPECT_EQ(Text(static_cast<const char16_t*>(fa), k.capacity), Text(static_cast<const char16_t*>(fb), k.capacity))
            << k.key;
        break;
      case SettingType::kNone:
        break;
    }
  }
  EXPECT_EQ(a.keyboard.entries, b.keyboard.entries);
  EXPECT_EQ(a.joypad.entries, b.joypad.entries);
}

}  // namespace

// ---- Numbers ------------------------------------------------------------------------------

TEST(SettingsNumbers, ReadLikeTheCRuntimeWithBaseZero) {
  const struct {
    const char* text;
    int32_t value;
  } signedCases[] = {
      {"010", 8},     // leading 0: octal
      {"08", 0},      // octal stops at 8
      {"0x", 0},      // "0", then a stray x
      {"12abc", 12}, {"  -42", -42}, {"", 0}, {"abc", 0}, {"0XFF", 255},
      {"2147483648", INT32_MAX},  // saturates like a 32-bit strtol
      {"-99999999999", INT32_MIN}, {"0xffffffff", INT32_MAX},
  };
  for (const auto& c : signedCases) EXPECT_EQ(ParseInt32Base0(c.text), c.value) << '"' << c.text << '"';
  const struct {
    const char* text;
    uint32_t value;
  } unsignedCases[] = {
      {"0xffffff", 16777215u}, {"16777215", 16777215u},
      {"-1", 0xFFFFFFFFu},  // strtoul negates modulo 2^32
      {"-2147483648", 0x80000000u}, {"4294967296", 0xFFFFFFFFu}, {"--1", 0u}, {"- 1", 0u},
  };
  for (const auto& c : unsignedCases) EXPECT_EQ(ParseUInt32Base0(c.text), c.value) << '"' << c.text << '"';
}

// ---- The key table ------------------------------------------------------------------------

TEST(SettingsKeyTable, OrderAndForms) {
  const auto keys = SettingKeyTable();
  EXPECT_EQ(keys[0].key, "showCmd=");
  EXPECT_EQ(keys[0].form, SettingForm::kHex);
  EXPECT_EQ(keys[4].key, "rcNormalPosition_bottom=");
  EXPECT_EQ(keys[5].key, "CorrectionStrength=");
  // Pen keys: 6 + 25 x slot + field.
  EXPECT_EQ(keys[6].key, "Pen0Name=");
  EXPECT_EQ(keys[6].capacity, 32);
  EXPECT_EQ(keys[6 + 24].key, "Pen0TextureOffsetY=");
  EXPECT_EQ(keys[6 + 25 * 3 + 22].key, "Pen3TextureFileName=");
  EXPECT_EQ(keys[6 + 25 * 15].key, "Pen15Name=");
  EXPECT_EQ(keys[406].key, "numPenSetting=");
  EXPECT_EQ(keys[496].key, "AbnormalTerminationCount=");
  EXPECT_EQ(keys[497].key, "RecoveryInterval=");
  EXPECT_EQ(keys[498].key, "TextureFileName=");
  EXPECT_EQ(keys[498].form, SettingForm::kIgnored);

  // 21 hexadecimal keys: showCmd, bgcolor, drawingcolor, RefColor0, RefColor1, 16 CustColors.
  // 52 text keys: 3 per pen, defaultpath, MaterialFileName, TemplateFileName, ResourceFile.
  // 11 stamp-only keys per pen (Interval .. StampFileName).
  int hex = 0, text = 0, stampOnly = 0;
  for (const SettingKey& k : keys) {
    hex += k.form == SettingForm::kHex;
    text += k.form == SettingForm::kText;
    stampOnly += k.stampOnly;
  }
  EXPECT_EQ(hex, 21);
  EXPECT_EQ(text, 52);
  EXPECT_EQ(stampOnly, 16 * 15);
}

TEST(SettingsKeyTable, KeysAreDistinctAndNoneBeginsAnother) {
  const auto keys = SettingKeyTable();
  for (int i = 0; i < kSettingKeyCount; ++i) {
    ASSERT_FALSE(keys[i].key.empty());
    EXPECT_EQ(keys[i].key.back(), '=') << keys[i].key;
    for (int j = 0; j < kSettingKeyCount; ++j)
      if (i != j) {
        EXPECT_FALSE(keys[j].key.starts_with(keys[i].key)) << keys[i].key << " / " << keys[j].key;
      }
  }
}

TEST(SettingsKeyTable, EveryKeyOwnsOneFieldOfTheRecord) {
  AppSettings s{};
  const char* begin = reinterpret_cast<const char*>(&s);
  const char* end = begin + sizeof s;
  std::set<const void*> seen;
  for (const SettingKey& k : SettingKeyTable()) {
    if (!k.address) continue;
    const char* field = static_cast<const char*>(k.address(s, k.pen));
    EXPECT_TRUE(field >= begin && field < end) << k.key;
    EXPECT_TRUE(seen.insert(field).second) << k.key << " shares its field";
  }
  EXPECT_EQ(seen.size(), 498u);
  // Spot checks by name: the odd spelling lands in the colour picker's Y position.
  EXPECT_EQ(FindSettingKey("COlorPickerWindowPosY=5")->address(s, -1), &s.ColorPickerWindowPosY);
  EXPECT_EQ(FindSettingKey("ColorPickerWindowPosY=5"), nullptr);
  EXPECT_EQ(FindSettingKey("showCmd=1")->address(s, -1), &s.placement.showCmd);
  EXPECT_EQ(FindSettingKey("CustColors15=0")->address(s, -1), &s.CustColors[15]);
  const SettingKey* pen = FindSettingKey("Pen10Size=3");
  EXPECT_EQ(pen->address(s, pen->pen), &s.pens[10].Size);
  EXPECT_EQ(FindSettingKey("Pen1Size=3")->pen, 1);  // not taken for Pen10Size= or the reverse
}

// ---- Writing ------------------------------------------------------------------------------

TEST(SettingsFileWriting, DefaultFileLineByLine) {
  TempFolder root("settings-write");
  AppSettings s = FreshSettings(root.path);
  s.Version = 3;  // whatever the record holds, 10700 is written
  bool bareLineFeed = true;
  const std::string text = FormatSettingsFile(s);
  ASSERT_EQ(text.substr(0, 3), kMark);
  const auto lines = SplitCrLf(text, &bareLineFeed);
  EXPECT_FALSE(bareLineFeed);
  // [config] + 6 window keys + 16 pens x 10 written fields (no default pen is of kind 19)
  // + 92 further keys (the ignored one is not written) + [key] + 37 bindings.
  ASSERT_EQ(lines.size(), 1u + 6 + 160 + 92 + 1 + 37);
  // Lines at known places: Interval .. StampFileName are skipped between lines 13 and 14;
  // binding 260 is Ctrl+N -> 40001, 296 Ctrl+Z -> 40101.
  const std::pair<size_t, const char*> placed[] = {
      {0, "[config]"}, {1, "showCmd=0x1"}, {2, "rcNormalPosition_left=10"}, {4, "rcNormalPosition_right=1010"},
      {6, "CorrectionStrength=3"}, {7, "Pen0Name=pencil"}, {8, "Pen0KindOfPen=6"}, {9, "Pen0Size=215"},
      {13, "Pen0BrushCursor=0"}, {14, "Pen0TextureFileName=tone_50.bmp"}, {16, "Pen0TextureOffsetY=0"},
      {17, "Pen1Name=eraser all"}, {167, "numPenSetting=0"}, {257, "AbnormalTerminationCount=0"},
      {258, "RecoveryInterval=120"}, {259, "[key]"}, {260, "09004E=9C41"}, {296, "09005A=9CA5"}};
  for (const auto& [at, line] : placed) EXPECT_EQ(lines[at], line) << "line " << at;
  // Lines anywhere; newcanvascx is 16 x the 1000-pixel client width.
  auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  for (const std::string& line :
       {std::string("newcanvassize=1007"), std::string("newcanvascx=16000"), std::string("newcanvascy=11200"),
        std::string("bgcolor=0xffffff"), std::string("drawingcolor=0x0"), std::string("RefColor0=0xff8080"),
        std::string("CustColors15=0xffffff"), std::string("opacity=255"), std::string("MaterialFileName=none.bmp"),
        std::string("ResourceFile=English.dll"), std::string("Version=10700"), std::string("COlorPickerWindowPosY=0"),
        "defaultpath=" + Utf16ToUtf8(TextFromPath(root.path / "Pictures" / "Dotwright" / "")),
        "TemplateFileName=" + Utf16ToUtf8(TextFromPath(s.defaultTemplate))})
    EXPECT_TRUE(has(line)) << line;
  EXPECT_FALSE(has("ColorPickerWindowPosY=0"));
  for (const auto& line : lines) EXPECT_FALSE(line.starts_with("TextureFileName=")) << line;
}

TEST(SettingsFileWriting, UnsignedDecimalAboveTheSignedRangeRoundTrips) {
  TempFolder root("settings-unsigned");
  AppSettings s = FreshSettings(root.path);
  s.opacity = 0xFFFFFFFEu;  // written "%d" as -2; read back by strtoul as 2^32 - 2
  const auto lines = SplitCrLf(FormatSettingsFile(s));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "opacity=-2"), lines.end());
  ASSERT_TRUE(SaveSettings(s));
  AppSettings back = FreshSettings(root.path);
  EXPECT_EQ(back.opacity, 0xFFFFFFFEu);
}

TEST(SettingsFileWriting, LineBreakInsideATextValueIsNotWritten) {
  TempFolder root("settings-break");
  AppSettings s = FreshSettings(root.path);
  CopyText(s.pens[2].Name, u"pen\r\n[key]");
  const auto lines = SplitCrLf(FormatSettingsFile(s));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Pen2Name=pen"), lines.end());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "[key]"), 1);
}

// ---- Round trips --------------------------------------------------------------------------

TEST(SettingsRoundTrip, DefaultsComeBackUnchanged) {
  TempFolder root("settings-defaults");
  AppSettings saved = FreshSettings(root.path, kJapaneseLocale);
  ASSERT_TRUE(SaveSettings(saved));
  const AppSettings loaded = FreshSettings(root.path, kJapaneseLocale);
  EXPECT_EQ(saved.Version, 0);  // the first start ran; the file records the current version
  EXPECT_EQ(loaded.Version, kSettingsVersion);
  saved.Version = kSettingsVersion;
  ExpectSameSavedFields(saved, loaded);
  EXPECT_EQ(Text(loaded.pens[1].Name, kPenNameUnits), u"消しゴム(全レイヤー)");
}

TEST(SettingsRoundTrip, EveryFieldCarriesItsOwnValue) {
  TempFolder root("settings-every");
  AppSettings s = FreshSettings(root.path);
  // A distinct value in every field: negative numbers, unsigned values above 2^31, text with
  // Japanese and a character outside the BMP (a surrogate pair).
  int i = 0;
  for (const SettingKey& k : SettingKeyTable()) {
    ++i;
    if (!k.address) continue;
    void* field = k.address(s, k.pen);
    if (k.type == SettingType::kInt32) *static_cast<int32_t*>(field) = i * 7919 - 500000;
    if (k.type == SettingType::kUInt32) *static_cast<uint32_t*>(field) = 0x80000000u + static_cast<uint32_t>(i) * 65537u;
    if (k.type == SettingType::kText) {
      std::u16string text(u"値");
      text.append(Utf8ToUtf16(std::to_string(i)));
      text.append(u"\U0001F58A");
      CopyText(static_cast<char16_t*>(field), k.capacity, text);
    }
  }
  for (PenSetting& pen : s.pens) pen.KindOfPen = 19;  // every field of a stamp brush is written
  s.Version = kSettingsVersion;                       // the file always says 10700
  s.numPenSetting = 7;                                // a slot that exists
  s.joypad.entries = {{0x01, 0x124, 45001}, {0x05, 0x103, 40001}};
  s.keyboard.entries = {{0x09, 0x5A, 40005}};
  ASSERT_TRUE(SaveSettings(s));
  const AppSettings back = FreshSettings(root.path);
  ExpectSameSavedFields(s, back);
}

TEST(SettingsRoundTrip, StampBrushKeepsAllTwentyFiveFieldsOthersTen) {
  // The number fields of slots 4 (a stamp brush) and 5 (kind 0), and what kind 0 reads back:
  // kKept for the ten written fields, else the default (kAny: not looked at).
  constexpr int32_t kKept = -1000, kAny = -1001;
  const struct {
    int32_t PenSetting::*field;
    int32_t value, kindZero;
  } fields[] = {
      {&PenSetting::Size, 77, kKept},           {&PenSetting::Interval, 250, 10},
      {&PenSetting::Dispersal, 30, 0},          {&PenSetting::Roundness, 40, 100},
      {&PenSetting::Angle, 12, 90},             {&PenSetting::SizePressure, 55, kAny},
      {&PenSetting::IntervalPressure, 0, 1},    {&PenSetting::DispersalPressure, 1, kAny},
      {&PenSetting::RoundnessPressure, 1, kAny}, {&PenSetting::RoundnessTilt, 1, kAny},
      {&PenSetting::AngleRotation, 1, kAny},    {&PenSetting::AngleJitter, 5, kAny},
      {&PenSetting::SizeJitter, 6, kAny},       {&PenSetting::Direction, 1, 0},
      {&PenSetting::Stamp, 1, 0},               {&PenSetting::TextureOffsetX, -3, kKept},
      {&PenSetting::TextureOffsetY, 4, kKept},
  };
  TempFolder root("settings-kind19");
  AppSettings s = FreshSettings(root.path);
  for (int slot : {4, 5}) {
    PenSetting& p = s.pens[slot];
    p.KindOfPen = slot == 4 ? 19 : 0;
    CopyText(p.Name, u"stamp");
    for (const auto& f : fields) p.*f.field = f.value;
    CopyText(p.StampFileName, u"star.bmp");
    CopyText(p.TextureFileName, u"grain.bmp");
  }
  ASSERT_TRUE(SaveSettings(s));
  const AppSettings back = FreshSettings(root.path);
  const PenSetting& stamp = back.pens[4];
  const PenSetting& pen = back.pens[5];
  EXPECT_EQ(stamp.KindOfPen, 19);
  EXPECT_EQ(pen.KindOfPen, 0);
  for (const auto& f : fields) {
    EXPECT_EQ(stamp.*f.field, f.value) << "stamp field " << &f - fields;
    if (f.kindZero != kAny) {
      EXPECT_EQ(pen.*f.field, f.kindZero == kKept ? f.value : f.kindZero) << "field " << &f - fields;
    }
  }
  EXPECT_EQ(Text(stamp.StampFileName, kPathUnits), u"star.bmp");
  // Kind 0: the written texts survive, the stamp's file name is back at its default.
  EXPECT_EQ(Text(pen.Name, kPenNameUnits), u"stamp");
  EXPECT_EQ(Text(pen.TextureFileName, kPathUnits), u"grain.bmp");
  EXPECT_EQ(Text(pen.StampFileName, kPathUnits), u"");
}

TEST(SettingsRoundTrip, LongTextsKeepTheirCapacity) {
  TempFolder root("settings-long");
  AppSettings s = FreshSettings(root.path);
  // 259 Japanese characters: 777 bytes of UTF-8 after a 12-byte key, a line of 789 bytes.
  const std::u16string path259(259, u'絵');
  CopyText(s.defaultpath, path259);
  ASSERT_TRUE(SaveSettings(s));
  AppSettings back = FreshSettings(root.path);
  EXPECT_EQ(Text(back.defaultpath, kPathUnits), path259);

  // A 40-character name in the file is cut to the 31 characters the field holds; a surrogate
  // pair straddling the cut is dropped whole.
  std::string file = kMark + "[config]\r\nPen0Name=" + std::string(40, 'n') + "\r\nPen1Name=" + std::string(30, 'm') +
                     "\xF0\x9F\x96\x8A\r\n";
  back = StartWithFile(root.path, file);
  EXPECT_EQ(Text(back.pens[0].Name, kPenNameUnits), std::u16string(31, u'n'));
  EXPECT_EQ(Text(back.pens[1].Name, kPenNameUnits), std::u16string(30, u'm'));
}

// ---- Reading: the edge cases --------------------------------------------------------------

TEST(SettingsFileReading, MarkAndConfigOnlyGiveTheFullDefaults) {
  TempFolder root("settings-empty");
  const AppSettings s = StartWithFile(root.path, kMark + "[config]\r\n");
  AppSettings defaults{};
  InitSettings(defaults, TestPlatform(root.path), 0);
  ExpectSameSavedFields(defaults, s);
  EXPECT_EQ(s.keyboard.entries.size(), 37u);
  EXPECT_TRUE(s.joypad.entries.empty());
  EXPECT_EQ(s.CorrectionStrength, 3);
  EXPECT_EQ(s.PresetIndex, 1);
  EXPECT_EQ(s.WindowOpacity, 128u);
  EXPECT_EQ(s.NumberOfGPUThreads, 256);
  EXPECT_EQ(s.PrintDPI, 600);
  EXPECT_EQ(s.Version, 0);  // the file had none, so the first-start set-up ran again
}

TEST(SettingsFileReading, NumbersInAnyBase) {
  TempFolder root("settings-bases");
  AppSettings a = StartWithFile(root.path, kMark + "[config]\r\nbgcolor=16777215\r\nopacity=010\r\nPrintDPI=0x258\r\n");
  AppSettings b = StartWithFile(root.path, kMark + "[config]\r\nbgcolor=0xffffff\r\nopacity=8\r\nPrintDPI=abc\r\n");
  EXPECT_EQ(a.bgcolor, 0xFFFFFFu);
  EXPECT_EQ(b.bgcolor, a.bgcolor);
  EXPECT_EQ(a.opacity, 8u);
  EXPECT_EQ(b.opacity, 8u);
  EXPECT_EQ(a.PrintDPI, 600);  // 0x258
  EXPECT_EQ(b.PrintDPI, 0);    // no number: 0
}

TEST(SettingsFileReading, KeysMatchCaseSensitivelyWithTheOddSpelling) {
  TempFolder root("settings-case");
  AppSettings s = StartWithFile(root.path, kMark +
                                               "[config]\r\n"
                                               "COlorPickerWindowPosY=7\r\n"
                                               "ColorPickerWindowPosY=9\r\n"
                                               "colorPickerWindowPosX=5\r\n"
                                               "TextureFileName=global.bmp\r\n"
                                               "Pen3TextureFileName=paper.bmp\r\n");
  EXPECT_EQ(s.ColorPickerWindowPosY, 7);
  EXPECT_EQ(s.ColorPickerWindowPosX, 0);
  EXPECT_EQ(Text(s.pens[3].TextureFileName, kPathUnits), u"paper.bmp");
  for (int pen = 0; pen < kPenCount; ++pen)
    if (pen != 3) {
      EXPECT_EQ(Text(s.pens[pen].TextureFileName, kPathUnits), u"tone_50.bmp") << pen;
    }
}

TEST(SettingsFileReading, KeySectionLines) {
  TempFolder root("settings-keys");
  AppSettings s = StartWithFile(root.path, kMark + "[config]\r\n[key]\r\n09005A=9C45\r\n010124=AFC9\r\n");
  ASSERT_EQ(s.keyboard.entries.size(), 1u);  // a keyboard line: no defaults
  EXPECT_EQ(s.keyboard.entries[0], (KeyBinding{0x09, 0x5A, 40005}));  // Ctrl+Z -> 40005
  ASSERT_EQ(s.joypad.entries.size(), 1u);
  EXPECT_EQ(s.joypad.entries[0], (KeyBinding{0x01, 0x124, 45001}));   // joypad Z -> 45001

  // Only joypad lines: the keyboard table is empty after reading, so it gets the defaults.
  s = StartWithFile(root.path, kMark + "[config]\r\n[key]\r\n010100=9C41\r\n010124=AFC9\r\n");
  EXPECT_EQ(s.keyboard.entries.size(), 37u);
  EXPECT_EQ(s.joypad.entries.size(), 2u);
}

TEST(SettingsFileReading, CurrentVersionSkipsTheFolderCopies) {
  TempFolder root("settings-version");
  WriteAll(root.path / "Program" / "material" / "paper.bmp", "BM");
  AppSettings s = StartWithFile(root.path, kMark + "[config]\r\nVersion=10700\r\n");
  EXPECT_EQ(s.Version, kSettingsVersion);
  EXPECT_FALSE(fs::exists(s.userDataFolder / "material"));
  EXPECT_EQ(s.UIScaling, 100);  // not measured either
  s = StartWithFile(root.path, kMark + "[config]\r\nVersion=10600\r\n");
  EXPECT_TRUE(fs::exists(s.userDataFolder / "material" / "paper.bmp"));
}

// ---- Reading: damaged files ---------------------------------------------------------------

TEST(SettingsFileReading, NoMarkLeavesTheRecordUnchanged) {
  TempFolder root("settings-nomark");
  AppSettings s = FreshSettings(root.path);
  WriteAll(s.settingsFile, "[config]\r\nCorrectionStrength=9\r\n");
  s.CorrectionStrength = 4;
  EXPECT_FALSE(LoadSettings(s));
  EXPECT_EQ(s.CorrectionStrength, 4);
  fs::remove(s.settingsFile);
  EXPECT_FALSE(LoadSettings(s));
  EXPECT_EQ(s.CorrectionStrength, 4);
}

TEST(SettingsFileReading, DamagedFileLoadsWhatItCan) {
  TempFolder root("settings-damaged");
  std::string file = kMark;
  file += "CorrectionStrength=1\r\n";                // before [config]: ignored
  file += std::string("\x00\xff\xfe[config", 10);  // junk, not the section line
  file += "\r\n[config]\r\n";
  file += "CorrectionStrength=12\n";               // a bare LF is a line end too
  file += std::string("\x01\x02\x00\x7f\xc3(\xa0\xa1=", 9) + "\r\n";
  file += "show_loupe=1\r\n";
  // 2000 bytes: ignored whole, so the key near its end is not read as a line of its own.
  file += std::string(1500, 'x') + "hide_panel=1" + std::string(488, 'y') + "\r\n";
  file += "numPenSetting=16\r\n";                 // no such slot: the first
  file += "Pen2Size=\r\n";                         // no number: 0
  file += "Pen2Name=\xff\xfe\r\n";                 // not UTF-8: two replacement characters
  file += "[other]\r\n";
  file += "show_tabinfo=1\r\n";                    // outside [config]: ignored
  file += "[config]\r\n";
  file += "show_Icon2=1";                          // last line without a line end
  const AppSettings s = StartWithFile(root.path, file);
  EXPECT_EQ(s.CorrectionStrength, 12);
  EXPECT_EQ(s.show_loupe, 1);
  EXPECT_EQ(s.hide_panel, 0);
  EXPECT_EQ(s.numPenSetting, 0);
  EXPECT_EQ(s.pens[2].Size, 0);
  EXPECT_EQ(Text(s.pens[2].Name, kPenNameUnits), u"\uFFFD\uFFFD");
  EXPECT_EQ(s.show_tabinfo, 0);
  EXPECT_EQ(s.show_Icon2, 1);
  // Everything else kept its default, and with no "[key]" section the defaults are bound.
  EXPECT_EQ(s.pens[3].Size, 6);
  EXPECT_EQ(s.bgcolor, 0xFFFFFFu);
  EXPECT_EQ(s.keyboard.entries.size(), 37u);
}

TEST(SettingsFileReading, JunkInTheKeySectionBindsNothing) {
  TempFolder root("settings-keyjunk");
  std::string file = kMark + "[config]\r\n[key]\r\n";
  file += "junk=junk\r\n=\r\n09005A\r\n0x09005A=9C45\r\n";
  file += std::string("\x80\x81=\x82", 4) + "\r\n";
  file += std::string(300, '0') + "=9C45\r\n";  // overlong
  file += "[config]\r\nbgcolor=0x1\r\n";          // read as a binding line and skipped
  const AppSettings s = StartWithFile(root.path, file);
  EXPECT_EQ(s.keyboard.entries.size(), 37u);  // no entry was read, so the defaults apply
  EXPECT_TRUE(s.joypad.entries.empty());
  EXPECT_EQ(s.bgcolor, 0xFFFFFFu);
}

TEST(SettingsFileReading, KeyboardTableStopsAt1024) {
  TempFolder root("settings-1024");
  std::string file = kMark + "[config]\r\n[key]\r\n";
  for (int i = 0; i < 1030; ++i) file += FormatKeyBindingLine({0x01, 0x41, static_cast<uint16_t>(i)}) + "\r\n";
  file += "010124=AFC9\r\n";  // after the stop: not read
  const AppSettings s = StartWithFile(root.path, file);
  ASSERT_EQ(s.keyboard.entries.size(), 1024u);
  EXPECT_EQ(s.keyboard.entries[1023].cmd, 1023);
  EXPECT_TRUE(s.joypad.entries.empty());
}

// ---- Saving -------------------------------------------------------------------------------

TEST(SettingsFileSaving, FailureKeepsTheOldFileAndReturnsFalse) {
  TempFolder root("settings-fail");
  AppSettings s = FreshSettings(root.path);
  // A 250-character file name exists, but its temporary sibling (name + ".<pid>-<n>.saving")
  // is longer than a file name may be, so the save cannot even begin.
  s.settingsFile = root.path / std::string(250, 'd');
  WriteAll(s.settingsFile, "old settings");
  EXPECT_FALSE(SaveSettings(s));
  EXPECT_EQ(ReadAll(s.settingsFile), "old settings");

  // A missing folder: nothing written, reported.
  s.settingsFile = root.path / "gone" / "Dotwright.ini";
  EXPECT_FALSE(SaveSettings(s));
  EXPECT_FALSE(fs::exists(s.settingsFile));
}
