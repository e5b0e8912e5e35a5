// A small pool of worker threads created once (on first use) and kept for the life of the
// process. The reduction engines hand it batches of work items and wait for the whole batch.
#pragma once

// Runs work(context, i) for i = 0..count-1 and returns when every call has returned. Items
// run on the pool's workers and on the calling thread, in no particular order; with one
// processor or count 1 they run on the calling thread. Batches from different threads are
// served one after another. A work item must not start a batch itself.
using PoolWork = void (*)(void* context, int index);
void RunPoolBatch(int count, PoolWork work, void* context);

// Worker threads of the pool plus the calling thread: the number of processors (at least 1).
int PoolThreadCount();

// Called first on every worker thread the engines start (the pool's, once each, and the wide
// engine's): the Windows shell installs one that lowers the thread's priority. Null: nothing.
// Install it before the first reduction.
using WorkerThreadStart = void (*)();
void SetWorkerThreadStart(WorkerThreadStart start);
WorkerThreadStart GetWorkerThreadStart();
