#include "settings/settings_file.h"

#include <cstdio>
#include <string_view>

#include "brush/pen_kind.h"
#include "files/atomic_file.h"
#include "settings/number_text.h"
#include "settings/settings_keys.h"
#include "files/utf_text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class LineRead { kLine, kTooLong, kEnd };

// One line without its line end (LF, or CR LF). A line longer than limit bytes is consumed
// whole and reported as too long, so that its tail is never taken for a line of its own.
LineRead ReadLine(FILE* file, std::string& line, size_t limit) {
  line.clear();
  bool any = false;
  bool tooLong = false;
  int c;
  while ((c = std::getc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() <= limit)  // one byte more than the limit leaves room for a CR
      line.push_back(static_cast<char>(c));
    else
      tooLong = true;
  }
  if (!any) return LineRead::kEnd;
  if (!tooLong && !line.empty() && line.back() == '\r') line.pop_back();
  return tooLong || line.size() > limit ? LineRead::kTooLong : LineRead::kLine;
}

}  // namespace

bool ApplySettingLine(AppSettings& settings, std::string_view line) {
  const SettingKey* key = FindSettingKey(line);
  if (!key || !key->address) return false;
  const std::string_view value = line.substr(key->key.size());
  void* field = key->address(settings, key->pen);
  switch (key->type) {
    case SettingType::kInt32:
      *static_cast<int32_t*>(field) = ParseInt32Base0(value);
      break;
    case SettingType::kUInt32:
      *static_cast<uint32_t*>(field) = ParseUInt32Base0(value);
      break;
    case SettingType::kText:
      CopyText(static_cast<char16_t*>(field), key->capacity, Utf8ToUtf16(value));
      break;
    case SettingType::kNone:
      break;
  }
  return true;
}

namespace {

// After "[key]": bindings to the end of the file.
void ReadKeySection(FILE* file, AppSettings& settings) {
  KeyBindingReader reader;
  std::string line;
  for (LineRead r; (r = ReadLine(file, line, kMaxSectionLine)) != LineRead::kEnd;) {
    if (r == LineRead::kTooLong) continue;
    if (!AddKeyBindingLine(reader, line)) break;
  }
  FinishKeyBindings(reader, settings.keyboard, settings.joypad);
}

void ReadSettings(FILE* file, AppSettings& settings) {
  std::string line;
  bool inConfig = false;
  for (;;) {
    const LineRead r = ReadLine(file, line, inConfig ? kMaxSettingLine : kMaxSectionLine);
    if (r == LineRead::kEnd) return;
    if (r == LineRead::kTooLong) continue;
    if (!inConfig) {
      inConfig = line == "[config]";
      continue;
    }
    if (!line.empty() && line[0] == '[') {
      if (line == "[key]") {
        ReadKeySection(file, settings);
        return;
      }
      inConfig = line == "[config]";  // another section: look for the next "[config]"
      continue;
    }
    ApplySettingLine(settings, line);
  }
}

std::string TextValue(const char16_t* buffer, size_t capacity) {
  std::u16string_view text = TextOf(buffer, capacity);
  text = text.substr(0, text.find_first_of(u"\r\n"));  // one setting, one line
  return Utf16ToUtf8(text);
}

}  // namespace

bool LoadSettings(AppSettings& settings) {
  if (settings.settingsFile.empty()) return false;
  FILE* file = OpenBinaryFile(settings.settingsFile, "rb");
  if (!file) return false;
  char mark[3] = {};
  const bool marked = std::fread(mark, 1, 3, file) == 3 && std::string_view(mark, 3) == kByteOrderMark;
  if (marked) {
    ReadSettings(file, settings);
    // The current pen indexes the presets unchecked everywhere else.
    if (settings.numPenSetting < 0 || settings.numPenSetting >= kPenCount) settings.numPenSetting = 0;
  }
  std::fclose(file);
  return marked;
}

std::string FormatSettingsFile(const AppSettings& settings) {
  // The key table hands out field addresses of a mutable record; they are only read here.
  AppSettings& s = const_cast<AppSettings&>(settings);
  std::string out(kByteOrderMark);
  out += "[config]\r\n";
  char number[16];
  for (const SettingKey& key : SettingKeyTable()) {
    if (key.form == SettingForm::kIgnored || !key.address) continue;
    if (key.pen >= 0 && key.stampOnly && !UsesStampSettings(settings.pens[key.pen].KindOfPen)) continue;
    const void* field = key.address(s, key.pen);
    out += key.key;
    if (key.type == SettingType::kText) {
      out += TextValue(static_cast<const char16_t*>(field), key.capacity);
    } else {
      uint32_t bits = key.type == SettingType::kInt32 ? static_cast<uint32_t>(*static_cast<const int32_t*>(field))
                                                      : *static_cast<const uint32_t*>(field);
      if (field == &settings.Version) bits = static_cast<uint32_t>(kSettingsVersion);
      if (key.form == SettingForm::kHex)
        std::snprintf(number, sizeof number, "0x%x", static_cast<unsigned>(bits));
      else
        std::snprintf(number, sizeof number, "%d", static_cast<int>(static_cast<int32_t>(bits)));
      out += number;
    }
    out += "\r\n";
  }
  AppendKeyBindingSection(out, settings.keyboard, settings.joypad);
  return out;
}

bool SaveSettings(const AppSettings& settings) {
  const std::string text = FormatSettingsFile(settings);
  AtomicFile file{};
  bool ok = !settings.settingsFile.empty() && BeginAtomicFile(file, settings.settingsFile);
  if (ok) {
    ok = std::fwrite(text.data(), 1, text.size(), file.stream) == text.size();
    if (ok)
      ok = CommitAtomicFile(file);
    else
      AbandonAtomicFile(file);
  }
  return ok;
}
