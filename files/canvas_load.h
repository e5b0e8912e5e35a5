// Reading canvas files into the canvas document.
#pragma once

#include <filesystem>

#include "canvas/canvas.h"
#include "files/canvas_png.h"

// Why a canvas file could not be taken. The values after kNoMemory say more precisely why a
// file was refused; kUnreadable covers the rest (damage with no more precise name).
enum class CanvasLoadFailure : int {
  kNone = 0,
  kUnreadable,         // damaged in some other way, or no memory to convert it
  kUnsupported,        // a readable PNG of a depth the canvas cannot take (told to nobody)
  kNoMemory,           // the canvas or the previous canvas could not be allocated
  kCannotOpen,         // the file cannot be opened or read
  kNotPng,             // not a PNG file
  kTruncated,          // the file ends early
  kBadChecksum,        // a CRC or the image data's Adler-32 does not match
  kUnsupportedLayout,  // a PNG colour type or bit depth the program does not read
  kTooLarge,           // a side beyond kMaxCanvasSide
};

// The loading failure for a refused read.
CanvasLoadFailure LoadFailureFor(PngReadFailure failure);

// Loads a canvas file into a destroyed and re-initialised canvas: an 8-bit file as it is, a
// true-colour file dithered onto layers 0..2 (blue, green, red, added on black paper), a 1-bit
// file onto layer 0 over its paper colour. Stored layer settings replace the defaults. Returns
// kNone, or the failure; the canvas then holds no bitmaps.
[[nodiscard]] CanvasLoadFailure LoadCanvas(Canvas& canvas, const std::filesystem::path& path);

// Reads an image to be placed onto the canvas (paste, drop) into the imported image, converted
// to layer values like LoadCanvas but leaving the layer table alone.
[[nodiscard]] CanvasLoadFailure LoadImportedImage(Canvas& canvas, const std::filesystem::path& path);

// The conversions of LoadCanvas, for any bitmap read from a file. Both return a new 8-bit
// bitmap (null when it cannot be allocated) and leave the source alone.
//
// True colour: each pixel starts at 0xFF and clears bit 0 where blue, bit 1 where green, bit 2
// where red exceeds the 4 x 4 ordered-dither threshold of its column and stored row.
DibBitmap* DitherTrueColour(const DibBitmap& source);
// One bit: pixels of colour 0 become 254 (layer 0 painted), pixels of colour 1 become 255.
DibBitmap* OneBitToLayerZero(const DibBitmap& source);
