// The canvas file written and read back through real files: pixels, colour tables and layer
// tables survive; the image data has the piece layout; failed writes keep the old file; and a
// PNG reader other than libpng (Python's Pillow and zlib) reads what we write.
#include "files/canvas_png.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/canvas_test_support.h"
#include "canvas/layer_table.h"
#include "files/png_test_support.h"

namespace {

// Every field of some rows away from its default, so a lost or swapped field shows.
LayerTable SampleLayers() {
  LayerTable t = DefaultLayerTable();
  t.rows[2].visible = 0;
  t.rows[3].locked = 1;
  t.rows[4].blendMode = kBlendAdd;
  t.rows[4].colour = 0x123456;
  t.rows[0].order = 7;
  t.rows[7].order = 0;
  t.rows[5].clipped = 1;
  t.rows[6].opacity = 100;
  t.rows[kPaperRow].colour = 0xF0E0D0;
  return t;
}

void ExpectSameRows(const DibBitmap& expected, const DibBitmap& actual, size_t rowBytes) {
  ASSERT_EQ(DibWidth(expected), DibWidth(actual));
  ASSERT_EQ(DibHeight(expected), DibHeight(actual));
  for (int y = 0; y < DibHeight(expected); ++y)
    ASSERT_EQ(0, std::memcmp(DibRow(expected, y), DibRow(actual, y), rowBytes)) << "row " << y;
}

std::string Inflate(const std::string& stream, int windowBits) {
  z_stream z{};
  EXPECT_EQ(Z_OK, inflateInit2(&z, windowBits));
  std::string out;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  char buffer[4096];
  int result = Z_OK;
  while (result == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    result = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
    if (result == Z_BUF_ERROR && z.avail_in == 0) break;  // raw piece: input used up, no end
  }
  EXPECT_TRUE(result == Z_STREAM_END || result == Z_BUF_ERROR) << result;
  inflateEnd(&z);
  return out;
}

// The uncompressed image stream expected for rows [first, end) of an 8-bit bitmap: a filter
// byte 0 before each row's width bytes.
std::string ExpectedStream(const DibBitmap& b, int first, int end) {
  std::string s;
  for (int y = first; y < end; ++y) {
    s += '\0';
    s.append(reinterpret_cast<const char*>(DibRow(b, y)), static_cast<size_t>(DibWidth(b)));
  }
  return s;
}

// ---- Round trips -------------------------------------------------------------------------------

TEST(CanvasPngRoundTrip, EightBitCanvasesOfManyShapesComeBackExactly) {
  TempFolder folder;
  const LayerTable layers = SampleLayers();
  // Heights 1..17 cover one piece per row (under 16 rows) and the 16-piece split; widths 1 and
  // odd ones leave padding at the end of the bottom-up rows that must not reach the file.
  for (int width : {1, 5, 64, 1001}) {
    for (int height = 1; height <= 17; ++height) {
      SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
      DibPtr canvas = PatternCanvas(width, height);
      const auto path = folder / "canvas.png";
      ASSERT_TRUE(WriteCanvasPng(path, *canvas, &layers));

      // min(16, height) pieces, one IDAT each.
      EXPECT_EQ(std::min(height, 16), CountChunks(ReadAll(path), "IDAT"));

      LayerTable read = DefaultLayerTable();
      DibPtr back(ReadCanvasPng(path, &read));
      ASSERT_TRUE(back);
      EXPECT_EQ(8, DibDepth(*back));
      ExpectSameRows(*canvas, *back, static_cast<size_t>(width));
      for (int i = 0; i < kDibColourCount; ++i) {
        EXPECT_EQ(canvas->colours[i].red, back->colours[i].red);
        EXPECT_EQ(canvas->colours[i].green, back->colours[i].green);
        EXPECT_EQ(canvas->colours[i].blue, back->colours[i].blue);
      }
      EXPECT_EQ(FormatLayerTable(layers), FormatLayerTable(read));
      // 8 to 64 chunks decode in parallel; fewer go through libpng.
      EXPECT_EQ(height >= 8 ? PngDecodePath::kParallel : PngDecodePath::kSequential, LastPngDecodePath());
    }
  }
}

TEST(CanvasPngRoundTrip, OneBitImageKeepsBitsAndTwoColours) {
  TempFolder folder;
  // 13 pixels: the second byte of each row holds 5 pixels and 3 padding bits.
  DibPtr mask = MaskFromText({"1011001110001", "0100110001110", "1111111111111", "0000000000001"});
  mask->colours[0] = {10, 20, 30, 0};
  mask->colours[1] = {200, 150, 100, 0};
  DibRow(*mask, 3)[1] |= 0x07;  // set padding bits: they are not pixels
  const auto path = folder / "mask.png";
  ASSERT_TRUE(WriteCanvasPng(path, *mask, nullptr));

  const std::string file = ReadAll(path);
  EXPECT_EQ((std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}), ChunkTypes(file));
  const std::vector<ChunkView> chunks = ChunksOf(file);
  EXPECT_EQ(IhdrData(13, 4, 1, PNG_COLOR_TYPE_PALETTE), chunks[0].data);
  // Two entries, red green blue each: colour 0 is (30, 20, 10), colour 1 is (100, 150, 200).
  EXPECT_EQ(std::string("\x1E\x14\x0A\x64\x96\xC8", 6), chunks[1].data);

  DibPtr back(ReadCanvasPng(path, nullptr));
  ASSERT_TRUE(back);
  EXPECT_EQ(1, DibDepth(*back));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 13; ++x) EXPECT_EQ(MaskBit(DibRow(*mask, y), x), MaskBit(DibRow(*back, y), x)) << x << "," << y;
  EXPECT_EQ(30, back->colours[0].red);
  EXPECT_EQ(200, back->colours[1].blue);
}

TEST(CanvasPngRoundTrip, TrueColourDropsTheFourthByteAndComesBackBlueFirst) {
  TempFolder folder;
  DibPtr image(CreateDibBitmap(32, nullptr, 0, 3, 2));
  // Pixel (x, y) in memory: blue 10x+y, green 100+x, red 200+y, unused 0xAB.
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = DibRow(*image, y) + 4 * x;
      p[0] = static_cast<uint8_t>(10 * x + y);
      p[1] = static_cast<uint8_t>(100 + x);
      p[2] = static_cast<uint8_t>(200 + y);
      p[3] = 0xAB;
    }
  const auto path = folder / "picture.png";
  ASSERT_TRUE(WriteCanvasPng(path, *image, nullptr));
  const std::string file = ReadAll(path);
  EXPECT_EQ((std::vector<std::string>{"IHDR", "IDAT", "IEND"}), ChunkTypes(file));
  EXPECT_EQ(IhdrData(3, 2, 8, PNG_COLOR_TYPE_RGB), ChunksOf(file)[0].data);
  // The file's rows: filter byte, then red green blue per pixel. Top row (y = 0) first.
  const std::string stream = Inflate(ChunksOf(file)[1].data, 15);
  EXPECT_EQ(std::string("\0\xC8\x64\x00\xC8\x65\x0A\xC8\x66\x14"
                        "\0\xC9\x64\x01\xC9\x65\x0B\xC9\x66\x15", 20),
            stream);

  DibPtr back(ReadCanvasPng(path, nullptr));
  ASSERT_TRUE(back);
  EXPECT_EQ(32, DibDepth(*back));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const uint8_t* p = DibRow(*back, y) + 4 * x;
      EXPECT_EQ(10 * x + y, p[0]);
      EXPECT_EQ(100 + x, p[1]);
      EXPECT_EQ(200 + y, p[2]);
      EXPECT_EQ(0, p[3]);
    }
}

// ---- The piece layout --------------------------------------------------------------------------

TEST(CanvasPngLayout, ThousandRowsMakeSixteenPiecesOfSixtyTwoOrSixtyThreeRows) {
  TempFolder folder;
  DibPtr canvas = PatternCanvas(33, 1000);
  const LayerTable layers = DefaultLayerTable();
  const auto path = folder / "tall.png";
  ASSERT_TRUE(WriteCanvasPng(path, *canvas, &layers));
  const std::string file = ReadAll(path);

  std::vector<std::string> expectedTypes = {"IHDR", "PLTE", "tEXt"};
  expectedTypes.insert(expectedTypes.end(), 16, "IDAT");
  expectedTypes.push_back("IEND");
  ASSERT_EQ(expectedTypes, ChunkTypes(file));
  const std::vector<ChunkView> chunks = ChunksOf(file);
  EXPECT_EQ(IhdrData(33, 1000, 8, PNG_COLOR_TYPE_PALETTE), chunks[0].data);
  EXPECT_EQ(768u, chunks[1].data.size());  // 256 entries of red, green, blue
  EXPECT_EQ("Description" + std::string(1, '\0') + FormatLayerTable(layers), chunks[2].data);

  // Piece k starts at floor(k * 1000 / 16) = floor(62.5 k): 62 and 63 rows alternate.
  const int starts[17] = {0, 62, 125, 187, 250, 312, 375, 437, 500, 562, 625, 687, 750, 812, 875, 937, 1000};
  std::string whole;
  for (int k = 0; k < 16; ++k) {
    SCOPED_TRACE("piece " + std::to_string(k));
    const std::string& data = chunks[3 + static_cast<size_t>(k)].data;
    whole += data;
    std::string raw = data;
    if (k == 0) {
      // Only the first piece keeps its zlib header: deflate, 32 KiB window, default level.
      ASSERT_GE(raw.size(), 2u);
      EXPECT_EQ('\x78', raw[0]);
      EXPECT_EQ('\x9C', raw[1]);
      raw = raw.substr(2);
    }
    // Each piece decodes on its own, from a fresh inflater, to exactly its rows.
    EXPECT_EQ(ExpectedStream(*canvas, starts[k], starts[k + 1]), Inflate(raw, -15));
    // Pieces before the last end with a sync flush: an empty stored block, 00 00 FF FF.
    if (k < 15) {
      EXPECT_EQ(std::string("\0\0\xFF\xFF", 4), data.substr(data.size() - 4));
    }
  }
  // All chunks together are one zlib stream whose trailer is the Adler-32 of the whole image
  // data (inflate with a zlib wrapper checks it).
  const std::string stream = ExpectedStream(*canvas, 0, 1000);
  EXPECT_EQ(stream, Inflate(whole, 15));
  const uLong adler = adler32(adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(stream.data()),
                              static_cast<uInt>(stream.size()));
  EXPECT_EQ(BigEndian32(static_cast<uint32_t>(adler)), whole.substr(whole.size() - 4));

  DibPtr back(ReadCanvasPng(path, nullptr));
  ASSERT_TRUE(back);
  EXPECT_EQ(PngDecodePath::kParallel, LastPngDecodePath());
  ExpectSameRows(*canvas, *back, 33);
}

// ---- Layer tables --------------------------------------------------------------------------------

TEST(CanvasPngRoundTrip, SidesUpToTheLargestCanvasOpenAndLongerAreRefused) {
  // A side of 20001 is refused from the header, before the image is allocated or decoded.
  TempFolder folder;
  for (const int width : {kMaxCanvasSide, kMaxCanvasSide + 1}) {
    DibPtr canvas = PatternCanvas(width, 1);
    const auto path = folder / "wide.png";
    ASSERT_TRUE(WriteCanvasPng(path, *canvas, nullptr));
    DibPtr back(ReadCanvasPng(path, nullptr));
    EXPECT_EQ(static_cast<bool>(back), width <= kMaxCanvasSide) << width;
  }
}

TEST(CanvasPngLayers, FileWithoutDescriptionLeavesTheTableAtItsDefaults) {
  TempFolder folder;
  DibPtr canvas = PatternCanvas(20, 20);
  const auto path = folder / "plain.png";
  ASSERT_TRUE(WriteCanvasPng(path, *canvas, nullptr));
  EXPECT_EQ(0, CountChunks(ReadAll(path), "tEXt"));

  // The loader resets the table to its defaults before reading; nothing in the file changes it.
  LayerTable layers = DefaultLayerTable();
  DibPtr back(ReadCanvasPng(path, &layers));
  ASSERT_TRUE(back);
  EXPECT_EQ(FormatLayerTable(DefaultLayerTable()), FormatLayerTable(layers));
}

// Only the "Description" text is the layer table: a private chunk and a text under another
// keyword, both holding layer text, change nothing.
TEST(CanvasPngLayers, OnlyTheDescriptionTextIsReadAsTheLayerTable) {
  TempFolder folder;
  DibPtr canvas = PatternCanvas(10, 10);
  const auto path = folder / "extra.png";
  LayerTable written = DefaultLayerTable();
  written.rows[1].colour = 0xABCDEF;
  ASSERT_TRUE(WriteCanvasPng(path, *canvas, &written));
  std::vector<ChunkView> chunks = ChunksOf(ReadAll(path));
  ASSERT_EQ("tEXt", chunks[2].type);
  const std::vector<ChunkView> others = {{"dwLt", "0,2,255", 0}, {"tEXt", std::string("Comment\0" "0,2,255", 15), 0}};

  // Before the Description and after it.
  for (const size_t at : {size_t{2}, size_t{3}}) {
    std::vector<ChunkView> file = chunks;
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), others.begin(), others.end());
    WriteAll(path, PngOfChunks(file));
    LayerTable read = DefaultLayerTable();
    DibPtr back(ReadCanvasPng(path, &read));
    ASSERT_TRUE(back);
    EXPECT_EQ(FormatLayerTable(written), FormatLayerTable(read));
  }

  // Without a Description the table keeps its defaults.
  chunks.erase(chunks.begin() + 2);
  chunks.insert(chunks.begin() + 2, others.begin(), others.end());
  WriteAll(path, PngOfChunks(chunks));
  LayerTable fromOthers = DefaultLayerTable();
  DibPtr other(ReadCanvasPng(path, &fromOthers));
  ASSERT_TRUE(other);
  EXPECT_EQ(FormatLayerTable(DefaultLayerTable()), FormatLayerTable(fromOthers));
}

// ---- Failed writes -----------------------------------------------------------------------------

TEST(CanvasPngWrite, DeflateStreamErrorIsReportedAndKeepsTheOldFile) {
  TempFolder folder;
  const auto path = folder / "keep.png";
  WriteAll(path, "the old file");
  DibPtr canvas = PatternCanvas(40, 100);
  CanvasPngWriteOptions options;
  options.failAtRow = 57;
  CanvasPngWriteFailure failure;
  EXPECT_FALSE(WriteCanvasPng(path, *canvas, nullptr, options, &failure));
  // The failure names the row; the program goes on.
  EXPECT_EQ(failure.deflate, DeflateFailure::kStream);
  EXPECT_EQ(failure.value, 57);
  EXPECT_EQ("the old file", ReadAll(path));
  EXPECT_EQ(std::vector<std::string>{"keep.png"}, folder.Names());
}

TEST(CanvasPngWrite, LibraryErrorHalfwayKeepsTheOldFileAndLeavesNoTemporary) {
  TempFolder folder;
  const auto path = folder / "keep.png";
  WriteAll(path, "the old file");
  // 1000001 pixels is beyond the PNG library's width limit: it fails after the file is open.
  DibPtr wide(CreateDibBitmap(1, nullptr, 0, 1000001, 1));
  ASSERT_TRUE(wide);
  EXPECT_FALSE(WriteCanvasPng(path, *wide, nullptr));
  EXPECT_EQ("the old file", ReadAll(path));
  EXPECT_EQ(std::vector<std::string>{"keep.png"}, folder.Names());
}

TEST(CanvasPngWrite, RefusesWhatItCannotWrite) {
  TempFolder folder;
  DibPtr canvas = PatternCanvas(4, 4);
  EXPECT_FALSE(WriteCanvasPng(folder / "missing" / "c.png", *canvas, nullptr));
  DibPtr fourBit(CreateDibBitmap(4, nullptr, 0, 4, 4));
  EXPECT_FALSE(WriteCanvasPng(folder / "four.png", *fourBit, nullptr));
  EXPECT_TRUE(folder.Names().empty());
}

// ---- Another reader ----------------------------------------------------------------------------

#ifndef _WIN32
// A Python with Pillow, or empty.
std::string PythonWithPillow() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    const std::string probe = std::string(python) + " -c 'import PIL.Image' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) return python;
  }
  return "";
}

std::string RunAndCapture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[512];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}
#endif

TEST(CanvasPngIndependentReader, PillowAndZlibReadTheCanvas) {
#ifdef _WIN32
  GTEST_SKIP() << "Python is not available under Wine";
#else
  const std::string python = PythonWithPillow();
  if (python.empty()) GTEST_SKIP() << "python3 with Pillow (python3-pil) is not installed";
  TempFolder folder;
  // 37 x 20 rows: 16 pieces of 1 or 2 rows.
  DibPtr canvas = PatternCanvas(37, 20);
  const LayerTable layers = SampleLayers();
  const auto path = folder / "canvas.png";
  ASSERT_TRUE(WriteCanvasPng(path, *canvas, &layers));

  // Pillow decodes the image; Python's zlib inflates the joined IDAT data with its Adler-32
  // check. The script prints: size, mode, five pixels with their palette colours, the stream
  // length, whether every filter byte is 0, and whether the Description matches.
  const char* script =
      "import sys, zlib, struct\n"
      "from PIL import Image\n"
      "path = sys.argv[1]\n"
      "im = Image.open(path); im.load()\n"
      "pal = im.getpalette()\n"
      "out = ['%d %d %s' % (im.size[0], im.size[1], im.mode)]\n"
      "for (x, y) in [(0, 0), (36, 0), (0, 19), (36, 19), (5, 7)]:\n"
      "    v = im.getpixel((x, y)); out.append('%d %d %d %d %d' % (x, y, v, pal[3 * v], pal[3 * v + 2]))\n"
      "data = open(path, 'rb').read(); at = 8; idat = b''\n"
      "while at < len(data):\n"
      "    n, kind = struct.unpack('>I4s', data[at:at + 8])\n"
      "    if kind == b'IDAT': idat += data[at + 8:at + 8 + n]\n"
      "    at += 12 + n\n"
      "raw = zlib.decompress(idat)\n"
      "out.append('%d %d' % (len(raw), all(raw[i * 38] == 0 for i in range(20))))\n"
      "out.append(str(im.info.get('Description') == open(sys.argv[2]).read()))\n"
      "print(';'.join(out))\n";
  WriteAll(folder / "check.py", script);
  WriteAll(folder / "layers.txt", FormatLayerTable(layers));
  const std::string output = RunAndCapture(python + " " + (folder / "check.py").string() + " " + path.string() +
                                           " " + (folder / "layers.txt").string());

  // Expected pixels from the pattern, v = (37x + 101y + (x ^ y)) mod 256, and the colour table
  // of PatternCanvas: red = 7v mod 256, blue = v.
  std::string expected = "37 20 P";
  const int points[5][2] = {{0, 0}, {36, 0}, {0, 19}, {36, 19}, {5, 7}};
  for (const auto& p : points) {
    const int v = (37 * p[0] + 101 * p[1] + (p[0] ^ p[1])) & 0xFF;
    char line[64];
    std::snprintf(line, sizeof line, ";%d %d %d %d %d", p[0], p[1], v, (7 * v) & 0xFF, v);
    expected += line;
  }
  expected += ";760 1;True\n";  // 20 rows of 1 + 37 bytes
  EXPECT_EQ(expected, output);
#endif
}

}  // namespace
