// Reading BMP files: the pen textures, paper materials and stamps are ordinary BMP files.
//
//   const char* reason = nullptr;
//   DibBitmap* image = ReadBmpFile(path, &reason);   // null: reason says why
//
// Accepted: uncompressed 1-, 4-, 8-, 24- and 32-bit files with a core (12-byte) or an info
// header of 40 bytes or more, rows bottom-up (positive height) or top-down (negative height);
// 32-bit files may also give their channels as bit fields. Refused with a reason: RLE and
// other compressed forms, 16-bit files, and every file whose sizes, offsets or colour count do
// not fit the bytes it holds. Every size is checked against the bytes at hand before anything
// is allocated, so a damaged header cannot make the reader ask for more memory than the file
// itself occupies.
//
// The result keeps the file's own depth and colours: a 1-, 4- or 8-bit file gives a bitmap of
// that depth with the file's colour table (entries the file does not give are black), a
// 24-bit file a 24-bit bitmap, a 32-bit file a 32-bit bitmap (blue, green, red, unused).
// Rows are stored bottom-up as in every DibBitmap, whichever way the file stored them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "canvas/dib_bitmap.h"

// Files larger than this are refused before they are read: far above any texture, material or
// stamp, and small enough that reading one cannot exhaust the memory.
inline constexpr uint64_t kMaxBmpFileBytes = uint64_t{256} << 20;

// Why a BMP file was refused.
enum class BmpFailure : int {
  kNone = 0,
  kTooShort,
  kNotBmp,
  kUnknownHeader,
  kHeaderTruncated,
  kRleCompressed,
  kEmbeddedJpegOrPng,
  kUnknownCompression,
  kSixteenBit,
  kUnsupportedBits,
  kBitFieldsNot32,
  kBadWidth,
  kBadHeight,
  kMasksTruncated,
  kBadMasks,
  kPixelOffsetInHeader,
  kPixelOffsetBeyondEnd,
  kTooManyColours,
  kTooWide,
  kPixelsTruncated,
  kNoMemoryForImage,
  kCannotOpen,
  kFileTooLarge,
  kNoMemoryForFile,
  kCannotRead,
};

// Decodes a BMP file held in memory (size bytes at data). Returns a new bitmap, or null with
// *reason (when reason is not null) set to why; kNoMemoryForImage (and gStatusCode 41) when a
// bitmap the file's bytes justify cannot be allocated. *reason is kNone after a success.
DibBitmap* DecodeBmp(const uint8_t* data, size_t size, BmpFailure* reason);

// A packed bitmap, as the clipboard holds one (a bitmap header of 40 bytes or more, its channel
// masks and colours, then the pixels, with no file header): where its pixels start, checked so
// that every row the header declares lies within its `size` bytes, for the system to draw it.
// Uncompressed 1-, 4-, 8-, 16-, 24- and 32-bit forms, 16 and 32 bits also through bit fields;
// *pixelOffset is set only when the answer is kNone.
BmpFailure CheckPackedDib(const uint8_t* data, size_t size, uint64_t* pixelOffset);

// Reads and decodes the file at path (any characters). Null with a reason as DecodeBmp, also
// when the file cannot be opened or read, or is larger than kMaxBmpFileBytes.
DibBitmap* ReadBmpFile(const std::filesystem::path& path, BmpFailure* reason);

// The colours of count pixels from column x0 of top-down row y (0 <= y < height) of a 1-, 4-,
// 8-, 24- or 32-bit bitmap, one entry per pixel; the columns must lie inside the row. Indexed
// pixels take their colour-table entry. Callers convert wide rows in pieces: a 1-bit row within
// the reader's file limit can be 2 x 10^9 pixels, 8 GB as colours.
void DibRowColours(const DibBitmap& bitmap, int y, int x0, int count, DibColour* out);
