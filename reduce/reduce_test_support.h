// Helpers for the reduction tests: a view of a canvas bitmap with a known palette, and canvases
// that look drawn.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/canvas_test_support.h"
#include "canvas/dib_bitmap.h"
#include "view/canvas_view.h"

// Palette of the tests: 0 black, 0xFF white, the others distinct colours.
inline void FillTestPalette(DibColour palette[kDibColourCount]) {
  for (int i = 0; i < kDibColourCount; ++i) {
    palette[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 13), 0};
  }
  palette[0] = {0, 0, 0, 0};
  palette[0xFF] = {255, 255, 255, 0};
}

struct ReduceView {
  std::unique_ptr<Canvas> canvas = std::make_unique<Canvas>();
  CanvasView view = NewCanvasView();
  DibPtr bitmap;

  ReduceView(int width, int height, uint8_t fill = 0xFF) {
    *canvas = Canvas{};
    DibColour palette[kDibColourCount];
    FillTestPalette(palette);
    bitmap.reset(CreateDibBitmap(8, palette, kDibColourCount, width, height));
    for (int y = 0; y < height; ++y) std::memset(DibRow(*bitmap, y), fill, static_cast<size_t>(width));
    canvas->width = width;
    canvas->height = height;
    canvas->bitmap = bitmap.get();
    view.canvas = canvas.get();
    view.scale = 1.0f;
    ChooseSampler(view);
  }
  ~ReduceView() {
    FreeDibBitmap(view.composed);
    FreeDibBitmap(view.outsideMask);
  }
  void Set(float scale, float rotation, int mirrored) {
    view.scale = scale;
    view.rotation = rotation;
    view.mirrored = mirrored;
    ChooseSampler(view);
  }
  uint8_t& At(int x, int y) { return DibRow(*bitmap, y)[x]; }
  // Pixel values from rows of hex bytes (CanvasFromHex), the canvas's size.
  void Load(const std::vector<std::string>& rows) {
    DibPtr values = CanvasFromHex(rows);
    for (int y = 0; y < DibHeight(*bitmap); ++y)
      std::memcpy(DibRow(*bitmap, y), DibRow(*values, y), static_cast<size_t>(DibWidth(*bitmap)));
  }
};

// Mostly paper with discs of painted layers and a halftone patch (deterministic).
inline void DrawTestPicture(DibBitmap& b, uint32_t seed = 12345) {
  const int w = DibWidth(b), h = DibHeight(b);
  uint32_t state = seed;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  const int discs = w * h / 4000 + 4;
  for (int i = 0; i < discs; ++i) {
    const int cx = static_cast<int>(next() % static_cast<uint32_t>(w));
    const int cy = static_cast<int>(next() % static_cast<uint32_t>(h));
    const int r = 2 + static_cast<int>(next() % 12u);
    const uint8_t keep = static_cast<uint8_t>(~(1u << (next() % 8u)));
    for (int y = cy - r; y <= cy + r; ++y) {
      if (y < 0 || y >= h) continue;
      for (int x = cx - r; x <= cx + r; ++x) {
        if (x < 0 || x >= w || (x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r) continue;
        DibRow(b, y)[x] &= keep;
      }
    }
  }
  for (int y = h / 3; y < h / 3 + h / 8; ++y)
    for (int x = w / 2; x < w / 2 + w / 5; ++x)
      if (((x / 2) + (y / 2)) % 2 == 0) DibRow(b, y)[x] &= 0xFB;
}

// The pixels of a 32-bit bitmap, top row first, as 0x00RRGGBB values.
inline std::vector<uint32_t> Pixels32(const DibBitmap& b) {
  std::vector<uint32_t> out;
  for (int y = 0; y < DibHeight(b); ++y) {
    const uint8_t* row = DibRow(b, y);
    for (int x = 0; x < DibWidth(b); ++x) {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      out.push_back(v);
    }
  }
  return out;
}

inline uint32_t Pixel32(const DibBitmap& b, int x, int y) {
  uint32_t v;
  std::memcpy(&v, DibRow(b, y) + 4 * x, 4);
  return v;
}
