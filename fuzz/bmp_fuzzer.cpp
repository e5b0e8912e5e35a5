// Texture, material and stamp BMP files: the decoder, then each conversion the program runs on
// a decoded file (the widened pen texture, the 512 x 512 material, the 1-bit stamp) and the row
// colours they are made from.
#include <algorithm>
#include <vector>

#include "brush/pen_texture.h"
#include "files/bmp_reader.h"
#include "files/pen_resources.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BmpFailure reason = BmpFailure::kNone;
  DibBitmap* image = DecodeBmp(data, size, &reason);
  if (!image) {
    FUZZ_CHECK(reason != BmpFailure::kNone);
    return 0;
  }
  FUZZ_CHECK(reason == BmpFailure::kNone);
  const int width = DibWidth(*image), height = DibHeight(*image);
  FUZZ_CHECK(width >= 1 && height >= 1);
  std::vector<DibColour> row(static_cast<size_t>(std::min(width, 4096)));
  for (int y : {0, height - 1}) DibRowColours(*image, y, 0, static_cast<int>(row.size()), row.data());
  DibBitmap* stamp = ToMonochrome(*image);
  DibBitmap* material = ToMaterial(image);
  DibBitmap* texture = WidenTexture(*image);
  FreeDibBitmap(stamp);
  FreeDibBitmap(material);
  FreeDibBitmap(texture);
  FreeDibBitmap(image);
  return 0;
}
