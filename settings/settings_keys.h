// The keys of the "[config]" section: one fixed table of 498 entries in writing order, read by
// both the reader and the writer. First the six window keys, then 16 blocks of 25 pen keys
// ("Pen" + slot + field name + "="), then 92 further global keys, one of which
// ("TextureFileName=") is recognised on reading but ignored and never written. Every key ends
// in "=", so no key is the beginning of another, and matching is case-sensitive.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct AppSettings;

inline constexpr int kSettingKeyCount = 499;
inline constexpr int kPenFieldCount = 25;

enum class SettingForm : uint8_t {
  kDecimal,  // "%d"
  kHex,      // "0x%x", lower-case digits
  kText,     // UTF-8
  kIgnored,  // read and dropped, never written
};

enum class SettingType : uint8_t {
  kInt32,
  kUInt32,
  kText,  // char16_t[capacity], zero-terminated
  kNone,
};

struct SettingKey {
  std::string_view key;  // ends in "="
  SettingForm form;
  SettingType type;
  int8_t pen;            // 0..15 for a pen key, -1 for a global key
  bool stampOnly;        // a pen key written only for kind 19 (Interval .. StampFileName)
  uint16_t capacity;     // kText: buffer size in UTF-16 units, terminator included
  // Where the value lives in the record; null for the ignored key.
  void* (*address)(AppSettings& settings, int pen);
};

std::span<const SettingKey, kSettingKeyCount> SettingKeyTable();

// The entry whose key the line begins with, or null.
const SettingKey* FindSettingKey(std::string_view line);
