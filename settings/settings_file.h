// The settings file: UTF-8 with a byte-order mark, CR LF line ends, a "[config]" section of
// "key=value" lines in the order of settings_keys.h, then a "[key]" section of key bindings.
//
// Reading is forgiving: lines before "[config]", unknown keys, overlong lines and malformed
// binding lines are skipped, a number that does not parse reads as 0, and every key that is
// missing keeps the value the record already had (its default at start).
#pragma once

#include <string>
#include <string_view>

#include "settings/app_settings.h"

inline constexpr size_t kMaxSectionLine = 255;   // bytes: lines before "[config]", "[key]" lines
inline constexpr size_t kMaxSettingLine = 1023;  // bytes: "[config]" lines

// Applies one "key=value" line of the "[config]" section. false when no key matches.
bool ApplySettingLine(AppSettings& settings, std::string_view line);

// Reads settings.settingsFile into the record. Returns false, with the record unchanged, when
// the file cannot be opened or does not begin with the byte-order mark. When the "[config]"
// section ends with a line "[key]", the bindings that follow replace both key tables. A current
// pen slot (numPenSetting) outside 0..15 reads as 0.
bool LoadSettings(AppSettings& settings);

// The whole file as it is written: the mark, "[config]", every key but the ignored one (the
// stamp-brush keys Interval .. StampFileName only for pens of kind 19; Version always as
// 10700), "[key]" and the bindings. Text values stop before any line break they hold.
std::string FormatSettingsFile(const AppSettings& settings);

// Writes the file anew through a temporary file in the same folder, which replaces the old
// file only when it is complete. On failure the old file is left as it was and false is
// returned; the caller tells the user (SettingsSaveText, app/user_texts.h).
[[nodiscard]] bool SaveSettings(const AppSettings& settings);
