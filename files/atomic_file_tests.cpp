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

#ifndef _WIN32
// Saving through a link replaces the file it points to and keeps the link; the file keeps its
// permissions; what is not a regular file is never replaced.
TEST(AtomicFile, SavesThroughLinksKeepsPermissionsAndRefusesOtherKinds) {
  TempFolder dir;
  const fs::path real = dir.Write("real.png", "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const fs::path link = dir.path / "link.png";
  fs::create_symlink("real.png", link);
  AtomicFile file{};
  ASSERT_TRUE(BeginAtomicFile(file, link));
  std::fputs("new", file.stream);
  ASSERT_TRUE(CommitAtomicFile(file));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadAll(real), "new");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(dir.FileCount(), 2);

  for (const fs::path& other : {dir.path, fs::path("/dev/null")}) {
    AtomicFile refused{};
    EXPECT_FALSE(BeginAtomicFile(refused, other)) << other;
    EXPECT_EQ(refused.stream, nullptr);
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}
#endif
