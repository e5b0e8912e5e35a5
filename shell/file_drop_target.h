// Files dragged onto the main window through the system's drag loop, as a folder window drags
// them. The answer is the one a WM_DROPFILES drop gets (the first path; a ".png" opens, the
// program's own drag file beeps, anything else is ignored); while the drag hovers, the cursor
// shows a copy only over what would open.
#pragma once

#include <windows.h>

#include <filesystem>

struct MainWindow;

// Posted to the main window by a drop: opens the path the drop left in MainWindow::droppedPath,
// once the other program's drag loop has its answer.
inline constexpr UINT kMsgOpenDroppedFile = WM_APP + 0x40;

// The first path of a dropped-file list (a drop's, a drag's or the clipboard's), whole whatever
// its length; empty when there is none.
std::filesystem::path FirstDroppedPath(HDROP drop);

// Opens, refuses with a beep or ignores a dropped file: the one answer for every way a file
// arrives by drop.
void OpenDroppedFile(MainWindow& w, const std::filesystem::path& path);

// Registers the main window's drop target (after OleInitialize); false when the system refused,
// which leaves WM_DROPFILES drops working.
bool RegisterFileDropTarget(MainWindow& w);
void RevokeFileDropTarget(MainWindow& w);
