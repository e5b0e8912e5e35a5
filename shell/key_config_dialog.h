// The key configuration dialog (template 103 of the language library): a list of keys, the
// Shift and Ctrl boxes, and a tree of the commands of the menu bar and of the library's
// "HIDDEN_COMMAND" menu; choosing a command binds it to the selected key. The dialog edits a
// KeyConfigDraft (app/key_config.h); OK rebuilds the settings' binding tables from it.
#pragma once

#include <windows.h>

#include "settings/app_settings.h"
#include "shell/language_module.h"

struct MainWindow;

inline constexpr int kKeyConfigTemplate = 103;

// Runs the dialog over the menu bar's commands. Returns true after OK, with both binding
// tables of settings rebuilt; false after Cancel or when the library has no such template,
// with settings untouched.
bool ShowKeyConfigDialog(HWND owner, LanguageModule& module, HMENU menuBar, AppSettings& settings);

// Replaces the main window's accelerator table (and the message loop's copy of it) with one
// built from the keyboard bindings. A table that cannot be destroyed is reported
// ("Error DestroyAcceleratorTable()"), one that cannot be built too ("DEBUG"); the bindings
// stay as they are either way.
void ReplaceAcceleratorTable(MainWindow& w);
