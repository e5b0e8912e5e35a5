// Destination pictures on large pages where the system offers them.
#include "reduce/reduce_internal.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

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
