// The main window's title: "Dotwright", the zoom part, "- " and the current file path (empty
// while the working canvas is edited), and " *" while the canvas has unsaved changes. Rebuilt
// after every zoom change, file change and save.
#pragma once

#include <filesystem>
#include <string>

// Titles are cut to the 259 characters a Windows title buffer of 260 holds.
std::u16string MainWindowTitle(float scale, const std::filesystem::path& currentFile, bool saved);
