// new, info, palette: canvas files from the command line.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "canvas/canvas.h"
#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "app/user_texts.h"
#include "cli/commands.h"
#include "files/canvas_load.h"
#include "files/canvas_png.h"
#include "files/png_chunks.h"

namespace {

// The largest side a canvas file may have: the PNG library refuses wider or taller images.
constexpr long kMaxSide = kMaxCanvasSide;  // the largest canvas the program opens

// Prints the one-line error; detail, when not empty, is what the program would tell the user.
int Fail(const char* command, const std::string& what, const std::string& detail = std::string()) {
  std::string line = what;
  if (!detail.empty()) line += " (" + detail + ")";
  std::fprintf(stderr, "dotwright-cli: %s: %s\n", command, line.c_str());
  return 1;
}

// A side length: decimal digits only, 1..kMaxSide.
bool ParseSide(const char* text, int& side) {
  if (!*text) return false;
  for (const char* p = text; *p; ++p)
    if (*p < '0' || *p > '9') return false;
  errno = 0;
  const long value = std::strtol(text, nullptr, 10);
  if (errno == ERANGE || value < 1 || value > kMaxSide) return false;
  side = static_cast<int>(value);
  return true;
}

struct LoadedCanvas {
  DibBitmap* bitmap = nullptr;
  LayerTable layers = DefaultLayerTable();
  ~LoadedCanvas() { FreeDibBitmap(bitmap); }
};

// Reads a canvas file as the program loads one: the layer table starts from its defaults and
// takes the file's stored settings.
bool Load(const char* command, const char* path, LoadedCanvas& canvas, int& status) {
  PngReadFailure failure = PngReadFailure::kNone;
  canvas.bitmap = ReadCanvasPng(path, &canvas.layers, &failure);
  if (!canvas.bitmap) {
    const char* why = CanvasLoadText(LoadFailureFor(failure));
    status = Fail(command, std::string("cannot read canvas file '") + path + "'", why ? why : "");
    return false;
  }
  return true;
}

}  // namespace

int CommandNew(int argc, char** argv) {
  if (argc != 3) return Fail("new", "usage: new WIDTH HEIGHT OUT.png");
  int width = 0, height = 0;
  if (!ParseSide(argv[0], width) || !ParseSide(argv[1], height)) {
    return Fail("new", std::string("bad size '") + argv[0] + " " + argv[1] + "' (width and height must be 1 to " +
                           std::to_string(kMaxSide) + ")");
  }
  DibBitmap* bitmap = CreateDibBitmap(8, nullptr, 0, width, height);
  if (!bitmap) return Fail("new", "not enough memory for a canvas of that size");
  // A blank canvas: every layer empty, the default layers' palette.
  std::memset(bitmap->bits, 0xFF, static_cast<size_t>(bitmap->stride) * static_cast<size_t>(height));
  const LayerTable layers = DefaultLayerTable();
  ComputePalette(*bitmap, layers);
  CanvasPngWriteFailure failure;
  const bool written = WriteCanvasPng(argv[2], *bitmap, &layers, &failure);
  FreeDibBitmap(bitmap);
  if (!written) return Fail("new", std::string("cannot write '") + argv[2] + "'", CanvasWriteText(failure));
  return 0;
}

int CommandInfo(int argc, char** argv) {
  if (argc != 1) return Fail("info", "usage: info CANVAS.png");
  LoadedCanvas canvas;
  int status = 0;
  if (!Load("info", argv[0], canvas, status)) return status;
  FileBytes bytes;
  if (!ReadFileBytes(argv[0], bytes)) return Fail("info", std::string("cannot read '") + argv[0] + "'");
  int idats = 0;
  for (const PngChunk& chunk : WalkPngChunks(bytes.data, bytes.size).chunks) idats += chunk.type == kPngIdat;
  std::printf("size %d %d\ndepth %d\nidat %d\n", DibWidth(*canvas.bitmap), DibHeight(*canvas.bitmap),
              DibDepth(*canvas.bitmap), idats);
  std::fputs(FormatLayerTable(canvas.layers).c_str(), stdout);
  return 0;
}

int CommandPalette(int argc, char** argv) {
  if (argc != 1) return Fail("palette", "usage: palette CANVAS.png");
  LoadedCanvas canvas;
  int status = 0;
  if (!Load("palette", argv[0], canvas, status)) return status;
  // The palette the program shows, computed from the layers, not the file's PLTE.
  DibColour palette[kDibColourCount] = {};
  ComputePalette(canvas.layers, palette);
  for (int i = 0; i < kDibColourCount; ++i)
    std::printf("%d %02X%02X%02X\n", i, palette[i].red, palette[i].green, palette[i].blue);
  return 0;
}
