// dotwright-cli: the core's features without the Windows program.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cli/commands.h"

namespace {

struct Command {
  const char* name;
  const char* usage;
  const char* summary;
  int (*run)(int argc, char** argv);
};

int PrintVersion(int, char**) {
  std::puts("dotwright-cli 0.1");
  return 0;
}

constexpr Command kCommands[] = {
    {"new", "new WIDTH HEIGHT OUT.png", "write a blank canvas file with the default layers", CommandNew},
    {"info", "info CANVAS.png", "print size, depth, IDAT count and the layer table", CommandInfo},
    {"palette", "palette CANVAS.png", "print the 256 palette colours computed from the layers", CommandPalette},
    {"export-psd", "export-psd CANVAS.png OUT.psd", "export a layered PSD file", CommandExportPsd},
    {"replay", "replay IN.png SCRIPT OUT.png", "run a stroke script on a canvas (replay --help: the format)",
     CommandReplay},
    {"export-picture", "export-picture CANVAS.png OUT.png [...]",
     "the picture as the view shows it, true-colour PNG (export-picture --help: the options)",
     CommandExportPicture},
    {"version", "version", "print the program version", PrintVersion},
};

void PrintHelp(FILE* out) {
  std::fputs("usage: dotwright-cli COMMAND [ARGS]\n\ncommands:\n", out);
  for (const Command& c : kCommands) std::fprintf(out, "  %-40s %s\n", c.usage, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    PrintHelp(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const Command& c : kCommands)
    if (!std::strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
  std::fprintf(stderr, "dotwright-cli: unknown command '%s' (see --help)\n", argv[1]);
  return 2;
}

bool IsSameFile(const char* a, const char* b) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::path(a), std::filesystem::path(b), error) && !error;
}
