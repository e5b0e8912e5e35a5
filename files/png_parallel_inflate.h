// Decoding the image data of a canvas file with one thread per IDAT chunk.
//
// A file written by the canvas writer has its stream cut at piece boundaries: each IDAT chunk
// starts a fresh deflate block with no reference into earlier chunks. Chunk i of n is expected
// to hold exactly rows PieceRows(i, n, height), every row with filter None. Each thread
// inflates its chunk as raw deflate data (the first chunk after its 2-byte zlib header) and
// checks the chunk's CRC and every filter byte; the last chunk must end the stream. The
// threads' Adler-32 values, combined, must equal the stream's trailer, so a file cut in any
// other way (a foreign writer's chunks, damaged data) is refused rather than half decoded.
#pragma once

#include <cstddef>

#include "canvas/dib_bitmap.h"
#include "files/png_chunks.h"

inline constexpr int kMinParallelChunks = 8;
inline constexpr int kMaxParallelChunks = 64;

// Decodes count IDAT chunks of file (count within 8..64) into bitmap, rowBytes bytes per row
// (the rows of a non-interlaced image whose pixel bytes are the bitmap's row bytes), top row
// first into the bottom-up memory. true when every chunk decoded and the checksum matched;
// false otherwise, with the bitmap's rows in an unspecified state.
bool InflateChunksInParallel(const uint8_t* file, const PngChunk* idats, int count, DibBitmap& bitmap,
                             size_t rowBytes);
