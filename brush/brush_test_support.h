// Test fixture pieces for the brush engine: a small blank canvas with default layers and a
// pen, and helpers to read which pixels a primitive touched.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "brush/pen_setting.h"
#include "brush/primitives.h"
#include "canvas/canvas.h"
#include "canvas/canvas_test_support.h"

struct TestCanvas {
  DibPtr bitmap;
  Canvas canvas{};
  PenSetting pen{};

  TestCanvas(int width, int height, uint8_t fill = 0xFF) : bitmap(FilledCanvas(width, height, fill)) {
    canvas.width = width;
    canvas.height = height;
    canvas.bitmap = bitmap.get();
    canvas.layers = DefaultLayerTable();
    canvas.currentLayer = 0;
    pen.Size = 10;
    pen.Hardness = 50;
  }

  PaintTarget Target(PaintMode mode, const DibBitmap* texture = nullptr) {
    return PaintTarget{&canvas, &pen, texture, mode};
  }

  uint8_t At(int x, int y) const { return DibRow(*bitmap, y)[x]; }

  // Pixels whose value differs from `blank`, as (x, y) pairs.
  std::set<std::pair<int, int>> Changed(uint8_t blank = 0xFF) const {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < canvas.height; ++y)
      for (int x = 0; x < canvas.width; ++x)
        if (At(x, y) != blank) out.insert({x, y});
    return out;
  }

  // The canvas as rows of '#' (changed) and '.' (blank), top row first.
  std::vector<std::string> Picture(uint8_t blank = 0xFF) const {
    std::vector<std::string> rows;
    for (int y = 0; y < canvas.height; ++y) {
      std::string row;
      for (int x = 0; x < canvas.width; ++x) row += At(x, y) != blank ? '#' : '.';
      rows.push_back(row);
    }
    return rows;
  }
};

// The set of pixels of the rectangle x0..x1 by y0..y1, both inclusive.
inline std::set<std::pair<int, int>> Block(int x0, int y0, int x1, int y1) {
  std::set<std::pair<int, int>> out;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) out.insert({x, y});
  return out;
}
