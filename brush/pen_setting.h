// Pen presets: everything the user draws with is one of sixteen PenSettings. KindOfPen picks
// the stroke handler (pen_kind_table.h); the settings file and the pen XML store the same
// record under the field names below.
#pragma once

#include <cstdint>

#include "canvas/dib_bitmap.h"

inline constexpr int kPenCount = 16;
inline constexpr int kPenKindCount = 23;
inline constexpr int kPenNameUnits = 32;   // UTF-16 units including the terminating zero
inline constexpr int kPathUnits = 260;

struct PenSetting {
  int32_t dialogOpen;                 // run-time only: this preset's setting dialog is open
  char16_t Name[kPenNameUnits];       // display name in the pen list
  int32_t KindOfPen;                  // 0..22, selects the stroke handler
  int32_t Size;                       // pixels, 1..1000: dab diameter at full pressure
  int32_t Hardness;                   // 0..100, 50 neutral: pressure response (PressureGamma)
  int32_t Palette;                    // 0..7: the pen's own layer
  int32_t EnablePalette;              // 1: always paint layer Palette; 0: the current layer
  int32_t BrushCursor;                // 1: the view draws the brush outline as the cursor
  // Stamp brush (kind 19) only, Interval .. StampFileName.
  int32_t Interval;                   // percent, 1..999: dab spacing
  int32_t Dispersal;                  // percent, 0..999: scatter
  int32_t Roundness;                  // percent, 1..100
  int32_t Angle;                      // degrees, 0..359
  int32_t SizePressure;               // percent, 0..100: strength of size's pressure response
  int32_t IntervalPressure;           // 0 or 1
  int32_t DispersalPressure;          // 0 or 1
  int32_t RoundnessPressure;          // 0 or 1
  int32_t RoundnessTilt;              // 0 or 1
  int32_t AngleRotation;              // 0 or 1: dab angle follows the pen's rotation
  int32_t AngleJitter;                // percent, 0..100
  int32_t SizeJitter;                 // percent, 0..100
  int32_t Direction;                  // 0 or 1
  int32_t Stamp;                      // 1: use the bitmap named by StampFileName
  char16_t StampFileName[kPathUnits];
  DibBitmap* stampBitmap;             // run-time only: the loaded stamp, or null
  char16_t TextureFileName[kPathUnits];  // texture of kind 4
  int32_t TextureOffsetX;             // pixels, may be negative: texture shift against the canvas
  int32_t TextureOffsetY;
};

inline constexpr int32_t kMaxPenSize = 1000;

// Brings every number a painting reads into the range written beside it above (Size 1..1000,
// Hardness 0..100, Interval 1..999, ...). A damaged settings file or pen XML can hold any 32-bit
// value; the input step applies this before each sample so no handler computes with them.
// KindOfPen and Palette are left alone: an unknown kind paints nothing, and the layer repair
// reports a changed Palette to the layer panel.
void ClampPenSetting(PenSetting& pen);

// The exponent g that shapes normalised pressure p into p^g: Hardness 0 gives 1/4, 50 gives 1,
// 100 gives 4; a Hardness outside 0..100 counts as the nearest end. Single precision.
float PressureGamma(int hardness);

// p^g with the power in double precision, as every painting pen shapes its pressure.
float ShapePressure(float pressure, float gamma);

// The layer a pen paints: its Palette when EnablePalette is 1, else the current layer.
int DrawingLayer(const PenSetting& pen, int currentLayer);
