// Shared by the settings tests: a private temporary folder, a platform of known answers and
// whole-file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "canvas/temp_folder_test_support.h"
#include "files/utf_text.h"
#include "settings/app_settings.h"

namespace settings_test {

namespace fs = std::filesystem;

// A machine: Pictures and program folders under root, a 1920-pixel display 508 mm wide
// (96 DPI), a monitor without GetDpiForMonitor, an English locale, a 1000 x 700 client area.
inline PlatformQueries TestPlatform(const fs::path& root) {
  PlatformQueries p{};
  p.mainWindow = 0x1234;
  p.picturesFolder = root / "Pictures";
  p.programFolder = root / "Program";
  p.systemLocale = 1033;
  p.placement = WindowPlacement{44, 0, 1, {-1, -1}, {-1, -1}, {10, 20, 1010, 780}};
  p.clientWidth = 1000;
  p.clientHeight = 700;
  p.displayPixelsX = 1920;
  p.displayMillimetresX = 508;
  return p;
}

// The text in a fixed-size field of the settings record, up to its first zero.
inline std::u16string Text(const char16_t* buffer, size_t capacity) { return std::u16string(TextOf(buffer, capacity)); }

inline const std::string kMark = "\xEF\xBB\xBF";

// The lines of a file written with CR LF ends, mark removed; false lines when a bare LF shows.
inline std::vector<std::string> SplitCrLf(std::string text, bool* bareLineFeed = nullptr) {
  if (text.rfind(kMark, 0) == 0) text.erase(0, 3);
  std::vector<std::string> lines;
  size_t start = 0;
  if (bareLineFeed) *bareLineFeed = false;
  while (start < text.size()) {
    const size_t lf = text.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    if (lf == start || text[lf - 1] != '\r') {
      if (bareLineFeed) *bareLineFeed = true;
      lines.push_back(text.substr(start, lf - start));
    } else {
      lines.push_back(text.substr(start, lf - 1 - start));
    }
    start = lf + 1;
  }
  return lines;
}

}  // namespace settings_test
