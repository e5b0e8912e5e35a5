// The pen setting dialog (template 116 of the language library): a modeless dialog that edits
// one pen preset in place, live, so strokes drawn while it is open use the new values. OK
// keeps the edits, Cancel puts the preset and its stamp back as they were when it opened; it
// also imports and exports the preset as XML. The rules behind the controls are in
// app/pen_dialog.h. One dialog per preset: the preset's dialog-open flag is set while it exists.
#pragma once

#include <windows.h>

struct MainWindow;

// Opens the dialog for pen slot `slot` (0..15) beside the main window; when that preset's
// dialog is already open it is brought to the front instead. Nothing happens for a slot
// outside 0..15 or without a language library.
void OpenPenSettingDialog(MainWindow& w, int slot);

