#include "files/pen_resources.h"

#include <algorithm>
#include <vector>

#include "brush/paper_grain.h"
#include "brush/pen_texture.h"
#include "files/bmp_reader.h"
#include "files/utf_text.h"

namespace {

struct BitmapOwner {
  DibBitmap* bitmap;
  ~BitmapOwner() { FreeDibBitmap(bitmap); }
};

// Nearer black than white: the squared distances to (0, 0, 0) and (255, 255, 255) compare as
// 2 * 255 * sum against 3 * 255 * 255, so the boundary is sum < 382.5.
bool IsBlack(const DibColour& c) { return c.red + c.green + c.blue < 383; }

// Nearest entry of the grey ramp: the mean of the channels, rounded.
uint8_t Grey(const DibColour& c) { return static_cast<uint8_t>((c.red + c.green + c.blue + 1) / 3); }

}  // namespace

std::filesystem::path TexturePath(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName) {
  return userDataFolder / "texture" / fileName;
}

std::filesystem::path MaterialPath(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName) {
  return userDataFolder / "material" / fileName;
}

DibBitmap* ToMonochrome(const DibBitmap& image) {
  const DibColour table[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  const int width = DibWidth(image), height = DibHeight(image);
  DibBitmap* mono = CreateDibBitmap(1, table, 2, width, height);
  if (!mono) return nullptr;
  // Rows are converted a piece at a time: a whole 1-bit row as colours can take gigabytes.
  constexpr int kPiece = 4096;
  DibColour colours[kPiece];
  for (int y = 0; y < height; ++y) {
    uint8_t* out = DibRow(*mono, y);  // zero-filled: only black pixels set their bit
    for (int x0 = 0; x0 < width; x0 += kPiece) {
      const int n = std::min(kPiece, width - x0);
      DibRowColours(image, y, x0, n, colours);
      for (int i = 0; i < n; ++i)
        if (IsBlack(colours[i])) out[(x0 + i) >> 3] |= static_cast<uint8_t>(0x80 >> ((x0 + i) & 7));
    }
  }
  return mono;
}

DibBitmap* ToMaterial(const DibBitmap* image) {
  DibColour ramp[kDibColourCount];
  for (int i = 0; i < kDibColourCount; ++i) {
    const auto v = static_cast<uint8_t>(i);
    ramp[i] = {v, v, v, 0};
  }
  DibBitmap* material = CreateDibBitmap(8, ramp, kDibColourCount, kPaperGrainSide, kPaperGrainSide);
  if (!material || !image) return material;
  const int width = std::min(DibWidth(*image), kPaperGrainSide);
  const int height = std::min(DibHeight(*image), kPaperGrainSide);
  DibColour colours[kPaperGrainSide];
  for (int y = 0; y < height; ++y) {
    DibRowColours(*image, y, 0, width, colours);
    uint8_t* out = DibRow(*material, y);
    for (int x = 0; x < width; ++x) out[x] = Grey(colours[x]);
  }
  return material;
}

DibBitmap* LoadTexture(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName,
                       BmpFailure* reason) {
  BitmapOwner file{ReadBmpFile(TexturePath(userDataFolder, fileName), reason)};
  if (!file.bitmap) return nullptr;
  BitmapOwner mono{ToMonochrome(*file.bitmap)};
  if (!mono.bitmap) return nullptr;
  return WidenTexture(*mono.bitmap);
}

DibBitmap* LoadMaterial(const std::filesystem::path& userDataFolder, const std::filesystem::path& fileName,
                        BmpFailure* reason) {
  BitmapOwner file{ReadBmpFile(MaterialPath(userDataFolder, fileName), reason)};
  return ToMaterial(file.bitmap);
}

DibBitmap* LoadStamp(const std::filesystem::path& path, BmpFailure* reason) {
  BitmapOwner file{ReadBmpFile(path, reason)};
  return file.bitmap ? ToMonochrome(*file.bitmap) : nullptr;
}

uint32_t LoadPenStamps(PenSetting* pens, int count) {
  uint32_t failed = 0;
  for (int i = 0; i < count && i < 32; ++i) {
    PenSetting& pen = pens[i];
    if (pen.Stamp != 1) continue;
    FreeDibBitmap(pen.stampBitmap);
    pen.stampBitmap = LoadStamp(PathFromText(TextOf(pen.StampFileName, kPathUnits)));
    if (!pen.stampBitmap) failed |= uint32_t{1} << i;
  }
  return failed;
}
