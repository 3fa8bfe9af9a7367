#pragma once
// Worker threads of the system. A drive that never answers keeps its thread
// forever: the program ends through TerminateProcess, which takes such threads
// with it, so nothing waits for them. Only when this object goes while the process
// lives on (the tests) does it wait for its threads to finish.
#include <windows.h>

#include <vector>

#include "platform/handles.h"
#include "retrieval/worker_threads.h"

namespace brindlecap::win32 {

class SystemWorkerThreads : public WorkerThreads {
 public:
  SystemWorkerThreads() = default;
  ~SystemWorkerThreads() override;
  SystemWorkerThreads(const SystemWorkerThreads&) = delete;
  SystemWorkerThreads& operator=(const SystemWorkerThreads&) = delete;

  bool Start(std::function<void()> work) noexcept override;
  // Cancels the file system call each running thread waits in (Vista and later),
  // so that the process can end: a thread in a call that never returns (a network
  // drive whose server has gone) would otherwise keep it, and the files it holds.
  void CancelPendingCalls() noexcept;
  // Whether a thread has not finished yet (a drive given up at a deadline).
  bool AnyRunning() noexcept;

 private:
  void ForgetFinishedThreads() noexcept;

  std::vector<UniqueKernelHandle> threads_;
};

}  // namespace brindlecap::win32
