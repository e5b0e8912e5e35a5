#include "files/atomic_file.h"

#include <atomic>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// Makes temporary names unique among the saves of this process (the process id separates
// processes); a counter, not state: nothing reads it back.
std::atomic<unsigned> gTemporaryCounter{0};

// Set by tests only.
std::atomic<AtomicFileStepHook> gStepHook{nullptr};

void Step(AtomicFileStep step, const std::filesystem::path& target) {
  if (const AtomicFileStepHook hook = gStepHook.load()) hook(step, target);
}

long ProcessId() {
#ifdef _WIN32
  return _getpid();
#else
  return static_cast<long>(getpid());
#endif
}

// "name.ext" -> "name.ext.<pid>-<n>.saving", unique within this process and across processes.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%ld-%u.saving", ProcessId(), gTemporaryCounter++);
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

// The process id in a temporary name of target's ("name.ext.<pid>-<n>.saving"), or -1 when
// name is not one.
long TemporaryOwner(const std::filesystem::path& target, const std::filesystem::path& name) {
  const std::filesystem::path::string_type stem = target.filename().native();
  const std::filesystem::path::string_type text = name.native();
  const std::filesystem::path::string_type tail = std::filesystem::path(".saving").native();
  if (text.size() <= stem.size() + 1 + tail.size() || text.compare(0, stem.size(), stem) != 0 ||
      text[stem.size()] != '.' || text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
    return -1;
  long pid = 0;
  size_t i = stem.size() + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && pid < 100000000; ++i) pid = pid * 10 + (text[i] - '0');
  if (i == stem.size() + 1 || text[i] != '-') return -1;
  for (++i; i < text.size() - tail.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return -1;
  return pid;
}

// Removes what killed saves of target left behind. On POSIX a temporary file counts as left
// behind when no process of its id runs; on Windows removing a file another process still
// writes fails (it is open without delete sharing), so every one is simply tried.
void RemoveAbandonedTemporaries(const std::filesystem::path& target) {
  std::error_code error;
  const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  std::filesystem::directory_iterator it(folder, error), end;
  for (; !error && it != end; it.increment(error)) {
    const long owner = TemporaryOwner(target, it->path().filename());
    if (owner < 0 || owner == ProcessId()) continue;
#ifndef _WIN32
    if (::kill(static_cast<pid_t>(owner), 0) == 0 || errno != ESRCH) continue;
#endif
    std::error_code ignored;
    std::filesystem::remove(it->path(), ignored);
  }
}

}  // namespace

void SetAtomicFileStepHook(AtomicFileStepHook hook) { gStepHook = hook; }

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
  file.temporary = TemporaryPathFor(resolved);
  file.stream = OpenBinaryFile(file.temporary, "wb");
  if (file.stream) Step(AtomicFileStep::kCreated, file.target);
  return file.stream != nullptr;
}

bool CommitAtomicFile(AtomicFile& file) {
  if (!file.stream) return false;
  bool ok = !std::ferror(file.stream) && FlushToDisk(file.stream);
  if (ok) Step(AtomicFileStep::kFlushed, file.target);
  ok = std::fclose(file.stream) == 0 && ok;
  file.stream = nullptr;
  std::error_code error;
  if (ok) {
    Step(AtomicFileStep::kClosed, file.target);
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
    Step(AtomicFileStep::kPermissionsGiven, file.target);
    error.clear();
    // Replaces an existing target in one step on both systems.
    std::filesystem::rename(file.temporary, file.target, error);
    ok = !error;
  }
  if (!ok) {
    std::filesystem::remove(file.temporary, error);
    return false;
  }
  Step(AtomicFileStep::kReplaced, file.target);
  RemoveAbandonedTemporaries(file.target);
  return true;
}

void AbandonAtomicFile(AtomicFile& file) {
  if (file.stream) std::fclose(file.stream);
  file.stream = nullptr;
  std::error_code error;
  std::filesystem::remove(file.temporary, error);
}
