// make_resources: draws the program folder's default content and the program's icon and
// cursor (resources/generator/default_content.h) and the panels' pictures (panel_pictures.h).
// Run by the build:
//
//   make_resources PROGRAM_FOLDER ICON_FOLDER
#include <cstdio>
#include <string>

#include "resources/generator/default_content.h"
#include "resources/generator/panel_pictures.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_resources PROGRAM_FOLDER ICON_FOLDER\n", stderr);
    return 2;
  }
  std::string message;
  if (!WriteDefaultContent(argv[1], message) || !WriteProgramIcons(argv[2], message) ||
      !WritePanelPictures(argv[2], message)) {
    std::fprintf(stderr, "make_resources: %s\n", message.c_str());
    return 1;
  }
  return 0;
}
