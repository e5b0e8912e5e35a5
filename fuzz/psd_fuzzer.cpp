// The PSD writer on canvases made from the input (size, layer table with any field values,
// colour table, pixels): the document's sections add up to the file, and its merged image
// decodes to each pixel's colour-table entry.
#include <cstring>
#include <vector>

#include "files/psd_export.h"
#include "fuzz/fuzz_support.h"

namespace {

struct Reader {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  bool Has(size_t n) const { return n <= bytes.size() - at; }
  uint32_t Big(int n) {
    FUZZ_CHECK(Has(static_cast<size_t>(n)));
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | bytes[at++];
    return v;
  }
  void Skip(size_t n) {
    FUZZ_CHECK(Has(n));
    at += n;
  }
};

// The next input byte, cycling; zeros when there is no input.
struct Source {
  const uint8_t* data;
  size_t size, at = 0;
  uint8_t Next() { return size ? data[at++ % size] : 0; }
  uint32_t Next32() { return uint32_t{Next()} << 24 | uint32_t{Next()} << 16 | uint32_t{Next()} << 8 | Next(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Source in{data, size};
  const int width = 1 + in.Next() % 40, height = 1 + in.Next() % 40;
  LayerTable layers = DefaultLayerTable();
  for (LayerEntry& row : layers.rows) {
    if (in.Next() & 1) continue;  // some rows as they come, others anything
    row.visible = static_cast<int32_t>(in.Next32());
    row.locked = static_cast<int32_t>(in.Next32());
    row.blendMode = static_cast<int32_t>(in.Next32());
    row.colour = in.Next32();
    row.order = static_cast<int32_t>(in.Next32());
    row.clipped = static_cast<int32_t>(in.Next32());
    row.opacity = in.Next();
  }
  DibColour colours[kDibColourCount];
  for (DibColour& c : colours) c = {in.Next(), in.Next(), in.Next(), 0};
  DibBitmap* canvas = CreateDibBitmap(8, colours, kDibColourCount, width, height);
  if (!canvas) std::abort();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) DibRow(*canvas, y)[x] = in.Next();

  static const std::filesystem::path path = fuzz::InputFile(nullptr, 0, "export.psd");
  FUZZ_CHECK(ExportPsd(path, *canvas, layers) == PsdExportFailure::kNone);
  Reader r;
  {
    FILE* file = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(file);
    uint8_t buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) r.bytes.insert(r.bytes.end(), buffer, buffer + n);
    std::fclose(file);
  }
  FUZZ_CHECK(r.Has(26) && std::memcmp(r.bytes.data(), "8BPS\0\1", 6) == 0);
  r.Skip(12);
  FUZZ_CHECK(r.Big(2) == 3 && r.Big(4) == static_cast<uint32_t>(height) && r.Big(4) == static_cast<uint32_t>(width));
  FUZZ_CHECK(r.Big(2) == 8 && r.Big(2) == 3);
  for (int section = 0; section < 3; ++section) r.Skip(r.Big(4));  // mode data, resources, layers
  FUZZ_CHECK(r.Big(2) == 1);                                           // PackBits
  std::vector<uint32_t> counts(3 * static_cast<size_t>(height));
  for (uint32_t& c : counts) c = r.Big(2);
  for (int channel = 0; channel < 3; ++channel)
    for (int y = 0; y < height; ++y) {
      const size_t end = r.at + counts[static_cast<size_t>(channel * height + y)];
      FUZZ_CHECK(end <= r.bytes.size());
      std::vector<uint8_t> row;
      while (r.at < end) {
        const int header = static_cast<int8_t>(r.bytes[r.at++]);
        const size_t n = header >= 0 ? static_cast<size_t>(header) + 1 : static_cast<size_t>(1 - header);
        FUZZ_CHECK(header != -128 && r.at + (header >= 0 ? n : 1) <= end);
        if (header >= 0) {
          row.insert(row.end(), r.bytes.begin() + r.at, r.bytes.begin() + r.at + n);
          r.at += n;
        } else {
          row.insert(row.end(), n, r.bytes[r.at++]);
        }
      }
      FUZZ_CHECK(row.size() == static_cast<size_t>(width));
      for (int x = 0; x < width; ++x) {
        const DibColour& c = colours[DibRow(*canvas, y)[x]];
        FUZZ_CHECK(row[x] == (channel == 0 ? c.red : channel == 1 ? c.green : c.blue));
      }
    }
  FUZZ_CHECK(r.at == r.bytes.size());
  FreeDibBitmap(canvas);
  return 0;
}
