// How the core reports failure. One convention for every folder below the application layer:
//
// - A function that can fail returns [[nodiscard]] bool (true = done) or a pointer (null =
//   failed). Where callers need to know why, it returns a small enum class instead, one per
//   family of functions whose reasons differ (CanvasLoadFailure, PsdExportFailure, BmpFailure,
//   ...), whose first value kNone = 0 means success; or it fills such an enum through an out
//   parameter beside a pointer result.
// - A bool that only says whether anything was done (the masked operations, Undo, FreeDibBitmap)
//   is not [[nodiscard]]: ignoring it is never a bug.
// - No function of the core shows a message or chooses words for the user. The application
//   layer maps reasons to the program's texts (app/user_texts.h); the command-line tool prints
//   its one-line errors from the same reasons.
// - No int status codes (0 or 1 meaning success) and no status globals, with one exception:
//   the bitmap-allocation status word below.
#pragma once

#include <atomic>

// The bitmap-allocation status word: 41 after a bitmap allocation failed (CreateDibBitmap and
// the code that fills records by hand), never cleared by the core; the tablet information window
// shows it. It is the one process-wide status left because an allocation can fail deep inside a
// stroke or on a worker thread (reduction passes, file pieces) where the null result is absorbed
// (a skipped dab, a blank tile) and never reaches the application layer; atomic for those
// threads. Only allocation failures write it.
inline constexpr int kStatusBitmapAllocationFailed = 41;
extern std::atomic<int> gStatusCode;
