// Text on the canvas: the text dialog (template 105) and the text drawn by the system into a
// one-bit picture that the current layer takes.
#pragma once

#include <windows.h>

#include "app/text_stamp.h"

struct MainWindow;

// The dialog over the record: true after OK (the fields read back within their limits), false
// after Cancel (the record unchanged).
bool EditText(MainWindow& w, TextRecord& record);

// The record's text drawn black on white into a one-bit picture of `size` (0 where the text is;
// the box's top-left part, TextBoxOnCanvas) in the language's text font at the record's height,
// left and top aligned, broken only where the text breaks; null when there is no memory for it.
DibBitmap* RenderTextMask(const TextRecord& record, TextBoxSize size, const wchar_t* faceName);

// The text command: the dialog, then the text painted on the current layer.
void RunTextCommand(MainWindow& w);
