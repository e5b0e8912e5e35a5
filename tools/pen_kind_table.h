// The table of the 23 pen kinds: each kind's stroke handler and the facts the input step and
// the handlers act on, in one place instead of ranges spread over the callers.
#pragma once

#include "brush/pen_kind.h"
#include "brush/primitives.h"
#include "tools/app_context.h"

struct PenKindFacts {
  StrokeHandler handler;  // null for a kind outside 0..22 (such a pen consumes samples, paints nothing)
  // Tools (11..18, 20..22) hand their dirty rectangle over after every sample and end the
  // stroke on the raw samples; the painting kinds and the stamp brush batch their rectangles
  // by render cost and end the stroke on the smoothed samples.
  bool tool;
  // Acts on every editable layer whatever the current layer is (9, 10, 17, 18, 22); the other
  // kinds act on the drawing layer and do nothing while it is hidden or locked.
  bool allLayers;
  // What the pen's point does; where this is kPaintLayer the pen's tail erases the drawing
  // layer instead.
  PaintMode mode;
  // Screen and grain offsets are drawn afresh at every pen-down (kind 3).
  bool screenPerStroke;
};

// The facts of a kind; a kind outside 0..22 gets a null handler and no facts.
const PenKindFacts& PenKindFactsOf(int kind);

// The handler of a kind, or null for a kind outside 0..22.
inline StrokeHandler PenKindTable(int kind) { return PenKindFactsOf(kind).handler; }

inline bool IsToolKind(int kind) { return PenKindFactsOf(kind).tool; }
