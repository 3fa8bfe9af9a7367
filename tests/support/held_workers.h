#pragma once
// Worker threads under the test's control: each work runs at once, or, while
// holding, waits until the test finishes it, in any order the test chooses.
#include <functional>
#include <utility>
#include <vector>

#include "retrieval/worker_threads.h"

namespace brindlecap::testing {

class HeldWorkers : public WorkerThreads {
 public:
  bool holding = false;
  bool refuse = false;  // no thread can be started
  int answeredCount = 0;

  bool Start(std::function<void()> work) noexcept override {
    if (refuse) return false;
    if (holding) {
      held_.push_back(std::move(work));
    } else {
      work();
    }
    return true;
  }
  // Runs the work started as the index-th (0-based) while holding.
  void Finish(size_t index) { std::exchange(held_.at(index), nullptr)(); }
  size_t HeldCount() const { return held_.size(); }

  DriveWorkers Workers() {
    return DriveWorkers{*this, [this] { ++answeredCount; }};
  }

 private:
  std::vector<std::function<void()>> held_;
};

}  // namespace brindlecap::testing
