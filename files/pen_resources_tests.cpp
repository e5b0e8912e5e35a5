#include "files/pen_resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brush/paper_grain.h"
#include "canvas/canvas_test_support.h"
#include "canvas/temp_folder_test_support.h"
#include "files/bmp_test_support.h"

namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

// A user data folder with its "texture" and "material" subfolders, removed afterwards.
struct UserDataFolder : TempFolder {
  UserDataFolder() {
    fs::create_directories(path / "texture");
    fs::create_directories(path / "material");
  }
};

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) { WriteAll(path, std::string(bytes.begin(), bytes.end())); }

// 24-bit pixels of one colour each.
std::vector<uint8_t> Pixels24(const std::vector<DibColour>& colours) {
  std::vector<uint8_t> row;
  for (const DibColour& c : colours) row.insert(row.end(), {c.blue, c.green, c.red});
  return row;
}

const DibColour kWhite{255, 255, 255, 0}, kBlack{0, 0, 0, 0};


}  // namespace

// ---- Textures: 1 where black, widened to a multiple of 32 -----------------------------------

TEST(PenResources, A24PixelTextureBecomesFourCopies96Wide) {
  // 24 x 24, 1-bit, index 1 black: the diagonal x = y is black, and so is x = 23 in the top row
  // (so a flipped or shifted copy shows). 24 = 3 * 8 has three trailing zero bits: doubled
  // twice, 96 wide, copies at x = 0, 24, 48, 72.
  UserDataFolder folder;
  BmpLayout layout = MakeLayout(24, 24, 1);
  layout.palette = {kWhite, kBlack};
  Rows expected;
  for (int y = 0; y < 24; ++y) {
    uint32_t bits = 0x800000u >> y;  // pixel y, most significant bit first
    if (y == 0) bits |= 1;           // pixel 23
    layout.rows.push_back({uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits)});
    std::string copy(24, '0');
    copy[static_cast<size_t>(y)] = '1';
    if (y == 0) copy[23] = '1';
    expected.push_back(copy + copy + copy + copy);
  }
  WriteBytes(folder.path / "texture" / "diagonal.bmp", MakeBmp(layout));
  DibPtr texture(LoadTexture(folder.path, "diagonal.bmp"));
  ASSERT_TRUE(texture);
  EXPECT_EQ(DibDepth(*texture), 8);
  EXPECT_EQ(DibWidth(*texture), 96);
  EXPECT_EQ(DibHeight(*texture), 24);
  EXPECT_EQ(TexelRows(*texture), expected);
}

TEST(PenResources, TextureColoursMapToTheNearerOfBlackAndWhite) {
  // A 33-pixel 24-bit row: 33 is odd, so 32 copies, 1056 wide. Red + green + blue below 383 is
  // black: (127, 128, 127) sums to 382 and is black, (128, 127, 128) sums to 383 and is white,
  // pure red (255) is black, (0, 200, 200) (400) is white.
  UserDataFolder folder;
  std::vector<DibColour> colours(33, kWhite);
  colours[0] = {127, 128, 127, 0};
  colours[1] = {128, 127, 128, 0};
  colours[2] = {0, 0, 255, 0};
  colours[3] = {200, 200, 0, 0};
  colours[32] = kBlack;
  BmpLayout layout = MakeLayout(33, 1, 24);
  layout.rows = {Pixels24(colours)};
  WriteBytes(folder.path / "texture" / "grey.bmp", MakeBmp(layout));
  DibPtr texture(LoadTexture(folder.path, "grey.bmp"));
  ASSERT_TRUE(texture);
  EXPECT_EQ(DibWidth(*texture), 1056);
  std::string copy = "1010" + std::string(28, '0') + "1";
  std::string row;
  for (int i = 0; i < 32; ++i) row += copy;
  EXPECT_EQ(TexelRows(*texture), Rows{row});
  // Colour table: entry 0 white, every other entry black.
  EXPECT_EQ(texture->colours[0].red + texture->colours[0].green + texture->colours[0].blue, 765);
  EXPECT_EQ(texture->colours[1].red + texture->colours[1].green + texture->colours[1].blue, 0);
  EXPECT_EQ(texture->colours[200].red + texture->colours[200].green + texture->colours[200].blue, 0);
}

TEST(PenResources, AMissingOrBrokenTextureIsNone) {
  UserDataFolder folder;
  EXPECT_FALSE(DibPtr(LoadTexture(folder.path, "missing.bmp")));
  WriteBytes(folder.path / "texture" / "broken.bmp", {'B', 'M', 1, 2, 3});
  EXPECT_FALSE(DibPtr(LoadTexture(folder.path, "broken.bmp")));
  EXPECT_EQ(TexturePath(folder.path, "a.bmp"), folder.path / "texture" / "a.bmp");
}

// ---- Materials: 512 x 512 grey, whatever the file's size --------------------------------------

TEST(PenResources, ASmallMaterialFillsOnlyTheTopLeft) {
  // 256 x 256, 24-bit, every pixel (10, 20, 31): the nearest grey is the rounded mean,
  // 61 / 3 = 20.3 -> 20. The top-left pixel (0, 0, 2) has mean 0.67 -> 1 and the bottom-right
  // one is white -> 255. Everything outside the top-left quarter stays 0.
  UserDataFolder folder;
  BmpLayout layout = MakeLayout(256, 256, 24);
  for (int y = 0; y < 256; ++y) {
    std::vector<DibColour> colours(256, DibColour{31, 20, 10, 0});
    if (y == 0) colours[0] = {2, 0, 0, 0};
    if (y == 255) colours[255] = kWhite;
    layout.rows.push_back(Pixels24(colours));
  }
  WriteBytes(folder.path / "material" / "small.bmp", MakeBmp(layout));
  DibPtr material(LoadMaterial(folder.path, "small.bmp"));
  ASSERT_TRUE(material);
  EXPECT_TRUE(IsPaperGrain(material.get()));
  EXPECT_EQ(DibRow(*material, 0)[0], 1);
  EXPECT_EQ(DibRow(*material, 0)[1], 20);
  EXPECT_EQ(DibRow(*material, 128)[200], 20);
  EXPECT_EQ(DibRow(*material, 255)[255], 255);
  EXPECT_EQ(DibRow(*material, 0)[256], 0);
  EXPECT_EQ(DibRow(*material, 256)[0], 0);
  EXPECT_EQ(DibRow(*material, 511)[511], 0);
  int painted = 0;
  for (int y = 0; y < 512; ++y)
    for (int x = 0; x < 512; ++x) painted += DibRow(*material, y)[x] != 0;
  EXPECT_EQ(painted, 256 * 256);
  // Grey ramp: entry i is (i, i, i).
  EXPECT_EQ(material->colours[100].red, 100);
  EXPECT_EQ(material->colours[100].green, 100);
  EXPECT_EQ(material->colours[100].blue, 100);
}

TEST(PenResources, ALargeMaterialIsCutToItsTopLeft512) {
  // 600 x 520, 8-bit: index 0 is grey 90, index 1 pure blue (mean 85). Index 1 stands at (511, 0),
  // just inside the cut, and at (512, 0) and (0, 519), outside it.
  UserDataFolder folder;
  BmpLayout layout = MakeLayout(600, 520, 8);
  layout.palette = {{90, 90, 90, 0}, {255, 0, 0, 0}};
  layout.clrUsed = 2;
  for (int y = 0; y < 520; ++y) {
    std::vector<uint8_t> row(600, 0);
    if (y == 0) row[511] = row[512] = 1;
    if (y == 519) row[0] = 1;
    layout.rows.push_back(row);
  }
  WriteBytes(folder.path / "material" / "large.bmp", MakeBmp(layout));
  DibPtr material(LoadMaterial(folder.path, "large.bmp"));
  ASSERT_TRUE(material);
  EXPECT_TRUE(IsPaperGrain(material.get()));
  EXPECT_EQ(CountValue(*material, 85), 1);
  EXPECT_EQ(DibRow(*material, 0)[511], 85);
  EXPECT_EQ(CountValue(*material, 90), 512 * 512 - 1);
}

TEST(PenResources, AMissingMaterialIsAMapOfZeros) {
  UserDataFolder folder;
  DibPtr material(LoadMaterial(folder.path, "none.bmp"));
  ASSERT_TRUE(material);
  EXPECT_TRUE(IsPaperGrain(material.get()));
  for (int y = 0; y < 512; y += 37) EXPECT_EQ(DibRow(*material, y)[y], 0);
  EXPECT_EQ(MaterialPath(folder.path, "none.bmp"), folder.path / "material" / "none.bmp");
}

// ---- Stamps ------------------------------------------------------------------------------

TEST(PenResources, StampsAreOneWhereBlackWhicheverIndexHoldsIt) {
  // 3 x 2, 1-bit with index 0 black and index 1 white: the clear bits are the black pixels.
  UserDataFolder folder;
  BmpLayout layout = MakeLayout(3, 2, 1);
  layout.palette = {kBlack, kWhite};
  layout.rows = {{0b01100000}, {0b10000000}};
  const fs::path path = folder.path / "star.bmp";
  WriteBytes(path, MakeBmp(layout));
  DibPtr stamp(LoadStamp(path));
  ASSERT_TRUE(stamp);
  EXPECT_EQ(DibDepth(*stamp), 1);
  EXPECT_EQ(CanvasMaskText(*stamp), (Rows{"100", "011"}));
  EXPECT_EQ(stamp->colours[0].red + stamp->colours[0].green + stamp->colours[0].blue, 765);
  EXPECT_EQ(stamp->colours[1].red + stamp->colours[1].green + stamp->colours[1].blue, 0);
  EXPECT_FALSE(DibPtr(LoadStamp(folder.path / "missing.bmp")));
  EXPECT_FALSE(DibPtr(LoadStamp(fs::path())));
}

TEST(PenResources, WideRowsConvertPieceByPieceWithTheSamePixels) {
  // 9000 pixels wide, white with black at the piece edges 4095, 4096 and the last column: a
  // row is converted in pieces so a 1-bit row of 2 x 10^9 pixels never needs 8 GB of colours.
  const DibColour table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  DibPtr wide(CreateDibBitmap(1, table, 2, 9000, 1));
  ASSERT_TRUE(wide);
  uint8_t* row = DibRow(*wide, 0);
  std::fill_n(row, 9000 / 8, uint8_t{0xFF});
  for (int x : {4095, 4096, 8999}) row[x >> 3] &= static_cast<uint8_t>(~(0x80 >> (x & 7)));
  DibPtr mono(ToMonochrome(*wide));
  ASSERT_TRUE(mono);
  int black = 0;
  for (int x = 0; x < 9000; ++x) black += MaskBit(DibRow(*mono, 0), x);
  EXPECT_EQ(black, 3);
  for (int x : {4095, 4096, 8999}) EXPECT_EQ(MaskBit(DibRow(*mono, 0), x), 1) << x;
}

TEST(PenResources, PenStampsThatCannotLoadAreReturnedAsAMask) {
  UserDataFolder folder;
  BmpLayout layout = MakeLayout(2, 1, 24);
  layout.rows = {Pixels24({kBlack, kWhite})};
  const fs::path good = folder.path / "dot.bmp";
  WriteBytes(good, MakeBmp(layout));
  const fs::path missingPath = folder.path / fs::path(u8"st\u00e4mp.bmp");
  const std::u16string missing = missingPath.u16string();

  std::vector<PenSetting> pens(3, PenSetting{});
  pens[0].Stamp = 1;
  const std::u16string goodName = good.u16string();
  goodName.copy(pens[0].StampFileName, goodName.size());
  pens[1].Stamp = 1;
  missing.copy(pens[1].StampFileName, missing.size());
  DibPtr untouched(CreateDibBitmap(1, nullptr, 0, 1, 1));
  pens[2].Stamp = 0;
  pens[2].stampBitmap = untouched.get();

  EXPECT_EQ(LoadPenStamps(pens.data(), 3), 0b010u);  // pen 1's stamp is missing

  ASSERT_TRUE(pens[0].stampBitmap);
  EXPECT_EQ(CanvasMaskText(*pens[0].stampBitmap), Rows{"10"});
  EXPECT_EQ(pens[1].stampBitmap, nullptr);
  EXPECT_EQ(pens[2].stampBitmap, untouched.get());
  FreeDibBitmap(pens[0].stampBitmap);
  pens[2].stampBitmap = nullptr;
}
