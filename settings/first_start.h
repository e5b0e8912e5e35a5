// The first-start set-up: runs whenever the settings read at start do not carry the current
// Version (first start, reset to defaults, a file of an older version). It makes the user data
// folders, fills them from the program's own folders, and measures the display.
#pragma once

#include <cstdint>

#include "settings/app_settings.h"

// The user data folders: "setting", then "material", "texture", "stamp" and "template", each
// filled with every file of the program folder's folder of the same name (files of the same
// name are overwritten; sub-folders are not copied). Then ScreenDPI and UIScaling from the
// platform. Nothing is reported; returns false when a folder could not be made or a file not
// copied. With no user data folder only the display is measured.
bool RunFirstStartSetUp(AppSettings& settings, const PlatformQueries& platform);

// Pixels per inch from a display's horizontal resolution and width in millimetres, rounded to
// the nearest integer; current when either is not positive or the result is out of range.
int32_t MeasureScreenDpi(int32_t pixels, int32_t millimetres, int32_t current);

// UI scale in percent from the effective DPI of the monitor (0 x 0 when unknown): 100 when
// unknown, else 300 from 192 DPI in either direction, 200 from 144, 150 below (so 150 at 96).
int32_t DetectUiScaling(uint32_t dpiX, uint32_t dpiY);
