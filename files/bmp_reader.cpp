#include "files/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>

#include "files/atomic_file.h"

namespace {

// File layout: a 14-byte file header ("BM", file size, two reserved words, offset of the pixel
// data), then the bitmap header, optional channel masks, the colour table and the pixels.
constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;   // width and height as 16-bit words, 3-byte colours
constexpr uint32_t kInfoHeaderBytes = 40;   // and every longer header that starts like it

// Compression values of the info header.
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kJpeg = 4;
constexpr uint32_t kPng = 5;
constexpr uint32_t kAlphaBitFields = 6;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t ReadU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

DibBitmap* Refuse(BmpFailure* reason, BmpFailure why) {
  if (reason) *reason = why;
  return nullptr;
}

// One colour channel of a bit-field pixel: the mask's bits, contiguous, scaled to 0..255.
struct Channel {
  uint32_t mask;
  int shift;
  uint32_t maximum;  // mask >> shift
};

bool MakeChannel(uint32_t mask, Channel& channel) {
  if (mask == 0) return false;
  channel.mask = mask;
  channel.shift = std::countr_zero(mask);
  channel.maximum = mask >> channel.shift;
  const uint64_t next = uint64_t{channel.maximum} + 1;
  return (next & (next - 1)) == 0;  // contiguous: maximum is 2^k - 1
}

uint8_t ChannelValue(uint32_t pixel, const Channel& c) {
  const uint64_t value = (pixel & c.mask) >> c.shift;
  return static_cast<uint8_t>((value * 255 + c.maximum / 2) / c.maximum);
}

// What the headers say, checked: the image's size and layout and where its parts lie.
struct BmpLayout {
  bool core;              // 12-byte header: 16-bit sizes, 3-byte colour entries
  uint32_t headerBytes;
  int64_t width, rows;    // width >= 1, rows >= 1
  bool topDown;           // rows stored top row first (negative height)
  int bits;               // 1, 4, 8, 24 or 32
  bool bitFields;         // 32-bit pixels through channel masks
  uint32_t compression;
  uint32_t declaredColours;
  uint64_t pixelOffset;
  uint64_t tableStart;    // the colour table (after the masks when they follow the header)
  Channel channels[3];    // red, green, blue, with bit fields
};

// The compressions either reader takes: none, or channel masks (*bitFields).
BmpFailure CheckCompression(uint32_t compression, bool* bitFields) {
  if (compression == kRle8 || compression == kRle4) return BmpFailure::kRleCompressed;
  if (compression == kJpeg || compression == kPng) return BmpFailure::kEmbeddedJpegOrPng;
  *bitFields = compression == kBitFields || compression == kAlphaBitFields;
  if (compression != kRgb && !*bitFields) return BmpFailure::kUnknownCompression;
  return BmpFailure::kNone;
}

// Width and height as the header stores them, checked: rows >= 1, and whether they are stored
// top row first (a negative height; -2^31 has no positive counterpart).
BmpFailure CheckSize(int64_t width, int64_t height, int64_t* rows, bool* topDown) {
  if (width < 1) return BmpFailure::kBadWidth;
  if (height == 0 || height == std::numeric_limits<int32_t>::min()) return BmpFailure::kBadHeight;
  *topDown = height < 0;
  *rows = *topDown ? -height : height;
  return BmpFailure::kNone;
}

// The file and bitmap headers and the channel masks.
BmpFailure ReadLayout(const uint8_t* data, size_t size, BmpLayout& b) {
  if (!data || size < kFileHeaderBytes + 4) return BmpFailure::kTooShort;
  if (data[0] != 'B' || data[1] != 'M') return BmpFailure::kNotBmp;
  b.pixelOffset = ReadU32(data + 10);
  b.headerBytes = ReadU32(data + 14);
  b.core = b.headerBytes == kCoreHeaderBytes;
  if (!b.core && b.headerBytes < kInfoHeaderBytes) return BmpFailure::kUnknownHeader;
  if (kFileHeaderBytes + uint64_t{b.headerBytes} > size) return BmpFailure::kHeaderTruncated;

  const uint8_t* h = data + kFileHeaderBytes;
  int64_t height;
  b.compression = kRgb;
  b.declaredColours = 0;
  if (b.core) {
    b.width = ReadU16(h + 4);
    height = ReadU16(h + 6);
    b.bits = ReadU16(h + 10);
  } else {
    b.width = static_cast<int32_t>(ReadU32(h + 4));
    height = static_cast<int32_t>(ReadU32(h + 8));
    b.bits = ReadU16(h + 14);
    b.compression = ReadU32(h + 16);
    b.declaredColours = ReadU32(h + 32);
  }

  if (const BmpFailure why = CheckCompression(b.compression, &b.bitFields); why != BmpFailure::kNone) return why;
  if (b.bits == 16) return BmpFailure::kSixteenBit;
  if (b.bits != 1 && b.bits != 4 && b.bits != 8 && b.bits != 24 && b.bits != 32) return BmpFailure::kUnsupportedBits;
  if (b.bitFields && b.bits != 32) return BmpFailure::kBitFieldsNot32;
  if (const BmpFailure why = CheckSize(b.width, height, &b.rows, &b.topDown); why != BmpFailure::kNone) return why;

  // Channel masks: inside a header of 52 bytes or more, else right after the header.
  b.tableStart = kFileHeaderBytes + uint64_t{b.headerBytes};
  if (b.bitFields) {
    const uint8_t* masks = h + kInfoHeaderBytes;
    if (b.headerBytes < kInfoHeaderBytes + 12) {
      const uint64_t maskBytes = b.compression == kAlphaBitFields ? 16 : 12;
      if (b.tableStart + maskBytes > size) return BmpFailure::kMasksTruncated;
      masks = data + b.tableStart;
      b.tableStart += maskBytes;
    }
    for (int c = 0; c < 3; ++c)
      if (!MakeChannel(ReadU32(masks + 4 * c), b.channels[c])) return BmpFailure::kBadMasks;
  }

  if (b.pixelOffset < b.tableStart) return BmpFailure::kPixelOffsetInHeader;
  if (b.pixelOffset > size) return BmpFailure::kPixelOffsetBeyondEnd;
  return BmpFailure::kNone;
}

// The colour table: the declared count (all 2^bits when 0 or with a core header), never more
// than 256, and only as many entries as lie before the pixels. Returns the entries read.
BmpFailure ReadColourTable(const uint8_t* data, const BmpLayout& b, DibColour colours[kDibColourCount], int& count) {
  count = 0;
  if (b.bits > 8) return BmpFailure::kNone;
  if (b.declaredColours > static_cast<uint32_t>(kDibColourCount)) return BmpFailure::kTooManyColours;
  const uint32_t entryBytes = b.core ? 3 : 4;
  uint64_t n = b.declaredColours ? b.declaredColours : (1u << b.bits);
  n = std::min<uint64_t>({n, 1u << b.bits, (b.pixelOffset - b.tableStart) / entryBytes});
  count = static_cast<int>(n);
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = data + b.tableStart + static_cast<uint64_t>(i) * entryBytes;
    colours[i] = {e[0], e[1], e[2], 0};
  }
  return BmpFailure::kNone;
}

// Copies the checked pixel rows into the image, bottom row first in memory; bit-field pixels
// become 32-bit blue, green, red, 0.
void CopyPixels(const uint8_t* pixels, int64_t fileStride, const BmpLayout& b, DibBitmap& image) {
  for (int64_t r = 0; r < b.rows; ++r) {
    // File row r is the r-th row stored: the bottom one first unless the file is top-down.
    const uint8_t* in = pixels + r * fileStride;
    uint8_t* out = DibRow(image, static_cast<int>(b.topDown ? r : b.rows - 1 - r));
    if (!b.bitFields) {
      std::memcpy(out, in, static_cast<size_t>(fileStride));
      continue;
    }
    for (int64_t x = 0; x < b.width; ++x) {
      const uint32_t pixel = ReadU32(in + 4 * x);
      out[4 * x + 0] = ChannelValue(pixel, b.channels[2]);
      out[4 * x + 1] = ChannelValue(pixel, b.channels[1]);
      out[4 * x + 2] = ChannelValue(pixel, b.channels[0]);
      out[4 * x + 3] = 0;
    }
  }
}

}  // namespace

DibBitmap* DecodeBmp(const uint8_t* data, size_t size, BmpFailure* reason) {
  if (reason) *reason = BmpFailure::kNone;
  BmpLayout b{};
  if (const BmpFailure why = ReadLayout(data, size, b); why != BmpFailure::kNone) return Refuse(reason, why);
  DibColour colours[kDibColourCount] = {};
  int colourCount = 0;
  if (const BmpFailure why = ReadColourTable(data, b, colours, colourCount); why != BmpFailure::kNone)
    return Refuse(reason, why);

  // The pixels must all be there before anything is allocated.
  const int64_t fileStride = DibStride(b.bits, static_cast<int>(b.width));
  if (fileStride < 0) return Refuse(reason, BmpFailure::kTooWide);
  const uint64_t available = size - b.pixelOffset;
  if (static_cast<uint64_t>(fileStride) > available || static_cast<uint64_t>(b.rows) > available / fileStride)
    return Refuse(reason, BmpFailure::kPixelsTruncated);

  const int depth = b.bitFields ? 32 : b.bits;
  DibBitmap* image = CreateDibBitmap(depth, colours, colourCount, static_cast<int>(b.width), static_cast<int>(b.rows));
  if (!image) return Refuse(reason, BmpFailure::kNoMemoryForImage);
  CopyPixels(data + b.pixelOffset, fileStride, b, *image);
  return image;
}

BmpFailure CheckPackedDib(const uint8_t* data, size_t size, uint64_t* pixelOffset) {
  if (!data || size < kInfoHeaderBytes) return BmpFailure::kTooShort;
  const uint32_t headerBytes = ReadU32(data);
  if (headerBytes < kInfoHeaderBytes) return BmpFailure::kUnknownHeader;
  if (headerBytes > size) return BmpFailure::kHeaderTruncated;
  const int64_t width = static_cast<int32_t>(ReadU32(data + 4));
  const int64_t height = static_cast<int32_t>(ReadU32(data + 8));
  const int bits = ReadU16(data + 14);
  const uint32_t compression = ReadU32(data + 16);
  const uint32_t declaredColours = ReadU32(data + 32);
  bool bitFields = false;
  if (const BmpFailure why = CheckCompression(compression, &bitFields); why != BmpFailure::kNone) return why;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return BmpFailure::kUnsupportedBits;
  if (bitFields && bits != 16 && bits != 32) return BmpFailure::kBitFieldsNot32;
  int64_t rows = 0;
  bool topDown = false;
  if (const BmpFailure why = CheckSize(width, height, &rows, &topDown); why != BmpFailure::kNone) return why;
  if (declaredColours > static_cast<uint32_t>(kDibColourCount)) return BmpFailure::kTooManyColours;
  // Masks follow a 40-byte header; the colour table (all 2^bits entries when none are declared)
  // comes next, also after the masks of a true-colour picture that declares one.
  const uint64_t masks = bitFields && headerBytes == kInfoHeaderBytes ? (compression == kAlphaBitFields ? 16 : 12) : 0;
  const uint64_t colours = declaredColours ? declaredColours : bits <= 8 ? uint64_t{1} << bits : 0;
  const uint64_t offset = headerBytes + masks + 4 * colours;
  if (offset > size) return BmpFailure::kPixelOffsetBeyondEnd;
  const int64_t stride = DibStride(bits, static_cast<int>(width));
  if (stride < 0) return BmpFailure::kTooWide;
  if (static_cast<uint64_t>(rows) > (size - offset) / static_cast<uint64_t>(stride))
    return BmpFailure::kPixelsTruncated;
  *pixelOffset = offset;
  return BmpFailure::kNone;
}

DibBitmap* ReadBmpFile(const std::filesystem::path& path, BmpFailure* reason) {
  if (reason) *reason = BmpFailure::kNone;
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return Refuse(reason, BmpFailure::kCannotOpen);
  if (size > kMaxBmpFileBytes) return Refuse(reason, BmpFailure::kFileTooLarge);

  std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[size ? size : 1]);
  if (!data) return Refuse(reason, BmpFailure::kNoMemoryForFile);
  FILE* file = OpenBinaryFile(path, "rb");
  if (!file) return Refuse(reason, BmpFailure::kCannotOpen);
  const size_t read = std::fread(data.get(), 1, static_cast<size_t>(size), file);
  std::fclose(file);
  if (read != size) return Refuse(reason, BmpFailure::kCannotRead);
  return DecodeBmp(data.get(), static_cast<size_t>(size), reason);
}

void DibRowColours(const DibBitmap& bitmap, int y, int x0, int count, DibColour* out) {
  const uint8_t* row = DibRow(bitmap, y);
  const int64_t end = int64_t{x0} + count;
  // Invariant: out[i] is pixel x0 + i; x is 64-bit so x0 + count never overflows.
  switch (DibDepth(bitmap)) {
    case 1:
      for (int64_t x = x0; x < end; ++x) *out++ = bitmap.colours[MaskBit(row, static_cast<int>(x))];
      break;
    case 4:  // high nibble first
      for (int64_t x = x0; x < end; ++x) *out++ = bitmap.colours[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
      break;
    case 8:
      for (int64_t x = x0; x < end; ++x) *out++ = bitmap.colours[row[x]];
      break;
    case 24:
      for (int64_t x = x0; x < end; ++x) *out++ = {row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
      break;
    case 32:
      for (int64_t x = x0; x < end; ++x) *out++ = {row[4 * x], row[4 * x + 1], row[4 * x + 2], 0};
      break;
    default:
      break;
  }
}
