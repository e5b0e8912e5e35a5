#include "files/print_page.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// First source pixel of destination pixel i when `source` pixels stretch onto `size`.
int64_t SourceStart(int64_t i, int64_t source, int64_t size) { return i * source / size; }

// Source span [first, end) of destination pixel i: at least one pixel, never past the source.
void SourceSpan(int64_t i, int64_t source, int64_t size, int64_t* first, int64_t* end) {
  *first = SourceStart(i, source, size);
  *end = std::min(source, std::max(SourceStart(i + 1, source, size), *first + 1));
}

}  // namespace

PrintPlacement PlaceCanvasOnPage(int32_t canvasWidth, int32_t canvasHeight, int32_t pageWidth, int32_t pageHeight,
                                 int32_t printSetting) {
  if (canvasWidth < 1 || canvasHeight < 1 || pageWidth < 1 || pageHeight < 1) return {0, 0, 0, 0};
  if (printSetting == kPrintActualSize)
    return {(pageWidth - canvasWidth) / 2, (pageHeight - canvasHeight) / 2, canvasWidth, canvasHeight};
  const float aspect = static_cast<float>(canvasWidth) / static_cast<float>(canvasHeight);
  const float pageAspect = static_cast<float>(pageWidth) / static_cast<float>(pageHeight);
  if (pageAspect >= aspect) {
    // Full height; the width is at most the page's since the page is relatively wider.
    const float width = static_cast<float>(pageHeight) * aspect + 0.5f;
    const int32_t w = std::clamp(static_cast<int32_t>(std::min(width, static_cast<float>(pageWidth))), 1, pageWidth);
    return {(pageWidth - w) / 2, 0, w, pageHeight};
  }
  const float height = static_cast<float>(pageWidth) / aspect + 0.5f;
  const int32_t h = std::clamp(static_cast<int32_t>(std::min(height, static_cast<float>(pageHeight))), 1, pageHeight);
  return {0, (pageHeight - h) / 2, pageWidth, h};
}

void StretchIndicesAnd(DibBitmap& destination, const PrintPlacement& where, const DibBitmap& source) {
  if (DibDepth(destination) != 8 || DibDepth(source) != 8 || where.width < 1 || where.height < 1) return;
  const int64_t sw = DibWidth(source), sh = DibHeight(source);
  const int64_t dw = DibWidth(destination), dh = DibHeight(destination);
  // The visible destination columns and rows, as offsets into the placed rectangle.
  const int64_t i0 = std::max<int64_t>(0, -int64_t{where.x});
  const int64_t i1 = std::min<int64_t>(where.width, dw - where.x);
  const int64_t j0 = std::max<int64_t>(0, -int64_t{where.y});
  const int64_t j1 = std::min<int64_t>(where.height, dh - where.y);
  if (i0 >= i1 || j0 >= j1) return;

  // Column spans once; the source columns they cover form one run [c0, c1).
  std::vector<int32_t> spanFirst(static_cast<size_t>(i1 - i0)), spanEnd(static_cast<size_t>(i1 - i0));
  for (int64_t i = i0; i < i1; ++i) {
    int64_t first = 0, end = 0;
    SourceSpan(i, sw, where.width, &first, &end);
    spanFirst[static_cast<size_t>(i - i0)] = static_cast<int32_t>(first);
    spanEnd[static_cast<size_t>(i - i0)] = static_cast<int32_t>(end);
  }
  const int64_t c0 = spanFirst.front(), c1 = spanEnd.back();
  std::vector<uint8_t> merged(static_cast<size_t>(c1 - c0));

  for (int64_t j = j0; j < j1; ++j) {
    int64_t r0 = 0, r1 = 0;
    SourceSpan(j, sh, where.height, &r0, &r1);
    // merged[c] = AND of source rows r0..r1-1 at column c0 + c.
    std::memcpy(merged.data(), DibRow(source, static_cast<int>(r0)) + c0, merged.size());
    for (int64_t r = r0 + 1; r < r1; ++r) {
      const uint8_t* row = DibRow(source, static_cast<int>(r)) + c0;
      for (size_t c = 0; c < merged.size(); ++c) merged[c] &= row[c];
    }
    uint8_t* out = DibRow(destination, static_cast<int>(where.y + j));
    for (int64_t i = i0; i < i1; ++i) {
      const size_t k = static_cast<size_t>(i - i0);
      uint8_t value = 0xFF;
      for (int32_t c = spanFirst[k]; c < spanEnd[k]; ++c) value &= merged[static_cast<size_t>(c - c0)];
      out[where.x + i] = value;
    }
  }
}

DibBitmap* MakePrintPage(const DibBitmap& canvas, int32_t pageWidth, int32_t pageHeight, int32_t printSetting) {
  if (DibDepth(canvas) != 8 || pageWidth < 1 || pageHeight < 1) return nullptr;
  DibBitmap* page = CreateDibBitmap(8, canvas.colours, kDibColourCount, pageWidth, pageHeight);
  if (!page) return nullptr;
  std::memset(page->bits, 0xFF, static_cast<size_t>(page->stride) * static_cast<size_t>(pageHeight));
  StretchIndicesAnd(*page, PlaceCanvasOnPage(DibWidth(canvas), DibHeight(canvas), pageWidth, pageHeight, printSetting),
                    canvas);
  return page;
}
