#pragma once
// Real threads for the native tests: each work runs on a std::thread of its own,
// and the owner waits for every one of them when it goes.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "retrieval/worker_threads.h"

namespace brindlecap::testing {

class ThreadWorkers : public WorkerThreads {
 public:
  ~ThreadWorkers() override {
    for (std::thread& thread : threads_) thread.join();
  }

  bool Start(std::function<void()> work) noexcept override {
    try {
      threads_.emplace_back(std::move(work));
      return true;
    } catch (...) {
      return false;
    }
  }

  // Answers wake the waiting thread, as the window's message or the console's event do.
  DriveWorkers Workers() {
    return DriveWorkers{*this, [this] {
                          const std::lock_guard lock(mutex_);
                          ++answers_;
                          answered_.notify_one();
                        }};
  }
  void WaitForAnswer() {
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [this] { return answers_ > taken_; });
    taken_ = answers_;
  }

 private:
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable answered_;
  int answers_ = 0, taken_ = 0;
};

}  // namespace brindlecap::testing
