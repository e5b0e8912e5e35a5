// Stroke scripts on a small canvas: every line runs through the real input step, pens, undo
// history and floating selections, or the script stops with the line's error.
#include <string_view>

#include "app/stroke_script.h"
#include "canvas/canvas_lifecycle.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Canvas canvas{};
  InitCanvas(canvas);
  if (!NewCanvas(canvas, 64, 48)) std::abort();
  const StrokeScriptResult result =
      RunStrokeScript(canvas, std::string_view(reinterpret_cast<const char*>(data), size));
  FUZZ_CHECK(result.ok ? result.line == 0 : result.line >= 1 && !result.error.empty());
  FUZZ_CHECK(canvas.bitmap && canvas.width == 64 && canvas.height == 48);
  DestroyCanvas(canvas);
  return 0;
}
