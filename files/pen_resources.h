// The small pictures that feed the brush engine, each an ordinary BMP file:
//   texture  - the pattern a textured pen (kind 4) paints through; 8-bit, texels 1 where the
//              file is black and 0 where white, widened by repetition to a multiple of 32
//              pixels (brush/pen_texture.h); colour table entry 0 white, the others black;
//   material - the paper grain under the whole canvas; 8-bit grey, always 512 x 512
//              (brush/paper_grain.h), colour table entry i = grey (i, i, i);
//   stamp    - the dab shape of the stamp brush; 1-bit, the file's size, 1 where black and 0
//              where white, colour table entry 0 white and entry 1 black.
//
// Textures and materials are chosen by file name only and lie in the "texture" and "material"
// subfolders of the user data folder, the folder "Dotwright" under the user's Pictures folder
// (not the working folder the user may point elsewhere). A stamp is named by its full path.
//
// Colours become black or white, or a grey, the way the system maps a colour to the nearest
// entry of a black-and-white or grey table: a pixel is black when red + green + blue < 383
// (nearer black than white), and its grey is the nearest integer to (red + green + blue) / 3.
#pragma once

#include <filesystem>

#include "brush/pen_setting.h"
#include "canvas/dib_bitmap.h"
#include "files/bmp_reader.h"

std::filesystem::path TexturePath(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName);
std::filesystem::path MaterialPath(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName);

// Each loader below sets *reason (when reason is not null) to why its file could not be read or
// decoded, and leaves it kNone when the file was read but memory ran out converting it.

// The texture in userDataFolder\texture\fileName, or null when the file cannot be read or
// decoded (no texture) or memory runs out (then gStatusCode is 41).
DibBitmap* LoadTexture(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName,
                       BmpFailure* reason = nullptr);

// The material in userDataFolder\material\fileName: the top-left 512 x 512 pixels of the file
// in grey; pixels outside a smaller file stay 0, and a file that cannot be read or decoded
// gives a map of zeros. Null only when the map cannot be allocated (gStatusCode 41).
DibBitmap* LoadMaterial(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName,
                        BmpFailure* reason = nullptr);

// The stamp at path, or null when it cannot be read or decoded (or memory runs out).
DibBitmap* LoadStamp(const std::filesystem::path& path, BmpFailure* reason = nullptr);

// Canvas set-up: every pen whose Stamp is 1 drops its old stamp and loads the one named by its
// StampFileName; a pen whose stamp cannot be loaded goes on without one. Pens whose Stamp is 0
// are left alone. Returns a bit mask of the pens (bit i for pen i, count at most 32) whose stamp
// could not be loaded; the caller names their StampFileName to the user.
[[nodiscard]] uint32_t LoadPenStamps(PenSetting* pens, int count);

// The conversions behind the loaders, for any 1-, 4-, 8-, 24- or 32-bit picture.
// A stamp-form 1-bit picture of image's size; null when memory runs out.
DibBitmap* ToMonochrome(const DibBitmap& image);
// A 512 x 512 material from the top-left of image (zeros when image is null); null when
// memory runs out.
DibBitmap* ToMaterial(const DibBitmap* image);
