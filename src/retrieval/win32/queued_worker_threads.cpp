#include "retrieval/win32/queued_worker_threads.h"

#include <utility>

namespace brindlecap::win32 {

namespace {

// Holds a critical section for as long as it lives.
class Locked {
 public:
  template <class Lock>
  explicit Locked(Lock& lock) noexcept : section_(lock.section) {
    ::EnterCriticalSection(&section_);
  }
  ~Locked() { ::LeaveCriticalSection(&section_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

}  // namespace

QueuedWorkerThreads::QueuedWorkerThreads(KeepQueueThread) noexcept
    : workQueued_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

QueuedWorkerThreads::~QueuedWorkerThreads() {
  const Locked locked(lock_);
  queue_.clear();  // the queue's thread ends after its current work
  ending_ = true;
  if (workQueued_) ::SetEvent(workQueued_.get());
}

bool QueuedWorkerThreads::Start(std::function<void()> work) noexcept {
  try {
    const Locked locked(lock_);
    queue_.push_back(std::move(work));
    if (queueRunning_) {
      if (workQueued_) ::SetEvent(workQueued_.get());
      return true;
    }
    queueRunning_ = threads_.Start([this] { RunQueue(); });
    if (!queueRunning_) queue_.pop_back();  // not even one thread: the caller asks itself
    return queueRunning_;
  } catch (...) {
    return false;
  }
}

void QueuedWorkerThreads::WaitForAnswer(HANDLE answered, uint32_t milliseconds) noexcept {
  constexpr uint32_t kPatienceMilliseconds = 50;
  const uint32_t wait = milliseconds < kPatienceMilliseconds ? milliseconds : kPatienceMilliseconds;
  const DWORD waited = answered != nullptr ? ::WaitForSingleObject(answered, wait)
                                           : (::Sleep(wait < 10 ? wait : 10), WAIT_TIMEOUT);
  if (waited == WAIT_TIMEOUT) StartEveryQueuedWork();
}

void QueuedWorkerThreads::StartEveryQueuedWork() noexcept {
  const Locked locked(lock_);
  while (!queue_.empty()) {
    // A work that cannot get a thread stays queued for the queue's thread.
    if (!threads_.Start(queue_.front())) break;
    queue_.pop_front();
  }
}

void QueuedWorkerThreads::RunQueue() noexcept {
  for (;;) {
    std::function<void()> work;
    {
      const Locked locked(lock_);
      if (queue_.empty() && (!workQueued_ || ending_)) {
        queueRunning_ = false;
        return;
      }
      if (!queue_.empty()) {
        work = std::move(queue_.front());
        queue_.pop_front();
      }
    }
    // Kept and idle: the next work, or the end, sets the event.
    if (!work) {
      ::WaitForSingleObject(workQueued_.get(), INFINITE);
      continue;
    }
    try {
      work();
    } catch (...) {
      // Nothing may leave a thread; the work reports its own failures.
    }
  }
}

}  // namespace brindlecap::win32
