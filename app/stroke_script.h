// Stroke scripts: text that drives the real input step, pens and commit protocol on a canvas,
// for the command-line replay and for tests. The view is at scale 1, straight, with the canvas
// at client and screen origin (0, 0), so script positions are canvas pixels.
#pragma once

#include <string>
#include <string_view>

#include "canvas/canvas.h"

struct StrokeScriptResult {
  bool ok;
  int line;           // the failing line, 1-based; 0 when ok
  std::string error;  // what was wrong with it
};

// Runs every line of script on canvas (which holds its bitmaps), with the sixteen default pens,
// pen 0 current. Stops at the first bad line. The canvas's palette is recomputed at the end.
StrokeScriptResult RunStrokeScript(Canvas& canvas, std::string_view script);

// The script format, as the command-line help prints it.
const char* StrokeScriptHelp();
