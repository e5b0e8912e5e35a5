// What the program's dialogs share: the system's open and save file dialogs for one kind of
// file, reading and writing control texts, and whether a path names a file or a folder.
#pragma once

#include <windows.h>

#include <string>

struct FileChoice {
  const wchar_t* filter;     // name and pattern pairs, ended by an empty name
  const wchar_t* extension;  // added to a name typed without one
  bool save;
};

inline constexpr FileChoice kXmlOpenChoice{L"XML file (*.xml)\0*.xml\0", L"xml", false};
inline constexpr FileChoice kXmlSaveChoice{L"XML file (*.xml)\0*.xml\0", L"xml", true};
inline constexpr FileChoice kBmpOpenChoice{L"BMP file (*.bmp)\0*.bmp\0", L"bmp", false};
inline constexpr FileChoice kPngOpenChoice{L"PNG file (*.png)\0*.png\0", L"png", false};

// Runs the dialog with path as the proposed file (its folder, or folder when path has none,
// is where the dialog starts). Returns true with the chosen path, false when cancelled.
bool ChooseFileName(HWND owner, const FileChoice& choice, std::wstring& path, const std::wstring& folder = {});

// The text of control id of dialog.
std::wstring ControlText(HWND dialog, int id);
std::u16string ControlText16(HWND dialog, int id);
void SetControlText(HWND dialog, int id, std::u16string_view text);

bool FileExists(std::u16string_view path);
bool FolderExists(std::u16string_view path);
