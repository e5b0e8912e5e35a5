// Time-stamped names and the list of canvas files in the working folder.
//
// Archived copies of the canvas are named by the local time they were saved, "YYYYMMDDhhmmss"
// plus ".png", so that a plain name order is the order of saving. The canvas file list holds
// the names of the PNG files in the working folder that the previous/next file commands step
// through; the working canvas "canvas.png" and the drag-and-drop file "_DnD_.png" are not
// part of it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

inline constexpr char kWorkingCanvasFileName[] = "canvas.png";
inline constexpr char kDragFileName[] = "_DnD_.png";

// A local date and time as the clock gives it: month 1..12, day 1..31, hour 0..23.
struct LocalTime {
  int year;
  int month;
  int day;
  int hour;
  int minute;
  int second;
  int millisecond;
};

LocalTime CurrentLocalTime();

// "%04d%02d%02d%02d%02d%02d" of year, month, day, hour, minute and second: 14 characters for
// the years 1000..9999. The millisecond is not part of the name.
std::string MakeTimeStampName(const LocalTime& time);

// Where to save an archived copy taken at time: folder / (name + ".png"), or, when a file of
// that name is already there (two saves within one second), folder / (name + "_2.png"),
// "_3", ... so that an earlier copy is never overwritten. These names still sort in the order
// of saving. Empty when names up to "_999" are all taken.
std::filesystem::path TimeStampedCanvasPath(const std::filesystem::path& folder, const LocalTime& time);

struct CanvasFileList {
  std::filesystem::path folder;                  // the folder listed (the working folder)
  std::vector<std::filesystem::path> names;      // plain file names, no folder
};

// Lists the regular files of list.folder whose names end in ".png" (in any case, as the
// system's "*.png" search matches), leaving out exactly "canvas.png" and "_DnD_.png" (a file
// named "Canvas.png" is listed). The names replace the previous contents, sorted as the
// system's directory search gives them on Windows: by name with ASCII letters compared in upper
// case (so "_" follows the letters), ties broken by the exact name. A missing or unreadable folder gives an empty list.
void ListCanvasFiles(CanvasFileList& list);

// Appends name (a plain file name) after the listed names, for a file a command has just
// written; a name already in the list is not added twice.
void AppendCanvasFile(CanvasFileList& list, const std::filesystem::path& name);

// Forgets every name.
void FreeCanvasFileList(CanvasFileList& list);
