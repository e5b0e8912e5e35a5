// The eraser end: turning the pen round (negative altitude) selects the second pen preset when
// the TailSwitch setting is on, and turning it back selects the preset that was current before.
#pragma once

#include <cstdint>

#include "view/input_state.h"

inline constexpr int32_t kTailPreset = 1;  // the preset the tail selects
inline constexpr int32_t kNoPen = -1;

struct TailSwitchState {
  int32_t inverted;       // 1 while the tail is in use
  int32_t penBeforeTail;  // preset to return to, or kNoPen
};

struct TailSwitchStep {
  TailSwitchState state;
  int32_t selectPen;  // preset the shell selects through the pen-selection command, or kNoPen
};

// One sample's transition. Tail coming into use (altitude < 0, not yet inverted): inverted = 1;
// with the switch on, remember currentPen and select preset 1. Tail leaving (altitude >= 0
// while inverted): inverted = 0; with the switch on, select the remembered preset, if any, and
// forget it. Any other sample changes nothing.
TailSwitchStep UpdateTailSwitch(TailSwitchState state, int32_t altitude, bool tailSwitchOn,
                                int32_t currentPen);

// The same transition on the input state's inverted and penBeforeTail fields; returns the
// preset to select, or kNoPen.
int32_t ApplyTailSwitch(InputState& input, int32_t altitude, bool tailSwitchOn, int32_t currentPen);
