// The system's worker threads: finished threads are let go, the owner waits for
// running ones, and a thread stuck in a call can be cancelled where the system allows
// it. (Each thread's own last error: tests/thread_model, in both thread models.)
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/handles.h"
#include "retrieval/win32/queued_worker_threads.h"
#include "retrieval/win32/system_worker_threads.h"

namespace brindlecap::win32 {
namespace {

// The process's open handles, found by asking each possible value: Wine's
// GetProcessHandleCount always answers 0.
int OpenHandleCount() {
  int count = 0;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

TEST(WorkerThreadsTest, FinishedThreadsAreLetGoAndTheOwnerWaitsForRunningOnes) {
  std::atomic<bool> lastFinished{false};
  {
    SystemWorkerThreads threads;
    const UniqueEventHandle done(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    const int handlesBefore = OpenHandleCount();
    ASSERT_GT(handlesBefore, 0);
    for (int i = 0; i < 60; ++i) {
      ASSERT_TRUE(threads.Start([event = done.get()] { SetEvent(event); }));
      ASSERT_EQ(WaitForSingleObject(done.get(), 5000), WAIT_OBJECT_0);
      Sleep(1);  // the thread ends just after its last act
    }
    EXPECT_LT(OpenHandleCount(), handlesBefore + 10) << "threads of earlier runs pile up";
    ASSERT_TRUE(threads.Start([&] {
      Sleep(300);
      lastFinished = true;
    }));
  }
  EXPECT_TRUE(lastFinished) << "the owner went without waiting for a running thread";
}

TEST(WorkerThreadsTest, CancelsTheCallARunningThreadWaitsIn) {
  HANDLE read = nullptr, write = nullptr;
  ASSERT_TRUE(CreatePipe(&read, &write, nullptr, 0));
  const UniqueKernelHandle reader(read), writer(write);
  const UniqueEventHandle ended(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<DWORD> error{0};
  SystemWorkerThreads threads;
  // A read from a pipe nobody writes to waits like a call to a dead network drive.
  ASSERT_TRUE(threads.Start([&, event = ended.get()] {
    char byte;
    DWORD count = 0;
    if (!ReadFile(read, &byte, 1, &count, nullptr)) error = GetLastError();
    SetEvent(event);
  }));
  Sleep(200);
  threads.CancelPendingCalls();
  const bool cancelled = WaitForSingleObject(ended.get(), 5000) == WAIT_OBJECT_0;
  if (!cancelled) {
    DWORD written = 0;
    WriteFile(write, "x", 1, &written, nullptr);  // lets the thread end
  }
  EXPECT_TRUE(cancelled) << "the thread still waits in its call";
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
}

bool WaitUntilDone(const std::atomic<int>& done, int count) {
  for (int waited = 0; waited < 5000 && done < count; waited += 5) Sleep(5);
  return done == count;
}

// Prompt works share one thread, and so do works started after the queue ran dry
// (a window keeps the queue's thread for its next run, the console program does
// not); a slow first work keeps the others waiting only while the wait is patient.
void ShareAThreadUntilOneKeepsTheOthersWaiting(QueuedWorkerThreads& threads, bool kept) {
  std::vector<DWORD> ranOn(5, 0);
  std::atomic<int> done{0};
  const UniqueEventHandle answered(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  const UniqueEventHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const auto work = [&](int index, bool slow) {
    return [&, index, slow] {
      ranOn[index] = GetCurrentThreadId();
      if (slow) WaitForSingleObject(release.get(), 5000);
      SetEvent(answered.get());  // before it counts as done, so that a reset after it holds
      ++done;
    };
  };
  ASSERT_TRUE(threads.Start(work(0, false)));
  ASSERT_TRUE(threads.Start(work(1, false)));
  ASSERT_TRUE(WaitUntilDone(done, 2));
  EXPECT_EQ(ranOn[0], ranOn[1]);
  if (kept) Sleep(50);  // the kept thread is waiting for work by now
  for (int waited = 0; waited < 5000 && !kept && threads.AnyRunning(); waited += 5) Sleep(5);
  ASSERT_TRUE(threads.Start(work(2, false)));
  ASSERT_TRUE(WaitUntilDone(done, 3)) << "a work started after the queue ran dry never ran";

  ResetEvent(answered.get());  // the slow work comes first: no answer yet
  ASSERT_TRUE(threads.Start(work(3, true)));
  ASSERT_TRUE(threads.Start(work(4, false)));
  for (int i = 0; i < 40 && done < 4; ++i) threads.WaitForAnswer(answered.get(), 1000);
  EXPECT_EQ(done, 4) << "the work queued behind the slow one got no thread of its own";
  EXPECT_NE(ranOn[4], ranOn[3]);
  SetEvent(release.get());
  EXPECT_TRUE(WaitUntilDone(done, 5));
}

TEST(WorkerThreadsTest, QueuedWorksShareAThreadUntilOneKeepsTheOthersWaiting) {
  {
    QueuedWorkerThreads threads;
    ShareAThreadUntilOneKeepsTheOthersWaiting(threads, false);
  }
  // The kept thread ends with the object.
  QueuedWorkerThreads threads{QueuedWorkerThreads::KeepQueueThread{}};
  ShareAThreadUntilOneKeepsTheOthersWaiting(threads, true);
}

}  // namespace
}  // namespace brindlecap::win32
