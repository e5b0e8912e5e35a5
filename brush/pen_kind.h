// The 23 kinds a pen preset can be (PenSetting::KindOfPen). What each kind does is tabled with
// its stroke handler in tools/pen_kind_table.h.
#pragma once

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

// The one fact about kinds that the settings need, below the stroke handlers' table: only the
// stamp brush reads (and the settings file writes) the stamp settings Interval .. StampFileName.
constexpr bool UsesStampSettings(int kind) { return kind == kKindStampBrush; }
