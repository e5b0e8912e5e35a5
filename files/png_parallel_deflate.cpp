#include "files/png_parallel_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace {

// Output grows in steps of 1 MiB as deflate fills it.
constexpr size_t kOutputStep = 0x100000;

// deflate's avail_out and avail_in are 32-bit; every call here stays within that.
static_assert(kOutputStep <= 0xFFFFFFFFu);

struct PieceJob {
  const DibBitmap* bitmap;
  RowSpan rows;
  bool finishesStream;  // holds the image's last row
  int failAtRow;
  DeflatedPiece* out;
  DeflateFailure failure = DeflateFailure::kNone;
  int failureValue = 0;
};

bool GrowOutput(z_stream& z, DeflatedPiece& out) {
  // Called with the output full: the new space is exactly one step.
  const size_t used = out.capacity - z.avail_out;
  auto* grown = static_cast<uint8_t*>(std::realloc(out.data, out.capacity + kOutputStep));
  if (!grown) return false;
  out.data = grown;
  out.capacity += kOutputStep;
  z.next_out = grown + used;
  z.avail_out = static_cast<uInt>(out.capacity - used);
  return true;
}

// Feeds n bytes with the given flush. Returns kNone, kStream or kMemory.
DeflateFailure Feed(z_stream& z, const uint8_t* in, size_t n, int flush, DeflatedPiece& out) {
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = static_cast<uInt>(n);
  for (;;) {
    if (z.avail_out == 0 && !GrowOutput(z, out)) return DeflateFailure::kMemory;
    const int result = deflate(&z, flush);
    if (result == Z_STREAM_ERROR) return DeflateFailure::kStream;
    if (flush == Z_FINISH) {
      if (result == Z_STREAM_END) return DeflateFailure::kNone;
      // With output space left and no end, deflate could make no progress at all.
      if (z.avail_out != 0) return DeflateFailure::kStream;
      continue;
    }
    // Output space left over: all input is consumed and a requested flush is complete.
    if (z.avail_out != 0) return DeflateFailure::kNone;
  }
}

void DeflatePiece(PieceJob& job) {
  const DibBitmap& b = *job.bitmap;
  DeflatedPiece& out = *job.out;
  const size_t width = static_cast<size_t>(DibWidth(b));
  out.inputBytes = static_cast<uint64_t>(job.rows.end - job.rows.first) * (width + 1);

  z_stream z{};
  const int init = deflateInit(&z, Z_DEFAULT_COMPRESSION);
  if (init != Z_OK) {
    job.failure = DeflateFailure::kInit;
    job.failureValue = init;
    return;
  }
  // Small canvases need far less than a whole step.
  const uLong bound = deflateBound(&z, static_cast<uLong>(std::min<uint64_t>(out.inputBytes, kOutputStep)));
  out.capacity = std::min<size_t>(kOutputStep, static_cast<size_t>(bound) + 64);
  out.data = static_cast<uint8_t*>(std::malloc(out.capacity));
  if (!out.data) {
    out.capacity = 0;
    deflateEnd(&z);
    job.failure = DeflateFailure::kMemory;
    job.failureValue = job.rows.first;
    return;
  }
  z.next_out = out.data;
  z.avail_out = static_cast<uInt>(out.capacity);

  static const uint8_t kFilterNone = 0;
  for (int y = job.rows.first; y < job.rows.end; ++y) {
    const bool lastOfPiece = y + 1 == job.rows.end;
    const int flush = !lastOfPiece ? Z_NO_FLUSH : job.finishesStream ? Z_FINISH : Z_SYNC_FLUSH;
    DeflateFailure failure = Feed(z, &kFilterNone, 1, Z_NO_FLUSH, out);
    if (failure == DeflateFailure::kNone) failure = Feed(z, DibRow(b, y), width, flush, out);
    if (failure == DeflateFailure::kNone && y == job.failAtRow) failure = DeflateFailure::kStream;
    if (failure != DeflateFailure::kNone) {
      job.failure = failure;
      job.failureValue = y;
      deflateEnd(&z);
      return;
    }
  }
  out.size = static_cast<size_t>(z.next_out - out.data);
  out.adler = z.adler;
  deflateEnd(&z);
}

}  // namespace

DeflatedPiece::~DeflatedPiece() { std::free(data); }

RowSpan PieceRows(int piece, int pieceCount, int height) {
  const uint64_t h = static_cast<uint64_t>(height);
  const uint64_t n = static_cast<uint64_t>(pieceCount);
  const uint64_t first = static_cast<uint64_t>(piece) * h / n;
  const uint64_t end = std::min<uint64_t>(static_cast<uint64_t>(piece + 1) * h / n, h);
  return {static_cast<int>(first), static_cast<int>(end)};
}

int CanvasPieceCount(int height) { return std::clamp(height, 1, kCanvasPieces); }

bool DeflateImageInPieces(const DibBitmap& bitmap, int failAtRow, DeflatedImage& image) {
  const int height = DibHeight(bitmap);
  const int n = CanvasPieceCount(height);
  image.pieceCount = n;
  image.failure = DeflateFailure::kNone;
  image.failureValue = 0;

  PieceJob jobs[kCanvasPieces];
  std::thread threads[kCanvasPieces];
  for (int k = 0; k < n; ++k) {
    RowSpan rows = PieceRows(k, n, height);
    jobs[k] = PieceJob{&bitmap, rows, rows.end == height, failAtRow, &image.pieces[k]};
    try {
      threads[k] = std::thread(DeflatePiece, std::ref(jobs[k]));
    } catch (const std::system_error&) {
      DeflatePiece(jobs[k]);  // no thread to be had: this piece runs here
    }
  }
  for (int k = 0; k < n; ++k)
    if (threads[k].joinable()) threads[k].join();

  for (int k = 0; k < n; ++k) {
    if (jobs[k].failure != DeflateFailure::kNone) {
      image.failure = jobs[k].failure;
      image.failureValue = jobs[k].failureValue;
      return false;
    }
  }

  // The Adler-32 of the whole stream from the pieces' values, in order, starting from 1. The
  // combination depends on the second part's length only modulo 65521, which keeps the length
  // within zlib's z_off_t (32 bits on Windows) for any canvas.
  uLong adler = adler32(0L, Z_NULL, 0);
  for (int k = 0; k < n; ++k) {
    const DeflatedPiece& p = image.pieces[k];
    adler = adler32_combine(adler, p.adler, static_cast<z_off_t>(p.inputBytes % 65521u));
  }
  DeflatedPiece& last = image.pieces[n - 1];
  uint8_t* trailer = last.data + last.size - 4;
  trailer[0] = static_cast<uint8_t>(adler >> 24);
  trailer[1] = static_cast<uint8_t>(adler >> 16);
  trailer[2] = static_cast<uint8_t>(adler >> 8);
  trailer[3] = static_cast<uint8_t>(adler);
  return true;
}
