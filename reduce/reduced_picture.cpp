// Destination pictures of the reductions: reused when a recomposition keeps their size, on
// large pages where the system offers them otherwise.
#include "canvas/status.h"
#include "reduce/reduce_internal.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

// The picture offered to the reductions this thread starts (ReusedPicture), or null.
thread_local DibBitmap* tOffered = nullptr;

bool HasSize(const DibBitmap& picture, int32_t width, int32_t height) {
  return DibDepth(picture) == 32 && DibWidth(picture) == width && DibHeight(picture) == height;
}

}  // namespace

void PreferLargePages(void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  if (!data || bytes < kLargePagesFrom) return;
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pageSize <= 0) return;
  const uintptr_t page = static_cast<uintptr_t>(pageSize);
  // madvise takes whole pages: the pages lying entirely inside the buffer. A refusal (huge
  // pages switched off) leaves ordinary pages, so the result is not checked.
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

DibBitmap* NewReducedPicture(int32_t width, int32_t height) {
  DibBitmap* offered = tOffered;
  if (offered && HasSize(*offered, width, height)) {
    tOffered = nullptr;
    return offered;
  }
  DibBitmap* picture = CreateDibBitmap(32, nullptr, 0, width, height);
  if (picture) PreferLargePages(picture->bits, BitmapBytes(*picture));
  return picture;
}

ReusedPicture::ReusedPicture(DibBitmap* picture, const PixelRect& size) : previous_(tOffered) {
  if (picture && !HasSize(*picture, size.right - size.left, size.bottom - size.top)) FreeDibBitmap(picture);
  tOffered = picture;
}

ReusedPicture::~ReusedPicture() {
  FreeDibBitmap(tOffered);
  tOffered = previous_;
}
