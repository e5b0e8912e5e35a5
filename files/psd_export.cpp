#include "files/psd_export.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "files/atomic_file.h"
#include "files/packbits.h"

namespace {

// File layout, all integers big-endian:
//   header (26 bytes), colour mode data length 0, image resources length 0,
//   layer and mask information length (708 + N), layer info length (704 + N), layer count 9,
//   nine 78-byte layer records, N bytes of channel data (record by record, four channels each,
//   in record order), then the merged image to the end of the file.
// Each channel (row count table and rows) is encoded in memory and written in one piece, so the
// file goes out front to back. The channel lengths are known only after encoding, so the
// records are written twice: first with zero lengths, then, after the merged image, again over
// the first copy. That one seek goes to offset 34, which a 32-bit long reaches whatever the
// file's size.
constexpr int kRecordCount = 9;                 // paper + eight layers
constexpr int kRecordSize = 78;
constexpr int kChannelsPerRecord = 4;           // transparency, red, green, blue
constexpr uint32_t kLayerInfoFixed = 2 + kRecordCount * kRecordSize;  // 704: count + records
constexpr uint32_t kLayerMaskFixed = kLayerInfoFixed + 4;             // 708: + layer info length
constexpr int16_t kChannelIds[kChannelsPerRecord] = {-1, 0, 1, 2};
constexpr uint16_t kCompressionPackBits = 1;

// "レイヤー" ("layer" in katakana) in code page 932.
constexpr uint8_t kLayerName[8] = {0x83, 0x8C, 0x83, 0x43, 0x83, 0x84, 0x81, 0x5B};

void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Set16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v >> 8);
  out[at + 1] = static_cast<uint8_t>(v);
}

// Four characters: a signature or a blend key.
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

// One layer of the document.
struct PsdRecord {
  int layer;                                  // canvas layer 0..7, or -1 for the paper
  const char* blendKey;                       // four characters
  uint8_t opacity;
  uint8_t clipping;                           // 0 base, 1 clipped
  uint8_t colour[3];                          // red, green, blue where painted
  uint32_t channelLength[kChannelsPerRecord]; // bytes of each channel's data
};

const char* BlendKey(int32_t blendMode) {
  if (blendMode == kBlendMultiply) return "mul ";
  if (blendMode == kBlendAdd) return "lddg";
  return "norm";
}

// Records bottom first: the paper, then the layers by stack position. A damaged table whose
// orders are not 0..7 once each still exports every layer once, ordered by (order, index).
std::array<PsdRecord, kRecordCount> BuildRecords(const LayerTable& layers) {
  std::array<PsdRecord, kRecordCount> records{};
  const uint32_t paper = layers.rows[kPaperRow].colour;
  records[0] = {-1, "norm", 255, 0,
                {static_cast<uint8_t>(paper), static_cast<uint8_t>(paper >> 8), static_cast<uint8_t>(paper >> 16)},
                {}};

  std::array<int, kLayerCount> stack;
  for (int i = 0; i < kLayerCount; ++i) stack[i] = i;
  std::stable_sort(stack.begin(), stack.end(),
                   [&](int a, int b) { return layers.rows[a].order < layers.rows[b].order; });
  for (int position = 0; position < kLayerCount; ++position) {
    const int k = stack[position];
    const LayerEntry& e = layers.rows[k];
    // Any nonzero clipped value clips (as in the palette); the file knows only 0 and 1.
    records[position + 1] = {k, BlendKey(e.blendMode), e.opacity, static_cast<uint8_t>(e.clipped != 0 ? 1 : 0),
                             {static_cast<uint8_t>(e.colour), static_cast<uint8_t>(e.colour >> 8),
                              static_cast<uint8_t>(e.colour >> 16)},
                             {}};
  }
  return records;
}

// The nine records as the file holds them; record r is named "レイヤー" + ('1' + r).
std::vector<uint8_t> FormatRecords(const std::array<PsdRecord, kRecordCount>& records, int width, int height) {
  std::vector<uint8_t> out;
  out.reserve(kRecordCount * kRecordSize);
  for (int r = 0; r < kRecordCount; ++r) {
    const PsdRecord& rec = records[r];
    Put32(out, 0);                                  // top
    Put32(out, 0);                                  // left
    Put32(out, static_cast<uint32_t>(height));      // bottom
    Put32(out, static_cast<uint32_t>(width));       // right
    Put16(out, kChannelsPerRecord);
    for (int c = 0; c < kChannelsPerRecord; ++c) {
      Put16(out, static_cast<uint16_t>(kChannelIds[c]));
      Put32(out, rec.channelLength[c]);
    }
    PutTag(out, "8BIM");
    PutTag(out, rec.blendKey);
    out.push_back(rec.opacity);
    out.push_back(rec.clipping);
    out.push_back(0);                               // flags: visible
    out.push_back(0);                               // filler
    Put32(out, 20);                                 // extra data: mask and ranges lengths + name
    Put32(out, 0);                                  // layer mask data
    Put32(out, 0);                                  // blending ranges
    out.push_back(9);                               // name: Pascal string padded to 12 bytes
    out.insert(out.end(), kLayerName, kLayerName + sizeof kLayerName);
    out.push_back(static_cast<uint8_t>('1' + r));
    out.push_back(0);
    out.push_back(0);
  }
  return out;
}

// Compression word, a table of row byte counts, then the rows' PackBits codes, for `planes`
// planes of `height` rows one after the other (the table lists every row of every plane).
// makeRow(plane, y, row) fills one row of width bytes.
template <typename MakeRow>
void EncodePlanes(int planes, int width, int height, MakeRow makeRow, std::vector<uint8_t>& out) {
  out.clear();
  Put16(out, kCompressionPackBits);
  const size_t table = out.size();
  out.resize(table + 2 * static_cast<size_t>(planes) * static_cast<size_t>(height));
  std::vector<uint8_t> row(static_cast<size_t>(width));
  size_t entry = table;
  for (int plane = 0; plane < planes; ++plane)
    for (int y = 0; y < height; ++y, entry += 2) {
      makeRow(plane, y, row.data());
      // width <= kPsdMaxSide keeps every row's code under 65536 bytes.
      Set16(out, entry, static_cast<uint16_t>(EncodePackBits(row.data(), row.size(), out)));
    }
}

// One channel of one record: for the paper the value everywhere; for layer k, where bit k of
// the pixel is 0 (painted) the painted value, elsewhere the empty value.
void EncodeChannel(const DibBitmap& canvas, int layer, uint8_t painted, uint8_t empty, std::vector<uint8_t>& out) {
  const int width = DibWidth(canvas);
  EncodePlanes(
      1, width, DibHeight(canvas),
      [&](int, int y, uint8_t* row) {
        if (layer < 0) {
          std::memset(row, painted, static_cast<size_t>(width));
          return;
        }
        const uint8_t* pixels = DibRow(canvas, y);
        for (int x = 0; x < width; ++x) row[x] = ((pixels[x] >> layer) & 1) ? empty : painted;
      },
      out);
}

// The merged image: all red rows, then all green, then all blue, each pixel its colour-table
// entry.
void EncodeMerged(const DibBitmap& canvas, std::vector<uint8_t>& out) {
  const int width = DibWidth(canvas);
  EncodePlanes(
      3, width, DibHeight(canvas),
      [&](int plane, int y, uint8_t* row) {
        const uint8_t* pixels = DibRow(canvas, y);
        for (int x = 0; x < width; ++x) {
          const DibColour& c = canvas.colours[pixels[x]];
          row[x] = plane == 0 ? c.red : plane == 1 ? c.green : c.blue;
        }
      },
      out);
}

bool WriteBytes(FILE* f, const std::vector<uint8_t>& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

enum class WriteResult { kOk, kWriteFailed, kTooLarge };

// Everything after the file is open. Throws std::bad_alloc when memory runs out.
WriteResult WriteDocument(FILE* f, const DibBitmap& canvas, const LayerTable& layers) {
  const int width = DibWidth(canvas);
  const int height = DibHeight(canvas);

  std::vector<uint8_t> head;
  PutTag(head, "8BPS");
  Put16(head, 1);                                   // version
  head.insert(head.end(), 6, 0);                    // reserved
  Put16(head, 3);                                   // channels of the merged image
  Put32(head, static_cast<uint32_t>(height));
  Put32(head, static_cast<uint32_t>(width));
  Put16(head, 8);                                   // bits per channel
  Put16(head, 3);                                   // RGB
  Put32(head, 0);                                   // colour mode data
  Put32(head, 0);                                   // image resources
  const size_t lengths = head.size();               // 34: where the layer and mask information starts
  Put32(head, kLayerMaskFixed);                     // rewritten with + N at the end
  Put32(head, kLayerInfoFixed);
  Put16(head, kRecordCount);

  std::array<PsdRecord, kRecordCount> records = BuildRecords(layers);
  if (!WriteBytes(f, head) || !WriteBytes(f, FormatRecords(records, width, height))) return WriteResult::kWriteFailed;

  // N, the channel data of all records, must fit the 32-bit lengths with the 708 bytes before it.
  uint64_t channelTotal = 0;
  std::vector<uint8_t> data;
  for (PsdRecord& rec : records)
    for (int c = 0; c < kChannelsPerRecord; ++c) {
      const uint8_t painted = c == 0 ? 255 : rec.colour[c - 1];
      const uint8_t empty = c == 0 ? 0 : 255;
      EncodeChannel(canvas, rec.layer, painted, empty, data);
      channelTotal += data.size();
      if (channelTotal > UINT32_MAX - kLayerMaskFixed) return WriteResult::kTooLarge;
      rec.channelLength[c] = static_cast<uint32_t>(data.size());
      if (!WriteBytes(f, data)) return WriteResult::kWriteFailed;
    }

  EncodeMerged(canvas, data);
  if (!WriteBytes(f, data)) return WriteResult::kWriteFailed;

  std::vector<uint8_t> fixup;
  Put32(fixup, kLayerMaskFixed + static_cast<uint32_t>(channelTotal));
  Put32(fixup, kLayerInfoFixed + static_cast<uint32_t>(channelTotal));
  Put16(fixup, kRecordCount);
  const std::vector<uint8_t> recordBytes = FormatRecords(records, width, height);
  fixup.insert(fixup.end(), recordBytes.begin(), recordBytes.end());
  if (std::fseek(f, static_cast<long>(lengths), SEEK_SET) != 0 || !WriteBytes(f, fixup))
    return WriteResult::kWriteFailed;
  return WriteResult::kOk;
}

}  // namespace

PsdExportFailure ExportPsd(const std::filesystem::path& path, const DibBitmap& canvas, const LayerTable& layers) {
  if (DibDepth(canvas) != 8 || !canvas.bits) {
    return PsdExportFailure::kNotEightBit;
  }
  if (DibWidth(canvas) < 1 || DibHeight(canvas) < 1 || DibWidth(canvas) > kPsdMaxSide ||
      DibHeight(canvas) > kPsdMaxSide) {
    return PsdExportFailure::kTooLarge;
  }

  AtomicFile file{};
  if (!BeginAtomicFile(file, path)) {
    return PsdExportFailure::kCannotCreate;
  }
  WriteResult result;
  try {
    result = WriteDocument(file.stream, canvas, layers);
  } catch (const std::bad_alloc&) {
    AbandonAtomicFile(file);
    return PsdExportFailure::kNoMemory;
  }
  if (result == WriteResult::kTooLarge) {
    AbandonAtomicFile(file);
    return PsdExportFailure::kLayersTooLarge;
  }
  if (result != WriteResult::kOk) {
    AbandonAtomicFile(file);
    return PsdExportFailure::kCannotWrite;
  }
  if (!CommitAtomicFile(file)) {
    return PsdExportFailure::kCannotWrite;
  }
  return PsdExportFailure::kNone;
}
