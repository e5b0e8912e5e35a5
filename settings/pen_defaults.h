// The sixteen pen presets of a fresh start: pencil, erasers, ballpoint pens on several layers,
// selections and lassos. Names are English, or Japanese when the system locale is Japanese.
#pragma once

#include <string_view>

#include "brush/pen_setting.h"

// The default name of slot 0..15 (empty for any other slot).
std::u16string_view DefaultPenName(int slot, bool japanese);

// Sets every stored field of the sixteen presets to its default. The run-time fields
// (dialogOpen, stampBitmap) are left as they are: a stamp bitmap belongs to its owner.
void SetPenDefaults(PenSetting (&pens)[kPenCount], bool japanese);
