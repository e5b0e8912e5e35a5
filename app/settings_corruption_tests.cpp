// Damaged settings files: every key holding every hostile value, files cut at many offsets,
// zero-filled, strewn with NUL bytes, keys given twice. The load never crashes and keeps what
// it can (every other key keeps its value), the places that use the numbers clamp them (pens,
// the current pen slot, smoothing, the recovery interval, the start-up canvas size), and the
// program still starts on every file and draws.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "app/recovery.h"
#include "app/session_test_support.h"
#include "app/startup_canvas.h"
#include "files/utf_text.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_test_support.h"
#include "view/input_state.h"

using namespace settings_test;

namespace {

const std::string kHostileValues[] = {"2147483648", "-2147483648", "4294967296", "-1",         "nan",
                                      "1e308",      "",            "0x80000000", "\x01\xff\xfe junk",
                                      "99999999999999999999999"};

// The record's field of key k as text, whatever its type, for comparisons.
std::string FieldText(AppSettings& s, const SettingKey& k) {
  const void* field = k.address(s, k.pen);
  switch (k.type) {
    case SettingType::kInt32:
      return std::to_string(*static_cast<const int32_t*>(field));
    case SettingType::kUInt32:
      return std::to_string(*static_cast<const uint32_t*>(field));
    case SettingType::kText:
      return Utf16ToUtf8(TextOf(static_cast<const char16_t*>(field), k.capacity));
    case SettingType::kNone:
      break;
  }
  return {};
}

// Whether field k of a and b holds the same bytes (a text's whole buffer).
bool SameField(AppSettings& a, AppSettings& b, const SettingKey& k) {
  const size_t bytes = k.type == SettingType::kText ? k.capacity * sizeof(char16_t) : sizeof(int32_t);
  return std::memcmp(k.address(a, k.pen), k.address(b, k.pen), bytes) == 0;
}

// Keys with a field, by index into the table.
std::vector<int> StoredKeys() {
  std::vector<int> keys;
  for (int i = 0; i < kSettingKeyCount; ++i)
    if (SettingKeyTable()[i].address) keys.push_back(i);
  return keys;
}

struct Corruption : ::testing::Test {
  TempFolder root{"settings-corruption"};
  std::unique_ptr<AppSettings> defaults = std::make_unique<AppSettings>();

  void SetUp() override {
    InitSettings(*defaults, TestPlatform(root.path), 0);
    defaults->newcanvassize = kNewCanvasGivenSize;  // small canvases unless a key says otherwise
    defaults->newcanvascx = 64;
    defaults->newcanvascy = 48;
  }
  // The defaults, then the file holding contents loaded over them as the start does.
  std::unique_ptr<AppSettings> Load(const std::string& contents, bool* marked = nullptr) {
    auto s = std::make_unique<AppSettings>(*defaults);
    WriteAll(s->settingsFile, contents);
    const bool ok = LoadSettings(*s);
    if (marked) *marked = ok;
    return s;
  }
};

// A session on a small canvas whose pen 0 is the given one; draws a stroke across it.
void DrawWith(const PenSetting& pen) {
  TestSession t(64, pen.KindOfPen, pen.Size);
  PenSetting& used = t.Pen();
  used = pen;
  used.stampBitmap = nullptr;
  t.Stroke(5, 50, 30);
  EXPECT_TRUE(used.Size >= 1 && used.Size <= kMaxPenSize) << used.Size;
  EXPECT_TRUE(used.Hardness >= 0 && used.Hardness <= 100) << used.Hardness;
  EXPECT_TRUE(used.Interval >= 1 && used.Interval <= 999) << used.Interval;
}

// The values the program uses from a loaded record are in their ranges.
void ExpectUsedValuesInRange(AppSettings& s) {
  EXPECT_TRUE(s.numPenSetting >= 0 && s.numPenSetting < kPenCount) << s.numPenSetting;
  const uint32_t interval = RecoveryIntervalMs(s);
  EXPECT_TRUE(interval >= 5000u && interval <= 3600000u) << interval;
  InputState input = NewInputState();
  input.correctionStrength = &s.CorrectionStrength;
  const int32_t smoothing = SmoothingStrength(input);
  EXPECT_TRUE(smoothing >= 0 && smoothing <= kMaxSmoothingStrength) << smoothing;
}

}  // namespace

TEST_F(Corruption, EveryKeyWithEveryHostileValueLoadsAndIsClampedWhereUsed) {
  const std::vector<int> keys = StoredKeys();
  int tried = 0;
  std::set<std::pair<int, int32_t>> sizesTried;
  for (const int index : keys) {
    const SettingKey& key = SettingKeyTable()[index];
    for (const std::string& value : kHostileValues) {
      SCOPED_TRACE(std::string(key.key) + value);
      bool marked = false;
      const auto s = Load(kMark + "[config]\r\n" + std::string(key.key) + value + "\r\n", &marked);
      EXPECT_TRUE(marked);
      ++tried;
      // Nothing else changed.
      for (const int other : keys) {
        const SettingKey& k = SettingKeyTable()[other];
        if (other != index) {
          EXPECT_TRUE(SameField(*s, *defaults, k)) << k.key;
        }
      }
      ExpectUsedValuesInRange(*s);
      // The pens of the first and last slot draw with the value (the others share the code).
      if (key.pen == 0 || key.pen == kPenCount - 1) DrawWith(s->pens[key.pen]);
      // The size keys make the start-up canvas: always one within the limits (once for each
      // number the values read as).
      const void* field = key.address(*s, key.pen);
      if ((field == &s->newcanvassize || field == &s->newcanvascx || field == &s->newcanvascy ||
           field == &s->PresetIndex || field == &s->PrintDPI) &&
          sizesTried.insert({index, *static_cast<const int32_t*>(field)}).second) {
        auto state = std::make_unique<AppState>();
        BindAppState(*state);
        state->settings = *s;
        EXPECT_EQ(StartNewCanvas(*state, nullptr), StartCanvasSource::kBlank);
        EXPECT_TRUE(state->canvas.width >= 1 && state->canvas.width <= kMaxCanvasSide);
        EXPECT_TRUE(state->canvas.height >= 1 && state->canvas.height <= kMaxCanvasSide);
        ReleaseAppState(*state);
      }
    }
  }
  EXPECT_GE(tried, 4000);
}

// A file holding a distinct value in every field, cut at offsets through the whole of it: each
// key whose line lies whole before the cut keeps the value written, each after it its default.
TEST_F(Corruption, TruncatedFilesKeepEveryWholeLine) {
  auto written = std::make_unique<AppSettings>(*defaults);
  int n = 0;
  for (const SettingKey& k : SettingKeyTable()) {
    ++n;
    if (!k.address) continue;
    void* field = k.address(*written, k.pen);
    if (k.type == SettingType::kInt32) *static_cast<int32_t*>(field) = n * 7 + 1;
    if (k.type == SettingType::kUInt32) *static_cast<uint32_t*>(field) = static_cast<uint32_t>(n) * 13u + 2u;
    if (k.type == SettingType::kText) CopyText(static_cast<char16_t*>(field), k.capacity, u"t" + Utf8ToUtf16(std::to_string(n)));
  }
  for (PenSetting& pen : written->pens) pen.KindOfPen = 19;  // every pen field is written
  written->numPenSetting = 5;
  const std::string file = FormatSettingsFile(*written);
  // Where each key's line ends (after its CR LF) and starts.
  const std::vector<int> keys = StoredKeys();
  std::vector<size_t> starts, ends;
  for (const int index : keys) {
    const SettingKey& k = SettingKeyTable()[index];
    const size_t at = file.find("\n" + std::string(k.key));
    ASSERT_NE(at, std::string::npos) << k.key;
    starts.push_back(at + 1);
    ends.push_back(file.find('\n', at + 1) + 1);
  }
  int tried = 0;
  for (size_t cut = 0; cut <= file.size(); cut += file.size() / 150) {
    SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(file.size()));
    bool marked = false;
    const auto s = Load(file.substr(0, cut), &marked);
    EXPECT_EQ(marked, cut >= 3);
    for (size_t i = 0; i < keys.size(); ++i) {
      const SettingKey& k = SettingKeyTable()[keys[i]];
      if (k.address(*s, k.pen) == &s->Version) continue;  // always written as the current version
      if (ends[i] <= cut) {
        EXPECT_EQ(FieldText(*s, k), FieldText(*written, k)) << k.key;
      } else if (starts[i] >= cut) {
        EXPECT_EQ(FieldText(*s, k), FieldText(*defaults, k)) << k.key;
      }
    }
    ExpectUsedValuesInRange(*s);
    ++tried;
  }
  EXPECT_GE(tried, 150);
}

// Zeros, NUL bytes, junk and doubled keys: the lines that are whole still count, the later of
// two lines for one key wins, and the rest keeps its defaults.
TEST_F(Corruption, ZerosNulBytesAndDoubledKeys) {
  const std::string good = FormatSettingsFile(*defaults);
  int tried = 0;
  // Zero-filled, with and without the mark: nothing read, nothing changed.
  for (const std::string& zeros : {std::string(good.size(), '\0'), kMark + std::string(good.size(), '\0')}) {
    const auto s = Load(zeros);
    for (const int index : StoredKeys()) {
      const SettingKey& k = SettingKeyTable()[index];
      EXPECT_EQ(FieldText(*s, k), FieldText(*defaults, k)) << k.key;
    }
    ++tried;
  }
  // A NUL byte at every 41st offset after the mark: the lines without one keep their values.
  for (size_t at = 3; at < good.size(); at += 41) {
    std::string damaged = good;
    damaged[at] = '\0';
    const auto s = Load(damaged);
    ExpectUsedValuesInRange(*s);
    ++tried;
  }
  // Each hostile value given first, then a good line for the same key: the good line wins.
  for (const std::string& value : kHostileValues)
    for (const char* key : {"Pen3Size=", "CorrectionStrength=", "numPenSetting=", "RecoveryInterval=", "Pen7Name="}) {
      const auto s = Load(kMark + "[config]\r\n" + key + value + "\r\n" + key + "7\r\n");
      const SettingKey& k = *FindSettingKey(key);
      EXPECT_EQ(FieldText(*s, k), "7") << key << value;
      ++tried;
    }
  EXPECT_GE(tried, 50);
}

// The whole start on files whose every key holds one hostile value: settings read, start-up
// canvas made, the current pen draws.
TEST_F(Corruption, TheProgramStartsAndDrawsOnEveryHostileFile) {
  // One value for each number the hostile values read as, and the junk.
  for (const char* value : {"2147483648", "-2147483648", "-1", "1e308", "\x01\xff\xfe junk"}) {
    SCOPED_TRACE(value);
    std::string file = kMark + "[config]\r\n";
    for (const int index : StoredKeys())
      if (SettingKeyTable()[index].key != "Version=") file += std::string(SettingKeyTable()[index].key) + value + "\r\n";
    file += "Version=10700\r\n[key]\r\n" + std::string(value) + "=" + value + "\r\n";
    WriteAll(defaults->settingsFile, file);
    auto state = std::make_unique<AppState>();
    BindAppState(*state);
    ASSERT_TRUE(InitSettings(state->settings, TestPlatform(root.path), 1));
    ExpectUsedValuesInRange(state->settings);
    EXPECT_NE(OpenStartUpCanvas(*state, nullptr), StartCanvasSource::kNone);
    EXPECT_TRUE(state->canvas.width >= 1 && state->canvas.width <= kMaxCanvasSide);
    DrawWith(state->settings.pens[state->settings.numPenSetting]);
    ReleaseAppState(*state);
  }
}
