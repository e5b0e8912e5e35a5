// The words the program shows for the failures the core reports. The core returns reasons (an
// enum or false/null) and never picks a text; the Windows program, the command-line tool and the
// stroke scripts turn reasons into these texts. Every function returns the exact English text
// shown today, or null where that failure is silent.
#pragma once

#include <string>

#include "files/bmp_reader.h"
#include "files/canvas_png.h"
#include "files/psd_export.h"

// A short English reason for a refused BMP file ("not a BMP file"); null for kNone.
const char* BmpFailureText(BmpFailure failure);

// The message box text for a failed PSD export (caption "Dotwright", error icon); null for kNone.
const char* PsdExportText(PsdExportFailure failure);

// Shown (caption "Dotwright", error icon) when the view could not create the off-screen bitmap a
// composed picture is rendered into (WriteComposedPicture was handed null).
inline constexpr const char* kNoViewScreenText = "Can not create view.screen";

// The message box text for a failed deflate stream while a canvas file was written (caption
// "Dotwright", error icon): zlib's error number for a failed start, else the row number, in
// decimal. Empty where the failure is silent.
std::string CanvasWriteText(const CanvasPngWriteFailure& failure);
