#include "canvas/status.h"

std::atomic<int> gStatusCode{0};
