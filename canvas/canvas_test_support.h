// Helpers for tests: small bitmaps written as text, top row first, so expectations read like
// the picture they describe.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "canvas/canvas_lifecycle.h"
#include "canvas/dib_bitmap.h"

struct DibDeleter {
  void operator()(DibBitmap* b) const { FreeDibBitmap(b); }
};
using DibPtr = std::unique_ptr<DibBitmap, DibDeleter>;

// An 8-bit bitmap from rows of space-separated hex bytes: {"FF FE", "00 7F"}.
inline DibPtr CanvasFromHex(const std::vector<std::string>& rows) {
  std::vector<std::vector<uint8_t>> values;
  for (const std::string& row : rows) {
    std::vector<uint8_t> line;
    const char* p = row.c_str();
    char* end = nullptr;
    for (unsigned long v = std::strtoul(p, &end, 16); end != p; v = std::strtoul(p, &end, 16)) {
      line.push_back(static_cast<uint8_t>(v));
      p = end;
    }
    values.push_back(line);
  }
  DibPtr b(CreateDibBitmap(8, nullptr, 0, static_cast<int>(values[0].size()), static_cast<int>(values.size())));
  for (size_t y = 0; y < values.size(); ++y)
    for (size_t x = 0; x < values[y].size(); ++x) DibRow(*b, static_cast<int>(y))[x] = values[y][x];
  return b;
}

// The rows of an 8-bit bitmap in the same form, for comparisons.
inline std::vector<std::string> CanvasToHex(const DibBitmap& b) {
  std::vector<std::string> rows;
  for (int y = 0; y < DibHeight(b); ++y) {
    std::string line;
    for (int x = 0; x < DibWidth(b); ++x) {
      char cell[4];
      std::snprintf(cell, sizeof cell, x ? " %02X" : "%02X", DibRow(b, y)[x]);
      line += cell;
    }
    rows.push_back(line);
  }
  return rows;
}

// The values of an 8-bit bitmap as rows of digits, '0' + value, top row first: for textures
// whose texels are 0 and 1.
inline std::vector<std::string> TexelRows(const DibBitmap& b) {
  std::vector<std::string> rows;
  for (int y = 0; y < DibHeight(b); ++y) {
    std::string line;
    for (int x = 0; x < DibWidth(b); ++x) line += static_cast<char>('0' + DibRow(b, y)[x]);
    rows.push_back(line);
  }
  return rows;
}

// A 1-bit bitmap from rows of '0' and '1' characters.
inline DibPtr MaskFromText(const std::vector<std::string>& rows) {
  DibPtr b(CreateDibBitmap(1, nullptr, 0, static_cast<int>(rows[0].size()), static_cast<int>(rows.size())));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      if (rows[y][x] == '1') DibRow(*b, static_cast<int>(y))[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  return b;
}

// An 8-bit bitmap of one value.
inline DibPtr FilledCanvas(int width, int height, uint8_t value) {
  DibPtr b(CreateDibBitmap(8, nullptr, 0, width, height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) DibRow(*b, y)[x] = value;
  return b;
}

// The number of pixels of an 8-bit bitmap that hold value.
inline int CountValue(const DibBitmap& b, uint8_t value) {
  int n = 0;
  for (int y = 0; y < DibHeight(b); ++y)
    for (int x = 0; x < DibWidth(b); ++x) n += DibRow(b, y)[x] == value;
  return n;
}

// A new canvas (white, default layers) for the stroke-script replay, destroyed with the test.
struct ScriptCanvas {
  Canvas canvas{};
  explicit ScriptCanvas(int w = 24, int h = 24) {
    InitCanvas(canvas);
    EXPECT_TRUE(NewCanvas(canvas, w, h));
  }
  ~ScriptCanvas() { DestroyCanvas(canvas); }
  ScriptCanvas(const ScriptCanvas&) = delete;
  ScriptCanvas& operator=(const ScriptCanvas&) = delete;
  uint8_t At(int x, int y) const { return DibRow(*canvas.bitmap, y)[x]; }
  int Count(uint8_t value) const { return CountValue(*canvas.bitmap, value); }
};
