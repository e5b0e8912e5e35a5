// replay IN.png SCRIPT OUT.png: a stroke script run on a canvas file.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "canvas/canvas_lifecycle.h"
#include "files/canvas_load.h"
#include "app/user_texts.h"
#include "cli/commands.h"
#include "files/canvas_png.h"
#include "app/stroke_script.h"

int CommandReplay(int argc, char** argv) {
  if (argc == 1 && (std::string(argv[0]) == "--help" || std::string(argv[0]) == "-h")) {
    std::fputs("usage: dotwright-cli replay IN.png SCRIPT OUT.png\n\n", stdout);
    std::fputs(StrokeScriptHelp(), stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs("dotwright-cli: replay: usage: replay IN.png SCRIPT OUT.png (see replay --help)\n", stderr);
    return 2;
  }
  std::ifstream file{std::filesystem::path(argv[1]), std::ios::binary};
  if (!file) {
    std::fprintf(stderr, "dotwright-cli: replay: cannot open script %s\n", argv[1]);
    return 1;
  }
  std::stringstream script;
  script << file.rdbuf();
  Canvas canvas{};
  InitCanvas(canvas);
  if (const CanvasLoadFailure failure = LoadCanvas(canvas, argv[0]); failure != CanvasLoadFailure::kNone) {
    std::fprintf(stderr, "dotwright-cli: replay: cannot read canvas %s (%s)\n", argv[0], CanvasLoadText(failure));
    DestroyCanvas(canvas);
    return 1;
  }
  const StrokeScriptResult result = RunStrokeScript(canvas, script.str());
  int status = 0;
  if (!result.ok) {
    std::fprintf(stderr, "dotwright-cli: replay: line %d: %s\n", result.line, result.error.c_str());
    status = 1;
  } else if (CanvasPngWriteFailure failure; !WriteCanvasPng(argv[2], *canvas.bitmap, &canvas.layers, &failure)) {
    // What the program would show first, on a line of its own, then the command's error.
    const std::string shown = CanvasWriteText(failure);
    if (!shown.empty()) std::fprintf(stderr, "dotwright-cli: replay: %s\n", shown.c_str());
    std::fprintf(stderr, "dotwright-cli: replay: cannot write %s\n", argv[2]);
    status = 1;
  }
  DestroyCanvas(canvas);
  return status;
}
