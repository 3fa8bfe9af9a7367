#pragma once
// Worker threads for a run that should cost as few thread starts as its drives
// allow: the works run one after the other on one thread, and only when no work
// has finished for a while (a slow drive) does each work still waiting get a
// thread of its own, so a slow drive still holds up no other. Each thread start
// costs about a millisecond of the starting thread under Wine.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/handles.h"
#include "retrieval/win32/system_worker_threads.h"

namespace brindlecap::win32 {

class QueuedWorkerThreads : public WorkerThreads {
 public:
  QueuedWorkerThreads() = default;
  // The queue's thread waits for the next run's works instead of ending: a window
  // that retrieves again and again starts no thread for a run whose drives answer
  // promptly.
  struct KeepQueueThread {};
  explicit QueuedWorkerThreads(KeepQueueThread) noexcept;
  // Works still queued are dropped; the threads are waited for (SystemWorkerThreads).
  ~QueuedWorkerThreads() override;
  QueuedWorkerThreads(const QueuedWorkerThreads&) = delete;
  QueuedWorkerThreads& operator=(const QueuedWorkerThreads&) = delete;

  // Queues the work; the queue's thread is started with the first one.
  bool Start(std::function<void()> work) noexcept override;
  // Waits at most `milliseconds` for `answered`, which a work sets when it ends.
  // When no work has ended for a while (a slow drive), every work still queued
  // starts on a thread of its own. Without an event it looks every 10 ms. Call it
  // on the starting thread.
  void WaitForAnswer(HANDLE answered, uint32_t milliseconds) noexcept;
  // No work finished for a while: every work still queued starts on a thread of
  // its own. Call it on the starting thread.
  void StartEveryQueuedWork() noexcept override;
  void CancelPendingCalls() noexcept { threads_.CancelPendingCalls(); }
  bool AnyRunning() noexcept { return threads_.AnyRunning(); }

 private:
  // The queue's thread: runs works until the queue is empty, then, when kept, waits
  // for more until the object goes.
  void RunQueue() noexcept;

  struct CriticalSection {
    CriticalSection() noexcept { ::InitializeCriticalSection(&section); }
    ~CriticalSection() { ::DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
  };

  CriticalSection lock_;
  std::deque<std::function<void()>> queue_;
  bool queueRunning_ = false;
  bool ending_ = false;
  UniqueEventHandle workQueued_;  // only while the queue's thread is kept
  SystemWorkerThreads threads_;   // last, so first to go: it waits for the queue's thread
};

}  // namespace brindlecap::win32
