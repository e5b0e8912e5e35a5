// The zoom and rotation commands, the mouse-wheel zoom and the drag gestures, as arithmetic on
// the view record. The shell maps the menu identifiers to these functions, shows the wait
// cursor around scale changes, waits for running previews, and afterwards refreshes the title,
// the information window and the loupe.
#pragma once

#include <cstdint>

#include "view/canvas_view.h"

inline constexpr int kZoomPresetCount = 8;
// Zoom presets 1..8, shown as 1/16 ... x8.
inline constexpr float kZoomPresetScales[kZoomPresetCount] = {16.0f, 8.0f, 4.0f,  2.0f,
                                                              1.0f,  0.5f, 0.25f, 0.125f};

// The scale one zoom-in step reaches from current: the largest of 8, 4, 2, 1, 0.5, 0.25, 0.125
// strictly below it; 0 when there is none (already 0.125 or below).
float ZoomInScale(float current);

// The scale one zoom-out step reaches: the smallest of 0.25, 0.5, 1, 2, 4, 8, 16 strictly above
// current; 0 when there is none (already 16 or above).
float ZoomOutScale(float current);

// The zoom commands. Each returns true when it changed the scale. Every scale change made by a
// command below runs between hooks.waitCursor(view, 1) and hooks.waitCursor(view, 0).
bool ZoomPreset(CanvasView& view, int preset);  // preset 1..8; false when already there
bool ZoomIn(CanvasView& view);
bool ZoomOut(CanvasView& view);

// The fit scale: max(W / clientWidth, H / clientHeight) clamped to [1, 16], so a canvas smaller
// than the window is shown one to one, never magnified. A client side below 1 counts as 1.
float FitScale(const CanvasView& view);

// Reset the view, then show the whole canvas in the window.
void FitViewToWindow(CanvasView& view);

// Reset the view, then show the canvas at its printed size (PrintSizeScale).
void ShowPrintSize(CanvasView& view);

inline constexpr int kRotationPresetCount = 4;
// Rotation presets 1..4, in degrees.
inline constexpr float kRotationPresetDegrees[kRotationPresetCount] = {0.0f, 90.0f, 180.0f, 270.0f};

// Rotation presets 1..4 (kRotationPresetDegrees). Other numbers do nothing.
void RotationPreset(CanvasView& view, int preset);

// The next multiple of 90 above trunc(rotation): (trunc(rotation) / 90 + 1) * 90.
int32_t NextQuarterRotation(float rotation);
// The previous multiple of 90 below rotation: ((trunc(rotation) + 89) / 90) * 90 - 90.
int32_t PreviousQuarterRotation(float rotation);

void RotateToNextQuarter(CanvasView& view);
void RotateToPreviousQuarter(CanvasView& view);
void RotateBy(CanvasView& view, float degrees);  // the shell's steps are +15 and -15

// The mouse wheel: deltas are summed; reaching +120 or more asks for one zoom-out step,
// -120 or less for one zoom-in step, and either resets the sum, whatever the delta's size.
enum WheelZoom : int32_t { kWheelNone = 0, kWheelZoomIn = 1, kWheelZoomOut = 2 };
WheelZoom AccumulateWheel(int32_t& sum, int32_t delta);

// The title's zoom part: " - 1/%.3f" of the scale when scale >= 1, else " - x%.3f" of
// 1 / scale. Writes at most capacity units including the terminating zero and returns the
// length, or -1 (out empty when capacity > 0) when it does not fit.
int32_t FormatZoomTitle(float scale, char16_t* out, int32_t capacity);

// Drag gestures, in client pixels; the centre of the client is (clientWidth / 2,
// clientHeight / 2) with integer halves.
//
// Rotate drag: the angle of the cursor about the centre, atan2(mx - cx, my - cy) in radians
// (horizontal offset first; 0 at the centre itself).
double DragAngle(int32_t mx, int32_t my, int32_t clientWidth, int32_t clientHeight);
// The rotation the drag adds, (angle - startAngle) * 180 / pi degrees.
double DragRotationDegrees(double startAngle, double angle);
// On release: SetViewRotation(rotation + DragRotationDegrees(startAngle, angle)).
void ApplyRotateDrag(CanvasView& view, double startAngle, double angle);

// Zoom drag: the distance max(|mx - cx|, |my - cy|). The start distance is raised to 100 when
// it is 100 or less (DragZoomStartRadius).
int32_t DragZoomRadius(int32_t mx, int32_t my, int32_t clientWidth, int32_t clientHeight);
int32_t DragZoomStartRadius(int32_t mx, int32_t my, int32_t clientWidth, int32_t clientHeight);
// The scale on release: scale / (radius / startRadius), clamped to [1, 16].
float DragZoomScale(float scale, int32_t radius, int32_t startRadius);
// On release: SetViewScale(DragZoomScale(...)) under the wait cursor.
void ApplyZoomDrag(CanvasView& view, int32_t radius, int32_t startRadius);
