// export-psd: layered PSD files from the command line.
#include <cstdio>
#include <filesystem>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "canvas/palette.h"
#include "app/user_texts.h"
#include "canvas/canvas_lifecycle.h"
#include "cli/commands.h"
#include "files/canvas_load.h"
#include "files/canvas_png.h"
#include "files/psd_export.h"

namespace {

// Prints "dotwright-cli: export-psd: " and the rest of the line; returns the exit status 1.
template <typename... Args>
int Fail(const char* format, Args... args) {
  std::fputs("dotwright-cli: export-psd: ", stderr);
  std::fprintf(stderr, format, args...);
  std::fputc('\n', stderr);
  return 1;
}

}  // namespace

// export-psd CANVAS.png OUT.psd: the canvas's layers as they would be exported from the
// program: the layer table from the file (defaults when it has none) and the palette computed
// from it, as on opening the canvas.
int CommandExportPsd(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("dotwright-cli: export-psd: usage: dotwright-cli export-psd CANVAS.png OUT.psd\n", stderr);
    return 2;
  }
  const std::filesystem::path input = argv[0];
  const std::filesystem::path output = argv[1];
  if (IsSameFile(argv[0], argv[1])) return Fail("'%s' is the canvas being exported; choose another output file", argv[1]);

  // Loaded as the program loads a canvas: true-colour and 1-bit pictures become layers too.
  Canvas canvas{};
  InitCanvas(canvas);
  if (const CanvasLoadFailure failure = LoadCanvas(canvas, input); failure != CanvasLoadFailure::kNone) {
    DestroyCanvas(canvas);
    return Fail("cannot read canvas file '%s' (%s)", argv[0], CanvasLoadText(failure));
  }
  const PsdExportFailure failure = ExportPsd(output, *canvas.bitmap, canvas.layers);
  DestroyCanvas(canvas);
  if (failure != PsdExportFailure::kNone) return Fail("cannot write '%s' (%s)", argv[1], PsdExportText(failure));
  return 0;
}
