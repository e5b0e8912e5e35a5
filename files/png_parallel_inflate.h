// Decoding the image data of a canvas file with one thread per IDAT chunk.
//
// A file written by the canvas writer has its stream cut at piece boundaries: each IDAT chunk
// starts a fresh deflate block on a byte boundary with no reference into earlier chunks. Chunk i
// of n is expected to hold exactly rows PieceRows(i, n, height), every row with filter None.
// Each thread checks its chunk's CRC, inflates it as raw deflate data (the first chunk after its
// 2-byte zlib header), checks every filter byte, and checks that the chunk ends exactly after
// its rows: on a block boundary, or for the last chunk with the end of the stream followed by
// the 4-byte Adler-32. A file cut in any other way (a foreign writer's chunks) is refused rather
// than half decoded. Each thread also checks its chunk's CRC and sums the Adler-32 of what it
// inflated; the sums are combined in order and must match the stream's trailer, as the
// sequential decoder requires, so the same damage gets the same answer on both paths.
#pragma once

#include <cstddef>

#include "canvas/dib_bitmap.h"
#include "files/png_chunks.h"

inline constexpr int kMinParallelChunks = 8;
inline constexpr int kMaxParallelChunks = 64;

enum class ParallelInflateResult : int {
  kDecoded = 0,     // every chunk decoded and ended as it should, the Adler-32 matches
  kOtherLayout,     // the chunks are not cut at the reader's rows (or hold filtered rows):
                    // the sequential decoder must decide
  kBadCrc,          // a chunk's CRC does not match: the file is damaged
  kBadAdler,        // every chunk decoded, but the stream's Adler-32 does not match
};

// Decodes count IDAT chunks of file (count within 8..64) into bitmap, rowBytes bytes per row
// (the rows of a non-interlaced image whose pixel bytes are the bitmap's row bytes), top row
// first into the bottom-up memory. On anything but kDecoded the bitmap's rows are in an
// unspecified state.
ParallelInflateResult InflateChunksInParallel(const uint8_t* file, const PngChunk* idats, int count,
                                              DibBitmap& bitmap, size_t rowBytes);
