#include "files/atomic_file.h"

#include <atomic>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Makes temporary names unique among the saves of this process (the process id separates
// processes); a counter, not state: nothing reads it back.
std::atomic<unsigned> gTemporaryCounter{0};

// "name.ext" -> "name.ext.<pid>-<n>.saving", unique within this process and across processes.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
#ifdef _WIN32
  const long pid = _getpid();
#else
  const long pid = static_cast<long>(getpid());
#endif
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%ld-%u.saving", pid, gTemporaryCounter++);
  std::filesystem::path name = target.filename();
  name += suffix;
  return target.parent_path() / name;
}

bool FlushToDisk(FILE* stream) {
  if (std::fflush(stream) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(stream)) == 0;
#else
  return fsync(fileno(stream)) == 0;
#endif
}

}  // namespace

FILE* OpenBinaryFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  wchar_t wideMode[4] = {};
  for (int i = 0; i < 3 && mode[i]; ++i) wideMode[i] = static_cast<wchar_t>(mode[i]);
  return _wfopen(path.c_str(), wideMode);
#else
  return std::fopen(path.c_str(), mode);
#endif
}

bool BeginAtomicFile(AtomicFile& file, const std::filesystem::path& target) {
  file.stream = nullptr;
  std::error_code error;
  std::filesystem::path resolved = target;
  // Follow links to the file itself, so the link survives and its target gets the new bytes.
  for (int hops = 0; std::filesystem::is_symlink(resolved, error); ++hops) {
    if (hops == 40) return false;  // a loop of links
    std::filesystem::path next = std::filesystem::read_symlink(resolved, error);
    if (error) return false;
    resolved = next.is_absolute() ? next : resolved.parent_path() / next;
  }
  const std::filesystem::file_status status = std::filesystem::status(resolved, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
  file.target = resolved;
  file.temporary = TemporaryPathFor(target);
  file.stream = OpenBinaryFile(file.temporary, "wb");
  return file.stream != nullptr;
}

bool CommitAtomicFile(AtomicFile& file) {
  if (!file.stream) return false;
  bool ok = !std::ferror(file.stream) && FlushToDisk(file.stream);
  ok = std::fclose(file.stream) == 0 && ok;
  file.stream = nullptr;
  std::error_code error;
  if (ok) {
    // The new file keeps what the old one was given: its permissions and, where the system
    // lets us, its owner (a save run as root must not hand a user's file to root).
    const std::filesystem::file_status old = std::filesystem::status(file.target, error);
    if (!error && std::filesystem::exists(old)) {
      std::filesystem::permissions(file.temporary, old.permissions(), error);
#ifndef _WIN32
      struct stat owner {};
      if (::stat(file.target.c_str(), &owner) == 0 && ::chown(file.temporary.c_str(), owner.st_uid, owner.st_gid) != 0) {
        // Not allowed (an ordinary user's save of a file owned by another): the bytes still count.
      }
#endif
    }
    error.clear();
    // Replaces an existing target in one step on both systems.
    std::filesystem::rename(file.temporary, file.target, error);
    ok = !error;
  }
  if (!ok) std::filesystem::remove(file.temporary, error);
  return ok;
}

void AbandonAtomicFile(AtomicFile& file) {
  if (file.stream) std::fclose(file.stream);
  file.stream = nullptr;
  std::error_code error;
  std::filesystem::remove(file.temporary, error);
}
