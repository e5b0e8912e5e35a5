#include "files/atomic_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TempFolder {
  fs::path path;
  TempFolder() {
    path = fs::temp_directory_path() / ("dotwright-atomic-" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code e;
    fs::remove_all(path, e);
  }
  int FileCount() const { return static_cast<int>(std::distance(fs::directory_iterator(path), fs::directory_iterator())); }
};

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

}  // namespace

TEST(AtomicFile, ReplacesAnExistingTargetOnlyAtCommit) {
  TempFolder dir;
  const fs::path target = dir.path / "canvas.png";
  WriteText(target, "old");
  AtomicFile file{};
  ASSERT_TRUE(BeginAtomicFile(file, target));
  std::fputs("new contents", file.stream);
  EXPECT_EQ(ReadAll(target), "old");  // still the old file while writing
  EXPECT_TRUE(CommitAtomicFile(file));
  EXPECT_EQ(ReadAll(target), "new contents");
  EXPECT_EQ(dir.FileCount(), 1);  // no temporary left
}

TEST(AtomicFile, AbandonedWriteLeavesTheOldFileAndNoTemporary) {
  TempFolder dir;
  const fs::path target = dir.path / "settings.ini";
  WriteText(target, "keep me");
  AtomicFile file{};
  ASSERT_TRUE(BeginAtomicFile(file, target));
  std::fputs("half", file.stream);
  AbandonAtomicFile(file);
  EXPECT_EQ(ReadAll(target), "keep me");
  EXPECT_EQ(dir.FileCount(), 1);
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
