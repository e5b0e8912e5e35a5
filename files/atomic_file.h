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
// is saved through it: the link stays and the file it points to is replaced. false when the
// temporary file cannot be created (a missing or read-only folder) or the target exists and is
// not a regular file (a folder, a device): nothing is then left behind or changed.
[[nodiscard]] bool BeginAtomicFile(AtomicFile& file, const std::filesystem::path& target);

// Flushes the temporary file to the disk, closes it, gives it the replaced file's permissions
// (and, on POSIX, its owner and group where allowed) and moves it over the target. false when
// any write, the flush or the move failed: the target is untouched and the temporary removed.
[[nodiscard]] bool CommitAtomicFile(AtomicFile& file);

// Gives up: closes and removes the temporary file; the target is untouched.
void AbandonAtomicFile(AtomicFile& file);
