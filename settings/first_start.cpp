#include "settings/first_start.h"

#include <cmath>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr const char* kCopiedFolders[] = {"material", "texture", "stamp", "template"};

bool MakeFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  return fs::is_directory(folder, error);
}

// Copies through a temporary file that then replaces the target. (copy_file's
// overwrite_existing cannot be used: the MinGW C++ library takes every existing target for the
// source itself, as files have no inode numbers there, and refuses.)
bool CopyReplacing(const fs::path& from, const fs::path& to) {
  fs::path temporary = to;
  temporary += ".copying";
  std::error_code error;
  fs::remove(temporary, error);
  fs::copy_file(from, temporary, error);
  if (!error) fs::rename(temporary, to, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

// Copies the plain files of from into to; false when any copy failed. A missing source folder
// copies nothing and is no error (an installation may ship without stamps).
bool CopyFiles(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::directory_iterator it(from, error);
  if (error) return true;
  bool ok = true;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) return false;
    std::error_code entryError;
    if (!it->is_regular_file(entryError)) continue;
    if (!CopyReplacing(it->path(), to / it->path().filename())) ok = false;
  }
  return ok && !error;
}

}  // namespace

int32_t MeasureScreenDpi(int32_t pixels, int32_t millimetres, int32_t current) {
  if (pixels <= 0 || millimetres <= 0) return current;
  const double dpi = std::round(pixels / (millimetres * 0.03937007874015748));
  if (!(dpi >= 1.0 && dpi <= 1000000.0)) return current;
  return static_cast<int32_t>(dpi);
}

int32_t DetectUiScaling(uint32_t dpiX, uint32_t dpiY) {
  if (dpiX == 0 && dpiY == 0) return 100;
  if (dpiX >= 192 || dpiY >= 192) return 300;
  if (dpiX >= 144 || dpiY >= 144) return 200;
  return 150;
}

bool RunFirstStartSetUp(AppSettings& s, const PlatformQueries& platform) {
  bool ok = true;
  if (!s.userDataFolder.empty()) {
    ok = MakeFolder(s.userDataFolder / "setting");
    for (const char* name : kCopiedFolders) {
      const fs::path target = s.userDataFolder / name;
      if (!MakeFolder(target)) {
        ok = false;
        continue;
      }
      if (!s.programFolder.empty() && !CopyFiles(s.programFolder / name, target)) ok = false;
    }
  }
  s.ScreenDPI = MeasureScreenDpi(platform.displayPixelsX, platform.displayMillimetresX, s.ScreenDPI);
  s.UIScaling = DetectUiScaling(platform.monitorDpiX, platform.monitorDpiY);
  return ok;
}
