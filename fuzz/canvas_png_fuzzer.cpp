// Canvas PNG files through the loading path every command and the program use: the chunk walk,
// the parallel decoder (8 to 64 IDAT chunks of whole rows), libpng for the rest, the layer
// table text and the conversions of true-colour and 1-bit files.
#include "canvas/canvas_lifecycle.h"
#include "files/canvas_load.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& path = fuzz::InputFile(data, size, "canvas.png");
  Canvas canvas{};
  InitCanvas(canvas);
  if (LoadCanvas(canvas, path) == CanvasLoadFailure::kNone) {
    FUZZ_CHECK(canvas.bitmap && canvas.previous);
    FUZZ_CHECK(canvas.width >= 1 && canvas.width <= kMaxCanvasSide);
    FUZZ_CHECK(canvas.height >= 1 && canvas.height <= kMaxCanvasSide);
    FUZZ_CHECK(DibWidth(*canvas.bitmap) == canvas.width && DibHeight(*canvas.bitmap) == canvas.height);
  } else {
    FUZZ_CHECK(!canvas.bitmap && !canvas.previous);
  }
  DestroyCanvas(canvas);
  return 0;
}
