#include "view/tail_switch.h"

TailSwitchStep UpdateTailSwitch(TailSwitchState state, int32_t altitude, bool tailSwitchOn,
                                int32_t currentPen) {
  TailSwitchStep step{state, kNoPen};
  if (altitude < 0 && !state.inverted) {
    step.state.inverted = 1;
    if (tailSwitchOn) {
      step.state.penBeforeTail = currentPen;
      step.selectPen = kTailPreset;
    }
  } else if (altitude >= 0 && state.inverted) {
    step.state.inverted = 0;
    // A switch turned on while the tail was in use has nothing remembered to go back to.
    if (tailSwitchOn && state.penBeforeTail != kNoPen) step.selectPen = state.penBeforeTail;
    step.state.penBeforeTail = kNoPen;
  }
  return step;
}

int32_t ApplyTailSwitch(InputState& input, int32_t altitude, bool tailSwitchOn, int32_t currentPen) {
  TailSwitchStep step =
      UpdateTailSwitch({input.inverted, input.penBeforeTail}, altitude, tailSwitchOn, currentPen);
  input.inverted = step.state.inverted;
  input.penBeforeTail = step.state.penBeforeTail;
  return step.selectPen;
}
