#pragma once
// Threads that answer drive queries while the window's thread goes on. The Win32
// binding starts real threads; tests run the work when they choose.
#include <functional>

namespace brindlecap {

class WorkerThreads {
 public:
  virtual ~WorkerThreads() = default;
  // Runs the work on a thread of its own; false when no thread could be started
  // (the work is then dropped).
  [[nodiscard]] virtual bool Start(std::function<void()> work) noexcept = 0;
  // No drive has answered for a while: works that wait in a queue behind a slow one
  // start on threads of their own. Threads that start every work at once ignore it.
  virtual void StartEveryQueuedWork() noexcept {}
};

// How the retrieval has its drives asked off the window's thread.
struct DriveWorkers {
  WorkerThreads& threads;
  // Called on the worker's thread once a drive has answered; it must bring the
  // window's thread to call RetrievalCommand::TakeAnswers.
  std::function<void()> answered;
};

}  // namespace brindlecap
