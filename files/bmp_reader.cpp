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

}  // namespace

DibBitmap* DecodeBmp(const uint8_t* data, size_t size, BmpFailure* reason) {
  if (reason) *reason = BmpFailure::kNone;
  if (!data || size < kFileHeaderBytes + 4) return Refuse(reason, BmpFailure::kTooShort);
  if (data[0] != 'B' || data[1] != 'M') return Refuse(reason, BmpFailure::kNotBmp);
  const uint64_t pixelOffset = ReadU32(data + 10);
  const uint32_t headerBytes = ReadU32(data + 14);
  const bool core = headerBytes == kCoreHeaderBytes;
  if (!core && headerBytes < kInfoHeaderBytes) return Refuse(reason, BmpFailure::kUnknownHeader);
  if (kFileHeaderBytes + uint64_t{headerBytes} > size) return Refuse(reason, BmpFailure::kHeaderTruncated);

  const uint8_t* h = data + kFileHeaderBytes;
  int64_t width, height;
  int bits;
  uint32_t compression = kRgb, declaredColours = 0;
  if (core) {
    width = ReadU16(h + 4);
    height = ReadU16(h + 6);
    bits = ReadU16(h + 10);
  } else {
    width = static_cast<int32_t>(ReadU32(h + 4));
    height = static_cast<int32_t>(ReadU32(h + 8));
    bits = ReadU16(h + 14);
    compression = ReadU32(h + 16);
    declaredColours = ReadU32(h + 32);
  }

  if (compression == kRle8 || compression == kRle4)
    return Refuse(reason, BmpFailure::kRleCompressed);
  if (compression == kJpeg || compression == kPng)
    return Refuse(reason, BmpFailure::kEmbeddedJpegOrPng);
  const bool bitFields = compression == kBitFields || compression == kAlphaBitFields;
  if (compression != kRgb && !bitFields) return Refuse(reason, BmpFailure::kUnknownCompression);
  if (bits == 16) return Refuse(reason, BmpFailure::kSixteenBit);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return Refuse(reason, BmpFailure::kUnsupportedBits);
  if (bitFields && bits != 32) return Refuse(reason, BmpFailure::kBitFieldsNot32);
  if (width < 1) return Refuse(reason, BmpFailure::kBadWidth);
  // A negative height means rows stored top-down; -2^31 has no positive counterpart.
  if (height == 0 || height == std::numeric_limits<int32_t>::min()) return Refuse(reason, BmpFailure::kBadHeight);
  const bool topDown = height < 0;
  const int64_t rows = topDown ? -height : height;

  // Channel masks: inside a header of 52 bytes or more, else right after the header.
  uint64_t tableStart = kFileHeaderBytes + uint64_t{headerBytes};
  Channel channels[3] = {};
  if (bitFields) {
    const uint8_t* masks = h + kInfoHeaderBytes;
    if (headerBytes < kInfoHeaderBytes + 12) {
      const uint64_t maskBytes = compression == kAlphaBitFields ? 16 : 12;
      if (tableStart + maskBytes > size) return Refuse(reason, BmpFailure::kMasksTruncated);
      masks = data + tableStart;
      tableStart += maskBytes;
    }
    for (int c = 0; c < 3; ++c)  // red, green, blue
      if (!MakeChannel(ReadU32(masks + 4 * c), channels[c])) return Refuse(reason, BmpFailure::kBadMasks);
  }

  if (pixelOffset < tableStart) return Refuse(reason, BmpFailure::kPixelOffsetInHeader);
  if (pixelOffset > size) return Refuse(reason, BmpFailure::kPixelOffsetBeyondEnd);

  // Colour table: the declared count (all 2^bits when 0 or with a core header), never more than
  // 256, and only as many entries as lie before the pixels.
  DibColour colours[kDibColourCount] = {};
  int colourCount = 0;
  if (bits <= 8) {
    if (declaredColours > static_cast<uint32_t>(kDibColourCount)) return Refuse(reason, BmpFailure::kTooManyColours);
    const uint32_t entryBytes = core ? 3 : 4;
    uint64_t count = declaredColours ? declaredColours : (1u << bits);
    count = std::min<uint64_t>({count, 1u << bits, (pixelOffset - tableStart) / entryBytes});
    colourCount = static_cast<int>(count);
    for (int i = 0; i < colourCount; ++i) {
      const uint8_t* e = data + tableStart + static_cast<uint64_t>(i) * entryBytes;
      colours[i] = {e[0], e[1], e[2], 0};
    }
  }

  // The pixels must all be there before anything is allocated.
  const int64_t fileStride = DibStride(bits, static_cast<int>(width));
  if (fileStride < 0) return Refuse(reason, BmpFailure::kTooWide);
  const uint64_t available = size - pixelOffset;
  if (static_cast<uint64_t>(fileStride) > available || static_cast<uint64_t>(rows) > available / fileStride)
    return Refuse(reason, BmpFailure::kPixelsTruncated);

  const int depth = bitFields ? 32 : bits;
  DibBitmap* image = CreateDibBitmap(depth, colours, colourCount, static_cast<int>(width), static_cast<int>(rows));
  if (!image) return Refuse(reason, BmpFailure::kNoMemoryForImage);

  const uint8_t* pixels = data + pixelOffset;
  for (int64_t r = 0; r < rows; ++r) {
    // File row r is the r-th row stored: the bottom one first unless the file is top-down.
    const uint8_t* in = pixels + r * fileStride;
    uint8_t* out = DibRow(*image, static_cast<int>(topDown ? r : rows - 1 - r));
    if (!bitFields) {
      std::memcpy(out, in, static_cast<size_t>(fileStride));
      continue;
    }
    for (int64_t x = 0; x < width; ++x) {
      const uint32_t pixel = ReadU32(in + 4 * x);
      out[4 * x + 0] = ChannelValue(pixel, channels[2]);
      out[4 * x + 1] = ChannelValue(pixel, channels[1]);
      out[4 * x + 2] = ChannelValue(pixel, channels[0]);
      out[4 * x + 3] = 0;
    }
  }
  return image;
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

void DibRowColours(const DibBitmap& bitmap, int y, DibColour* out) {
  const uint8_t* row = DibRow(bitmap, y);
  const int width = DibWidth(bitmap);
  switch (DibDepth(bitmap)) {
    case 1:
      for (int x = 0; x < width; ++x) out[x] = bitmap.colours[MaskBit(row, x)];
      break;
    case 4:  // high nibble first
      for (int x = 0; x < width; ++x) out[x] = bitmap.colours[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
      break;
    case 8:
      for (int x = 0; x < width; ++x) out[x] = bitmap.colours[row[x]];
      break;
    case 24:
      for (int x = 0; x < width; ++x) out[x] = {row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
      break;
    case 32:
      for (int x = 0; x < width; ++x) out[x] = {row[4 * x], row[4 * x + 1], row[4 * x + 2], 0};
      break;
    default:
      break;
  }
}
