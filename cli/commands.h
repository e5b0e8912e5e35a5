// The commands of dotwright-cli. Each takes the arguments after its name, prints a one-line
// error on standard error and returns non-zero when it fails. The syntax of a landed command
// is a public interface: keep it stable.
#pragma once

int CommandNew(int argc, char** argv);        // new WIDTH HEIGHT OUT.png
int CommandInfo(int argc, char** argv);       // info CANVAS.png
int CommandPalette(int argc, char** argv);    // palette CANVAS.png
int CommandExportPsd(int argc, char** argv);  // export-psd CANVAS.png OUT.psd
int CommandReplay(int argc, char** argv);     // replay IN.png SCRIPT OUT.png
// export-picture CANVAS.png OUT.png [--scale S] [--rotation DEG] [--mirror] [--paper GRAIN.bmp]
//                [--engine cpu|opencl]
int CommandExportPicture(int argc, char** argv);

// True when both paths name one existing file (through links, other spellings, hard links): an
// export must never write over the canvas it reads.
bool IsSameFile(const char* a, const char* b);
