// Export of the composed picture: the canvas exactly as the view shows it, written as an
// ordinary PNG for other programs. The view renders the picture into an off-screen bitmap
// (its own part); this is the file side.
#pragma once

#include <filesystem>

#include "canvas/dib_bitmap.h"

// Writes the rendered picture to path as a plain PNG whose form follows the bitmap's depth
// (32-bit pictures become RGB), never with layer data. rendered is null when the view could
// not create its off-screen bitmap: nothing is written and the result is false (the caller
// tells the user, see kNoViewScreenText). Returns true when the file was written; a failed
// write leaves any old file at path as it was.
[[nodiscard]] bool WriteComposedPicture(const DibBitmap* rendered, const std::filesystem::path& path);
