// Whole files as strings of bytes, and a fresh folder under the system's temporary folder for
// one test, removed with everything in it. The folder's name holds the process id and a counter,
// so tests running side by side never share one.
#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

// Whole files as strings of bytes.
inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct TempFolder {
  std::filesystem::path path;
  // tag names what the folder is for in its name ("settings-write"), to find one left behind.
  explicit TempFolder(const char* tag = "test") {
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = static_cast<long>(getpid());
#endif
    path = std::filesystem::temp_directory_path() /
           ("dotwright-" + std::string(tag) + "-" + std::to_string(pid) + "-" + std::to_string(counter++));
    std::error_code error;
    std::filesystem::remove_all(path, error);
    std::filesystem::create_directories(path);
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::filesystem::path operator/(const std::string& name) const { return path / name; }
  // Names of everything in the folder, in the order the system lists them.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().string());
    return names;
  }
  int FileCount() const { return static_cast<int>(Names().size()); }
  // Writes a file in the folder (an empty one by default) and returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& bytes = {}) const {
    WriteAll(path / name, bytes);
    return path / name;
  }
};
