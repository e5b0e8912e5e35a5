#include "files/canvas_file_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "canvas/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

Names NamesOf(const CanvasFileList& list) {
  Names names;
  for (const fs::path& n : list.names) names.push_back(n.string());
  return names;
}

}  // namespace

TEST(TimeStampName, PadsEveryFieldToItsWidth) {
  // Five past nine and three seconds in the morning of the second of March: month, day, hour,
  // minute and second take two digits each with leading zeros; milliseconds are not part of it.
  EXPECT_EQ(MakeTimeStampName({2025, 3, 2, 9, 5, 3, 456}), "20250302090503");
  EXPECT_EQ(MakeTimeStampName({2024, 12, 31, 23, 59, 59, 999}), "20241231235959");
  EXPECT_EQ(MakeTimeStampName({987, 1, 1, 0, 0, 0, 0}), "09870101000000");
  const LocalTime now = CurrentLocalTime();
  EXPECT_EQ(MakeTimeStampName(now).size(), 14u);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31 && now.hour <= 23);
  EXPECT_TRUE(now.millisecond >= 0 && now.millisecond <= 999);
}

TEST(TimeStampName, ASecondSaveInOneSecondGetsItsOwnName) {
  TempFolder dir;
  const LocalTime t{2025, 3, 2, 9, 5, 3, 0};
  EXPECT_EQ(TimeStampedCanvasPath(dir.path, t), dir.path / "20250302090503.png");
  dir.Write("20250302090503.png");
  EXPECT_EQ(TimeStampedCanvasPath(dir.path, t), dir.path / "20250302090503_2.png");
  dir.Write("20250302090503_2.png");
  EXPECT_EQ(TimeStampedCanvasPath(dir.path, t), dir.path / "20250302090503_3.png");
  // The extra copies still list in the order of saving: "." sorts before "_", and both after
  // the earlier second and before the later one.
  dir.Write("20250302090504.png");
  dir.Write("20250302090502.png");
  CanvasFileList list{dir.path, {}};
  ListCanvasFiles(list);
  EXPECT_EQ(NamesOf(list), (Names{"20250302090502.png", "20250302090503.png", "20250302090503_2.png",
                                  "20250302090504.png"}));
}

TEST(CanvasFileList, LeavesOutTheWorkingCanvasAndTheDragFile) {
  TempFolder dir;
  for (const char* name : {"canvas.png", "_DnD_.png", "a.png", "c.PNG", "notes.txt", "canvas.png.bak", "B.png"})
    dir.Write(name);
  fs::create_directories(dir.path / "folder.png");  // a folder is not a canvas file
  CanvasFileList list{dir.path, {}};
  ListCanvasFiles(list);
  // Letters compare without case: a, B, c.
  EXPECT_EQ(NamesOf(list), (Names{"a.png", "B.png", "c.PNG"}));
  ListCanvasFiles(list);  // listing again replaces, never duplicates
  EXPECT_EQ(NamesOf(list), (Names{"a.png", "B.png", "c.PNG"}));
}

TEST(CanvasFileList, ExclusionsAreCaseSensitive) {
  TempFolder dir;
  dir.Write("Canvas.png");
  dir.Write("_dnd_.png");
  CanvasFileList list{dir.path, {}};
  ListCanvasFiles(list);
  // Compared in upper case, "C" (0x43) comes before "_" (0x5F).
  EXPECT_EQ(NamesOf(list), (Names{"Canvas.png", "_dnd_.png"}));
}

TEST(CanvasFileList, EmptyAndMissingFoldersGiveEmptyLists) {
  TempFolder dir;
  CanvasFileList list{dir.path, {"stale.png"}};
  ListCanvasFiles(list);
  EXPECT_TRUE(list.names.empty());
  list.folder = dir.path / "missing";
  list.names = {"stale.png"};
  ListCanvasFiles(list);
  EXPECT_TRUE(list.names.empty());
}

TEST(CanvasFileList, AppendedNamesFollowTheListedOnesOnce) {
  TempFolder dir;
  dir.Write("b.png");
  CanvasFileList list{dir.path, {}};
  ListCanvasFiles(list);
  AppendCanvasFile(list, "a.png");
  AppendCanvasFile(list, "b.png");  // already listed
  AppendCanvasFile(list, "a.png");
  EXPECT_EQ(NamesOf(list), (Names{"b.png", "a.png"}));
  FreeCanvasFileList(list);
  EXPECT_TRUE(list.names.empty());
}
