#include "files/canvas_file_list.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>

namespace {

using NativeString = std::filesystem::path::string_type;
using NativeChar = NativeString::value_type;

// Windows orders names by their upper-case form, so "_" sorts after the letters.
NativeChar FoldAscii(NativeChar c) { return c >= 'a' && c <= 'z' ? static_cast<NativeChar>(c - 'a' + 'A') : c; }

bool EndsWithPng(const NativeString& name) {
  static constexpr char kExtension[] = ".PNG";
  if (name.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (FoldAscii(name[name.size() - 4 + i]) != static_cast<NativeChar>(kExtension[i])) return false;
  return true;
}

bool NameBefore(const std::filesystem::path& a, const std::filesystem::path& b) {
  const NativeString& x = a.native();
  const NativeString& y = b.native();
  const size_t n = std::min(x.size(), y.size());
  for (size_t i = 0; i < n; ++i) {
    const NativeChar p = FoldAscii(x[i]), q = FoldAscii(y[i]);
    if (p != q) return p < q;
  }
  if (x.size() != y.size()) return x.size() < y.size();
  return x < y;
}

}  // namespace

LocalTime CurrentLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto sinceEpoch = now.time_since_epoch();
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch));
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
          static_cast<int>(milliseconds.count())};
}

std::string MakeTimeStampName(const LocalTime& time) {
  char name[80];
  std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day, time.hour,
                time.minute, time.second);
  return name;
}

std::filesystem::path TimeStampedCanvasPath(const std::filesystem::path& folder, const LocalTime& time) {
  const std::string stem = MakeTimeStampName(time);
  for (int n = 1; n <= 999; ++n) {
    const std::string name = n == 1 ? stem + ".png" : stem + "_" + std::to_string(n) + ".png";
    std::filesystem::path path = folder / name;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return path;
  }
  return {};
}

void ListCanvasFiles(CanvasFileList& list) {
  list.names.clear();
  std::error_code error;
  std::filesystem::directory_iterator it(list.folder, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::filesystem::path name = it->path().filename();
    if (!EndsWithPng(name.native())) continue;
    if (name == std::filesystem::path(kWorkingCanvasFileName) || name == std::filesystem::path(kDragFileName)) continue;
    list.names.push_back(std::move(name));
  }
  std::sort(list.names.begin(), list.names.end(), NameBefore);
}

void AppendCanvasFile(CanvasFileList& list, const std::filesystem::path& name) {
  if (std::find(list.names.begin(), list.names.end(), name) == list.names.end()) list.names.push_back(name);
}

void FreeCanvasFileList(CanvasFileList& list) {
  list.names.clear();
  list.names.shrink_to_fit();
}
