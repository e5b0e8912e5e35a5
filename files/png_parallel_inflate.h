// Decoding the image data of a canvas file with one thread per IDAT chunk.
//
// A file written by the canvas writer has its stream cut at piece boundaries: each IDAT chunk
// starts a fresh deflate block on a byte boundary with no reference into earlier chunks. Chunk i
// of n is expected to hold exactly rows PieceRows(i, n, height), every row with filter None.
// Each thread checks its chunk's CRC, inflates it as raw deflate data (the first chunk after its
// 2-byte zlib header), checks every filter byte, and checks that the chunk ends exactly after
// its rows: on a block boundary, or for the last chunk with the end of the stream followed by
// the 4-byte Adler-32. A file cut in any other way (a foreign writer's chunks) is refused rather
// than half decoded. The CRCs guard the data; the stream's Adler-32 is not recomputed (that
// would cost about a sixth of the decoding time).
#pragma once

#include <cstddef>

#include "canvas/dib_bitmap.h"
#include "files/png_chunks.h"

inline constexpr int kMinParallelChunks = 8;
inline constexpr int kMaxParallelChunks = 64;

// Decodes count IDAT chunks of file (count within 8..64) into bitmap, rowBytes bytes per row
// (the rows of a non-interlaced image whose pixel bytes are the bitmap's row bytes), top row
// first into the bottom-up memory. true when every chunk decoded and ended as it should;
// false otherwise, with the bitmap's rows in an unspecified state.
bool InflateChunksInParallel(const uint8_t* file, const PngChunk* idats, int count, DibBitmap& bitmap,
                             size_t rowBytes);
