#include "files/psd_export.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "canvas/canvas_test_support.h"
#include "canvas/temp_folder_test_support.h"
#include "files/packbits.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// ---- A small PSD reader of its own --------------------------------------------------------

struct Cursor {
  const Bytes& data;
  size_t at = 0;
  bool ok = true;

  bool Need(size_t n) {
    if (at + n > data.size()) ok = false;
    return ok;
  }
  uint32_t Big(int bytes) {
    if (!Need(static_cast<size_t>(bytes))) return 0;
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | data[at++];
    return v;
  }
  uint8_t U8() { return static_cast<uint8_t>(Big(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Big(2)); }
  uint32_t U32() { return Big(4); }
  Bytes Take(size_t n) {
    if (!Need(n)) return {};
    Bytes b(data.begin() + static_cast<ptrdiff_t>(at), data.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
    return b;
  }
  std::string Tag() {
    Bytes b = Take(4);
    return std::string(b.begin(), b.end());
  }
};

// PackBits decoding; false on a code that runs past its end.
bool Unpack(const Bytes& code, Bytes& out) {
  size_t i = 0;
  while (i < code.size()) {
    const int h = static_cast<int8_t>(code[i++]);
    if (h == -128) continue;
    if (h >= 0) {
      if (i + static_cast<size_t>(h) + 1 > code.size()) return false;
      out.insert(out.end(), code.begin() + static_cast<ptrdiff_t>(i), code.begin() + static_cast<ptrdiff_t>(i) + h + 1);
      i += static_cast<size_t>(h) + 1;
    } else {
      if (i >= code.size()) return false;
      out.insert(out.end(), static_cast<size_t>(1 - h), code[i++]);
    }
  }
  return true;
}

using Plane = std::vector<std::string>;  // rows of hex bytes, top first, as in CanvasFromHex

// Reads compression 1, a table of planes x height row counts, then the rows; each row must
// decode to exactly width bytes.
std::vector<Plane> ReadPlanes(Cursor& c, int planes, int width, int height) {
  std::vector<Plane> result(static_cast<size_t>(planes));
  EXPECT_EQ(c.U16(), 1) << "compression";
  std::vector<uint16_t> counts;
  for (int i = 0; i < planes * height; ++i) counts.push_back(c.U16());
  for (int p = 0; p < planes; ++p)
    for (int y = 0; y < height; ++y) {
      Bytes row;
      EXPECT_TRUE(Unpack(c.Take(counts[static_cast<size_t>(p * height + y)]), row));
      EXPECT_EQ(row.size(), static_cast<size_t>(width)) << "plane " << p << " row " << y;
      std::string text;
      for (size_t x = 0; x < row.size(); ++x) {
        char cell[4];
        std::snprintf(cell, sizeof cell, x ? " %02X" : "%02X", row[x]);
        text += cell;
      }
      result[static_cast<size_t>(p)].push_back(text);
    }
  return result;
}

struct PsdLayer {
  int32_t top, left, bottom, right;
  int channelCount;
  int16_t channelId[4];
  uint32_t channelLength[4];
  std::string blendSignature, blendKey;
  uint8_t opacity, clipping, flags, filler;
  uint32_t extraLength, maskLength, rangesLength;
  Bytes name;                 // the 12 bytes of the padded Pascal string
  Bytes rawChannel[4];        // channel data as stored
  std::vector<Plane> channel; // decoded: transparency, red, green, blue
};

struct PsdFile {
  Bytes header;               // the first 26 bytes
  uint32_t colourModeLength, resourcesLength, layerMaskLength, layerInfoLength;
  int16_t layerCount;
  std::vector<PsdLayer> layers;
  std::vector<Plane> merged;  // red, green, blue
  size_t channelDataSize;     // N
  bool endsAfterMerged;
};

PsdFile ReadPsd(const Bytes& data, int width, int height) {
  PsdFile f{};
  Cursor c{data};
  f.header = c.Take(26);
  f.colourModeLength = c.U32();
  f.resourcesLength = c.U32();
  f.layerMaskLength = c.U32();
  f.layerInfoLength = c.U32();
  f.layerCount = static_cast<int16_t>(c.U16());
  for (int i = 0; i < f.layerCount && c.ok; ++i) {
    PsdLayer l{};
    l.top = static_cast<int32_t>(c.U32());
    l.left = static_cast<int32_t>(c.U32());
    l.bottom = static_cast<int32_t>(c.U32());
    l.right = static_cast<int32_t>(c.U32());
    l.channelCount = c.U16();
    EXPECT_EQ(l.channelCount, 4);
    for (int ch = 0; ch < 4; ++ch) {
      l.channelId[ch] = static_cast<int16_t>(c.U16());
      l.channelLength[ch] = c.U32();
    }
    l.blendSignature = c.Tag();
    l.blendKey = c.Tag();
    l.opacity = c.U8();
    l.clipping = c.U8();
    l.flags = c.U8();
    l.filler = c.U8();
    l.extraLength = c.U32();
    l.maskLength = c.U32();
    l.rangesLength = c.U32();
    l.name = c.Take(12);
    f.layers.push_back(l);
  }
  const size_t channelStart = c.at;
  for (PsdLayer& l : f.layers)
    for (int ch = 0; ch < 4 && c.ok; ++ch) {
      const size_t start = c.at;
      l.channel.push_back(ReadPlanes(c, 1, width, height)[0]);
      EXPECT_EQ(c.at - start, l.channelLength[ch]) << "stored length of channel " << ch;
      l.rawChannel[ch] = Bytes(data.begin() + static_cast<ptrdiff_t>(start), data.begin() + static_cast<ptrdiff_t>(c.at));
    }
  f.channelDataSize = c.at - channelStart;
  f.merged = ReadPlanes(c, 3, width, height);
  f.endsAfterMerged = c.ok && c.at == data.size();
  EXPECT_TRUE(c.ok) << "file ends early";
  return f;
}

Bytes LayerName(char digit) { return {9, 0x83, 0x8C, 0x83, 0x43, 0x83, 0x84, 0x81, 0x5B, static_cast<uint8_t>(digit), 0, 0}; }

// ---- The sample canvas ---------------------------------------------------------------------

// 5 x 3. Bit k = 0 means layer k is painted:
//   FE = layer 0; FD = layer 1; F6 = layers 0 and 3; FB = layer 2; F7 = layer 3;
//   00 = all eight; FC = layers 0 and 1.
DibPtr SampleCanvas() {
  DibPtr canvas = CanvasFromHex({"FE FF FD FF F6",
                                 "FF FF FF FF FF",
                                 "FB F7 FF 00 FC"});
  // A made-up colour table, so the merged image shows which entry each pixel used:
  // entry i = red i, green 255 - i, blue i ^ 0x5A.
  for (int i = 0; i < 256; ++i)
    canvas->colours[i] = {static_cast<uint8_t>(i ^ 0x5A), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i), 0};
  return canvas;
}

// From the defaults (all multiply, orders 0..7): layer 3 moves to the bottom in add mode at
// opacity 128 and layer 0 takes its place 3; layer 1 is hidden; layer 2 is clipped; layer 7
// is pure red and paints only the 00 pixel; the paper is 0xF0E0D0.
LayerTable SampleLayers() {
  LayerTable t = DefaultLayerTable();
  t.rows[3].order = 0;
  t.rows[3].blendMode = kBlendAdd;
  t.rows[3].opacity = 128;
  t.rows[0].order = 3;
  t.rows[1].visible = 0;
  t.rows[2].clipped = 1;
  t.rows[2].blendMode = kBlendNormal;
  t.rows[7].colour = 0x0000FF;
  t.rows[kPaperRow].colour = 0xF0E0D0;
  return t;
}

// Exports a canvas into a temporary folder and reads the document back.
PsdFile ExportAndRead(const TempFolder& dir, const char* name, const DibBitmap& canvas, const LayerTable& layers) {
  const fs::path out = dir / name;
  EXPECT_EQ(ExportPsd(out, canvas, layers), PsdExportFailure::kNone);
  const std::string data = ReadAll(out);
  return ReadPsd(Bytes(data.begin(), data.end()), DibWidth(canvas), DibHeight(canvas));
}

// The sample canvas and layers, exported as "sample.psd".
struct SamplePsd : ::testing::Test {
  TempFolder dir;
  PsdFile f = ExportAndRead(dir, "sample.psd", *SampleCanvas(), SampleLayers());
};

}  // namespace

TEST_F(SamplePsd, HeaderAndLengthsAreFixedByTheCanvasSize) {
  // "8BPS", version 1, 6 reserved zeros, 3 channels, height 3, width 5, depth 8, mode 3 (RGB).
  EXPECT_EQ(f.header, (Bytes{'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0, 5, 0, 8, 0, 3}));
  EXPECT_EQ(f.colourModeLength, 0u);
  EXPECT_EQ(f.resourcesLength, 0u);
  // 704 = count (2) + 9 records of 78; 708 adds the layer info length itself.
  EXPECT_EQ(f.layerInfoLength, 704u + f.channelDataSize);
  EXPECT_EQ(f.layerMaskLength, 708u + f.channelDataSize);
  EXPECT_EQ(f.layerCount, 9);
  EXPECT_TRUE(f.endsAfterMerged);
  // Nothing but the document is left in the folder.
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"sample.psd"});
}

TEST_F(SamplePsd, RecordsArePaperThenLayersByStackPosition) {
  ASSERT_EQ(f.layers.size(), 9u);

  // Stack bottom to top: layer 3 (order 0), 1, 2, 0 (order 3), 4, 5, 6, 7.
  struct Expected {
    const char* key;
    int opacity, clipping;
  };
  const Expected expected[9] = {
      {"norm", 255, 0},  // paper
      {"lddg", 128, 0},  // layer 3: add
      {"mul ", 255, 0},  // layer 1: hidden, still exported visible
      {"norm", 255, 1},  // layer 2: normal, clipped
      {"mul ", 255, 0},  // layer 0
      {"mul ", 255, 0}, {"mul ", 255, 0}, {"mul ", 255, 0}, {"mul ", 255, 0},  // layers 4..7
  };
  for (int r = 0; r < 9; ++r) {
    SCOPED_TRACE("record " + std::to_string(r));
    const PsdLayer& l = f.layers[static_cast<size_t>(r)];
    EXPECT_EQ(l.top, 0);
    EXPECT_EQ(l.left, 0);
    EXPECT_EQ(l.bottom, 3);
    EXPECT_EQ(l.right, 5);
    EXPECT_EQ(l.channelId[0], -1);
    EXPECT_EQ(l.channelId[1], 0);
    EXPECT_EQ(l.channelId[2], 1);
    EXPECT_EQ(l.channelId[3], 2);
    EXPECT_EQ(l.blendSignature, "8BIM");
    EXPECT_EQ(l.blendKey, expected[r].key);
    EXPECT_EQ(l.opacity, expected[r].opacity);
    EXPECT_EQ(l.clipping, expected[r].clipping);
    EXPECT_EQ(l.flags, 0);
    EXPECT_EQ(l.filler, 0);
    EXPECT_EQ(l.extraLength, 20u);
    EXPECT_EQ(l.maskLength, 0u);
    EXPECT_EQ(l.rangesLength, 0u);
    EXPECT_EQ(l.name, LayerName(static_cast<char>('1' + r)));
  }
}

TEST_F(SamplePsd, ChannelsHoldEachLayerInItsColour) {
  ASSERT_EQ(f.layers.size(), 9u);

  const Plane all00 = {"00 00 00 00 00", "00 00 00 00 00", "00 00 00 00 00"};
  const Plane allFF = {"FF FF FF FF FF", "FF FF FF FF FF", "FF FF FF FF FF"};
  // Paper: opaque, its colour everywhere (0xF0E0D0: red D0, green E0, blue F0).
  EXPECT_EQ(f.layers[0].channel[0], allFF);
  EXPECT_EQ(f.layers[0].channel[1], (Plane{"D0 D0 D0 D0 D0", "D0 D0 D0 D0 D0", "D0 D0 D0 D0 D0"}));
  EXPECT_EQ(f.layers[0].channel[3], (Plane{"F0 F0 F0 F0 F0", "F0 F0 F0 F0 F0", "F0 F0 F0 F0 F0"}));
  // Each paper row is a run of five FF (header 1 - 5 = FC): compression 1, counts 2 2 2, rows.
  EXPECT_EQ(f.layers[0].rawChannel[0], (Bytes{0, 1, 0, 2, 0, 2, 0, 2, 0xFC, 0xFF, 0xFC, 0xFF, 0xFC, 0xFF}));

  // Record 1, layer 3 (bit 3 = 0 in F6, F7, 00), colour 0xD2D87B: red 7B, green D8, blue D2.
  EXPECT_EQ(f.layers[1].channel[0], (Plane{"00 00 00 00 FF", "00 00 00 00 00", "00 FF 00 FF 00"}));
  EXPECT_EQ(f.layers[1].channel[1], (Plane{"FF FF FF FF 7B", "FF FF FF FF FF", "FF 7B FF 7B FF"}));
  EXPECT_EQ(f.layers[1].channel[2], (Plane{"FF FF FF FF D8", "FF FF FF FF FF", "FF D8 FF D8 FF"}));
  EXPECT_EQ(f.layers[1].channel[3], (Plane{"FF FF FF FF D2", "FF FF FF FF FF", "FF D2 FF D2 FF"}));
  // Its transparency as stored: row 0 is a run of four 00 (FD 00) and a lone FF (00 FF);
  // row 1 a run of five (FC 00); row 2 a literal of five (04 ...). Counts 4, 2, 6.
  EXPECT_EQ(f.layers[1].rawChannel[0], (Bytes{0, 1, 0, 4, 0, 2, 0, 6, 0xFD, 0, 0x00, 0xFF, 0xFC, 0, 0x04, 0, 0xFF, 0,
                                              0xFF, 0}));

  // Record 2, layer 1 (hidden; FD, 00, FC), colour 0xCC4747: red 47, blue CC.
  EXPECT_EQ(f.layers[2].channel[0], (Plane{"00 00 FF 00 00", "00 00 00 00 00", "00 00 00 FF FF"}));
  EXPECT_EQ(f.layers[2].channel[3], (Plane{"FF FF CC FF FF", "FF FF FF FF FF", "FF FF FF CC CC"}));
  // Record 3, layer 2 (FB, 00), colour 0x60A559: green A5.
  EXPECT_EQ(f.layers[3].channel[0], (Plane{"00 00 00 00 00", "00 00 00 00 00", "FF 00 00 FF 00"}));
  EXPECT_EQ(f.layers[3].channel[2], (Plane{"FF FF FF FF FF", "FF FF FF FF FF", "A5 FF FF A5 FF"}));
  // Record 4, layer 0 (FE, F6, 00, FC), black.
  EXPECT_EQ(f.layers[4].channel[0], (Plane{"FF 00 00 00 FF", "00 00 00 00 00", "00 00 00 FF FF"}));
  EXPECT_EQ(f.layers[4].channel[1], (Plane{"00 FF FF FF 00", "FF FF FF FF FF", "FF FF FF 00 00"}));
  // Record 8, layer 7: only the 00 pixel; pure red, so its red channel is FF painted or not.
  EXPECT_EQ(f.layers[8].channel[0], (Plane{"00 00 00 00 00", "00 00 00 00 00", "00 00 00 FF 00"}));
  EXPECT_EQ(f.layers[8].channel[1], allFF);
  EXPECT_EQ(f.layers[8].channel[2], (Plane{"FF FF FF FF FF", "FF FF FF FF FF", "FF FF FF 00 FF"}));
}

TEST(PsdExport, AnEmptyLayerIsTransparentAndWhite) {
  TempFolder dir;
  const PsdFile f = ExportAndRead(dir, "blank.psd", *CanvasFromHex({"FF FF", "FF FF"}), DefaultLayerTable());
  ASSERT_EQ(f.layers.size(), 9u);
  for (int r = 1; r < 9; ++r) {
    EXPECT_EQ(f.layers[static_cast<size_t>(r)].channel[0], (Plane{"00 00", "00 00"}));
    for (int ch = 1; ch < 4; ++ch) EXPECT_EQ(f.layers[static_cast<size_t>(r)].channel[ch], (Plane{"FF FF", "FF FF"}));
  }
}

TEST_F(SamplePsd, MergedImageIsEachPixelsColourTableEntry) {
  ASSERT_EQ(f.merged.size(), 3u);
  // Entry i is red i, green 255 - i, blue i ^ 5A (FE ^ 5A = A4, FD ^ 5A = A7, F6 ^ 5A = AC ...).
  EXPECT_EQ(f.merged[0], (Plane{"FE FF FD FF F6", "FF FF FF FF FF", "FB F7 FF 00 FC"}));
  EXPECT_EQ(f.merged[1], (Plane{"01 00 02 00 09", "00 00 00 00 00", "04 08 00 FF 03"}));
  EXPECT_EQ(f.merged[2], (Plane{"A4 A5 A7 A5 AC", "A5 A5 A5 A5 A5", "A1 AD A5 5A A6"}));
}

TEST(PsdExport, WideRandomCanvasDecodesToItsLayers) {
  // 300 wide, so rows need runs of 128 and full literals; random orders and settings.
  std::mt19937 random(7);
  const int width = 300, height = 9;
  DibPtr canvas(CreateDibBitmap(8, nullptr, 0, width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      DibRow(*canvas, y)[x] = y % 3 == 0 ? static_cast<uint8_t>(random()) : static_cast<uint8_t>(0xF0 | (x / 50));
  LayerTable layers = DefaultLayerTable();
  int orders[8] = {5, 2, 7, 0, 1, 6, 3, 4};
  for (int k = 0; k < 8; ++k) {
    layers.rows[k].order = orders[k];
    layers.rows[k].colour = random() & 0xFFFFFF;
  }
  TempFolder dir;
  const PsdFile f = ExportAndRead(dir, "wide.psd", *canvas, layers);
  ASSERT_EQ(f.layers.size(), 9u);
  EXPECT_TRUE(f.endsAfterMerged);
  for (int k = 0; k < 8; ++k) {
    const PsdLayer& l = f.layers[static_cast<size_t>(orders[k] + 1)];
    for (int y = 0; y < height; ++y) {
      Bytes alpha, green;
      for (int x = 0; x < width; ++x) {
        const bool painted = ((DibRow(*canvas, y)[x] >> k) & 1) == 0;
        alpha.push_back(painted ? 0xFF : 0x00);
        green.push_back(painted ? static_cast<uint8_t>(layers.rows[k].colour >> 8) : 0xFF);
      }
      DibPtr a = CanvasFromHex({l.channel[0][static_cast<size_t>(y)]});
      DibPtr g = CanvasFromHex({l.channel[2][static_cast<size_t>(y)]});
      ASSERT_EQ(Bytes(DibRow(*a, 0), DibRow(*a, 0) + width), alpha) << "layer " << k << " row " << y;
      ASSERT_EQ(Bytes(DibRow(*g, 0), DibRow(*g, 0) + width), green) << "layer " << k << " row " << y;
    }
  }
}

TEST(PsdExport, FailuresAreReportedAndLeaveNoFile) {
  TempFolder dir;
  DibPtr canvas = SampleCanvas();

  // A folder that does not exist: reported, nothing created.
  const fs::path missing = dir.path / "no such folder" / "out.psd";
  EXPECT_EQ(ExportPsd(missing, *canvas, SampleLayers()), PsdExportFailure::kCannotCreate);
  EXPECT_FALSE(fs::exists(missing.parent_path()));

  // Wider than a version 1 document allows: refused, the old file stays as it was.
  const fs::path existing = dir.path / "old.psd";
  WriteAll(existing, "old contents");
  DibPtr wide(CreateDibBitmap(8, nullptr, 0, kPsdMaxSide + 1, 1));
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(ExportPsd(existing, *wide, DefaultLayerTable()), PsdExportFailure::kTooLarge);

  // Not a canvas: a 1-bit bitmap is refused.
  DibPtr mask(CreateDibBitmap(1, nullptr, 0, 4, 4));
  EXPECT_EQ(ExportPsd(existing, *mask, DefaultLayerTable()), PsdExportFailure::kNotEightBit);

  EXPECT_EQ(ReadAll(existing), "old contents");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"old.psd"});

  // A good export replaces it.
  EXPECT_EQ(ExportPsd(existing, *canvas, SampleLayers()), PsdExportFailure::kNone);
  EXPECT_EQ(ReadAll(existing)[0], '8');
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"old.psd"});
}

#ifndef _WIN32
// A reader that is not ours: Pillow, when the system Python has it, must open the document,
// list nine layers named "レイヤー1".."レイヤー9" (as Latin-1 bytes) covering the canvas, and
// decode the merged image; that also checks the layer section's length, which Pillow skips by.
TEST(PsdExport, PillowReadsTheDocument) {
  if (std::system("/usr/bin/python3 -c 'import PIL.PsdImagePlugin' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "no Pillow for /usr/bin/python3";
  TempFolder dir;
  DibPtr canvas = SampleCanvas();
  const fs::path psd = dir.path / "sample.psd";
  const fs::path report = dir.path / "report.txt";
  ASSERT_EQ(ExportPsd(psd, *canvas, SampleLayers()), PsdExportFailure::kNone);
  const std::string script =
      "import sys\n"
      "from PIL import Image\n"
      "im = Image.open(sys.argv[1])\n"
      "out = open(sys.argv[2], 'w')\n"
      "print(im.format, im.mode, im.size[0], im.size[1], len(im.layers), file=out)\n"
      "for name, mode, bbox, tile in im.layers:\n"
      "    print(name.encode('latin-1').hex(), mode, *bbox, file=out)\n"
      "print(' '.join('%02X%02X%02X' % im.getpixel((x, 2)) for x in range(5)), file=out)\n";
  const fs::path scriptPath = dir.Write("read.py", script);
  const std::string command =
      "/usr/bin/python3 '" + scriptPath.string() + "' '" + psd.string() + "' '" + report.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // Names in hex: the eight katakana bytes, then the digit ('1' = 0x31 ... '9' = 0x39).
  std::string expected = "PSD RGB 5 3 9\n";
  for (int r = 0; r < 9; ++r) expected += "838c83438384815b3" + std::to_string(r + 1) + " RGBA 0 0 5 3\n";
  // Bottom row FB F7 FF 00 FC through the made-up table (red i, green 255 - i, blue i ^ 5A).
  expected += "FB04A1 F708AD FF00A5 00FF5A FC03A6\n";
  EXPECT_EQ(ReadAll(report), expected);
}
#endif
