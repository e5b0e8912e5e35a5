// Tests: BMP files built byte by byte, so each case states exactly what the file holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas/dib_bitmap.h"

struct BmpLayout {
  int32_t width;
  int32_t height;                          // as written (negated when topDown is set)
  int bits;
  std::vector<DibColour> palette;          // written as given, 4 bytes each (3 with a core header)
  std::vector<std::vector<uint8_t>> rows;  // top row first, pixel bytes without the row padding
  uint32_t clrUsed = 0;
  uint32_t compression = 0;
  bool topDown = false;                    // store rows top row first and write -height
  bool core = false;                       // the 12-byte header of the oldest files
  std::vector<uint32_t> masks;             // bit fields: red, green, blue
  bool masksInHeader = false;              // a 56-byte header holds the masks (else 12 bytes after a 40-byte one)
};

inline BmpLayout MakeLayout(int32_t width, int32_t height, int bits) {
  BmpLayout layout{};
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  return layout;
}

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

inline std::vector<uint8_t> MakeBmp(const BmpLayout& layout) {
  std::vector<uint8_t> header;
  if (layout.core) {
    PutU32(header, 12);
    PutU16(header, static_cast<uint32_t>(layout.width));
    PutU16(header, static_cast<uint32_t>(layout.height));
    PutU16(header, 1);
    PutU16(header, static_cast<uint32_t>(layout.bits));
  } else {
    PutU32(header, layout.masksInHeader ? 56 : 40);
    PutU32(header, static_cast<uint32_t>(layout.width));
    PutU32(header, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
    PutU16(header, 1);
    PutU16(header, static_cast<uint32_t>(layout.bits));
    PutU32(header, layout.compression);
    for (int i = 0; i < 3; ++i) PutU32(header, 0);  // image size, pixels per metre
    PutU32(header, layout.clrUsed);
    PutU32(header, 0);
    if (!layout.masks.empty()) {
      for (uint32_t m : layout.masks) PutU32(header, m);
      if (layout.masksInHeader) PutU32(header, 0);  // alpha
    }
  }
  for (const DibColour& c : layout.palette) {
    header.push_back(c.blue);
    header.push_back(c.green);
    header.push_back(c.red);
    if (!layout.core) header.push_back(0);
  }
  std::vector<uint8_t> pixels;
  for (size_t i = 0; i < layout.rows.size(); ++i) {
    const std::vector<uint8_t>& row = layout.rows[layout.topDown ? i : layout.rows.size() - 1 - i];
    pixels.insert(pixels.end(), row.begin(), row.end());
    for (size_t pad = row.size(); pad % 4; ++pad) pixels.push_back(0);
  }
  std::vector<uint8_t> file{'B', 'M'};
  const uint32_t offset = static_cast<uint32_t>(14 + header.size());
  PutU32(file, static_cast<uint32_t>(offset + pixels.size()));
  PutU32(file, 0);
  PutU32(file, offset);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

// A 1-bit bitmap as rows of '0' and '1', top row first (the bits as stored, not colours).
inline std::vector<std::string> CanvasMaskText(const DibBitmap& b) {
  std::vector<std::string> rows;
  for (int y = 0; y < DibHeight(b); ++y) {
    std::string line;
    for (int x = 0; x < DibWidth(b); ++x) line += static_cast<char>('0' + MaskBit(DibRow(b, y), x));
    rows.push_back(line);
  }
  return rows;
}
