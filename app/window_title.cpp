#include "app/window_title.h"

#include "view/view_commands.h"

std::u16string MainWindowTitle(float scale, const std::filesystem::path& currentFile, bool saved) {
  char16_t zoom[32];
  if (FormatZoomTitle(scale, zoom, 32) < 0) zoom[0] = u'\0';
  std::u16string title = u"Dotwright";
  title += zoom;
  title += u" - ";
  title += currentFile.u16string();
  if (!saved) title += u" *";
  constexpr size_t kTitleUnits = 259;
  if (title.size() > kTitleUnits) title.resize(kTitleUnits);
  return title;
}
