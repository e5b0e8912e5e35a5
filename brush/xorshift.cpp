#include "brush/xorshift.h"

XorShift128 gSharedRandom = kXorShiftSeed;
RandomLanes gTiltRandom = kRandomLanesSeed;
