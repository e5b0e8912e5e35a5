// Shared by the fuzz targets: readers that take a path get the input through a file of this
// process's own in the temporary folder, written anew for every input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace fuzz {

// The input written to a file of this process's own for each name; the files are removed at exit.
inline const std::filesystem::path& InputFile(const uint8_t* data, size_t size, const std::string& name) {
  static std::map<std::string, std::filesystem::path> files;
  auto [at, added] = files.try_emplace(name);
  if (added) {
    at->second = std::filesystem::temp_directory_path() / ("dotwright-fuzz-" + std::to_string(getpid()) + "-" + name);
    if (files.size() == 1) std::atexit([] {
        for (const auto& [key, path] : files) std::remove(path.c_str());
      });
  }
  FILE* out = std::fopen(at->second.c_str(), "wb");
  if (!out) std::abort();
  if (size && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
  return at->second;
}

// Stops the target when an invariant of a successful read does not hold.
#define FUZZ_CHECK(condition)                                                   \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                             \
    }                                                                           \
  } while (0)

}  // namespace fuzz
