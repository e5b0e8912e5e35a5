// The canvas file: an ordinary PNG that any viewer shows as the composite picture.
//
// An 8-bit canvas is written as a palette image whose pixel values are the layer bits and whose
// PLTE is the bitmap's colour table (the computed palette), followed by a "Description" tEXt
// chunk holding the layer table text form, then the image data: rows cut into 16 pieces (fewer
// for canvases under 16 rows high, one row each), each compressed by its own thread, stored one
// piece per IDAT chunk. The chunks together are one ordinary zlib stream. Reading decodes 8 to
// 64 IDAT chunks with one thread each when every chunk holds exactly its share of rows with
// filter None; any other file is decoded sequentially by libpng.
//
// The same writer and reader serve flat pictures:
//   depth 1   1-bit palette image, 2 PLTE entries from colours 0 and 1
//   depth 8   8-bit palette image, 256 PLTE entries, the parallel stream above
//   depth 32  8-bit RGB; the unused fourth byte of each blue-green-red pixel is dropped
#pragma once

#include <filesystem>

#include "canvas/dib_bitmap.h"
#include "canvas/layer_table.h"
#include "files/png_parallel_deflate.h"

// A failed deflate stream of the image data: kInit with zlib's error number as value, or kStream
// with the row number where the stream failed; kNone when the deflate did not fail.
struct CanvasPngWriteFailure {
  DeflateFailure deflate = DeflateFailure::kNone;
  int value = 0;
};

// Writes bitmap (depth 1, 8 or 32; rows from its bottom-up memory, PLTE from its colour table)
// to path. With layers, adds the "Description" text chunk. The file is written beside the
// target and replaces it only when complete: on any failure the old file stays as it was, no
// temporary file remains and the result is false. When failure is not null it receives what a
// failed deflate stream reports (the only failure the program tells the user about); it is
// left at kNone for every other failure and after a success.
[[nodiscard]] bool WriteCanvasPng(const std::filesystem::path& path, const DibBitmap& bitmap, const LayerTable* layers,
                                  CanvasPngWriteFailure* failure = nullptr);

// Why ReadCanvasPng gave no bitmap.
enum class PngReadFailure : int {
  kNone = 0,
  kCannotOpen,         // the file cannot be opened, read, or held in memory
  kNotPng,             // the file does not start with the PNG signature
  kTruncated,          // the file ends before its IEND chunk (or a chunk claims more bytes than follow)
  kBadChecksum,        // a chunk's CRC or the image stream's Adler-32 does not match
  kUnsupportedLayout,  // a colour type and bit depth the reader does not take
  kTooLarge,           // the header declares a side beyond kMaxCanvasSide
  kDamaged,            // anything else: a broken header or chunk order, image data that does
                       // not decode, more or less of it than the image, IDAT after its end
  kNoMemory,           // no memory for the bitmap
};

// Reads a PNG file into a new bitmap: depth 8 for 8-bit palette and grey images, 1 for 1-bit
// palette and grey images, 32 (blue, green, red, 0) for 8-bit RGB and RGBA (alpha dropped).
// Grey images get a grey ramp as colour table, palette images their PLTE. Other layouts
// (2- and 4-bit, 16 bits per channel, grey with alpha), damaged, truncated or implausibly
// large files give null, and failure (when not null) receives why. The walk over the chunks
// comes first: a file whose chunks run past its end is refused before the PNG library reads
// any of it, and the library never allocates more for a chunk than the file holds. With
// layers, every "Description" text is parsed into it as layer table text (other chunks and
// keywords are ignored); the table is changed only when the whole read succeeds. The same
// damage gets the same answer whichever decoder runs. The caller frees the bitmap.
DibBitmap* ReadCanvasPng(const std::filesystem::path& path, LayerTable* layers, PngReadFailure* failure = nullptr);

// Which decoder gave the answer (bitmap or refusal) of the last ReadCanvasPng on this thread.
enum class PngDecodePath : int {
  kNone = 0,        // no decoder ran (the read failed before the image data)
  kParallel = 1,    // one thread per IDAT chunk
  kSequential = 2,  // libpng, row after row
};
PngDecodePath LastPngDecodePath();

// Writer options for tests; WriteCanvasPng uses the defaults.
struct CanvasPngWriteOptions {
  int failAtRow = -1;  // >= 0: the piece holding this row fails as on a deflate stream error
};
[[nodiscard]] bool WriteCanvasPng(const std::filesystem::path& path, const DibBitmap& bitmap, const LayerTable* layers,
                                  const CanvasPngWriteOptions& options, CanvasPngWriteFailure* failure = nullptr);
