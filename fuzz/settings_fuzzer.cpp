// The settings file as the program reads it at start, and the places that use its numbers at
// once: the pens (clamped before every sample), the recovery interval. What is read is written
// back and read again to the same file.
#include <string>

#include "app/recovery.h"
#include "brush/pen_setting.h"
#include "fuzz/fuzz_support.h"
#include "settings/pen_defaults.h"
#include "settings/settings_file.h"

namespace {

std::string ReadAndFormat(const std::filesystem::path& file) {
  AppSettings settings{};
  SetPenDefaults(settings.pens, false);
  settings.settingsFile = file;
  if (!LoadSettings(settings)) return {};
  FUZZ_CHECK(settings.numPenSetting >= 0 && settings.numPenSetting < kPenCount);
  for (PenSetting& pen : settings.pens) {
    ClampPenSetting(pen);
    (void)PressureGamma(pen.Hardness);
  }
  (void)RecoveryIntervalMs(settings);
  return FormatSettingsFile(settings);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string first = ReadAndFormat(fuzz::InputFile(data, size, "Dotwright.ini"));
  if (first.empty()) return 0;
  const std::string again = ReadAndFormat(
      fuzz::InputFile(reinterpret_cast<const uint8_t*>(first.data()), first.size(), "again.ini"));
  FUZZ_CHECK(again == first);
  return 0;
}
