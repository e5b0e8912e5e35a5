#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/startup_canvas.h"
#include "canvas/canvas_lifecycle.h"
#include "canvas/undo_history.h"
#include "files/canvas_png.h"
#include "files/utf_text.h"
#include "reduce/composition_hooks.h"
#include "view/back_buffer.h"
#include "view/view_operations.h"
#include "settings/command_ids.h"

namespace fs = std::filesystem;

namespace {

// Answers the commands' questions and dialogs from queues and records what they report.
struct ScriptedHost final : FileCommandHost {
  std::deque<SaveAnswer> answers;
  std::deque<fs::path> choices;  // an empty path cancels the dialog
  std::vector<FileDialog> dialogs;
  std::vector<fs::path> dialogStarts;
  std::vector<FileCommandFailure> failures;
  std::vector<int32_t> details;  // one per failure
  int questions = 0;
  LocalTime now{2026, 3, 2, 9, 5, 3, 0};

  SaveAnswer AskToSave() override {
    ++questions;
    if (answers.empty()) return SaveAnswer::kCancel;
    SaveAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool ChooseFile(FileDialog dialog, fs::path& path) override {
    dialogs.push_back(dialog);
    dialogStarts.push_back(path);
    if (choices.empty()) return false;
    fs::path chosen = choices.front();
    choices.pop_front();
    if (chosen.empty()) return false;
    path = chosen;
    return true;
  }
  void Report(FileCommandFailure failure, const fs::path&, int32_t detail) override {
    failures.push_back(failure);
    details.push_back(detail);
  }
  LocalTime Now() override { return now; }
  void Wait(bool) override {}
};

// A session on an 8 x 6 canvas whose working folder is a fresh temporary folder; pixel (3, 2)
// carries a layer-1 mark so every copy of this canvas can be recognised.
struct FileSession {
  fs::path folder = fs::temp_directory_path() /
                    ("dotwright-files-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  std::unique_ptr<AppState> state = std::make_unique<AppState>();
  ScriptedHost host;

  FileSession() {
    fs::remove_all(folder);
    fs::create_directories(folder);
    AppState& s = *state;
    BindAppState(s);
    s.settings.workingCanvasFile = folder / "canvas.png";
    s.settings.PrintDPI = 600;
    s.settings.newcanvassize = kNewCanvasGivenSize;
    s.settings.newcanvascx = 8;
    s.settings.newcanvascy = 6;
    // As the settings file keeps it: with its closing separator.
    EXPECT_TRUE(CopyText(s.settings.defaultpath, TextFromPath(folder / "")));
    EXPECT_EQ(StartNewCanvas(s, nullptr), StartCanvasSource::kBlank);
    Mark();
    ListWorkingFolder(s);
  }
  ~FileSession() {
    ReleaseAppState(*state);
    std::error_code e;
    fs::remove_all(folder, e);
  }
  AppState& S() { return *state; }
  void Mark() {
    DibRow(*state->canvas.bitmap, 2)[3] = 0xFD;
    state->canvas.saved = 0;
  }
  bool Marked() const { return state->canvas.bitmap && DibRow(*state->canvas.bitmap, 2)[3] == 0xFD; }
  // A drawn, committed edit: the undo history then holds a step, as after a stroke.
  void Edit() {
    DibRow(*state->canvas.bitmap, 0)[0] = 0xFE;
    ASSERT_TRUE(CommitCanvasRect(state->canvas, {0, 0, 1, 1}));
    state->canvas.saved = 0;
  }
  FileCommandOutcome Run(int32_t command) { return RunFileCommand(*state, host, command); }
  // Writes a canvas file of w x h in the folder.
  fs::path WriteCanvas(const char* name, int w, int h) {
    AppState other;
    BindAppState(other);
    EXPECT_TRUE(StartBlankCanvas(other, w, h, nullptr, nullptr));
    const fs::path path = folder / name;
    EXPECT_TRUE(WriteCanvasPng(path, *other.canvas.bitmap, &other.canvas.layers));
    ReleaseAppState(other);
    return path;
  }
};

bool FileHoldsMark(const fs::path& path) {
  Canvas c{};
  if (ReadCanvasFile(path, c) != CanvasLoadFailure::kNone) return false;
  const bool marked = DibRow(*c.bitmap, 2)[3] == 0xFD;
  DestroyCanvas(c);
  return marked;
}

}  // namespace

TEST(StepCanvasFile, TheWorkingCanvasStandsAfterTheLastFile) {
  struct Case {
    int32_t count, position;
    bool hasFile, forward;
    FileStep::Kind kind;
    int32_t index;
  };
  constexpr Case kCases[] = {
      {0, -1, false, false, FileStep::kStay, 0},          // empty list
      {0, -1, true, true, FileStep::kStay, 0},
      {3, -1, false, false, FileStep::kFile, 2},          // working canvas → last file
      {3, -1, false, true, FileStep::kStay, 0},           // nothing after the working canvas
      {3, 0, true, false, FileStep::kStay, 0},            // nothing before the first file
      {3, 1, true, false, FileStep::kFile, 0},
      {3, 1, true, true, FileStep::kFile, 2},
      {3, 2, true, true, FileStep::kWorkingCanvas, 0},    // past the last file
      {3, -1, true, true, FileStep::kWorkingCanvas, 0},   // a file from elsewhere
      {3, -1, true, false, FileStep::kFile, 2},
  };
  for (const Case& c : kCases) {
    const FileStep step = StepCanvasFile(c.count, c.position, c.hasFile, c.forward);
    EXPECT_EQ(step.kind, c.kind) << c.count << " " << c.position << " " << c.forward;
    if (c.kind == FileStep::kFile) {
      EXPECT_EQ(step.index, c.index) << c.count << " " << c.position;
    }
  }
}

TEST(FileCommands, SaveInWorkingCanvasModeArchivesAndWritesTheWorkingCanvas) {
  FileSession t;
  const FileCommandOutcome done = t.Run(CMD_SAVE);
  EXPECT_TRUE(done.title);
  const fs::path archive = t.folder / "20260302090503.png";
  EXPECT_TRUE(FileHoldsMark(archive));
  EXPECT_TRUE(FileHoldsMark(t.folder / "canvas.png"));
  EXPECT_EQ(t.S().canvas.saved, 1);
  ASSERT_EQ(t.S().fileList.names.size(), 1u);
  EXPECT_EQ(t.S().fileList.names[0], "20260302090503.png");
  // A second save within the same second keeps the first copy.
  t.Run(CMD_SAVE_SNAPSHOT);
  EXPECT_TRUE(fs::exists(t.folder / "20260302090503_2.png"));
  EXPECT_EQ(t.S().fileList.names.size(), 2u);
}

TEST(FileCommands, NewCanvasKeepsACopyOfTheOldOneOrChangesNothing) {
  FileSession t;
  t.S().settings.newcanvascx = 5;
  t.S().settings.newcanvascy = 4;
  EXPECT_TRUE(t.Run(CMD_NEW_CANVAS).canvasReplaced);
  EXPECT_EQ(t.S().canvas.width, 5);
  EXPECT_EQ(t.S().canvas.height, 4);
  EXPECT_TRUE(FileHoldsMark(t.folder / "20260302090503.png"));
  EXPECT_TRUE(FileHoldsMark(t.folder / "canvas.png"));

  // A working folder that is not a folder: the command ends and the canvas stays.
  t.Mark();
  ASSERT_TRUE(CopyText(t.S().settings.defaultpath, TextFromPath(t.folder / "missing")));
  EXPECT_FALSE(t.Run(CMD_NEW_CANVAS).canvasReplaced);
  EXPECT_TRUE(t.Marked());
  EXPECT_EQ(t.host.failures, std::vector<FileCommandFailure>{FileCommandFailure::kNotAFolder});
}

TEST(FileCommands, NewCanvasOfTheSameSizeClearsAndCanBeUndone) {
  FileSession t;
  t.S().settings.newcanvassize = kNewCanvasKeepSize;
  ASSERT_TRUE(CommitCanvasRect(t.S().canvas, {3, 2, 4, 3}));  // the mark as a drawn stroke leaves it
  t.Run(CMD_NEW_CANVAS);
  EXPECT_FALSE(t.Marked());
  EXPECT_EQ(t.S().canvas.saved, 1);
  PixelRect changed{};
  ASSERT_TRUE(Undo(t.S().canvas, changed));
  EXPECT_TRUE(t.Marked());
}

TEST(FileCommands, OpenLoadsAFileAndLeavesEverythingAsItWasWhenItCannotBe) {
  FileSession t;
  const fs::path other = t.WriteCanvas("other.png", 7, 3);
  const fs::path damaged = t.folder / "damaged.png";
  std::ofstream(damaged, std::ios::binary) << "\x89PNG\r\n\x1a\n truncated";

  t.host.choices = {damaged};
  t.Run(CMD_OPEN);
  EXPECT_EQ(t.host.failures, std::vector<FileCommandFailure>{FileCommandFailure::kCannotRead});
  // The report says why: the file ends inside its first chunk.
  EXPECT_EQ(t.host.details, std::vector<int32_t>{static_cast<int32_t>(CanvasLoadFailure::kTruncated)});
  EXPECT_TRUE(t.Marked());
  EXPECT_TRUE(t.S().settings.currentFilePath.empty());

  t.host.choices = {other};
  EXPECT_TRUE(t.Run(CMD_OPEN).canvasReplaced);
  EXPECT_EQ(t.S().canvas.width, 7);
  EXPECT_EQ(t.S().settings.currentFilePath, other);
  EXPECT_TRUE(FileHoldsMark(t.folder / "canvas.png"));  // the working canvas was written first
  EXPECT_EQ(t.host.dialogs, (std::vector<FileDialog>{FileDialog::kOpenCanvas, FileDialog::kOpenCanvas}));
}

TEST(FileCommands, UnsavedChangesOfAFileAreSavedOrKeptAsTheArtistAnswers) {
  FileSession t;
  const fs::path a = t.WriteCanvas("a.png", 8, 6);
  const fs::path b = t.WriteCanvas("b.png", 4, 4);
  t.host.choices = {a};
  t.Run(CMD_OPEN);
  t.Mark();
  t.Edit();

  // Cancel, and Yes whose save-as dialog is cancelled, both keep the file open with its changes.
  t.host.answers = {SaveAnswer::kCancel, SaveAnswer::kYes};
  t.host.choices = {fs::path()};
  t.Run(CMD_OPEN);
  t.Run(CMD_OPEN);
  EXPECT_EQ(t.host.questions, 2);
  EXPECT_EQ(t.S().settings.currentFilePath, a);
  EXPECT_TRUE(t.Marked());

  // Yes saves through the dialog (it starts at the current file), then the chosen file opens.
  t.host.answers = {SaveAnswer::kYes};
  t.host.choices = {a, b};
  t.host.dialogStarts.clear();
  t.Run(CMD_OPEN);
  EXPECT_TRUE(FileHoldsMark(a));
  EXPECT_EQ(t.S().settings.currentFilePath, b);
  EXPECT_EQ(t.host.dialogStarts.front(), a);

  // No discards.
  t.Mark();
  t.Edit();
  t.host.answers = {SaveAnswer::kNo};
  t.host.choices = {a};
  t.Run(CMD_OPEN);
  EXPECT_FALSE(FileHoldsMark(b));
  EXPECT_EQ(t.S().settings.currentFilePath, a);
}

TEST(FileCommands, PreviousAndNextWalkTheFolderAndComeBackToTheWorkingCanvas) {
  FileSession t;
  t.WriteCanvas("a.png", 2, 2);
  t.WriteCanvas("b.png", 3, 3);
  ListWorkingFolder(t.S());
  t.Run(CMD_NEXT_FILE);  // nothing after the working canvas
  EXPECT_TRUE(t.Marked());

  t.Run(CMD_PREVIOUS_FILE);
  EXPECT_EQ(t.S().canvas.width, 3);
  EXPECT_TRUE(FileHoldsMark(t.folder / "canvas.png"));
  t.Run(CMD_PREVIOUS_FILE);
  EXPECT_EQ(t.S().canvas.width, 2);
  t.Run(CMD_PREVIOUS_FILE);  // the first file: nowhere to go
  EXPECT_EQ(t.S().settings.currentFilePath, t.folder / "a.png");
  t.Run(CMD_NEXT_FILE);
  t.Run(CMD_NEXT_FILE);
  EXPECT_TRUE(t.S().settings.currentFilePath.empty());
  EXPECT_TRUE(t.Marked());
}

TEST(FileCommands, SaveAsNamesANewFileAndExportsNeverReplaceTheCanvas) {
  FileSession t;
  const fs::path drawing = t.folder / "drawing.png";
  t.host.choices = {drawing};
  t.Run(CMD_SAVE_AS);
  EXPECT_EQ(t.host.dialogStarts.front(), t.folder / "20260302090503.png");
  EXPECT_EQ(t.S().settings.currentFilePath, drawing);
  EXPECT_TRUE(FileHoldsMark(drawing));
  EXPECT_EQ(t.S().fileList.names, std::vector<fs::path>{"drawing.png"});

  t.host.choices = {drawing, t.folder / "canvas.png", t.folder / "drawing.psd"};
  t.Run(CMD_EXPORT_PSD);
  t.Run(CMD_EXPORT_IMAGE);
  t.Run(CMD_EXPORT_PSD);
  EXPECT_EQ(t.host.failures, (std::vector<FileCommandFailure>{FileCommandFailure::kOwnCanvas, FileCommandFailure::kOwnCanvas}));
  EXPECT_TRUE(FileHoldsMark(drawing));
  EXPECT_GT(fs::file_size(t.folder / "drawing.psd"), 0u);
}

TEST(FileCommands, ClosingAsksInFileModeAndWritesTheWorkingCanvasOtherwise) {
  FileSession t;
  std::ofstream(t.folder / "_DnD_.png") << "x";
  EXPECT_TRUE(SaveBeforeClose(t.S(), t.host));
  EXPECT_TRUE(FileHoldsMark(t.folder / "canvas.png"));
  EXPECT_FALSE(fs::exists(t.folder / "_DnD_.png"));
  EXPECT_EQ(t.host.questions, 0);

  t.host.choices = {t.folder / "a.png"};
  t.Run(CMD_SAVE_AS);
  t.Edit();
  t.host.answers = {SaveAnswer::kCancel, SaveAnswer::kNo};
  EXPECT_FALSE(SaveBeforeClose(t.S(), t.host));
  EXPECT_TRUE(SaveBeforeClose(t.S(), t.host));
  EXPECT_EQ(t.host.questions, 2);
}

// Opening a file while a stroke is still being composed: the update thread is stopped before
// the old canvas's bitmaps go, so it never reads freed memory (run under ThreadSanitizer by
// scripts/tsan.sh).
TEST(FileCommands, OpeningAFileWhileTheUpdateThreadComposesAStroke) {
  FileSession t;
  AppState& s = t.S();
  const fs::path a = t.WriteCanvas("a.png", 300, 200), b = t.WriteCanvas("b.png", 200, 300);
  InstallCompositionHooks(s.view);
  InstallBackBufferHooks(s.view);
  s.step.updateMessages = {&s.step.update, [](void*) {},
                           [](void* update) { (void)PaintFinished(*static_cast<UpdateThread*>(update)); }, nullptr};
  s.settings.pens[0].KindOfPen = 0;
  s.settings.pens[0].Size = 40;
  s.settings.pens[0].Hardness = 50;
  s.input.maxPressure = 1024;
  ASSERT_TRUE(ResizeView(s.view, 256, 256));
  for (int round = 0; round < 12; ++round) {
    t.host.choices = {round % 2 ? a : b};
    t.host.answers = {SaveAnswer::kNo};
    for (int i = 0; i < 8; ++i) {
      PenSample p{};
      p.x = (20 + 20 * i) * 16;
      p.y = (30 + 10 * i) * 16;
      p.pressure = i == 7 ? 0 : 1024;
      p.azimuth = 1300;
      p.altitude = 550;
      FeedPenSample(s.context, s.step, p, SampleConditions{});
      if (i == 4) {  // mid-stroke
        EXPECT_TRUE(t.Run(CMD_OPEN).canvasReplaced);
      }
    }
  }
  EXPECT_EQ(s.canvas.width, 300);
  StopUpdateThread(s.step.update);
}

TEST(FileCommands, DroppedAndClipboardFiles) {
  FileSession t;
  AppState& s = t.S();
  struct Case {
    const char* name;
    DropVerdict verdict;
  };
  constexpr Case kCases[] = {{"a.png", DropVerdict::kOpen},  {"a.PNG", DropVerdict::kIgnore},
                             {"a.bmp", DropVerdict::kIgnore}, {"_DnD_.png", DropVerdict::kBeep},
                             {"png", DropVerdict::kIgnore}};
  for (const Case& c : kCases) EXPECT_EQ(ClassifyDroppedFile(s, t.folder / c.name), c.verdict) << c.name;
  EXPECT_EQ(ClassifyDroppedFile(s, t.folder / "elsewhere" / "_DnD_.png"), DropVerdict::kOpen);

  // The picture dragged out is written as that file, at the view's client size.
  {
    std::lock_guard<std::recursive_mutex> guard(s.step.update.lock);
    ResizeView(s.view, 20, 10);
  }
  const fs::path dragged = WritePictureDragFile(s);
  ASSERT_EQ(dragged, t.folder / "_DnD_.png");
  DibBitmap* picture = ReadCanvasPng(dragged, nullptr);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(DibWidth(*picture), 20);
  EXPECT_EQ(DibHeight(*picture), 10);
  FreeDibBitmap(picture);
  fs::remove(dragged);

  // A clipboard path that does not exist yet names the new canvas; the working canvas is kept.
  const fs::path fresh = t.folder / "fresh.png";
  EXPECT_TRUE(NewFromClipboardFile(s, t.host, fresh).canvasReplaced);
  EXPECT_EQ(s.settings.currentFilePath, fresh);
  EXPECT_FALSE(t.Marked());
  EXPECT_TRUE(FileHoldsMark(t.folder / "canvas.png"));
  // With unsaved changes of that file, the next clipboard path saves them first, unasked.
  t.Mark();
  t.Edit();
  const fs::path other = t.WriteCanvas("other.png", 5, 5);
  EXPECT_TRUE(NewFromClipboardFile(s, t.host, other).canvasReplaced);
  EXPECT_TRUE(FileHoldsMark(fresh));
  EXPECT_EQ(s.canvas.width, 5);
  EXPECT_EQ(t.host.questions, 0);
}

TEST(FileCommands, AnImportedImageFloatsUntilItIsDropped) {
  FileSession t;
  AppState& s = t.S();
  // A 4 x 3 picture with two pixels of layer 0.
  DibBitmap* picture = CreateDibBitmap(8, s.canvas.bitmap->colours, 256, 4, 3);
  ASSERT_NE(picture, nullptr);
  for (int y = 0; y < 3; ++y) std::fill_n(DibRow(*picture, y), 4, uint8_t{0xFF});
  DibRow(*picture, 0)[0] = DibRow(*picture, 2)[3] = 0xFE;
  const fs::path path = t.folder / "import.png";
  ASSERT_TRUE(WriteCanvasPng(path, *picture, nullptr));
  FreeDibBitmap(picture);

  t.host.choices = {path};
  EXPECT_TRUE(t.Run(CMD_IMPORT_IMAGE).view);
  EXPECT_EQ(t.host.dialogs.back(), FileDialog::kImportImage);
  ASSERT_EQ(s.floating.floating, 1);
  EXPECT_EQ(s.canvas.importedImage, nullptr);  // it lives on as the selection
  CommitPendingOperation(s);
  int painted = 0;
  for (int y = 0; y < s.canvas.height; ++y)
    for (int x = 0; x < s.canvas.width; ++x) painted += DibRow(*s.canvas.bitmap, y)[x] == 0xFE;
  EXPECT_EQ(painted, 2);

  // A file that is no picture is reported and nothing floats.
  std::ofstream(t.folder / "broken.png") << "not a picture";
  t.host.choices = {t.folder / "broken.png"};
  t.Run(CMD_IMPORT_IMAGE);
  EXPECT_EQ(s.floating.floating, 0);
  EXPECT_EQ(t.host.failures.back(), FileCommandFailure::kCannotRead);
}
