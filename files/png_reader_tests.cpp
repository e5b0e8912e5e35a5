// The canvas-file reader on files it did not write: PNGs made by libpng the way other programs
// make them, streams cut by hand, other colour layouts, and damaged or lying files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "files/canvas_png.h"
#include "files/png_test_support.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

// The process's peak resident memory in KiB; -1 where it cannot be told.
long PeakMemoryKiB() {
#ifdef _WIN32
  return -1;
#else
  rusage usage{};
  return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
#endif
}

std::vector<png_color> GreyishPalette() {
  std::vector<png_color> palette(256);
  for (int i = 0; i < 256; ++i)
    palette[static_cast<size_t>(i)] = {static_cast<png_byte>(i), static_cast<png_byte>(i / 2), static_cast<png_byte>(255 - i)};
  return palette;
}

ForeignPng PaletteImage(const DibBitmap& canvas) {
  ForeignPng layout;
  layout.width = DibWidth(canvas);
  layout.height = DibHeight(canvas);
  layout.rows = RowsOf(canvas, static_cast<size_t>(layout.width));
  layout.palette = GreyishPalette();
  return layout;
}

// Reads bytes through a file, as the program does.
DibPtr ReadBytes(const TempFolder& folder, const std::string& bytes, LayerTable* layers = nullptr,
                 PngReadFailure* failure = nullptr) {
  const auto path = folder / "input.png";
  WriteAll(path, bytes);
  return DibPtr(ReadCanvasPng(path, layers, failure));
}

// Why the bytes are refused (kNone when they load).
PngReadFailure RefusalOf(const TempFolder& folder, const std::string& bytes) {
  PngReadFailure failure = PngReadFailure::kNone;
  DibPtr back = ReadBytes(folder, bytes, nullptr, &failure);
  EXPECT_EQ(back == nullptr, failure != PngReadFailure::kNone);
  return failure;
}

void ExpectPixels(const DibBitmap& expected, const DibBitmap& actual) {
  ASSERT_EQ(DibWidth(expected), DibWidth(actual));
  ASSERT_EQ(DibHeight(expected), DibHeight(actual));
  EXPECT_EQ(CanvasToHex(expected), CanvasToHex(actual));
}

// Reads a file and expects the canvas's pixels, decoded the given way.
void ExpectDecodes(const TempFolder& folder, const std::string& file, const DibBitmap& canvas, PngDecodePath path) {
  DibPtr back = ReadBytes(folder, file);
  ASSERT_TRUE(back);
  EXPECT_EQ(path, LastPngDecodePath());
  ExpectPixels(canvas, *back);
}

std::string IdatBytes(const std::string& file) {
  std::string joined;
  for (const ChunkView& c : ChunksOf(file))
    if (c.type == "IDAT") joined += c.data;
  return joined;
}

// The size of the image stream of a libpng file: its data in a single IDAT.
size_t StreamSize(ForeignPng layout) {
  layout.bufferSize = 1 << 22;
  const std::string file = EncodeForeignPng(layout);
  EXPECT_EQ(1, CountChunks(file, "IDAT"));
  return IdatBytes(file).size();
}

// Image data lines (filter byte and row bytes) of an 8-bit canvas, all with filter None.
std::vector<std::string> LinesOf(const DibBitmap& b) {
  std::vector<std::string> lines;
  for (const std::string& row : RowsOf(b, static_cast<size_t>(DibWidth(b)))) lines.push_back('\0' + row);
  return lines;
}

// One zlib stream of the lines with a flush after each line listed in cutAfter, returned as the
// pieces between the flushes. A full flush forgets all earlier data; a sync flush keeps it, so
// later pieces may refer back into earlier ones.
std::vector<std::string> DeflateWithCuts(const std::vector<std::string>& lines, const std::vector<int>& cutAfter,
                                         int cutFlush = Z_FULL_FLUSH) {
  z_stream z{};
  EXPECT_EQ(Z_OK, deflateInit(&z, Z_DEFAULT_COMPRESSION));
  std::string out(1 << 20, '\0');
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  std::vector<size_t> cuts = {0};
  for (size_t i = 0; i < lines.size(); ++i) {
    const bool cut = std::find(cutAfter.begin(), cutAfter.end(), static_cast<int>(i)) != cutAfter.end();
    const int flush = i + 1 == lines.size() ? Z_FINISH : cut ? cutFlush : Z_NO_FLUSH;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(lines[i].data()));
    z.avail_in = static_cast<uInt>(lines[i].size());
    const int result = deflate(&z, flush);
    EXPECT_EQ(flush == Z_FINISH ? Z_STREAM_END : Z_OK, result);
    if (cut) cuts.push_back(z.total_out);
  }
  cuts.push_back(z.total_out);
  deflateEnd(&z);
  std::vector<std::string> pieces;
  for (size_t k = 0; k + 1 < cuts.size(); ++k) pieces.push_back(out.substr(cuts[k], cuts[k + 1] - cuts[k]));
  return pieces;
}

std::string PaletteFile(int width, int height, const std::vector<std::string>& idats) {
  std::string plte;
  for (const png_color& c : GreyishPalette()) plte += std::string{static_cast<char>(c.red), static_cast<char>(c.green), static_cast<char>(c.blue)};
  std::string file = PngSignature() + ChunkBytes("IHDR", IhdrData(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 8, 3)) +
                     ChunkBytes("PLTE", plte);
  for (const std::string& d : idats) file += ChunkBytes("IDAT", d);
  return file + ChunkBytes("IEND", "");
}

// ---- Files of other writers -----------------------------------------------------------------

TEST(PngForeignFiles, OneLargeIdatIsDecodedSequentially) {
  TempFolder folder;
  DibPtr canvas = PatternCanvas(300, 200);
  ForeignPng layout = PaletteImage(*canvas);
  layout.bufferSize = 1 << 22;
  const std::string file = EncodeForeignPng(layout);
  ASSERT_EQ(1, CountChunks(file, "IDAT"));
  DibPtr back = ReadBytes(folder, file);
  ASSERT_TRUE(back);
  EXPECT_EQ(PngDecodePath::kSequential, LastPngDecodePath());
  ExpectPixels(*canvas, *back);
  // PLTE entry 7 is (7, 3, 248).
  EXPECT_EQ(7, back->colours[7].red);
  EXPECT_EQ(3, back->colours[7].green);
  EXPECT_EQ(248, back->colours[7].blue);
}

TEST(PngForeignFiles, SeventyIdatsAreDecodedSequentially) {
  TempFolder folder;
  // Noise (xorshift) hardly compresses, so the stream is long enough to cut into 70.
  DibPtr canvas(CreateDibBitmap(8, nullptr, 0, 250, 300));
  uint32_t state = 2463534242u;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 250; ++x) {
      state ^= state << 13;
      state ^= state >> 17;
      state ^= state << 5;
      DibRow(*canvas, y)[x] = static_cast<uint8_t>(state);
    }
  ForeignPng layout = PaletteImage(*canvas);
  // libpng starts a new IDAT each time its buffer of B bytes fills, so a stream of S bytes makes
  // ceil(S / B) chunks; B = ceil(S / 70) gives 70 once S is over 69 x 70 bytes.
  const size_t size = StreamSize(layout);
  ASSERT_GT(size, 69u * 70u);
  layout.bufferSize = (size + 69) / 70;
  const std::string file = EncodeForeignPng(layout);
  ASSERT_EQ(70, CountChunks(file, "IDAT"));
  ExpectDecodes(folder, file, *canvas, PngDecodePath::kSequential);
}

TEST(PngForeignFiles, AdaptiveFiltersInSixteenIdatsFallBackToSequential) {
  TempFolder folder;
  // A smooth ramp: Sub and Up predict it well, so the adaptive filter choice leaves None.
  DibPtr canvas(CreateDibBitmap(8, nullptr, 0, 256, 64));
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) DibRow(*canvas, y)[x] = static_cast<uint8_t>(x + 3 * y);
  ForeignPng layout = PaletteImage(*canvas);
  layout.filters = PNG_ALL_FILTERS;
  // Sixteen chunks, the count the parallel decoder takes: B = ceil(S / 16).
  layout.bufferSize = (StreamSize(layout) + 15) / 16;
  const std::string file = EncodeForeignPng(layout);
  ASSERT_EQ(16, CountChunks(file, "IDAT"));
  // The stream really holds filtered rows.
  std::string raw(64 * 257, '\0');
  const std::string idat = IdatBytes(file);
  uLongf rawSize = raw.size();
  ASSERT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                             reinterpret_cast<const Bytef*>(idat.data()), idat.size()));
  int filtered = 0;
  for (int y = 0; y < 64; ++y) filtered += raw[static_cast<size_t>(y) * 257] != 0;
  ASSERT_GT(filtered, 0);
  ExpectDecodes(folder, file, *canvas, PngDecodePath::kSequential);
}

TEST(PngForeignFiles, InterlacedImageIsDecodedSequentially) {
  TempFolder folder;
  DibPtr canvas = PatternCanvas(21, 13);
  ForeignPng layout = PaletteImage(*canvas);
  layout.interlace = PNG_INTERLACE_ADAM7;
  DibPtr back = ReadBytes(folder, EncodeForeignPng(layout));
  ASSERT_TRUE(back);
  ExpectPixels(*canvas, *back);
}

// Streams of a 40 x 100 canvas cut by flushes. The reader splits the rows into ten chunks
// (chunk i holds rows 10i to 10i + 9) and decodes in parallel only pieces that match them.
TEST(PngForeignFiles, StreamsCutByFlushesDecodeInParallelOnlyAtTheReadersRows) {
  const std::vector<int> readersRows = {9, 19, 29, 39, 49, 59, 69, 79, 89};
  struct Case {
    const char* name;
    std::vector<int> cutAfter;
    int flush;
    bool subFilteredRow;
    PngDecodePath path;
  };
  const Case cases[] = {
      // Full flushes at the reader's rows: as good as the writer's own pieces.
      {"full flushes at the reader's rows", readersRows, Z_FULL_FLUSH, false, PngDecodePath::kParallel},
      // Sync flushes: byte-aligned cuts, but the pattern repeats, so later pieces copy from
      // earlier ones, which a chunk decoded on its own cannot see.
      {"sync flushes", readersRows, Z_SYNC_FLUSH, false, PngDecodePath::kSequential},
      // Row 55 with filter Sub (1): it decodes to the same pixels, but not in parallel.
      {"one Sub-filtered row", readersRows, Z_FULL_FLUSH, true, PngDecodePath::kSequential},
      // Chunks of 12, 8, 10, ... rows: chunk 0 has data left after its rows, chunk 1 runs short.
      {"cut at other rows", {11, 19, 29, 39, 49, 59, 69, 79, 89}, Z_FULL_FLUSH, false, PngDecodePath::kSequential},
  };
  TempFolder folder;
  DibPtr canvas = PatternCanvas(40, 100);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines = LinesOf(*canvas);
    if (c.subFilteredRow) {
      // Each byte minus its left neighbour (0 left of the row).
      std::string& line = lines[55];
      const std::string row = line.substr(1);
      line[0] = 1;
      for (size_t x = 0; x < row.size(); ++x)
        line[1 + x] = static_cast<char>(static_cast<uint8_t>(row[x]) - (x ? static_cast<uint8_t>(row[x - 1]) : 0));
    }
    const std::vector<std::string> pieces = DeflateWithCuts(lines, c.cutAfter, c.flush);
    ASSERT_EQ(10u, pieces.size());
    ExpectDecodes(folder, PaletteFile(40, 100, pieces), *canvas, c.path);
  }
}

// ---- Colour layouts -------------------------------------------------------------------------

TEST(PngColourLayouts, RgbaLoadsAsTrueColourWithoutAlpha) {
  TempFolder folder;
  ForeignPng layout;
  layout.width = 2;
  layout.height = 2;
  layout.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  // Pixel (x, y) = red 10 + x, green 20 + y, blue 30, alpha 40x + 50y + 1.
  layout.rows = {std::string("\x0A\x14\x1E\x01\x0B\x14\x1E\x29", 8), std::string("\x0A\x15\x1E\x33\x0B\x15\x1E\x5B", 8)};
  DibPtr back = ReadBytes(folder, EncodeForeignPng(layout));
  ASSERT_TRUE(back);
  EXPECT_EQ(32, DibDepth(*back));
  // Memory order blue, green, red, 0.
  EXPECT_EQ(std::string("\x1E\x14\x0A\x00\x1E\x14\x0B\x00", 8), std::string(reinterpret_cast<char*>(DibRow(*back, 0)), 8));
  EXPECT_EQ(std::string("\x1E\x15\x0A\x00\x1E\x15\x0B\x00", 8), std::string(reinterpret_cast<char*>(DibRow(*back, 1)), 8));
}

TEST(PngColourLayouts, GreyImagesIndexAGreyRamp) {
  TempFolder folder;
  ForeignPng grey;
  grey.width = 4;
  grey.height = 1;
  grey.colourType = PNG_COLOR_TYPE_GRAY;
  grey.rows = {std::string("\x00\x40\x80\xFF", 4)};
  DibPtr back = ReadBytes(folder, EncodeForeignPng(grey));
  ASSERT_TRUE(back);
  EXPECT_EQ(8, DibDepth(*back));
  EXPECT_EQ(std::vector<std::string>{"00 40 80 FF"}, CanvasToHex(*back));
  EXPECT_EQ(0x40, back->colours[0x40].red);
  EXPECT_EQ(0x40, back->colours[0x40].blue);

  ForeignPng bits = grey;
  bits.bitDepth = 1;
  bits.rows = {std::string("\xA0", 1)};  // pixels 1 0 1 0
  DibPtr mask = ReadBytes(folder, EncodeForeignPng(bits));
  ASSERT_TRUE(mask);
  EXPECT_EQ(1, DibDepth(*mask));
  EXPECT_EQ(1, MaskBit(DibRow(*mask, 0), 0));
  EXPECT_EQ(0, MaskBit(DibRow(*mask, 0), 1));
  EXPECT_EQ(0, mask->colours[0].green);
  EXPECT_EQ(255, mask->colours[1].green);
}

TEST(PngColourLayouts, OtherLayoutsAreRefused) {
  TempFolder folder;
  struct Layout {
    int colourType, bitDepth;
    size_t rowBytes;  // for a 4-pixel row
  };
  const Layout refused[] = {
      {PNG_COLOR_TYPE_PALETTE, 2, 1},  {PNG_COLOR_TYPE_PALETTE, 4, 2}, {PNG_COLOR_TYPE_GRAY, 4, 2},
      {PNG_COLOR_TYPE_GRAY, 16, 8},    {PNG_COLOR_TYPE_RGB, 16, 24},   {PNG_COLOR_TYPE_GRAY_ALPHA, 8, 8},
  };
  for (const Layout& layout : refused) {
    SCOPED_TRACE(std::to_string(layout.colourType) + "/" + std::to_string(layout.bitDepth));
    ForeignPng foreign;
    foreign.width = 4;
    foreign.height = 2;
    foreign.colourType = layout.colourType;
    foreign.bitDepth = layout.bitDepth;
    foreign.rows.assign(2, std::string(layout.rowBytes, '\x11'));
    if (foreign.colourType == PNG_COLOR_TYPE_PALETTE) foreign.palette = std::vector<png_color>(4, png_color{1, 2, 3});
    const std::string file = EncodeForeignPng(foreign);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(PngReadFailure::kUnsupportedLayout, RefusalOf(folder, file));
  }
}

// ---- Damaged and lying files ------------------------------------------------------------------

std::string GoodCanvasFile(const TempFolder& folder) {
  DibPtr canvas = PatternCanvas(64, 40);
  const LayerTable layers = DefaultLayerTable();
  const auto path = folder / "good.png";
  EXPECT_TRUE(WriteCanvasPng(path, *canvas, &layers));
  return ReadAll(path);
}

TEST(PngDamagedFiles, TruncatedFilesGiveNull) {
  TempFolder folder;
  const std::string file = GoodCanvasFile(folder);
  const std::vector<ChunkView> chunks = ChunksOf(file);
  ASSERT_EQ(20u, chunks.size());  // IHDR, PLTE, tEXt, 16 IDAT, IEND
  const size_t idat8 = chunks[3 + 8].start;
  // Cuts: nothing, half a signature, the signature alone, inside IHDR, inside PLTE, inside the
  // text, inside the first IDAT, inside IDAT 8, before IEND, inside IEND's CRC.
  const size_t cuts[] = {0, 4, 8, 20, chunks[1].start + 100, chunks[2].start + 30, chunks[3].start + 20,
                         idat8 + 10, chunks[19].start, file.size() - 1};
  for (size_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    LayerTable layers = DefaultLayerTable();
    layers.rows[0].colour = 0x777777;
    PngReadFailure failure = PngReadFailure::kNone;
    EXPECT_FALSE(ReadBytes(folder, file.substr(0, cut), &layers, &failure));
    EXPECT_EQ(0x777777u, layers.rows[0].colour);  // untouched by a failed read
    // Shorter than the signature it is no PNG at all; after it, a file cut short.
    EXPECT_EQ(cut < 8 ? PngReadFailure::kNotPng : PngReadFailure::kTruncated, failure);
  }
  EXPECT_TRUE(ReadBytes(folder, file));
}

TEST(PngDamagedFiles, AWrongCrcInAnyChunkGivesNull) {
  TempFolder folder;
  const std::string file = GoodCanvasFile(folder);
  for (const ChunkView& chunk : ChunksOf(file)) {
    SCOPED_TRACE(chunk.type + " at " + std::to_string(chunk.start));
    std::string damaged = file;
    damaged[chunk.start + 8 + chunk.data.size() + 3] ^= 0x01;  // last CRC byte
    EXPECT_EQ(PngReadFailure::kBadChecksum, RefusalOf(folder, damaged));
  }
}

TEST(PngDamagedFiles, ImageDataBeyondTheLastRowGivesNull) {
  TempFolder folder;
  // 101 rows of data under a header of 100: the last chunk holds a row too many.
  DibPtr canvas = PatternCanvas(40, 101);
  const std::vector<std::string> pieces = DeflateWithCuts(LinesOf(*canvas), {9, 19, 29, 39, 49, 59, 69, 79, 89});
  EXPECT_FALSE(ReadBytes(folder, PaletteFile(40, 100, pieces)));
  EXPECT_TRUE(ReadBytes(folder, PaletteFile(40, 101, pieces)));
}

TEST(PngDamagedFiles, HugeOrEmptySizesInTheHeaderGiveNull) {
  TempFolder folder;
  const std::string plte = ChunkBytes("PLTE", std::string(768, '\x10'));
  const std::string tinyIdat = ChunkBytes("IDAT", std::string("\x78\x9C\x03\x00\x00\x00\x00\x01", 8));
  const std::string end = ChunkBytes("IEND", "");
  // A million by a million pixels cannot come from 8 bytes of image data: refused before any
  // allocation. The others break the PNG limits.
  // Sides beyond the largest canvas are named as such; sides of 0 are broken headers.
  struct Case {
    uint32_t width, height;
    PngReadFailure failure;
  };
  for (const Case& c : std::vector<Case>{{1000000, 1000000, PngReadFailure::kTooLarge},
                                         {0x7FFFFFFF, 1, PngReadFailure::kTooLarge},
                                         {1, 0x7FFFFFFF, PngReadFailure::kTooLarge},
                                         {20001, 20000, PngReadFailure::kTooLarge},
                                         {0x80000000u, 1, PngReadFailure::kTooLarge},
                                         {0, 10, PngReadFailure::kDamaged},
                                         {10, 0, PngReadFailure::kDamaged},
                                         {20000, 20000, PngReadFailure::kDamaged}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const std::string file = PngSignature() + ChunkBytes("IHDR", IhdrData(c.width, c.height, 8, 3)) + plte + tinyIdat + end;
    EXPECT_EQ(c.failure, RefusalOf(folder, file));
  }
}

TEST(PngDamagedFiles, ShortAndOverlongChunksGiveNull) {
  TempFolder folder;
  const std::string file = GoodCanvasFile(folder);
  const std::vector<ChunkView> chunks = ChunksOf(file);
  const std::string rest = file.substr(chunks[1].start);
  // IHDR one byte short (with a right CRC).
  EXPECT_FALSE(ReadBytes(folder, PngSignature() + ChunkBytes("IHDR", chunks[0].data.substr(0, 12)) + rest));
  // PLTE of 767 bytes: not a whole number of entries.
  EXPECT_FALSE(ReadBytes(folder, file.substr(0, chunks[1].start) + ChunkBytes("PLTE", chunks[1].data.substr(0, 767)) +
                                     file.substr(chunks[2].start)));
  // An IDAT whose length field runs past the end of the file.
  std::string overlong = file;
  overlong.replace(chunks[10].start, 4, BigEndian32(0x10000000));
  EXPECT_FALSE(ReadBytes(folder, overlong));
  // The header claims more rows than the data holds (IHDR with a right CRC).
  EXPECT_FALSE(ReadBytes(folder, PngSignature() + ChunkBytes("IHDR", IhdrData(64, 400, 8, 3)) + rest));
}

TEST(PngDamagedFiles, NotAPngGivesNull) {
  TempFolder folder;
  EXPECT_EQ(PngReadFailure::kNotPng, RefusalOf(folder, ""));
  EXPECT_EQ(PngReadFailure::kNotPng, RefusalOf(folder, "GIF89a this is not a PNG file at all"));
  PngReadFailure failure = PngReadFailure::kNone;
  EXPECT_FALSE(ReadCanvasPng(folder / "missing.png", nullptr, &failure));
  EXPECT_EQ(PngReadFailure::kCannotOpen, failure);
  EXPECT_EQ(PngDecodePath::kNone, LastPngDecodePath());
}

// A chunk whose length claims 2^31 - 1 bytes in a file of 1 KiB is refused from the chunk walk,
// before libpng reads it: libpng would allocate (and clear) 2 GiB for a text chunk first.
TEST(PngDamagedFiles, AChunkLongerThanTheFileIsRefusedWithoutReadingIt) {
  TempFolder folder;
  const std::string file = GoodCanvasFile(folder);
  const std::vector<ChunkView> chunks = ChunksOf(file);
  ASSERT_EQ("tEXt", chunks[2].type);
  for (const char* type : {"tEXt", "zzZz"}) {
    SCOPED_TRACE(type);
    std::string lying = file.substr(0, chunks[2].start) + BigEndian32(0x7FFFFFFF) + type + chunks[2].data;
    lying.resize(1024, '\0');
    LayerTable layers = DefaultLayerTable();
    PngReadFailure failure = PngReadFailure::kNone;
    const long before = PeakMemoryKiB();
    EXPECT_FALSE(ReadBytes(folder, lying, &layers, &failure));
    EXPECT_EQ(PngReadFailure::kTruncated, failure);
    EXPECT_EQ(PngDecodePath::kNone, LastPngDecodePath());
    // The peak memory of the process did not rise by anything like the chunk's length.
    if (before >= 0) {
      EXPECT_LT(PeakMemoryKiB() - before, 64 * 1024);
    }
  }
}

// ---- One answer whichever decoder runs ------------------------------------------------------

// The good canvas file with its 16 IDAT chunks (the parallel decoder's) and with the same stream
// in one IDAT (libpng's): damage done to the stream must get the same answer from both.
struct BothPaths {
  std::vector<ChunkView> pieces;  // 16 IDAT chunks
  std::vector<ChunkView> joined;  // one IDAT chunk
};

BothPaths GoodCanvasBothWays(const TempFolder& folder) {
  const std::vector<ChunkView> pieces = ChunksOf(GoodCanvasFile(folder));
  return {pieces, WithIdatsJoined(pieces)};
}

size_t LastIdat(const std::vector<ChunkView>& chunks) {
  size_t last = 0;
  for (size_t i = 0; i < chunks.size(); ++i)
    if (chunks[i].type == "IDAT") last = i;
  return last;
}

// Reads the chunks and expects the failure and the decoder that gave the answer.
void ExpectAnswer(const TempFolder& folder, const std::vector<ChunkView>& chunks, PngReadFailure failure,
                  PngDecodePath path) {
  EXPECT_EQ(failure, RefusalOf(folder, PngOfChunks(chunks)));
  EXPECT_EQ(path, LastPngDecodePath());
}

TEST(PngOneAnswer, TheUndamagedStreamLoadsBothWays) {
  TempFolder folder;
  const BothPaths both = GoodCanvasBothWays(folder);
  ExpectAnswer(folder, both.pieces, PngReadFailure::kNone, PngDecodePath::kParallel);
  ExpectAnswer(folder, both.joined, PngReadFailure::kNone, PngDecodePath::kSequential);
}

TEST(PngOneAnswer, AWrongAdlerIsABadChecksumOnBothPaths) {
  TempFolder folder;
  BothPaths both = GoodCanvasBothWays(folder);
  // The stream's last 4 bytes are its Adler-32 (the chunk CRCs are made right again).
  for (std::vector<ChunkView>* chunks : {&both.pieces, &both.joined}) {
    std::string& data = (*chunks)[LastIdat(*chunks)].data;
    data[data.size() - 1] ^= 0x01;
  }
  ExpectAnswer(folder, both.pieces, PngReadFailure::kBadChecksum, PngDecodePath::kParallel);
  ExpectAnswer(folder, both.joined, PngReadFailure::kBadChecksum, PngDecodePath::kSequential);
}

TEST(PngOneAnswer, AWrongIdatCrcIsABadChecksumOnBothPaths) {
  TempFolder folder;
  const BothPaths both = GoodCanvasBothWays(folder);
  for (const auto& [chunks, path] : {std::pair{&both.pieces, PngDecodePath::kParallel},
                                     std::pair{&both.joined, PngDecodePath::kSequential}}) {
    std::string file = PngOfChunks(*chunks);
    const ChunkView idat = ChunksOf(file)[LastIdat(*chunks)];
    file[idat.start + 8 + idat.data.size()] ^= 0x10;  // first CRC byte
    EXPECT_EQ(PngReadFailure::kBadChecksum, RefusalOf(folder, file));
    EXPECT_EQ(path, LastPngDecodePath());
  }
}

// IDAT chunks after the one that ends the stream are data past the end of the image: refused
// on both paths, empty or not.
TEST(PngOneAnswer, IdatChunksAfterTheEndOfTheStreamAreRefusedOnBothPaths) {
  TempFolder folder;
  const BothPaths both = GoodCanvasBothWays(folder);
  struct Case {
    const char* name;
    const std::vector<ChunkView>* chunks;
    bool empty;  // else a copy of the last IDAT
    PngDecodePath path;
  };
  // A 17th chunk that is a copy cannot be told from a foreign cut until libpng has decoded.
  const Case cases[] = {
      {"16 pieces and an empty IDAT", &both.pieces, true, PngDecodePath::kParallel},
      {"16 pieces and the last one again", &both.pieces, false, PngDecodePath::kSequential},
      {"one IDAT and an empty IDAT", &both.joined, true, PngDecodePath::kSequential},
      {"one IDAT twice", &both.joined, false, PngDecodePath::kSequential},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<ChunkView> chunks = *c.chunks;
    const size_t last = LastIdat(chunks);
    ChunkView extra = chunks[last];
    if (c.empty) extra.data.clear();
    chunks.insert(chunks.begin() + static_cast<std::ptrdiff_t>(last) + 1, extra);
    ExpectAnswer(folder, chunks, PngReadFailure::kDamaged, c.path);
  }
}

}  // namespace
