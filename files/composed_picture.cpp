#include "files/composed_picture.h"

#include "canvas/user_message.h"
#include "files/canvas_png.h"

bool WriteComposedPicture(const DibBitmap* rendered, const std::filesystem::path& path) {
  if (!rendered) {
    ShowUserMessage("Can not create view.screen", "Dotwright", MessageIcon::kError);
    return false;
  }
  return WriteCanvasPng(path, *rendered, nullptr);
}
