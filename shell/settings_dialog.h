// The settings dialog (template 100 of the language library, command 40801): the new-canvas
// size and kind, the template file and the folder for saved pictures, resolutions, printing,
// tablet options, interface scale, window opacity, GPU use and smoothing. It edits a copy
// (SettingsDraft, app/settings_dialog.h); nothing changes before OK, which checks the template
// path and the folder, copies the edits into the settings and saves the settings file.
#pragma once

#include <windows.h>

struct MainWindow;

// Runs the dialog over the main window's settings. Returns true after OK (settings changed and
// saved), false after Cancel or without a language library.
bool RunSettingsDialog(MainWindow& w);
