// Crash-safe saves, proven by killing them: a child process saves a new version over an old
// one and dies at a chosen point (at a byte offset of the file it writes, through the file size
// limit, or between the steps of the save, through the step hook). Whatever the point, the
// target is byte for byte the old file or the new one, with its permissions, through a link
// too; the next successful save leaves no temporary file behind.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/atomic_file.h"
#include "files/canvas_png.h"
#include "files/png_test_support.h"
#include "files/psd_export.h"
#include "settings/pen_defaults.h"
#include "settings/settings_file.h"
#include "files/utf_text.h"

namespace fs = std::filesystem;

namespace {

// Writes version 0 (old) or 1 (new) of one kind of file to a path.
using Save = std::function<bool(const fs::path&, int version)>;

struct Saver {
  const char* name;
  Save save;
};

std::vector<Saver> Savers() {
  // The canvas in 16 IDAT pieces; the two versions differ in one pixel and one layer colour.
  auto canvas = [](int version) {
    DibPtr b = PatternCanvas(40, 32);
    DibRow(*b, 5)[7] ^= static_cast<uint8_t>(version);
    return b;
  };
  auto layers = [](int version) {
    LayerTable t = DefaultLayerTable();
    t.rows[3].colour += static_cast<uint32_t>(version);
    return t;
  };
  return {
      {"canvas",
       [=](const fs::path& p, int v) {
         const LayerTable t = layers(v);
         return WriteCanvasPng(p, *canvas(v), &t);
       }},
      {"psd",
       [=](const fs::path& p, int v) {
         DibPtr b = PatternCanvas(12, 9);
         DibRow(*b, 2)[3] ^= static_cast<uint8_t>(v);
         return ExportPsd(p, *b, layers(v)) == PsdExportFailure::kNone;
       }},
      {"settings",
       [](const fs::path& p, int v) {
         auto s = std::make_unique<AppSettings>();
         SetPenDefaults(s->pens, false);
         s->settingsFile = p;
         s->CorrectionStrength = 3 + v;
         CopyText(s->pens[4].Name, v ? u"new pen" : u"old pen");
         return SaveSettings(*s);
       }},
  };
}

// Where the child dies: after `bytes` bytes of the file (the write that would pass them is
// killed by SIGXFSZ), or at a step of the save.
struct KillPoint {
  long long bytes;      // -1: no byte limit
  int step;             // AtomicFileStep, or -1
};

int gKillStep = -1;

void KillAtStep(AtomicFileStep step, const fs::path&) {
  if (static_cast<int>(step) == gKillStep) raise(SIGKILL);
}

// Runs save(target, 1) in a child that dies at point; true when the child died (it always
// should, but a byte limit at or past the file's size lets the save end).
bool SaveInChildUntil(const Save& save, const fs::path& target, const KillPoint& point) {
  const pid_t child = fork();
  if (child == 0) {
    if (point.bytes >= 0) {
      signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{static_cast<rlim_t>(point.bytes), static_cast<rlim_t>(point.bytes)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    gKillStep = point.step;
    SetAtomicFileStepHook(point.step >= 0 ? KillAtStep : nullptr);
    _exit(save(target, 1) ? 0 : 1);
  }
  int status = 0;
  EXPECT_EQ(waitpid(child, &status, 0), child);
  return WIFSIGNALED(status);
}

mode_t Mode(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
  return st.st_mode & 07777;
}

// Every kill point of one saver, saving to a plain file or through a link to it; returns how
// many points were tried.
int KillEverywhere(const Saver& saver, bool throughLink) {
  SCOPED_TRACE(std::string(saver.name) + (throughLink ? " through a link" : ""));
  TempFolder dir;
  const fs::path file = dir / "target";
  const fs::path target = throughLink ? dir / "link" : file;
  if (throughLink) fs::create_symlink("target", target);
  if (!saver.save(file, 0)) return ADD_FAILURE(), 0;
  ::chmod(file.c_str(), 0640);
  const std::string oldBytes = ReadAll(file);
  TempFolder scratch;
  if (!saver.save(scratch / "new", 1)) return ADD_FAILURE(), 0;
  const std::string newBytes = ReadAll(scratch / "new");
  EXPECT_NE(newBytes, oldBytes);

  // Byte offsets spread over the whole new file (every one of the first 8, then steps), and
  // every step of the save.
  std::vector<KillPoint> points;
  const long long size = static_cast<long long>(newBytes.size());
  const long long stride = throughLink ? size / 8 : std::max(1LL, size / 48);
  for (long long b = 0; b < size; b += b < 8 ? 1 : stride) points.push_back({b, -1});
  points.push_back({size - 1, -1});
  for (int step = 0; step <= static_cast<int>(AtomicFileStep::kReplaced); ++step) points.push_back({-1, step});

  for (const KillPoint& point : points) {
    SCOPED_TRACE("killed at byte " + std::to_string(point.bytes) + ", step " + std::to_string(point.step));
    EXPECT_TRUE(SaveInChildUntil(saver.save, target, point));
    const bool replaced = point.step == static_cast<int>(AtomicFileStep::kReplaced);
    const std::string now = ReadAll(file);
    EXPECT_TRUE(now == (replaced ? newBytes : oldBytes)) << now.size() << " bytes";
    EXPECT_EQ(Mode(file), 0640u);
    EXPECT_EQ(fs::is_symlink(target), throughLink);
    if (replaced) {
      WriteAll(file, oldBytes);
      ::chmod(file.c_str(), 0640);
    }
  }
  // The killed saves left their temporary files; the next save removes them.
  EXPECT_GT(dir.FileCount(), throughLink ? 2 : 1);
  EXPECT_TRUE(saver.save(target, 1));
  EXPECT_EQ(ReadAll(file), newBytes);
  EXPECT_EQ(Mode(file), 0640u);
  EXPECT_EQ(dir.FileCount(), throughLink ? 2 : 1);
  return static_cast<int>(points.size());
}

}  // namespace

TEST(SaveKillPoints, TheTargetIsAlwaysTheWholeOldOrNewFile) {
  int points = 0;
  for (const Saver& saver : Savers())
    for (const bool link : {false, true}) points += KillEverywhere(saver, link);
  EXPECT_GE(points, 200);
}

TEST(SaveKillPoints, TemporariesOfRunningSavesStay) {
  // A temporary of this process and one of a process that runs (the parent) are not removed;
  // one of a process id that cannot exist is.
  TempFolder dir;
  const fs::path target = dir.Write("c.png", "old");
  const std::string live = "c.png." + std::to_string(getppid()) + "-0.saving";
  const std::string own = "c.png." + std::to_string(getpid()) + "-999.saving";
  dir.Write(live, "x");
  dir.Write(own, "x");
  dir.Write("c.png.999999999-0.saving", "x");
  dir.Write("c.png.12x-0.saving", "x");  // not a temporary name of ours
  AtomicFile f{};
  ASSERT_TRUE(BeginAtomicFile(f, target));
  ASSERT_TRUE(CommitAtomicFile(f));
  std::vector<std::string> names = dir.Names();
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = {"c.png", "c.png.12x-0.saving", live, own};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
}

#endif
