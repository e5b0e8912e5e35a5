// Helpers for the view tests: a view of a canvas of a given size, with no bitmaps, and hooks
// that record what the operations asked of the shell.
#pragma once

#include <cstdint>
#include <cstring>

#include <memory>
#include <ostream>
#include <vector>

#include "canvas/canvas.h"
#include "view/canvas_view.h"

inline void PrintTo(const PixelRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

// Pixels of 32-bit pictures as words (blue in the low byte), and the two the tests use most.
inline uint32_t PixelAt(const DibBitmap& b, int x, int y) {
  uint32_t v;
  std::memcpy(&v, DibRow(b, y) + x * 4, 4);
  return v;
}
inline void SetPixel(DibBitmap& b, int x, int y, uint32_t v) { std::memcpy(DibRow(b, y) + x * 4, &v, 4); }
inline constexpr uint32_t kBlack = 0u;
inline constexpr uint32_t kWhite = 0x00FFFFFFu;

struct ViewCalls {
  int recomposed = 0;
  std::vector<PixelRect> rendered;
};

struct TestView {
  std::unique_ptr<Canvas> canvas = std::make_unique<Canvas>();
  CanvasView view = NewCanvasView();
  ViewCalls calls;

  // Canvas width x height; client area clientWidth x clientHeight; scale 1, straight.
  TestView(int width, int height, int clientWidth = 400, int clientHeight = 300) {
    *canvas = Canvas{};
    canvas->width = width;
    canvas->height = height;
    view.canvas = canvas.get();
    view.clientWidth = clientWidth;
    view.clientHeight = clientHeight;
    view.scale = 1.0f;
    ChooseSampler(view);
  }

  // Records calls in `calls`; the view keeps a pointer to this object, so do not copy it.
  void RecordHooks() {
    current = this;
    view.hooks.recompose = [](CanvasView&) { ++current->calls.recomposed; };
    view.hooks.renderViewRect = [](CanvasView&, const PixelRect& r) {
      current->calls.rendered.push_back(r);
    };
  }

  static inline TestView* current = nullptr;
};
