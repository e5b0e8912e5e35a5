#include "files/canvas_load.h"

#include <cstring>

#include "canvas/canvas_lifecycle.h"
#include "canvas/palette.h"
#include "canvas/undo_history.h"

namespace {

// Ordered-dither thresholds by stored row (counted from the bottom row) mod 4 and column mod 4.
constexpr uint8_t kDitherThreshold[4][4] = {
    {53, 192, 110, 211},
    {229, 144, 245, 170},
    {129, 220, 88, 202},
    {252, 182, 237, 158},
};

uint32_t ColourValue(const DibColour& c) {
  return uint32_t{c.red} | (uint32_t{c.green} << 8) | (uint32_t{c.blue} << 16);
}

// Turns a bitmap read from a file into layer values; changes the layer table only when asked.
DibBitmap* ToLayerValues(DibBitmap* read, LayerTable* layers) {
  switch (DibDepth(*read)) {
    case 8:
      return read;
    case 32: {
      DibBitmap* converted = DitherTrueColour(*read);
      FreeDibBitmap(read);
      if (converted && layers) {
        layers->rows[0].colour = 0xFF0000;  // blue
        layers->rows[1].colour = 0x00FF00;  // green
        layers->rows[2].colour = 0x0000FF;  // red
        for (int i = 0; i < 3; ++i) layers->rows[i].blendMode = kBlendAdd;
        layers->rows[kPaperRow].colour = 0x000000;
      }
      return converted;
    }
    case 1: {
      const uint32_t ink = ColourValue(read->colours[0]);
      const uint32_t paper = ColourValue(read->colours[1]);
      DibBitmap* converted = OneBitToLayerZero(*read);
      FreeDibBitmap(read);
      if (converted && layers) {
        layers->rows[0].colour = ink;
        layers->rows[kPaperRow].colour = paper;
      }
      return converted;
    }
    default:
      FreeDibBitmap(read);
      return nullptr;
  }
}

}  // namespace

DibBitmap* DitherTrueColour(const DibBitmap& source) {
  const int w = DibWidth(source), h = DibHeight(source);
  DibBitmap* out = CreateDibBitmap(8, nullptr, 0, w, h);
  if (!out || DibDepth(source) != 32) {
    FreeDibBitmap(out);
    return nullptr;
  }
  for (int stored = 0; stored < h; ++stored) {
    const uint8_t* in = source.bits + static_cast<size_t>(stored) * source.stride;
    uint8_t* row = out->bits + static_cast<size_t>(stored) * out->stride;
    const uint8_t* t = kDitherThreshold[stored % 4];
    for (int x = 0; x < w; ++x) {
      const uint8_t threshold = t[x % 4];
      uint8_t v = 0xFF;
      if (in[4 * x + 0] > threshold) v &= ~0x01;  // blue: layer 0
      if (in[4 * x + 1] > threshold) v &= ~0x02;  // green: layer 1
      if (in[4 * x + 2] > threshold) v &= ~0x04;  // red: layer 2
      row[x] = v;
    }
  }
  return out;
}

DibBitmap* OneBitToLayerZero(const DibBitmap& source) {
  const int w = DibWidth(source), h = DibHeight(source);
  DibBitmap* out = CreateDibBitmap(8, nullptr, 0, w, h);
  if (!out || DibDepth(source) != 1) {
    FreeDibBitmap(out);
    return nullptr;
  }
  // The table the conversion works in: 254 and 255 are the file's colours, every other entry
  // the first of black, 0x010000, 0x020000 that matches neither, so no colour is ambiguous.
  const uint32_t c0 = ColourValue(source.colours[0]), c1 = ColourValue(source.colours[1]);
  uint32_t filler = 0x000000;
  while (filler == c0 || filler == c1) filler += 0x010000;
  for (int i = 0; i < 254; ++i)
    out->colours[i] = DibColour{static_cast<uint8_t>(filler >> 16), static_cast<uint8_t>(filler >> 8),
                                static_cast<uint8_t>(filler), 0};
  out->colours[254] = source.colours[0];
  out->colours[255] = source.colours[1];
  for (int y = 0; y < h; ++y) {
    const uint8_t* in = DibRow(source, y);
    uint8_t* row = DibRow(*out, y);
    for (int x = 0; x < w; ++x) row[x] = MaskBit(in, x) ? 0xFF : 0xFE;
  }
  return out;
}

CanvasLoadFailure LoadFailureFor(PngReadFailure failure) {
  switch (failure) {
    case PngReadFailure::kNone: return CanvasLoadFailure::kNone;
    case PngReadFailure::kCannotOpen: return CanvasLoadFailure::kCannotOpen;
    case PngReadFailure::kNotPng: return CanvasLoadFailure::kNotPng;
    case PngReadFailure::kTruncated: return CanvasLoadFailure::kTruncated;
    case PngReadFailure::kBadChecksum: return CanvasLoadFailure::kBadChecksum;
    case PngReadFailure::kUnsupportedLayout: return CanvasLoadFailure::kUnsupportedLayout;
    case PngReadFailure::kTooLarge: return CanvasLoadFailure::kTooLarge;
    case PngReadFailure::kNoMemory: return CanvasLoadFailure::kNoMemory;
    case PngReadFailure::kDamaged: break;
  }
  return CanvasLoadFailure::kUnreadable;
}

CanvasLoadFailure LoadCanvas(Canvas& canvas, const std::filesystem::path& path) {
  ResetLayerTable(canvas.layers);
  LayerTable layers = canvas.layers;
  PngReadFailure readFailure = PngReadFailure::kNone;
  DibBitmap* read = ReadCanvasPng(path, &layers, &readFailure);
  if (!read) return LoadFailureFor(readFailure);
  const int depth = DibDepth(*read);
  DibBitmap* bitmap = ToLayerValues(read, &layers);
  if (!bitmap) {
    // Another depth fails quietly; a conversion without memory is reported.
    return depth == 1 || depth == 32 ? CanvasLoadFailure::kNoMemory : CanvasLoadFailure::kUnsupported;
  }
  canvas.layers = layers;
  FreeDibBitmap(canvas.bitmap);
  FreeDibBitmap(canvas.previous);
  canvas.bitmap = bitmap;
  canvas.width = DibWidth(*bitmap);
  canvas.height = DibHeight(*bitmap);
  ComputePalette(*bitmap, canvas.layers);
  canvas.previous = CreateDibBitmap(8, bitmap->colours, kDibColourCount, canvas.width, canvas.height);
  if (!canvas.previous) {
    FreeDibBitmap(canvas.bitmap);
    canvas.width = canvas.height = 0;
    return CanvasLoadFailure::kNoMemory;
  }
  std::memcpy(canvas.previous->bits, bitmap->bits, static_cast<size_t>(bitmap->stride) * canvas.height);
  ResetUndoHistory(canvas.undo);
  canvas.saved = 1;
  return CanvasLoadFailure::kNone;
}

CanvasLoadFailure LoadImportedImage(Canvas& canvas, const std::filesystem::path& path) {
  PngReadFailure readFailure = PngReadFailure::kNone;
  DibBitmap* read = ReadCanvasPng(path, nullptr, &readFailure);
  if (!read) return LoadFailureFor(readFailure);
  DibBitmap* image = ToLayerValues(read, nullptr);
  if (!image) return CanvasLoadFailure::kUnsupported;
  FreeDibBitmap(canvas.importedImage);
  canvas.importedImage = image;
  canvas.importedImageState = 1;
  return CanvasLoadFailure::kNone;
}
