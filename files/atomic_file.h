// Saving without losing the old file: everything is written to a temporary file in the target's
// folder, and only a complete, flushed write replaces the target. A failure at any point leaves
// the old file as it was and removes the temporary one.
#pragma once

#include <cstdio>
#include <filesystem>

struct AtomicFile {
  FILE* stream;                      // where the caller writes; null when not open
  std::filesystem::path target;
  std::filesystem::path temporary;
};

// Opens a file for binary reading or writing by a path that may hold any characters (UTF-16 on
// Windows). mode is "rb" or "wb".
FILE* OpenBinaryFile(const std::filesystem::path& path, const char* mode);

// Creates the temporary file next to the file target names. A target that is a symbolic link
// is saved through it: the link stays and the file it points to is replaced (the temporary
// file lies beside that file, so the final move never crosses file systems). false when the
// temporary file cannot be created (a missing or read-only folder) or the target exists and is
// not a regular file (a folder, a device): nothing is then left behind or changed.
[[nodiscard]] bool BeginAtomicFile(AtomicFile& file, const std::filesystem::path& target);

// Flushes the temporary file to the disk, closes it, gives it the replaced file's permissions
// (and, on POSIX, its owner and group where allowed) and moves it over the target. false when
// any write, the flush or the move failed: the target is untouched and the temporary removed.
// After a successful move, temporary files of the same target left by saves that never ended
// (a process killed while writing) are removed; those of running processes stay.
[[nodiscard]] bool CommitAtomicFile(AtomicFile& file);

// Gives up: closes and removes the temporary file; the target is untouched.
void AbandonAtomicFile(AtomicFile& file);

// The steps of a save, in order, for tests that stop a save between them (a kill at each
// point must leave the target whole: the old file up to kReplaced, the new one from there).
enum class AtomicFileStep : int {
  kCreated,           // the empty temporary file exists
  kFlushed,           // every byte written and flushed to the disk
  kClosed,            // the temporary file closed
  kPermissionsGiven,  // the old file's permissions (and owner) given to it
  kReplaced,          // moved over the target
};
using AtomicFileStepHook = void (*)(AtomicFileStep step, const std::filesystem::path& target);
// Called after each step of every save in the process; null (the default) calls nothing.
void SetAtomicFileStepHook(AtomicFileStepHook hook);
