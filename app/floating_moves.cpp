#include "app/floating_moves.h"

#include <cmath>
#include <numbers>

#include "files/canvas_file_list.h"
#include "files/canvas_png.h"
#include "files/utf_text.h"

IntPoint ConstrainToEightDirections(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return {0, 0};
  const double x = dx, y = dy;
  const double d = std::trunc(std::sqrt(x * x + y * y));
  const double eighth = std::numbers::pi / 4;
  const double theta = std::round(std::atan2(-y, x) / eighth) * eighth;
  return {static_cast<int32_t>(std::trunc(std::cos(theta) * d)), -static_cast<int32_t>(std::trunc(std::sin(theta) * d))};
}

namespace {

// A layer table colour (0x00BBGGRR) as a colour table entry.
DibColour EntryOf(uint32_t colour) {
  return DibColour{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour), 0};
}

}  // namespace

std::filesystem::path WriteFloatingDragFile(AppState& s) {
  FloatingSelection& f = s.floating;
  if (f.floating != 1 || !f.image || !s.canvas.bitmap) return {};
  const std::filesystem::path path = PathFromText(TextOf(s.settings.defaultpath)) / kDragFileName;
  DibBitmap& image = *f.image;
  bool written = false;
  if (DibDepth(image) == 1) {
    // Entry 0 is what the file shows for a painted pixel: the layer's colour. The image keeps 1
    // for painted, so it is inverted for the write and back afterwards.
    const int layer = s.canvas.currentLayer >= 0 && s.canvas.currentLayer < kLayerCount ? s.canvas.currentLayer : 0;
    const DibColour saved[2] = {image.colours[0], image.colours[1]};
    image.colours[0] = EntryOf(s.canvas.layers.rows[layer].colour);
    image.colours[1] = EntryOf(s.canvas.layers.rows[kPaperRow].colour);
    const size_t stride = static_cast<size_t>(DibStride(1, DibWidth(image)));
    auto invert = [&] {
      for (int y = 0; y < DibHeight(image); ++y) {
        uint8_t* row = DibRow(image, y);
        for (size_t i = 0; i < stride; ++i) row[i] = static_cast<uint8_t>(~row[i]);
      }
    };
    invert();
    written = WriteCanvasPng(path, image, nullptr);
    invert();
    image.colours[0] = saved[0];
    image.colours[1] = saved[1];
  } else {
    for (int i = 0; i < 256; ++i) image.colours[i] = s.canvas.bitmap->colours[i];
    written = WriteCanvasPng(path, image, &s.canvas.layers);
  }
  return written ? path : std::filesystem::path{};
}
