#include "files/atomic_file.h"

#include <gtest/gtest.h>

#include <string>

#include "canvas/temp_folder_test_support.h"

namespace fs = std::filesystem;

// The old file stays whole while writing; commit replaces it, abandon keeps it. Neither leaves a
// temporary behind.
TEST(AtomicFile, ReplacesAnExistingTargetOnlyAtCommit) {
  for (const bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "commit" : "abandon");
    TempFolder dir;
    const fs::path target = dir.Write("canvas.png", "old");
    AtomicFile file{};
    ASSERT_TRUE(BeginAtomicFile(file, target));
    std::fputs("new contents", file.stream);
    EXPECT_EQ(ReadAll(target), "old");
    if (commit)
      EXPECT_TRUE(CommitAtomicFile(file));
    else
      AbandonAtomicFile(file);
    EXPECT_EQ(ReadAll(target), commit ? "new contents" : "old");
    EXPECT_EQ(dir.FileCount(), 1);
  }
}

TEST(AtomicFile, MissingFolderFailsAtOnce) {
  TempFolder dir;
  AtomicFile file{};
  EXPECT_FALSE(BeginAtomicFile(file, dir.path / "no such folder" / "x.png"));
  EXPECT_EQ(file.stream, nullptr);
  EXPECT_FALSE(CommitAtomicFile(file));
}

TEST(AtomicFile, NewTargetWithNonAsciiName) {
  TempFolder dir;
  const fs::path target = dir.path / fs::path(u8"キャンバス.png");
  AtomicFile file{};
  ASSERT_TRUE(BeginAtomicFile(file, target));
  std::fputs("x", file.stream);
  EXPECT_TRUE(CommitAtomicFile(file));
  FILE* in = OpenBinaryFile(target, "rb");
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(std::fgetc(in), 'x');
  std::fclose(in);
}
