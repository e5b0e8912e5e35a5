#include "app/recovery.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/startup_canvas.h"
#include "canvas/canvas_lifecycle.h"
#include "canvas/undo_history.h"

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
