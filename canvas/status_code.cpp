#include "canvas/status_code.h"

std::atomic<int> gStatusCode{0};
