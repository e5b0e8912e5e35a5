#include "files/canvas_png.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "canvas/canvas.h"
#include "files/atomic_file.h"
#include "files/png_chunks.h"
#include "files/png_parallel_deflate.h"
#include "files/png_parallel_inflate.h"

// libpng reports errors by longjmp back to the setjmp of the function that drives it. Those
// functions (WritePngFile, ReadPngHeader, DecodePngSequential) therefore hold no object with a
// destructor and change no local after their setjmp; the C++ callers own every buffer.

namespace {

// Which decoder the last read on this thread used: a diagnostic the tests read to prove that
// files shaped like our own output take the parallel path. Per thread, so concurrent reads
// never see each other's answer.
thread_local PngDecodePath tLastDecodePath = PngDecodePath::kNone;

// A deflate stream can reach at most 1032:1 (a 258-byte match costs at least one bit for its
// length and one for its distance), so image data larger than this many times the IDAT bytes
// cannot be in the file, whatever its header claims.
constexpr uint64_t kMaxDeflateRatio = 1032;

// What a libpng error said, kept for the reason of a refusal. Plain data: libpng long-jumps
// past whoever holds it.
struct PngErrorState {
  bool dataCheck;  // zlib found the image stream's Adler-32 wrong ("incorrect data check")
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  if (auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png)))
    if (message && std::strstr(message, "incorrect data check")) state->dataCheck = true;
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// ---- Writing ---------------------------------------------------------------------------------

void WriteToFile(png_structp png, png_bytep data, size_t length) {
  auto* stream = static_cast<FILE*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, stream) != length) png_error(png, "write failed");
}

void FlushFile(png_structp png) { std::fflush(static_cast<FILE*>(png_get_io_ptr(png))); }

struct PngWriteJob {
  FILE* stream;
  const DibBitmap* bitmap;
  const char* layerText;  // null: no "Description" chunk
  size_t layerTextLength;
  const DeflatedImage* image;  // depth 8: the compressed pieces
};

bool WritePngFile(const PngWriteJob& job) {
  const DibBitmap& b = *job.bitmap;
  const int depth = DibDepth(b);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }

  png_set_write_fn(png, job.stream, WriteToFile, FlushFile);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  const int colourType = depth == 32 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE;
  png_set_IHDR(png, info, static_cast<png_uint_32>(DibWidth(b)), static_cast<png_uint_32>(DibHeight(b)),
               depth == 1 ? 1 : 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_color palette[kDibColourCount];
  const int paletteCount = depth == 1 ? 2 : depth == 8 ? kDibColourCount : 0;
  for (int i = 0; i < paletteCount; ++i) palette[i] = {b.colours[i].red, b.colours[i].green, b.colours[i].blue};
  if (paletteCount) png_set_PLTE(png, info, palette, paletteCount);

  png_text text;
  std::memset(&text, 0, sizeof text);
  if (job.layerText) {
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>("Description");
    text.text = const_cast<char*>(job.layerText);
    text.text_length = job.layerTextLength;
    png_set_text(png, info, &text, 1);
  }
  // Signature, IHDR, PLTE and the uncompressed text, in that order.
  png_write_info(png, info);

  if (depth == 8) {
    for (int k = 0; k < job.image->pieceCount; ++k) {
      png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), job.image->ChunkData(k),
                      job.image->ChunkSize(k));
    }
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  } else {
    if (depth == 32) {
      // Memory holds blue, green, red, unused: written as red, green, blue.
      png_set_bgr(png);
      png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    for (int y = 0; y < DibHeight(b); ++y) png_write_row(png, DibRow(b, y));
    png_write_end(png, info);
  }
  png_destroy_write_struct(&png, &info);
  return true;
}


// ---- Reading ---------------------------------------------------------------------------------

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->size - reader->at < length) png_error(png, "truncated");
  std::memcpy(out, reader->data + reader->at, length);
  reader->at += length;
}

struct PngHeader {
  uint32_t width;
  uint32_t height;
  int bitDepth;
  int colourType;
  int interlace;
  int paletteCount;
  DibColour palette[kDibColourCount];
};

// Sets up a reader over the bytes; every chunk's CRC must be right, ancillary ones included,
// so a damaged layer text is an error rather than silently default layers. No chunk can hold
// more than the file, so libpng never allocates more than that for one (a length field of
// 2^31 - 1 in a small file is refused, not allocated), and no image beyond the largest canvas
// gets past its header.
void StartReading(png_structp png, MemoryReader* reader) {
  png_set_read_fn(png, reader, ReadFromMemory);
  png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
  png_set_chunk_malloc_max(png, reader->size);
  png_set_user_limits(png, static_cast<png_uint_32>(kMaxCanvasSide), static_cast<png_uint_32>(kMaxCanvasSide));
}

// A libpng reader and its info record; false (nothing to free) when either cannot be made.
bool CreatePngReader(png_structp& png, png_infop& info, PngErrorState* errors = nullptr) {
  png = png_create_read_struct(PNG_LIBPNG_VER_STRING, errors, OnPngError, OnPngWarning);
  if (!png) return false;
  info = png_create_info_struct(png);
  if (info) return true;
  png_destroy_read_struct(&png, nullptr, nullptr);
  return false;
}

// Reads the chunks before the image data. With layers, parses each "Description" text into
// it; other texts and chunks libpng does not know are skipped unread.
bool ReadPngHeader(const FileBytes& file, PngHeader& header, LayerTable* layers) {
  MemoryReader reader{file.data, file.size, 0};
  png_structp png = nullptr;
  png_infop info = nullptr;
  if (!CreatePngReader(png, info)) return false;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  StartReading(png, &reader);
  png_read_info(png, info);

  header.width = png_get_image_width(png, info);
  header.height = png_get_image_height(png, info);
  header.bitDepth = png_get_bit_depth(png, info);
  header.colourType = png_get_color_type(png, info);
  header.interlace = png_get_interlace_type(png, info);
  header.paletteCount = 0;
  std::memset(header.palette, 0, sizeof header.palette);
  png_colorp palette = nullptr;
  int paletteCount = 0;
  if (png_get_PLTE(png, info, &palette, &paletteCount) && palette) {
    header.paletteCount = paletteCount < kDibColourCount ? paletteCount : kDibColourCount;
    for (int i = 0; i < header.paletteCount; ++i)
      header.palette[i] = {palette[i].blue, palette[i].green, palette[i].red, 0};
  }

  if (layers) {
    png_textp texts = nullptr;
    int textCount = 0;
    png_get_text(png, info, &texts, &textCount);
    for (int i = 0; i < textCount; ++i) {
      if (texts[i].key && std::strcmp(texts[i].key, "Description") == 0 && texts[i].text)
        ParseLayerTable(std::string_view(texts[i].text, texts[i].text_length), *layers);
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// Bytes per decoded row in the bitmap's layout, for the layouts the reader accepts; 0 else.
size_t DecodedRowBytes(int depth, uint32_t width) {
  return depth == 1 ? (size_t{width} + 7) / 8 : depth == 8 ? size_t{width} : size_t{width} * 4;
}

// Decodes the whole image with libpng, row after row, top row first into the bottom-up memory.
// streamEnd receives the file offset just past the IDAT chunk in which the image stream ended
// (libpng reads that chunk to its CRC once the last row is in).
bool DecodePngSequential(const FileBytes& file, DibBitmap& bitmap, PngErrorState& errors, size_t& streamEnd) {
  MemoryReader reader{file.data, file.size, 0};
  png_structp png = nullptr;
  png_infop info = nullptr;
  if (!CreatePngReader(png, info, &errors)) return false;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  StartReading(png, &reader);
  png_read_info(png, info);
  // From here on a damaged image stream (a wrong Adler-32, data past the end of the image) is
  // an error, not a warning: half-right pixels are worse than no picture. IDAT chunks after
  // the one that ends the stream, duplicated or empty, are refused by the caller (libpng lets
  // them pass), as the parallel decoder refuses them.
  png_set_benign_errors(png, 0);
  const int colourType = png_get_color_type(png, info);
  if (colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA) {
    png_set_bgr(png);
    if (colourType == PNG_COLOR_TYPE_RGB_ALPHA) png_set_strip_alpha(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
  }
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // The rows libpng hands out must be exactly the bitmap's rows.
  if (png_get_image_width(png, info) != static_cast<png_uint_32>(DibWidth(bitmap)) ||
      png_get_image_height(png, info) != static_cast<png_uint_32>(DibHeight(bitmap)) ||
      png_get_rowbytes(png, info) != DecodedRowBytes(DibDepth(bitmap), png_get_image_width(png, info))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < DibHeight(bitmap); ++y) png_read_row(png, DibRow(bitmap, y), nullptr);
  streamEnd = reader.at;
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// The bitmap depth for a file layout, or 0 for layouts the reader does not take.
int DepthForLayout(int colourType, int bitDepth) {
  switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_GRAY:
      return bitDepth == 1 || bitDepth == 8 ? bitDepth : 0;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return bitDepth == 8 ? 32 : 0;
    default:
      return 0;
  }
}

// The decoded pixel bytes cannot exceed what the file's IDAT bytes can hold.
bool SizeIsPlausible(const PngHeader& header, const PngChunkWalk& walk) {
  const int channels = header.colourType == PNG_COLOR_TYPE_RGB ? 3 : header.colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 1;
  const uint64_t rowBytes = (uint64_t{header.width} * static_cast<uint64_t>(header.bitDepth * channels) + 7) / 8;
  uint64_t idatBytes = 0;
  for (const PngChunk& c : walk.chunks)
    if (c.type == kPngIdat) idatBytes += c.length;
  return rowBytes * header.height <= kMaxDeflateRatio * (idatBytes + 16);
}

// The IDAT chunks for the parallel decoder, when they are 8..64, consecutive, the file is
// whole, and every other chunk after them has a right CRC (libpng checks those before them).
// Else count 0. Empty IDAT chunks at the end of the run are left out of the count and reported
// in emptyAfter: they follow the chunk that ends the stream.
struct ParallelRun {
  const PngChunk* first = nullptr;
  int count = 0;
  bool emptyAfter = false;
};
ParallelRun ParallelChunks(const uint8_t* file, const PngChunkWalk& walk) {
  ParallelRun run;
  if (!walk.reachedEnd) return run;
  size_t start = 0;
  while (start < walk.chunks.size() && walk.chunks[start].type != kPngIdat) ++start;
  size_t end = start;
  while (end < walk.chunks.size() && walk.chunks[end].type == kPngIdat) ++end;
  for (size_t i = end; i < walk.chunks.size(); ++i)
    if (walk.chunks[i].type == kPngIdat || !PngChunkCrcOk(file, walk.chunks[i])) return run;
  size_t last = end;
  while (last > start && walk.chunks[last - 1].length == 0) --last;
  const int count = static_cast<int>(last - start);
  if (count < kMinParallelChunks || count > kMaxParallelChunks) return run;
  run.first = &walk.chunks[start];
  run.count = count;
  run.emptyAfter = last != end;
  return run;
}

// True when the chunk starting at offset (its length field) is an IDAT.
bool IdatStartsAt(const PngChunkWalk& walk, size_t offset) {
  for (const PngChunk& c : walk.chunks)
    if (c.dataOffset == offset + 8) return c.type == kPngIdat;
  return false;
}

// Why a read the chunk walk let through failed in libpng: a wrong CRC anywhere or a wrong
// Adler-32 is a bad checksum; anything else is damage.
PngReadFailure LibraryFailure(const FileBytes& file, const PngChunkWalk& walk, const PngErrorState& errors) {
  if (errors.dataCheck) return PngReadFailure::kBadChecksum;
  for (const PngChunk& c : walk.chunks)
    if (!PngChunkCrcOk(file.data, c)) return PngReadFailure::kBadChecksum;
  return PngReadFailure::kDamaged;
}

// The facts of IHDR the reader decides on before libpng reads anything: the first chunk must be
// a 13-byte IHDR with a right CRC; its sides must be within the largest canvas and its layout
// one the reader takes.
PngReadFailure CheckHeaderChunk(const FileBytes& file, const PngChunkWalk& walk) {
  if (walk.chunks.empty() || walk.chunks[0].type != PngChunkType("IHDR") || walk.chunks[0].length != 13)
    return PngReadFailure::kDamaged;
  if (!PngChunkCrcOk(file.data, walk.chunks[0])) return PngReadFailure::kBadChecksum;
  const uint8_t* ihdr = file.data + walk.chunks[0].dataOffset;
  const uint32_t width = ReadBigEndian32(ihdr), height = ReadBigEndian32(ihdr + 4);
  if (width > uint32_t{kMaxCanvasSide} || height > uint32_t{kMaxCanvasSide}) return PngReadFailure::kTooLarge;
  if (!DepthForLayout(ihdr[9], ihdr[8])) return PngReadFailure::kUnsupportedLayout;
  return PngReadFailure::kNone;
}

}  // namespace

PngDecodePath LastPngDecodePath() { return tLastDecodePath; }

bool WriteCanvasPng(const std::filesystem::path& path, const DibBitmap& bitmap, const LayerTable* layers,
                    CanvasPngWriteFailure* failure) {
  return WriteCanvasPng(path, bitmap, layers, CanvasPngWriteOptions{}, failure);
}

bool WriteCanvasPng(const std::filesystem::path& path, const DibBitmap& bitmap, const LayerTable* layers,
                    const CanvasPngWriteOptions& options, CanvasPngWriteFailure* failure) {
  if (failure) *failure = CanvasPngWriteFailure{};
  const int depth = DibDepth(bitmap);
  if (depth != 1 && depth != 8 && depth != 32) return false;
  if (DibWidth(bitmap) < 1 || DibHeight(bitmap) < 1 || !bitmap.bits) return false;
  if (bitmap.stride < DibStride(depth, DibWidth(bitmap))) return false;

  // The image data is compressed before the file is opened: a failure leaves no trace.
  DeflatedImage image;
  if (depth == 8 && !DeflateImageInPieces(bitmap, options.failAtRow, image)) {
    if (failure && (image.failure == DeflateFailure::kInit || image.failure == DeflateFailure::kStream))
      *failure = {image.failure, image.failureValue};
    return false;
  }
  std::string layerText;
  if (layers) layerText = FormatLayerTable(*layers);

  AtomicFile file;
  if (!BeginAtomicFile(file, path)) return false;
  const PngWriteJob job{file.stream, &bitmap, layers ? layerText.c_str() : nullptr, layerText.size(), &image};
  if (!WritePngFile(job)) {
    AbandonAtomicFile(file);
    return false;
  }
  return CommitAtomicFile(file);
}

DibBitmap* ReadCanvasPng(const std::filesystem::path& path, LayerTable* layers, PngReadFailure* failure) {
  tLastDecodePath = PngDecodePath::kNone;
  PngReadFailure unused = PngReadFailure::kNone;
  PngReadFailure& why = failure ? *failure : unused;
  why = PngReadFailure::kNone;
  auto refuse = [&why](PngReadFailure reason) -> DibBitmap* {
    why = reason;
    return nullptr;
  };

  FileBytes file;
  if (!ReadFileBytes(path, file)) return refuse(PngReadFailure::kCannotOpen);
  // The walk sees every chunk's length against the bytes before libpng is asked to read one.
  const PngChunkWalk walk = WalkPngChunks(file.data, file.size);
  if (!walk.signatureOk) return refuse(PngReadFailure::kNotPng);
  if (walk.truncated) return refuse(PngReadFailure::kTruncated);
  if (!walk.reachedEnd) return refuse(PngReadFailure::kDamaged);
  if (const PngReadFailure header = CheckHeaderChunk(file, walk); header != PngReadFailure::kNone) return refuse(header);

  // Layer settings go into a copy, handed over only when the whole read succeeded.
  LayerTable table{};
  if (layers) table = *layers;
  PngHeader header;
  if (!ReadPngHeader(file, header, layers ? &table : nullptr)) return refuse(LibraryFailure(file, walk, {}));
  const int depth = DepthForLayout(header.colourType, header.bitDepth);
  if (!depth) return refuse(PngReadFailure::kUnsupportedLayout);
  // Checked before anything is allocated: a small file may declare a canvas of gigabytes.
  if (header.width > uint32_t{kMaxCanvasSide} || header.height > uint32_t{kMaxCanvasSide})
    return refuse(PngReadFailure::kTooLarge);
  if (!SizeIsPlausible(header, walk)) return refuse(PngReadFailure::kDamaged);

  DibColour colours[kDibColourCount] = {};
  int colourCount = header.paletteCount;
  std::memcpy(colours, header.palette, sizeof colours);
  if (header.colourType == PNG_COLOR_TYPE_GRAY) {
    // Grey images index a grey ramp: 0 and 255 for 1 bit, 0..255 for 8 bits.
    colourCount = header.bitDepth == 1 ? 2 : kDibColourCount;
    for (int i = 0; i < colourCount; ++i) {
      const uint8_t v = static_cast<uint8_t>(header.bitDepth == 1 ? i * 255 : i);
      colours[i] = {v, v, v, 0};
    }
  }
  DibBitmap* bitmap = CreateDibBitmap(depth, colours, colourCount, static_cast<int>(header.width),
                                      static_cast<int>(header.height));
  if (!bitmap) return refuse(PngReadFailure::kNoMemory);

  // Each decoder gives the same answer for the same damage. The parallel one decides when the
  // chunks are cut at its rows (a decoded image, or a wrong CRC or Adler-32); otherwise libpng
  // decides. IDAT chunks after the one that ends the stream, empty or not, are refused on both.
  PngReadFailure result = PngReadFailure::kNone;
  bool decided = false;
  const ParallelRun run = ParallelChunks(file.data, walk);
  if (depth == 8 && header.interlace == PNG_INTERLACE_NONE && run.count) {
    decided = true;
    switch (InflateChunksInParallel(file.data, run.first, run.count, *bitmap, header.width)) {
      case ParallelInflateResult::kDecoded:
        result = run.emptyAfter ? PngReadFailure::kDamaged : PngReadFailure::kNone;
        break;
      case ParallelInflateResult::kBadCrc:
      case ParallelInflateResult::kBadAdler:
        result = PngReadFailure::kBadChecksum;
        break;
      case ParallelInflateResult::kOtherLayout:
        decided = false;
        break;
    }
    if (decided) tLastDecodePath = PngDecodePath::kParallel;
  }
  if (!decided) {
    PngErrorState errors{};
    size_t streamEnd = 0;
    if (!DecodePngSequential(file, *bitmap, errors, streamEnd)) {
      result = LibraryFailure(file, walk, errors);
    } else if (IdatStartsAt(walk, streamEnd)) {
      result = PngReadFailure::kDamaged;
    }
    tLastDecodePath = PngDecodePath::kSequential;
  }
  if (result != PngReadFailure::kNone) {
    FreeDibBitmap(bitmap);
    return refuse(result);
  }
  if (layers) *layers = table;
  return bitmap;
}
