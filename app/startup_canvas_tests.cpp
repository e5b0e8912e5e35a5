#include "app/startup_canvas.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "canvas/canvas_lifecycle.h"
#include "files/canvas_png.h"

namespace fs = std::filesystem;

namespace {

// A session whose user data folder is a fresh temporary folder holding no canvas yet.
struct StartUp {
  fs::path folder = fs::temp_directory_path() /
                    ("dotwright-startup-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  std::unique_ptr<AppState> state = std::make_unique<AppState>();

  StartUp() {
    fs::remove_all(folder);
    fs::create_directories(folder);
    BindAppState(*state);
    state->settings.workingCanvasFile = folder / "canvas.png";
    state->settings.PrintDPI = 600;
  }
  ~StartUp() {
    ReleaseAppState(*state);
    std::error_code e;
    fs::remove_all(folder, e);
  }
  void Configure(int32_t kind, int32_t w, int32_t h) {
    state->settings.newcanvassize = kind;
    state->settings.newcanvascx = w;
    state->settings.newcanvascy = h;
  }
};

}  // namespace

TEST(StartUpCanvas, ABlankCanvasOfTheConfiguredSizeAndA4WhenThatCannotBeMade) {
  StartUp t;
  t.Configure(kNewCanvasGivenSize, 30, 20);
  EXPECT_EQ(OpenStartUpCanvas(*t.state, nullptr), StartCanvasSource::kBlank);
  EXPECT_EQ(t.state->canvas.width, 30);
  EXPECT_EQ(t.state->canvas.height, 20);

  t.Configure(kNewCanvasGivenSize, 2147483647, 2147483647);  // as a damaged settings file may say
  EXPECT_EQ(OpenStartUpCanvas(*t.state, nullptr), StartCanvasSource::kBlank);
  EXPECT_EQ(t.state->canvas.width, 4961);
  EXPECT_EQ(t.state->canvas.height, 7016);
}

TEST(StartUpCanvas, TheWorkingCanvasComesBackAsItWasSaved) {
  StartUp t;
  t.Configure(kNewCanvasGivenSize, 8, 6);
  ASSERT_EQ(OpenStartUpCanvas(*t.state, nullptr), StartCanvasSource::kBlank);
  DibRow(*t.state->canvas.bitmap, 2)[3] = 0xFD;  // layer 1 painted at (3, 2)
  t.state->canvas.layers.rows[1].colour = 0x123456;
  ASSERT_TRUE(WriteCanvasPng(t.state->settings.workingCanvasFile, *t.state->canvas.bitmap, &t.state->canvas.layers));

  auto next = std::make_unique<AppState>();
  BindAppState(*next);
  next->settings.workingCanvasFile = t.state->settings.workingCanvasFile;
  EXPECT_EQ(OpenStartUpCanvas(*next, nullptr), StartCanvasSource::kWorkingCanvas);
  EXPECT_EQ(next->canvas.width, 8);
  EXPECT_EQ(DibRow(*next->canvas.bitmap, 2)[3], 0xFD);
  EXPECT_EQ(next->canvas.layers.rows[1].colour, 0x123456u);
  ReleaseAppState(*next);
}

TEST(StartUpCanvas, TheTemplateBecomesTheWorkingCanvas) {
  StartUp t;
  t.Configure(kNewCanvasGivenSize, 5, 4);
  ASSERT_EQ(OpenStartUpCanvas(*t.state, nullptr), StartCanvasSource::kBlank);
  const fs::path templateFile = t.folder / "a4note.png";
  ASSERT_TRUE(WriteCanvasPng(t.state->settings.workingCanvasFile, *t.state->canvas.bitmap, &t.state->canvas.layers));
  fs::rename(t.state->settings.workingCanvasFile, templateFile);

  const std::u16string name = templateFile.u16string();
  std::copy(name.begin(), name.end(), t.state->settings.TemplateFileName);
  t.Configure(kNewCanvasTemplate, 0, 0);
  EXPECT_EQ(OpenStartUpCanvas(*t.state, nullptr), StartCanvasSource::kTemplate);
  EXPECT_TRUE(fs::exists(t.state->settings.workingCanvasFile));
  EXPECT_EQ(t.state->canvas.width, 5);
}
