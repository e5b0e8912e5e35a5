// The program-wide status word. Allocation failures write it; the main window and the
// tablet information window read it.
#pragma once

#include <atomic>

// A bitmap allocation failed (CreateDibBitmap and the code that fills records by hand).
inline constexpr int kStatusBitmapAllocationFailed = 41;

// Atomic because worker threads (reduction passes, file pieces) may allocate too.
extern std::atomic<int> gStatusCode;
