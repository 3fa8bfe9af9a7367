#include "retrieval/win32/system_worker_threads.h"

#include <process.h>

#include <memory>

#include "platform/system_function.h"

namespace brindlecap::win32 {

namespace {

// A drive's questions need little stack; a small reservation keeps dozens of
// threads cheap.
constexpr unsigned kStackSize = 64 * 1024;
// STACK_SIZE_PARAM_IS_A_RESERVATION: older systems ignore it and commit the size.
constexpr unsigned kStackIsReservation = 0x00010000;

unsigned __stdcall RunWork(void* parameter) noexcept {
  const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  try {
    (*work)();
  } catch (...) {
    // Nothing may leave a thread; the work reports its own failures.
  }
  return 0;
}

}  // namespace

SystemWorkerThreads::~SystemWorkerThreads() {
  for (const UniqueKernelHandle& thread : threads_) {
    ::WaitForSingleObject(thread.get(), INFINITE);
  }
}

bool SystemWorkerThreads::Start(std::function<void()> work) noexcept {
  try {
    ForgetFinishedThreads();
    threads_.reserve(threads_.size() + 1);
    auto parameter = std::make_unique<std::function<void()>>(std::move(work));
    // _beginthreadex, not CreateThread: the C runtime sets up its per-thread data.
    const uintptr_t thread = ::_beginthreadex(nullptr, kStackSize, &RunWork, parameter.get(),
                                              kStackIsReservation, nullptr);
    if (thread == 0) return false;
    parameter.release();  // the thread owns it now
    threads_.emplace_back(reinterpret_cast<HANDLE>(thread));
    return true;
  } catch (...) {
    return false;
  }
}

void SystemWorkerThreads::CancelPendingCalls() noexcept {
  using CancelSynchronousIoFunction = BOOL(WINAPI*)(HANDLE);
  const auto cancel =
      SystemFunction<CancelSynchronousIoFunction>(L"kernel32.dll", "CancelSynchronousIo");
  if (cancel == nullptr) return;
  ForgetFinishedThreads();
  for (const UniqueKernelHandle& thread : threads_) cancel(thread.get());
}

bool SystemWorkerThreads::AnyRunning() noexcept {
  ForgetFinishedThreads();
  return !threads_.empty();
}

void SystemWorkerThreads::ForgetFinishedThreads() noexcept {
  std::erase_if(threads_, [](const UniqueKernelHandle& thread) {
    return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
  });
}

}  // namespace brindlecap::win32
