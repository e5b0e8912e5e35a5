#include "reduce/thread_pool.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// One batch at a time. Workers sleep on `wake` until the batch number changes, take item
// numbers from `next` until they run out, then check in; the batch is over when every worker
// has checked in, so no worker can still be taking items when the next batch resets `next`.
struct Pool {
  std::mutex batchLock;  // serialises batches from different callers
  std::mutex lock;
  std::condition_variable wake;
  std::condition_variable done;
  uint64_t batch = 0;    // guarded by lock
  int checkedIn = 0;     // guarded by lock
  PoolWork work = nullptr;
  void* context = nullptr;
  int count = 0;
  std::atomic<int> next{0};
  int workers = 0;
};

void TakeItems(Pool& pool) {
  for (;;) {
    const int i = pool.next.fetch_add(1, std::memory_order_relaxed);
    if (i >= pool.count) return;
    pool.work(pool.context, i);
  }
}

// The hook every worker thread of the process calls first (the Windows program lowers their
// priority there). Installed once at start-up, before any pool exists.
std::atomic<WorkerThreadStart> gWorkerThreadStart{nullptr};

void WorkerLoop(Pool* pool) {
  if (WorkerThreadStart start = gWorkerThreadStart.load()) start();
  uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(pool->lock);
      pool->wake.wait(guard, [&] { return pool->batch != seen; });
      seen = pool->batch;
    }
    TakeItems(*pool);
    std::lock_guard<std::mutex> guard(pool->lock);
    if (++pool->checkedIn == pool->workers) pool->done.notify_one();
  }
}

int ProcessorCount() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(n);
}

// Created on first use and never destroyed: the workers live as long as the process (they are
// detached, so process exit does not wait for them).
Pool& ThePool() {
  static Pool* pool = [] {
    Pool* p = new Pool;
    // A thread the system refuses leaves the pool smaller; with none, the caller does all.
    const int wanted = ProcessorCount() - 1;
    for (int i = 0; i < wanted; ++i) {
      try {
        std::thread(WorkerLoop, p).detach();
      } catch (const std::system_error&) {
        break;
      }
      std::lock_guard<std::mutex> guard(p->lock);
      ++p->workers;
    }
    return p;
  }();
  return *pool;
}

}  // namespace

int PoolThreadCount() { return ThePool().workers + 1; }

void SetWorkerThreadStart(WorkerThreadStart start) { gWorkerThreadStart.store(start); }
WorkerThreadStart GetWorkerThreadStart() { return gWorkerThreadStart.load(); }

void RunPoolBatch(int count, PoolWork work, void* context) {
  if (count <= 0) return;
  Pool& pool = ThePool();
  if (pool.workers == 0 || count == 1) {
    for (int i = 0; i < count; ++i) work(context, i);
    return;
  }
  std::lock_guard<std::mutex> batchGuard(pool.batchLock);
  {
    std::lock_guard<std::mutex> guard(pool.lock);
    pool.work = work;
    pool.context = context;
    pool.count = count;
    pool.next.store(0, std::memory_order_relaxed);
    pool.checkedIn = 0;
    ++pool.batch;
  }
  pool.wake.notify_all();
  TakeItems(pool);
  std::unique_lock<std::mutex> guard(pool.lock);
  pool.done.wait(guard, [&] { return pool.checkedIn == pool.workers; });
}
