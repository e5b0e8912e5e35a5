// export-picture end to end: dotwright-cli, built beside this test program, composes small
// canvas files; the PNG files it writes are read back with libpng's own reader.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "files/canvas_png.h"
#include "files/png_test_support.h"
#include "reduce/gpu_engine.h"
#include "reduce/opencl_library.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

struct RgbPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows top-down, three bytes a pixel
  int Channel(int x, int y, int c) const { return rgb[static_cast<size_t>((y * width + x) * 3 + c)]; }
  // 0xRRGGBB
  uint32_t At(int x, int y) const {
    return static_cast<uint32_t>(Channel(x, y, 0) << 16 | Channel(x, y, 1) << 8 | Channel(x, y, 2));
  }
};

// Reads a PNG with libpng's simplified reader; also checks that it is a true-colour file.
bool ReadRgbPng(const std::filesystem::path& path, RgbPicture& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) return false;
  const bool trueColour = (image.format & PNG_FORMAT_FLAG_COLOR) && !(image.format & PNG_FORMAT_FLAG_COLORMAP);
  image.format = PNG_FORMAT_RGB;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgb.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) return false;
  return trueColour;
}

std::string Quoted(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

struct ExportPicture : testing::Test {
  TempFolder folder;
  std::filesystem::path cli = RunningProgramFolder() / "dotwright-cli";
  std::filesystem::path canvas = folder / "canvas.png";

  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "runs natively: the Windows tree's tests run under Wine without a shell";
#else
    ASSERT_TRUE(std::filesystem::exists(cli)) << "build the dotwright-cli target first: " << cli;
    // A 4 x 2 canvas of layer 0 (coloured black here) and paper, alternating like a chequer.
    DibPtr bitmap = CanvasFromHex({"FE FF FE FF", "FF FE FF FE"});
    LayerTable layers = DefaultLayerTable();
    layers.rows[0].colour = 0x000000;
    ComputePalette(*bitmap, layers);
    ASSERT_TRUE(WriteCanvasPng(canvas, *bitmap, &layers));
#endif
  }

  // Runs the command with the given options; standard error goes to folder/stderr.txt.
  int Run(const std::string& options, const char* out = "out.png") {
    return RunCli("export-picture " + Quoted(canvas) + " " + Quoted(folder / out) + " " + options);
  }
  // Runs any command of the tool; standard error goes to folder/stderr.txt.
  int RunCli(const std::string& arguments) {
    const std::string command = Quoted(cli) + " " + arguments + " 2> " + Quoted(folder / "stderr.txt");
    const int status = std::system(command.c_str());
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  }
  std::string Stderr() { return ReadAll(folder / "stderr.txt"); }
};

}  // namespace

// The 4 x 2 canvas through the view's options: the picture's size and some of its pixels.
TEST_F(ExportPicture, PicturesFollowScaleTurnAndMirror) {
  struct Pixel {
    int x, y;
    uint32_t rgb;
  };
  struct Case {
    const char* options;
    int width, height;
    std::vector<Pixel> pixels;
  };
  const Case cases[] = {
      // One to one shows the palette colours.
      {"", 4, 2, {{0, 0, 0x000000}, {1, 0, 0xFFFFFF}, {0, 1, 0xFFFFFF}, {3, 1, 0x000000}}},
      // Half size averages in linear light: 186, not 128.
      {"--scale 2", 2, 1, {{0, 0, 0xBABABA}, {1, 0, 0xBABABA}}},
      // Scale 0.5 at 90 degrees: the canvas stands 2 x 4, each pixel a 2 x 2 block, the canvas's
      // right edge at the top: canvas (3, 0) is the top-left block, (0, 0) the bottom-left.
      {"--scale 0.5 --rotation 90", 4, 8,
       {{0, 0, 0xFFFFFF}, {1, 1, 0xFFFFFF}, {2, 0, 0x000000} /* canvas (3, 1) */,
        {0, 7, 0x000000} /* canvas (0, 0) */, {3, 6, 0xFFFFFF} /* canvas (0, 1) */}},
      // Mirrored, canvas x = 0 comes to the right before the turn: the top-left is canvas (0, 0).
      {"--scale 0.5 --rotation 90 --mirror", 4, 8, {{0, 0, 0x000000}}},
      // Turned, the canvas is surrounded by grey: BW = 4 cos 30 + 2 sin 30 = 4.46,
      // BH = 4 sin 30 + 2 cos 30 = 3.73.
      {"--rotation 30", 5, 4, {{0, 0, 0xC0C0C0}, {4, 0, 0xC0C0C0}, {0, 3, 0xC0C0C0}, {4, 3, 0xC0C0C0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    ASSERT_EQ(Run(c.options), 0) << Stderr();
    RgbPicture p;
    ASSERT_TRUE(ReadRgbPng(folder / "out.png", p));
    ASSERT_EQ(p.width, c.width);
    ASSERT_EQ(p.height, c.height);
    for (const Pixel& px : c.pixels) EXPECT_EQ(p.At(px.x, px.y), px.rgb) << px.x << ", " << px.y;
  }
}

TEST_F(ExportPicture, PaperIsLaidUnderReducedViews) {
  // A 1 x 1 paper of grey 128 everywhere: 186 * 191 = 35526 -> (35526 + 138 + 1) >> 8 = 139.
  const std::string bmp = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                           24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                           static_cast<char>(128), static_cast<char>(128), static_cast<char>(128), 0};
  WriteAll(folder / "grain.bmp", bmp);
  ASSERT_EQ(Run("--scale 2 --paper " + Quoted(folder / "grain.bmp")), 0) << Stderr();
  RgbPicture p;
  ASSERT_TRUE(ReadRgbPng(folder / "out.png", p));
  EXPECT_EQ(p.At(0, 0), 0x8B8B8Bu);
  EXPECT_EQ(p.At(1, 0), 0x8B8B8Bu);
}

TEST_F(ExportPicture, RefusesBadArgumentsAndKeepsAnOldPicture) {
  EXPECT_EQ(Run("--scale 0.1"), 2);
  EXPECT_NE(Stderr().find("scale must be 0.125 to 16"), std::string::npos) << Stderr();
  EXPECT_EQ(Run("--engine gpu"), 2);
  EXPECT_EQ(Run("--bogus"), 2);
  EXPECT_FALSE(std::filesystem::exists(folder / "out.png"));

  WriteAll(folder / "out.png", "old");
  canvas = folder / "missing.png";
  EXPECT_EQ(Run(""), 1);
  EXPECT_NE(Stderr().find("cannot read canvas file"), std::string::npos) << Stderr();
  EXPECT_EQ(ReadAll(folder / "out.png"), "old");
}

// Every command that reads a canvas refuses a damaged one with one line that says why.
TEST_F(ExportPicture, EveryCommandSaysInOneLineWhyACanvasIsRefused) {
  const std::string whole = ReadAll(canvas);
  const std::string plte = ChunksOf(whole)[1].data;
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } files[] = {
      {"cut.png", whole.substr(0, whole.size() - 20), "(the file is truncated)"},
      {"wide.png", PngSignature() + ChunkBytes("IHDR", IhdrData(20001, 1, 8, 3)) + ChunkBytes("PLTE", plte) +
                       ChunkBytes("IEND", ""),
       "(the canvas is larger than 20000 x 20000 pixels)"},
  };
  WriteAll(folder / "script.txt", "");
  for (const auto& file : files) {
    const std::string in = Quoted(folder / file.name);
    WriteAll(folder / file.name, file.bytes);
    const std::string commands[] = {
        "info " + in,
        "palette " + in,
        "export-psd " + in + " " + Quoted(folder / "o.psd"),
        "replay " + in + " " + Quoted(folder / "script.txt") + " " + Quoted(folder / "o.png"),
        "export-picture " + in + " " + Quoted(folder / "o.png"),
    };
    for (const std::string& command : commands) {
      SCOPED_TRACE(command);
      EXPECT_EQ(RunCli(command), 1);
      const std::string error = Stderr();
      EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
      EXPECT_NE(error.find(std::string(file.reason) + "\n"), std::string::npos) << error;
    }
  }
}

TEST_F(ExportPicture, ThePsdExportLoadsPicturesAsTheProgramDoes) {
  // A true-colour picture becomes layers 0..2 on load, for the PSD export as for every command.
  DibPtr picture(CreateDibBitmap(32, nullptr, 0, 3, 2));
  ASSERT_TRUE(picture);
  ASSERT_TRUE(WriteCanvasPng(folder / "photo.png", *picture, nullptr));
  const std::string psd = Quoted(cli) + " export-psd " + Quoted(folder / "photo.png") + " " + Quoted(folder / "photo.psd");
  EXPECT_EQ(std::system(psd.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(folder / "photo.psd"));
}

TEST_F(ExportPicture, NeverWritesOverItsOwnCanvas) {
  // The output names the input through a link: refused, and the canvas is left as it was.
  const std::string before = ReadAll(canvas);
  std::filesystem::create_symlink(canvas, folder / "same.png");
  EXPECT_EQ(Run("", "same.png"), 1);
  EXPECT_NE(Stderr().find("is the canvas being exported"), std::string::npos) << Stderr();
  EXPECT_EQ(ReadAll(canvas), before);
  const std::string psd = Quoted(cli) + " export-psd " + Quoted(canvas) + " " + Quoted(canvas) + " 2> /dev/null";
  EXPECT_NE(std::system(psd.c_str()), 0);
  EXPECT_EQ(ReadAll(canvas), before);
}

TEST_F(ExportPicture, OpenClGivesTheSameBytes) {
  if (InitGpuEngine(ToolGpuEngineOptions(RunningProgramFolder())) != GpuSetUpFailure::kNone) GTEST_SKIP() << "no OpenCL runtime here";
  ReleaseGpuEngine();
  ASSERT_EQ(Run("--scale 2 --rotation 30", "cpu.png"), 0) << Stderr();
  ASSERT_EQ(Run("--scale 2 --rotation 30 --engine opencl", "gpu.png"), 0) << Stderr();
  EXPECT_NE(Stderr().find("OpenCL device: "), std::string::npos) << Stderr();
  RgbPicture cpu, gpu;
  ASSERT_TRUE(ReadRgbPng(folder / "cpu.png", cpu));
  ASSERT_TRUE(ReadRgbPng(folder / "gpu.png", gpu));
  EXPECT_EQ(cpu.width, gpu.width);
  EXPECT_EQ(cpu.rgb, gpu.rgb);
}
