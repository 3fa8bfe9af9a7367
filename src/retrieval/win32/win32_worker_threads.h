#pragma once
// Worker threads of the system, kept for the next run once their work is done:
// under Wine starting a thread costs about a millisecond, as much as asking a
// drive. A drive that never answers keeps its thread; the program ends through
// ExitProcess, which takes such threads with it, so nothing waits for them. Only
// when this object goes while the process lives on (the tests) does it wait for
// its threads to finish.
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/handles.h"
#include "retrieval/worker_threads.h"

namespace brindlecap::win32 {

class Win32WorkerThreads : public WorkerThreads {
 public:
  Win32WorkerThreads() = default;
  ~Win32WorkerThreads() override;
  Win32WorkerThreads(const Win32WorkerThreads&) = delete;
  Win32WorkerThreads& operator=(const Win32WorkerThreads&) = delete;

  bool Start(std::function<void()> work) noexcept override;

 private:
  struct Worker {
    std::function<void()> work;
    UniqueEventHandle wake{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle thread;
    std::atomic<bool> idle{false};
    std::atomic<bool> stop{false};
  };
  static unsigned __stdcall Loop(void* worker) noexcept;
  bool StartNew(std::function<void()>& work);

  std::vector<std::unique_ptr<Worker>> workers_;
};

}  // namespace brindlecap::win32
