#include "brush/pen_kind_table.h"

#include "brush/painting_pens.h"
#include "tools/fill_tool.h"
#include "tools/shape_tools.h"
#include "tools/lasso_fill.h"
#include "tools/selection_tools.h"
#include "tools/stamp_brush.h"

namespace {

constexpr StrokeHandler kHandlers[kPenKindCount] = {
    PressurePen,             // 0
    HalftonePen,             // 1
    GrainTonePen,            // 2
    GrainTonePen,            // 3: the input step places screen and grain afresh per stroke
    TexturePen,              // 4
    GrainDabPen,             // 5
    TiltPencil,              // 6
    PressureEraser,          // 7
    TiltEraser,              // 8
    PressureEraserAllLayers, // 9
    TiltEraserAllLayers,     // 10
    FillHandler,             // 11 fill
    ShapeHandler,            // 12 line
    ShapeHandler,            // 13 rectangle
    ShapeHandler,            // 14 ellipse
    RectSelectHandler,       // 15 rectangle selection of the drawing layer
    LassoHandler,            // 16 lasso selection of the drawing layer
    RectSelectHandler,       // 17 rectangle selection of all editable layers
    LassoHandler,            // 18 lasso selection of all editable layers
    StampHandler,            // 19 stamp brush
    LassoFillHandler,        // 20 lasso fill
    LassoFillHandler,        // 21 lasso erase of the drawing layer
    LassoFillHandler,        // 22 lasso erase of all editable layers
};

}  // namespace

StrokeHandler PenKindTable(int kind) {
  if (kind < 0 || kind >= kPenKindCount) return nullptr;
  return kHandlers[kind];
}

bool IsToolKind(int kind) { return (kind >= kKindFill && kind <= kKindLassoSelectionAll) || kind >= kKindLassoFill; }

int SelectPen(AppContext& app, int index, TextureLoader loadTexture) {
  if (index < 0 || index >= kPenCount) return 1;
  *app.currentPen = index;
  Canvas& canvas = *app.canvas;
  const PenSetting& pen = app.pens[index];
  canvas.currentHandler = PenKindTable(pen.KindOfPen);
  if (pen.EnablePalette == 1) canvas.currentLayer = pen.Palette;
  FreeDibBitmap(canvas.texture);
  if (loadTexture) canvas.texture = loadTexture(pen.TextureFileName);
  return 0;
}

bool RepairPenLayer(AppContext& app) {
  Canvas& canvas = *app.canvas;
  PenSetting& pen = CurrentPen(app);
  bool repaired = false;
  // The Palette is repaired first so that a broken current layer never takes a broken Palette.
  if (pen.Palette < 0 || pen.Palette >= kLayerCount) {
    pen.Palette = 0;
    repaired = true;
  }
  if (canvas.currentLayer < 0 || canvas.currentLayer >= kLayerCount) {
    canvas.currentLayer = pen.Palette;
    repaired = true;
  }
  return repaired;
}
