// The table of the 23 pen kinds and what happens when a pen becomes current.
#pragma once

#include "canvas/canvas.h"
#include "view/app_context.h"

// Kinds 0..10 paint (their dirty rectangles are batched); 11..18 and 20..22 are tools whose
// rectangles are flushed after every sample; 19, the stamp brush, batches like a pen.
enum PenKind : int {
  kKindPressurePen = 0,
  kKindHalftonePen = 1,
  kKindGrainTonePen = 2,
  kKindGrainTonePenRandomPlacement = 3,
  kKindTexturePen = 4,
  kKindGrainDabPen = 5,
  kKindTiltPencil = 6,
  kKindPressureEraser = 7,
  kKindTiltEraser = 8,
  kKindPressureEraserAllLayers = 9,
  kKindTiltEraserAllLayers = 10,
  kKindFill = 11,
  kKindLine = 12,
  kKindRectangle = 13,
  kKindEllipse = 14,
  kKindRectangleSelectionLayer = 15,
  kKindLassoSelectionLayer = 16,
  kKindRectangleSelectionAll = 17,
  kKindLassoSelectionAll = 18,
  kKindStampBrush = 19,
  kKindLassoFill = 20,
  kKindLassoEraseLayer = 21,
  kKindLassoEraseAll = 22,
};

// The handler of a kind, or null for a kind outside 0..22 (such a pen consumes samples and
// paints nothing).
StrokeHandler PenKindTable(int kind);

// True for the kinds whose dirty rectangles are flushed after every sample.
bool IsToolKind(int kind);

// Loads a texture file of the current pen (kind 4); returns null when it cannot.
using TextureLoader = DibBitmap* (*)(const char16_t* path);

// Makes pen `index` current: looks up its handler, makes its Palette the current layer when
// EnablePalette is 1, and replaces the canvas's texture with the pen's TextureFileName
// (through loadTexture, which may be null). Returns 0, or 1 for an index outside 0..15.
int SelectPen(AppContext& app, int index, TextureLoader loadTexture);

// Repairs before a sample is painted: a current layer outside 0..7 becomes the pen's Palette
// and a Palette outside 0..7 becomes 0. Returns true when something was repaired (the layer
// panel must then re-read the current layer).
bool RepairPenLayer(AppContext& app);
