// The image data of an 8-bit canvas file, compressed by several threads at once into pieces
// that, laid end to end, form one ordinary zlib stream.
//
// The stream is the PNG scanline data: rows top to bottom, each a filter byte 0 (None) and the
// row's width bytes. Piece k holds rows PieceRows(k, n, height) and is deflated on its own at
// the default level: it ends with a sync flush (byte-aligned, empty stored block), except the
// piece holding the last row, which finishes the stream. Every piece starts with its own zlib
// header; all but the first are stored without it. The trailer at the end of the last piece is
// the Adler-32 of the whole stream, combined from the pieces' values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "canvas/dib_bitmap.h"

inline constexpr int kCanvasPieces = 16;

// Rows [first, end) of a piece.
struct RowSpan {
  int first;
  int end;
};

// Piece k of n over height rows: floor(k * height / n) up to floor((k + 1) * height / n).
RowSpan PieceRows(int piece, int pieceCount, int height);

// The writer's split: 16 pieces, or one piece per row for canvases under 16 rows high, so that
// no piece is empty (an empty piece would have no zlib header to drop).
int CanvasPieceCount(int height);

// One compressed piece, its zlib header included.
struct DeflatedPiece {
  uint8_t* data = nullptr;  // malloc'd
  size_t size = 0;
  size_t capacity = 0;
  unsigned long adler = 1;  // Adler-32 of the piece's uncompressed bytes
  uint64_t inputBytes = 0;  // rows x (width + 1)
  DeflatedPiece() = default;
  DeflatedPiece(const DeflatedPiece&) = delete;
  DeflatedPiece& operator=(const DeflatedPiece&) = delete;
  ~DeflatedPiece();
};

enum class DeflateFailure : int {
  kNone = 0,
  kInit = 1,    // deflateInit failed; value = the zlib error number
  kStream = 2,  // deflate reported a stream error; value = the row (top-down) being compressed
  kMemory = 3,  // the output buffer could not grow; value = the row
};

struct DeflatedImage {
  DeflatedPiece pieces[kCanvasPieces];
  int pieceCount = 0;
  DeflateFailure failure = DeflateFailure::kNone;
  int failureValue = 0;

  // The bytes of IDAT chunk k: piece 0 whole, the others without their 2-byte zlib header.
  const uint8_t* ChunkData(int k) const { return pieces[k].data + (k ? 2 : 0); }
  size_t ChunkSize(int k) const { return pieces[k].size - (k ? 2 : 0); }
};

// Compresses the image data of an 8-bit bitmap, one std::thread per piece. false, with the
// first failure (in piece order) in image.failure, when any piece failed; the main thread
// reports it. failAtRow >= 0 makes the piece holding that row fail as on a stream error (tests).
bool DeflateImageInPieces(const DibBitmap& bitmap, int failAtRow, DeflatedImage& image);
