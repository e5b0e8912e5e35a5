#include "app/recovery.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/session_test_support.h"
#include "app/startup_canvas.h"
#include "canvas/canvas_lifecycle.h"
#include "canvas/canvas_test_support.h"
#include "canvas/undo_history.h"
#include "files/canvas_png.h"

namespace fs = std::filesystem;

namespace {

// A session on a 6 x 4 canvas whose settings folder is a fresh temporary folder.
struct RecoverySession {
  fs::path folder = fs::temp_directory_path() /
                    ("dotwright-recovery-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  std::unique_ptr<AppState> state = std::make_unique<AppState>();

  RecoverySession() {
    fs::remove_all(folder);
    fs::create_directories(folder / "setting");
    BindAppState(*state);
    state->settings.settingsFile = folder / "setting" / "Dotwright.ini";
    EXPECT_TRUE(StartBlankCanvas(*state, 6, 4, nullptr, nullptr));
  }
  ~RecoverySession() {
    ReleaseAppState(*state);
    std::error_code e;
    fs::remove_all(folder, e);
  }
  // A committed edit of pixel (x, 1), as a stroke leaves it.
  void Draw(int x) {
    DibRow(*state->canvas.bitmap, 1)[x] = 0xFE;
    ASSERT_TRUE(CommitCanvasRect(state->canvas, {x, 1, x + 1, 2}));
    state->canvas.saved = 0;
  }
  bool Copy() {
    const bool started = StartRecoveryCopy(*state, state->recovery);
    FinishRecoveryCopy(state->recovery);
    return started;
  }
};

}  // namespace

TEST(Recovery, ACopyIsWrittenOnlyForChangesNoFileHolds) {
  RecoverySession t;
  AppState& s = *t.state;
  EXPECT_EQ(RecoveryFile(s.settings), t.folder / "setting" / "recovery.png");
  EXPECT_FALSE(t.Copy());  // a new canvas: nothing to keep
  EXPECT_FALSE(HasRecoveryCopy(s.settings));

  t.Draw(2);
  EXPECT_TRUE(t.Copy());
  EXPECT_TRUE(HasRecoveryCopy(s.settings));
  EXPECT_FALSE(s.recovery.failed);
  EXPECT_FALSE(t.Copy());  // nothing new since
  t.Draw(3);
  EXPECT_TRUE(t.Copy());
  PixelRect r{};
  ASSERT_TRUE(Undo(s.canvas, r));
  EXPECT_TRUE(t.Copy());  // an undo is a change too

  s.canvas.saved = 1;  // saved to a file: the copy would only hold less
  EXPECT_FALSE(t.Copy());
  EXPECT_FALSE(HasRecoveryCopy(s.settings));
}

TEST(Recovery, TheCopyComesBackAsAnUnsavedWorkingCanvas) {
  RecoverySession t;
  AppState& s = *t.state;
  t.Draw(4);
  ASSERT_TRUE(t.Copy());
  s.settings.currentFilePath = t.folder / "drawing.png";
  ASSERT_TRUE(StartBlankCanvas(s, 9, 9, nullptr, nullptr));  // the next start's canvas
  ASSERT_TRUE(RestoreRecoveryCopy(s));
  EXPECT_EQ(s.canvas.width, 6);
  EXPECT_EQ(DibRow(*s.canvas.bitmap, 1)[4], 0xFE);
  EXPECT_EQ(s.canvas.saved, 0);
  EXPECT_TRUE(s.settings.currentFilePath.empty());

  DiscardRecoveryCopy(s.settings, s.recovery);
  EXPECT_FALSE(HasRecoveryCopy(s.settings));
  EXPECT_FALSE(RestoreRecoveryCopy(s));  // nothing left: the canvas stays
  EXPECT_EQ(s.canvas.width, 6);
}

TEST(Recovery, TheIntervalIsClampedWhereItIsUsed) {
  auto settings = std::make_unique<AppSettings>();
  const int32_t kSeconds[] = {INT_MIN, 0, 5, 120, 3600, INT_MAX};
  const uint32_t kMs[] = {5000, 5000, 5000, 120000, 3600000, 3600000};
  for (size_t i = 0; i < std::size(kSeconds); ++i) {
    settings->RecoveryInterval = kSeconds[i];
    EXPECT_EQ(RecoveryIntervalMs(*settings), kMs[i]) << kSeconds[i];
  }
}

// A long session of long strokes (hundreds of segments each, several pens, an undo between)
// with copies taken as the program takes them: every copy holds exactly the canvas and layers
// of its moment, and the last one comes back as exactly the canvas.
TEST(Recovery, ALongStrokeSessionComesBackExactly) {
  const fs::path folder = fs::temp_directory_path() / "dotwright-recovery-long-session";
  fs::remove_all(folder);
  fs::create_directories(folder / "setting");
  TestSession t(160, kKindPressurePen, 9);
  AppState& s = t.State();
  s.settings.settingsFile = folder / "setting" / "Dotwright.ini";
  const int kinds[] = {kKindPressurePen, kKindTiltPencil, kKindStampBrush, kKindGrainDabPen, kKindPressureEraser};
  int copies = 0;
  for (int stroke = 0; stroke < 10; ++stroke) {
    PenSetting& pen = t.Pen();
    pen.KindOfPen = kinds[stroke % 5];
    pen.Size = 3 + stroke * 2;
    pen.EnablePalette = 1;
    pen.Palette = stroke % 8;
    // 300 segments zigzagging across the canvas with changing pressure.
    t.Feed(5, 5 + stroke * 15, 0);
    for (int i = 0; i <= 300; ++i)
      t.Feed(5 + (i * 7) % 150, 5 + stroke * 15 + (i % 20), 300 + static_cast<uint32_t>((i * 37) % 724));
    t.Feed(150, 150, 0);
    if (stroke == 6) {
      PixelRect r{};
      ASSERT_TRUE(Undo(s.canvas, r));
    }
    s.canvas.layers.rows[stroke % 8].colour = 0x102030u * static_cast<uint32_t>(stroke + 1);
    ASSERT_EQ(s.canvas.saved, 0);
    ASSERT_TRUE(StartRecoveryCopy(s, s.recovery));
    FinishRecoveryCopy(s.recovery);
    ASSERT_FALSE(s.recovery.failed);
    ++copies;
    LayerTable layers = DefaultLayerTable();
    DibPtr copy(ReadCanvasPng(RecoveryFile(s.settings), &layers));
    ASSERT_TRUE(copy);
    EXPECT_EQ(CanvasToHex(*copy), CanvasToHex(*s.canvas.bitmap)) << "copy after stroke " << stroke;
    EXPECT_EQ(FormatLayerTable(layers), FormatLayerTable(s.canvas.layers));
  }
  EXPECT_EQ(copies, 10);
  EXPECT_GT(t.Painted(), 1000);

  // The next start: a different blank canvas, then the copy.
  const std::vector<std::string> expected = CanvasToHex(*s.canvas.bitmap);
  const std::string expectedLayers = FormatLayerTable(s.canvas.layers);
  auto next = std::make_unique<AppState>();
  BindAppState(*next);
  next->settings.settingsFile = s.settings.settingsFile;
  ASSERT_TRUE(StartBlankCanvas(*next, 9, 9, nullptr, nullptr));
  ASSERT_TRUE(HasRecoveryCopy(next->settings));
  ASSERT_TRUE(RestoreRecoveryCopy(*next));
  EXPECT_EQ(CanvasToHex(*next->canvas.bitmap), expected);
  EXPECT_EQ(FormatLayerTable(next->canvas.layers), expectedLayers);
  ReleaseAppState(*next);
  std::error_code e;
  fs::remove_all(folder, e);
}

TEST(Recovery, ALongStrokeIsCopiedWhenItEnds) {
  fs::path folder = fs::temp_directory_path() / "dotwright-recovery-long-stroke";
  fs::remove_all(folder);
  fs::create_directories(folder / "setting");
  TestSession t(64, kKindPressurePen, 3);
  AppState& s = t.State();
  s.settings.settingsFile = folder / "setting" / "Dotwright.ini";
  // A short stroke waits for the timer.
  t.Stroke(2, 20, 10);
  EXPECT_FALSE(CopyAfterLongStroke(s, s.recovery));
  // A long one: every sample a step, its end starts a copy (and only its end).
  t.Feed(2, 30, 0);
  bool copiedEarly = false;
  for (int i = 0; i <= kLongStrokeSteps; ++i) {
    t.Feed(2 + (i % 60), 30 + (i / 60), 1024);
    copiedEarly |= CopyAfterLongStroke(s, s.recovery);
  }
  EXPECT_FALSE(copiedEarly);
  t.Feed(10, 40, 0);
  EXPECT_TRUE(CopyAfterLongStroke(s, s.recovery));
  FinishRecoveryCopy(s.recovery);
  EXPECT_TRUE(HasRecoveryCopy(s.settings));
  DiscardRecoveryCopy(s.settings, s.recovery);
  fs::remove_all(folder);
}
