#include "files/png_parallel_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include "files/png_parallel_deflate.h"

namespace {

// Rows are inflated a block at a time into a scratch buffer of about this size, then copied
// without their filter byte; big output blocks keep inflate on its fast path.
constexpr size_t kBlockBytes = 256 * 1024;

struct ChunkJob {
  const uint8_t* file;
  const PngChunk* chunk;
  bool first;  // carries the zlib header
  bool last;   // must end the stream
  RowSpan rows;
  DibBitmap* bitmap;
  size_t rowBytes;
  bool ok = false;
  bool crcBad = false;
  uLong adler = 1;                  // Adler-32 of the lines this chunk inflated
  const uint8_t* trailer = nullptr;  // last chunk: the stream's 4-byte Adler-32
};

// The 2-byte zlib header: deflate, window at most 32 KiB, check bits right, no preset dictionary.
bool ZlibHeaderOk(const uint8_t* p) {
  return (p[0] & 0x0F) == 8 && (p[0] >> 4) <= 7 && ((p[0] << 8) | p[1]) % 31 == 0 && !(p[1] & 0x20);
}

// Holds the inflater and the scratch block; releases both on every way out.
struct Inflater {
  z_stream z{};
  bool open = false;
  uint8_t* block = nullptr;
  ~Inflater() {
    if (open) inflateEnd(&z);
    std::free(block);
  }
};

void InflateChunk(ChunkJob& job) {
  if (!PngChunkCrcOk(job.file, *job.chunk)) {
    job.crcBad = true;
    return;
  }
  const uint8_t* in = job.file + job.chunk->dataOffset;
  size_t inSize = job.chunk->length;
  if (job.first) {
    if (inSize < 2 || !ZlibHeaderOk(in)) return;
    in += 2;
    inSize -= 2;
  }

  Inflater inflater;
  z_stream& z = inflater.z;
  if (inflateInit2(&z, -15) != Z_OK) return;
  inflater.open = true;
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = static_cast<uInt>(inSize);  // a chunk is at most 2^31 - 1 bytes

  const size_t lineBytes = job.rowBytes + 1;
  const int rowCount = job.rows.end - job.rows.first;
  const int rowsPerBlock = static_cast<int>(std::clamp<size_t>(kBlockBytes / lineBytes, 1, std::max(rowCount, 1)));
  if (rowCount > 0) {
    inflater.block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(rowsPerBlock) * lineBytes));
    if (!inflater.block) return;
  }

  bool ended = false;
  for (int y = job.rows.first; y < job.rows.end;) {
    if (ended) return;  // the stream ended before this chunk's rows did
    const int count = std::min(rowsPerBlock, job.rows.end - y);
    const size_t want = static_cast<size_t>(count) * lineBytes;
    z.next_out = inflater.block;
    z.avail_out = static_cast<uInt>(want);
    while (z.avail_out != 0) {
      const int result = inflate(&z, Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        ended = true;
        break;
      }
      // Z_BUF_ERROR here means the chunk's input ran out before its rows did.
      if (result != Z_OK) return;
    }
    if (z.avail_out != 0) return;
    job.adler = adler32_z(job.adler, inflater.block, want);
    // Invariant: block holds count whole lines, each a filter byte and rowBytes pixel bytes.
    for (int j = 0; j < count; ++j) {
      const uint8_t* line = inflater.block + static_cast<size_t>(j) * lineBytes;
      if (line[0] != 0) return;  // filtered rows go to the sequential decoder
      std::memcpy(DibRow(*job.bitmap, y + j), line + 1, job.rowBytes);
    }
    y += count;
  }

  // What follows the rows must be exactly the end of the chunk's piece: nothing more to output,
  // then either the end of the stream and its 4-byte Adler-32 (last chunk), or all input used
  // up on a byte-aligned block boundary (the others). A chunk holding more or fewer rows than
  // its share, or data that only decoded by chance, fails here.
  // (inflate reports the block state of the call that consumed the input: a further call with
  // nothing to consume no longer reads as "between blocks".)
  uint8_t extra = 0;
  int blockState = z.data_type;
  while (!ended && z.avail_in != 0) {
    z.next_out = &extra;
    z.avail_out = 1;
    const int result = inflate(&z, Z_NO_FLUSH);
    blockState = z.data_type;
    if (z.avail_out == 0) return;  // more image data than this chunk's rows
    if (result == Z_STREAM_END) {
      ended = true;
    } else if (result != Z_OK) {
      return;
    }
  }
  if (job.last) {
    job.ok = ended && z.avail_in == 4;
    job.trailer = z.next_in;
  } else {
    // data_type 128: between blocks, not in the final one, no bits left over in the last byte.
    job.ok = !ended && blockState == 128;
  }
}

}  // namespace

ParallelInflateResult InflateChunksInParallel(const uint8_t* file, const PngChunk* idats, int count,
                                              DibBitmap& bitmap, size_t rowBytes) {
  if (count < kMinParallelChunks || count > kMaxParallelChunks) return ParallelInflateResult::kOtherLayout;
  const int height = DibHeight(bitmap);
  if (rowBytes == 0 || rowBytes > static_cast<size_t>(bitmap.stride) || rowBytes + 1 > 0xFFFFFFFFu)
    return ParallelInflateResult::kOtherLayout;

  ChunkJob jobs[kMaxParallelChunks];
  std::thread threads[kMaxParallelChunks];
  for (int i = 0; i < count; ++i) {
    jobs[i] = ChunkJob{file, &idats[i], i == 0, i == count - 1, PieceRows(i, count, height), &bitmap, rowBytes};
    try {
      threads[i] = std::thread(InflateChunk, std::ref(jobs[i]));
    } catch (const std::system_error&) {
      InflateChunk(jobs[i]);  // no thread to be had: this chunk runs here
    }
  }
  for (int i = 0; i < count; ++i)
    if (threads[i].joinable()) threads[i].join();

  for (int i = 0; i < count; ++i)
    if (jobs[i].crcBad) return ParallelInflateResult::kBadCrc;
  for (int i = 0; i < count; ++i)
    if (!jobs[i].ok) return ParallelInflateResult::kOtherLayout;
  // The pieces' sums combined in order, as the writer made the trailer. zlib's offset type may
  // be 32 bits wide; a canvas piece (at most kMaxCanvasSide rows of kMaxCanvasSide + 1 bytes)
  // is well inside it.
  uLong adler = adler32_z(0L, Z_NULL, 0);
  for (int i = 0; i < count; ++i) {
    const RowSpan& rows = jobs[i].rows;
    const uint64_t length = static_cast<uint64_t>(rows.end - rows.first) * (rowBytes + 1);
    if (length > 0x7FFFFFFFu) return ParallelInflateResult::kOtherLayout;  // not a canvas this program wrote
    adler = adler32_combine(adler, jobs[i].adler, static_cast<z_off_t>(length));
  }
  if (adler != ReadBigEndian32(jobs[count - 1].trailer)) return ParallelInflateResult::kBadAdler;
  return ParallelInflateResult::kDecoded;
}
