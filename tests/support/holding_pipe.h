#pragma once
// A file name to save into that leads to a named pipe read by the test. The pipe
// buffers nothing: each of the program's writes waits until the test has taken
// its bytes. So the test decides when a save may go on, and holds the program
// still in the middle of it for as long as it needs.
//
// Wine's save dialog turns a typed \\.\pipe\ name into a path on a drive, so
// the program reaches the pipe through a DOS device name instead: in any folder,
// LPT9 names the device LPT9, which this object defines as its pipe while it lives.
// One object at a time in a Wine session.
#include <windows.h>

#include <functional>
#include <string>

#include "support/window_driver.h"

namespace brindlecap::e2e {

class HoldingPipe {
 public:
  HoldingPipe();  // throws DriverError
  HoldingPipe(const HoldingPipe&) = delete;
  HoldingPipe& operator=(const HoldingPipe&) = delete;
  ~HoldingPipe();

  // A path in `folder` (an existing one) that leads to the pipe.
  static std::wstring PathIn(const std::wstring& folder) { return folder + L"\\" + kDevice; }

  enum class State {
    kNothingYet,    // not opened yet, or open with no write waiting
    kWriteWaiting,  // a write waits until its bytes are taken
    kEnded,         // the program has closed its end and every byte is taken
  };
  State Poll();
  // Polls until a write waits or the pipe has ended; kNothingYet when `stop`
  // said so or the timeout passed first.
  State WaitForWrite(Milliseconds timeout, const std::function<bool()>& stop = nullptr);
  // Takes the bytes of the waiting write, if any, which lets it return.
  void TakeWaiting();
  // Takes every write until the program closes its end; false on timeout.
  bool TakeToEnd(Milliseconds timeout);
  const std::string& Taken() const { return taken_; }

 private:
  bool Connected();
  void StopWaitingForTheProgram();  // ends a pending connect, if any

  static constexpr wchar_t kDevice[] = L"LPT9";
  std::wstring target_;  // the pipe's name in the object namespace
  UniqueKernelHandle pipe_;
  win32::UniqueEventHandle connected_, readDone_;
  OVERLAPPED connect_{};
  bool connectPending_ = false;
  std::string taken_;
};

}  // namespace brindlecap::e2e
