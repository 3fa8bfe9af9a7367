#include "retrieval/win32/win32_worker_threads.h"

#include <process.h>

#include <utility>

namespace brindlecap::win32 {

namespace {

// A drive's questions need little stack; a small reservation keeps dozens of
// threads cheap.
constexpr unsigned kStackSize = 64 * 1024;
// STACK_SIZE_PARAM_IS_A_RESERVATION: older systems ignore it and commit the size.
constexpr unsigned kStackIsReservation = 0x00010000;

}  // namespace

Win32WorkerThreads::~Win32WorkerThreads() {
  for (const std::unique_ptr<Worker>& worker : workers_) {
    worker->stop.store(true, std::memory_order_release);
    ::SetEvent(worker->wake.get());
  }
  for (const std::unique_ptr<Worker>& worker : workers_) {
    ::WaitForSingleObject(worker->thread.get(), INFINITE);
  }
}

bool Win32WorkerThreads::Start(std::function<void()> work) noexcept {
  for (const std::unique_ptr<Worker>& worker : workers_) {
    bool idle = true;
    if (!worker->idle.compare_exchange_strong(idle, false, std::memory_order_acq_rel)) continue;
    worker->work = std::move(work);
    ::SetEvent(worker->wake.get());
    return true;
  }
  try {
    return StartNew(work);
  } catch (...) {
    return false;
  }
}

bool Win32WorkerThreads::StartNew(std::function<void()>& work) {
  workers_.reserve(workers_.size() + 1);  // the push below cannot fail once it runs
  auto worker = std::make_unique<Worker>();
  if (!worker->wake) return false;
  worker->work = std::move(work);
  // _beginthreadex, not CreateThread: the C runtime sets up its per-thread data.
  const uintptr_t thread =
      ::_beginthreadex(nullptr, kStackSize, &Loop, worker.get(), kStackIsReservation, nullptr);
  if (thread == 0) return false;
  worker->thread.reset(reinterpret_cast<HANDLE>(thread));
  workers_.push_back(std::move(worker));
  return true;
}

unsigned __stdcall Win32WorkerThreads::Loop(void* parameter) noexcept {
  Worker& worker = *static_cast<Worker*>(parameter);
  for (;;) {
    try {
      worker.work();
    } catch (...) {
      // Nothing may leave a thread; the work reports its own failures.
    }
    worker.work = nullptr;  // lets go of what the work held
    worker.idle.store(true, std::memory_order_release);
    ::WaitForSingleObject(worker.wake.get(), INFINITE);
    if (worker.stop.load(std::memory_order_acquire)) return 0;
  }
}

}  // namespace brindlecap::win32
