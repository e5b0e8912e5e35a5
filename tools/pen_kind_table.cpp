#include "tools/pen_kind_table.h"

#include "tools/fill_tool.h"
#include "tools/lasso_fill.h"
#include "tools/painting_pens.h"
#include "tools/selection_tools.h"
#include "tools/shape_tools.h"
#include "tools/stamp_brush.h"

namespace {

constexpr bool kTool = true, kPen = false;
constexpr bool kAll = true, kOne = false;

constexpr PenKindFacts kKinds[kPenKindCount] = {
    {PressurePen, kPen, kOne, kPaintLayer, false},             // 0
    {HalftonePen, kPen, kOne, kPaintLayer, false},             // 1
    {GrainTonePen, kPen, kOne, kPaintLayer, false},            // 2
    {GrainTonePen, kPen, kOne, kPaintLayer, true},             // 3: screen placed afresh per stroke
    {TexturePen, kPen, kOne, kPaintLayer, false},              // 4
    {GrainDabPen, kPen, kOne, kPaintLayer, false},             // 5
    {TiltPencil, kPen, kOne, kPaintLayer, false},              // 6
    {PressureEraser, kPen, kOne, kEraseLayer, false},          // 7
    {TiltEraser, kPen, kOne, kEraseLayer, false},              // 8
    {PressureEraserAllLayers, kPen, kAll, kEraseAll, false},   // 9
    {TiltEraserAllLayers, kPen, kAll, kEraseAll, false},       // 10
    {FillHandler, kTool, kOne, kPaintLayer, false},            // 11 fill
    {ShapeHandler, kTool, kOne, kPaintLayer, false},           // 12 line
    {ShapeHandler, kTool, kOne, kPaintLayer, false},           // 13 rectangle
    {ShapeHandler, kTool, kOne, kPaintLayer, false},           // 14 ellipse
    {RectSelectHandler, kTool, kOne, kPaintLayer, false},      // 15 rectangle selection, drawing layer
    {LassoHandler, kTool, kOne, kPaintLayer, false},           // 16 lasso selection, drawing layer
    {RectSelectHandler, kTool, kAll, kPaintAll, false},        // 17 rectangle selection, all layers
    {LassoHandler, kTool, kAll, kPaintAll, false},             // 18 lasso selection, all layers
    {StampHandler, kPen, kOne, kPaintLayer, false},            // 19 stamp brush
    {LassoFillHandler, kTool, kOne, kPaintLayer, false},       // 20 lasso fill
    {LassoFillHandler, kTool, kOne, kEraseLayer, false},       // 21 lasso erase, drawing layer
    {LassoFillHandler, kTool, kAll, kEraseAll, false},         // 22 lasso erase, all layers
};

constexpr PenKindFacts kNoKind{nullptr, false, false, kPaintLayer, false};

}  // namespace

const PenKindFacts& PenKindFactsOf(int kind) {
  if (kind < 0 || kind >= kPenKindCount) return kNoKind;
  return kKinds[kind];
}
