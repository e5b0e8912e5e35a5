#include "files/bmp_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/user_texts.h"
#include "canvas/canvas_test_support.h"
#include "canvas/status.h"
#include "files/atomic_file.h"
#include "canvas/temp_folder_test_support.h"
#include "files/bmp_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;

DibPtr Decode(const Bytes& file, BmpFailure* reason = nullptr) {
  return DibPtr(DecodeBmp(file.data(), file.size(), reason));
}

// The picture as rows of "RRGGBB" words, top row first.
std::vector<std::string> ColourRows(const DibBitmap& b) {
  std::vector<std::string> rows;
  std::vector<DibColour> colours(static_cast<size_t>(DibWidth(b)));
  for (int y = 0; y < DibHeight(b); ++y) {
    DibRowColours(b, y, 0, DibWidth(b), colours.data());
    std::string line;
    for (const DibColour& c : colours) {
      char cell[8];
      std::snprintf(cell, sizeof cell, line.empty() ? "%02X%02X%02X" : " %02X%02X%02X", c.red, c.green, c.blue);
      line += cell;
    }
    rows.push_back(line);
  }
  return rows;
}

// Expects a refusal whose reason, in the words the program shows, contains `word`, and no
// allocation attempted on its behalf.
void ExpectRefused(const Bytes& file, const char* word) {
  gStatusCode = 0;
  BmpFailure reason = BmpFailure::kNone;
  DibPtr image = Decode(file, &reason);
  EXPECT_FALSE(image);
  const char* text = BmpFailureText(reason);
  ASSERT_NE(text, nullptr);
  EXPECT_NE(std::string(text).find(word), std::string::npos) << text;
  EXPECT_EQ(gStatusCode, 0);
}

const DibColour kWhite{255, 255, 255, 0}, kBlack{0, 0, 0, 0};
const DibColour kRed{0, 0, 255, 0}, kGreen{0, 255, 0, 0}, kBlue{255, 0, 0, 0};

}  // namespace

// ---- Every depth, both row orders -----------------------------------------------------------

TEST(BmpReader, OneBitRowsCrossByteBoundaries) {
  // 10 x 2, index 1 black: the second byte of each row holds pixels 8 and 9.
  BmpLayout layout = MakeLayout(10, 2, 1);
  layout.palette = {kWhite, kBlack};
  layout.rows = {{0b10000001, 0b01000000},    // pixels 0, 7 and 9 black
               {0b00000000, 0b10000000}};   // pixel 8 black
  DibPtr image = Decode(MakeBmp(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(DibDepth(*image), 1);
  EXPECT_EQ(CanvasMaskText(*image), (std::vector<std::string>{"1000000101", "0000000010"}));
  EXPECT_EQ(ColourRows(*image)[0].substr(0, 13), "000000 FFFFFF");
}

TEST(BmpReader, FourBitPixelsTakeTheHighNibbleFirst) {
  // 3 x 2: an odd width leaves the low nibble of the second byte unused.
  BmpLayout layout = MakeLayout(3, 2, 4);
  layout.palette = {kBlack, kRed, kGreen, kBlue};
  layout.clrUsed = 4;
  layout.rows = {{0x12, 0x30}, {0x00, 0x10}};
  DibPtr image = Decode(MakeBmp(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(DibDepth(*image), 4);
  EXPECT_EQ(ColourRows(*image), (std::vector<std::string>{"FF0000 00FF00 0000FF", "000000 000000 FF0000"}));
}

TEST(BmpReader, EightBitWithAShortColourTable) {
  // clrUsed 3: the pixels start right after three table entries, not after 256. Index 7 has no
  // entry and reads black.
  BmpLayout layout = MakeLayout(3, 2, 8);
  layout.palette = {kWhite, kRed, kBlue};
  layout.clrUsed = 3;
  layout.rows = {{1, 0, 0}, {2, 7, 1}};
  DibPtr image = Decode(MakeBmp(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(DibDepth(*image), 8);
  EXPECT_EQ(CanvasToHex(*image), (std::vector<std::string>{"01 00 00", "02 07 01"}));
  EXPECT_EQ(ColourRows(*image), (std::vector<std::string>{"FF0000 FFFFFF FFFFFF", "0000FF 000000 FF0000"}));
}

TEST(BmpReader, TrueColourRowsArePaddedToFourBytes) {
  // 24-bit, 3 wide: 9 bytes of pixels plus 3 of padding per row.
  BmpLayout layout = MakeLayout(3, 2, 24);
  layout.rows = {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {10, 20, 30, 0, 0, 0, 255, 255, 255}};
  DibPtr image = Decode(MakeBmp(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(DibDepth(*image), 24);
  EXPECT_EQ(ColourRows(*image), (std::vector<std::string>{"FF0000 00FF00 0000FF", "1E140A 000000 FFFFFF"}));

  BmpLayout spec32 = MakeLayout(2, 1, 32);
  spec32.rows = {{1, 2, 3, 99, 255, 255, 255, 0}};
  DibPtr image32 = Decode(MakeBmp(spec32));
  ASSERT_TRUE(image32);
  EXPECT_EQ(DibDepth(*image32), 32);
  EXPECT_EQ(ColourRows(*image32), (std::vector<std::string>{"030201 FFFFFF"}));
}

TEST(BmpReader, TopDownAndBottomUpFilesGiveTheSamePicture) {
  for (int bits : {1, 8, 24}) {
    BmpLayout layout = MakeLayout(2, 3, bits);
    layout.palette = {kWhite, kBlack};
    if (bits == 1) layout.rows = {{0x80}, {0x40}, {0xC0}};
    if (bits == 8) layout.rows = {{1, 0}, {0, 1}, {1, 1}};
    if (bits == 24) layout.rows = {{0, 0, 0, 255, 255, 255}, {255, 255, 255, 0, 0, 0}, {0, 0, 0, 0, 0, 0}};
    DibPtr bottomUp = Decode(MakeBmp(layout));
    layout.topDown = true;
    DibPtr topDown = Decode(MakeBmp(layout));
    ASSERT_TRUE(bottomUp && topDown) << bits;
    EXPECT_EQ(DibHeight(*topDown), 3);
    // Black, white / white, black / black, black, top row first.
    const std::vector<std::string> expected{"000000 FFFFFF", "FFFFFF 000000", "000000 000000"};
    EXPECT_EQ(ColourRows(*bottomUp), expected) << bits;
    EXPECT_EQ(ColourRows(*topDown), expected) << bits;
  }
}

TEST(BmpReader, CoreHeaderFilesHaveThreeByteColours) {
  BmpLayout layout = MakeLayout(2, 1, 8);
  layout.core = true;
  layout.palette = {kRed, kGreen};
  layout.rows = {{1, 0}};
  DibPtr image = Decode(MakeBmp(layout));
  ASSERT_TRUE(image);
  EXPECT_EQ(ColourRows(*image), (std::vector<std::string>{"00FF00 FF0000"}));
}

TEST(BmpReader, ThirtyTwoBitFieldsAreScaledToBytes) {
  // Masks in red, green, blue order: red in the low byte, blue in bits 16..25 (10 bits).
  // Blue 1023 is full scale; 512 scales to (512 * 255 + 511) / 1023 = 128.
  BmpLayout layout = MakeLayout(2, 1, 32);
  layout.compression = 3;
  layout.masks = {0x000000FF, 0x0000FF00, 0x03FF0000};
  auto pixel = [](uint32_t v) { return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; };
  std::vector<uint8_t> row = pixel(0x03FF0011);
  std::vector<uint8_t> second = pixel(0x0200FF00);
  row.insert(row.end(), second.begin(), second.end());
  layout.rows = {row};
  for (bool masksInHeader : {false, true}) {
    layout.masksInHeader = masksInHeader;
    DibPtr image = Decode(MakeBmp(layout));
    ASSERT_TRUE(image) << masksInHeader;
    EXPECT_EQ(DibDepth(*image), 32);
    EXPECT_EQ(ColourRows(*image), (std::vector<std::string>{"1100FF 00FF80"})) << masksInHeader;
  }
  layout.masks = {0x000000FF, 0x0000F0F0, 0x00FF0000};  // green's bits are not contiguous
  ExpectRefused(MakeBmp(layout), "mask");
}

// ---- Refusals: nothing is allocated for a file that cannot hold what it claims ---------------

TEST(BmpReader, RefusesCompressedAndSixteenBitFiles) {
  BmpLayout layout = MakeLayout(2, 2, 8);
  layout.palette = {kWhite, kBlack};
  layout.rows = {{0, 1}, {1, 0}};
  layout.compression = 1;
  ExpectRefused(MakeBmp(layout), "RLE");
  layout.bits = 4;
  layout.compression = 2;
  ExpectRefused(MakeBmp(layout), "RLE");
  layout.bits = 8;
  layout.compression = 4;
  ExpectRefused(MakeBmp(layout), "JPEG");
  layout.compression = 9;
  ExpectRefused(MakeBmp(layout), "compression");
  BmpLayout sixteen = MakeLayout(2, 1, 16);
  sixteen.rows = {{0, 0, 0, 0}};
  ExpectRefused(MakeBmp(sixteen), "16-bit");
  sixteen.bits = 7;
  ExpectRefused(MakeBmp(sixteen), "bits");
}

TEST(BmpReader, RefusesTruncatedFiles) {
  BmpLayout layout = MakeLayout(3, 2, 24);
  layout.rows = {{0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0}};
  Bytes file = MakeBmp(layout);
  ASSERT_TRUE(Decode(file));
  // One byte short of the second row's padding is already short: rows are read whole.
  ExpectRefused(Bytes(file.begin(), file.end() - 1), "truncated");
  ExpectRefused(Bytes(file.begin(), file.begin() + 30), "truncated");  // inside the header
  ExpectRefused(Bytes(file.begin(), file.begin() + 10), "short");
  ExpectRefused(Bytes{'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "not a BMP");
}

TEST(BmpReader, RefusesSizesTheFileCannotHold) {
  BmpLayout layout = MakeLayout(1, 1, 32);
  layout.rows = {{0, 0, 0, 0}};
  // Huge dimensions over four bytes of pixels: refused as truncated, never allocated.
  layout.width = std::numeric_limits<int32_t>::max();
  layout.height = std::numeric_limits<int32_t>::max();
  ExpectRefused(MakeBmp(layout), "");
  layout.width = 1;
  layout.height = 0x40000000;
  ExpectRefused(MakeBmp(layout), "truncated");
  layout.height = std::numeric_limits<int32_t>::min();  // top-down with no positive height
  ExpectRefused(MakeBmp(layout), "height");
  layout.height = 0;
  ExpectRefused(MakeBmp(layout), "height");
  layout.height = 1;
  layout.width = 0;
  ExpectRefused(MakeBmp(layout), "width");
  layout.width = -4;
  ExpectRefused(MakeBmp(layout), "width");
}

TEST(BmpReader, RefusesBadColourCountsAndOffsets) {
  BmpLayout layout = MakeLayout(2, 1, 8);
  layout.palette = {kWhite, kBlack};
  layout.rows = {{0, 1}};
  layout.clrUsed = 257;
  ExpectRefused(MakeBmp(layout), "colours");
  layout.clrUsed = 0xFFFFFFFF;
  ExpectRefused(MakeBmp(layout), "colours");
  layout.clrUsed = 2;
  Bytes file = MakeBmp(layout);
  ASSERT_TRUE(Decode(file));
  auto withOffset = [&](uint32_t offset) {
    Bytes f(file.begin(), file.begin() + 10);
    PutU32(f, offset);
    f.insert(f.end(), file.begin() + 14, file.end());
    return f;
  };
  ExpectRefused(withOffset(20), "header");         // inside the info header
  ExpectRefused(withOffset(0), "header");
  ExpectRefused(withOffset(0x7FFFFFFF), "beyond");
  // A header length beyond the file, or one no BMP uses.
  Bytes longHeader = file;
  longHeader[14] = 0xFF;
  longHeader[17] = 0x7F;
  ExpectRefused(longHeader, "truncated");
  Bytes oddHeader = file;
  oddHeader[14] = 20;
  ExpectRefused(oddHeader, "header");
}

TEST(BmpReader, ReadsFilesAndReportsMissingOnes) {
  TempFolder dir;
  const auto& folder = dir.path;
  BmpLayout layout = MakeLayout(2, 1, 8);
  layout.palette = {kWhite, kBlack};
  layout.rows = {{1, 0}};
  const Bytes bytes = MakeBmp(layout);
  const auto path = dir.Write("t.bmp", std::string(bytes.begin(), bytes.end()));
  BmpFailure reason = BmpFailure::kCannotRead;
  DibPtr image(ReadBmpFile(path, &reason));
  ASSERT_TRUE(image);
  EXPECT_EQ(reason, BmpFailure::kNone);
  EXPECT_EQ(ColourRows(*image), (std::vector<std::string>{"000000 FFFFFF"}));
  DibPtr missing(ReadBmpFile(folder / "missing.bmp", &reason));
  EXPECT_FALSE(missing);
  EXPECT_EQ(reason, BmpFailure::kCannotOpen);
  DibPtr folderItself(ReadBmpFile(folder, &reason));
  EXPECT_FALSE(folderItself);
}

// The clipboard's packed bitmaps: a file's bytes without its 14-byte file header.
TEST(BmpReader, PackedBitmapsAreCheckedBeforeTheSystemDrawsThem) {
  auto packed = [](const BmpLayout& layout) {
    const Bytes file = MakeBmp(layout);
    return Bytes(file.begin() + 14, file.end());
  };
  BmpLayout eight = MakeLayout(3, 2, 8);
  eight.palette = {kWhite, kBlack};
  eight.clrUsed = 2;
  eight.rows = {{0, 1, 0}, {1, 0, 1}};
  BmpLayout fields = MakeLayout(2, 2, 32);
  fields.compression = 3;
  fields.masks = {0xFF0000, 0xFF00, 0xFF};
  fields.rows = {Bytes(8, 0), Bytes(8, 0)};
  BmpLayout sixteen = MakeLayout(3, 1, 16);
  sixteen.rows = {Bytes(6, 0)};
  BmpLayout oneBit = MakeLayout(40, 3, 1);  // no colour count given: two entries
  oneBit.palette = {kBlack, kWhite};
  oneBit.rows = {Bytes(5, 0), Bytes(5, 0), Bytes(5, 0)};
  // Pixels start after the 40-byte header, the masks (12 bytes) and the colours (4 bytes each).
  const struct {
    const BmpLayout& layout;
    uint64_t offset;
  } accepted[] = {{eight, 48}, {fields, 52}, {sixteen, 40}, {oneBit, 48}};
  for (const auto& a : accepted) {
    const Bytes dib = packed(a.layout);
    uint64_t offset = 0;
    EXPECT_EQ(CheckPackedDib(dib.data(), dib.size(), &offset), BmpFailure::kNone) << a.layout.bits;
    EXPECT_EQ(offset, a.offset) << a.layout.bits;
    // One byte short of the last row's padding is short: the system would read past the end.
    EXPECT_EQ(CheckPackedDib(dib.data(), dib.size() - 1, &offset), BmpFailure::kPixelsTruncated) << a.layout.bits;
  }

  auto refusal = [&](BmpLayout layout, auto change) {
    change(layout);
    const Bytes dib = packed(layout);
    uint64_t offset = 0;
    return CheckPackedDib(dib.data(), dib.size(), &offset);
  };
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.width = 0x7FFFFFFF; }), BmpFailure::kTooWide);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.width = 1 << 20; }), BmpFailure::kPixelsTruncated);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.height = 1 << 30; }), BmpFailure::kPixelsTruncated);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.width = -3; }), BmpFailure::kBadWidth);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.clrUsed = 257; }), BmpFailure::kTooManyColours);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.clrUsed = 200; }), BmpFailure::kPixelOffsetBeyondEnd);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.compression = 1; }), BmpFailure::kRleCompressed);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.bits = 7; }), BmpFailure::kUnsupportedBits);
  EXPECT_EQ(refusal(eight, [](BmpLayout& l) { l.compression = 3; }), BmpFailure::kBitFieldsNot32);
  uint64_t offset = 0;
  const Bytes core = packed([] {
    BmpLayout l = MakeLayout(1, 1, 24);
    l.core = true;
    l.rows = {Bytes(3, 0)};
    return l;
  }());
  EXPECT_EQ(CheckPackedDib(core.data(), core.size(), &offset), BmpFailure::kTooShort);
  const Bytes header = packed(eight);
  EXPECT_EQ(CheckPackedDib(header.data(), 39, &offset), BmpFailure::kTooShort);
}
