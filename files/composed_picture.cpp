#include "files/composed_picture.h"

#include "files/canvas_png.h"

bool WriteComposedPicture(const DibBitmap* rendered, const std::filesystem::path& path) {
  if (!rendered) return false;
  return WriteCanvasPng(path, *rendered, nullptr);
}
