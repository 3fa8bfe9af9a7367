#include "support/holding_pipe.h"

#include <atomic>

namespace brindlecap::e2e {
namespace {

std::string Failed(const char* what) {
  return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

}  // namespace

HoldingPipe::HoldingPipe() {
  static std::atomic<int> counter{0};
  const std::wstring name = L"brindlecap-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(counter++);
  // No buffer in either direction: a write completes only once it has been read.
  pipe_.reset(
      CreateNamedPipeW((L"\\\\.\\pipe\\" + name).c_str(),
                       PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr));
  if (!pipe_) throw DriverError(Failed("CreateNamedPipe"));
  connected_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  readDone_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!connected_ || !readDone_) throw DriverError(Failed("CreateEvent"));
  connect_.hEvent = connected_.get();
  if (!ConnectNamedPipe(pipe_.get(), &connect_)) {
    const DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
      connectPending_ = true;
    } else if (error != ERROR_PIPE_CONNECTED) {
      throw DriverError(Failed("ConnectNamedPipe"));
    }
  }
  target_ = L"\\Device\\NamedPipe\\" + name;
  if (!DefineDosDeviceW(DDD_RAW_TARGET_PATH, kDevice, target_.c_str())) {
    const std::string failure = Failed("DefineDosDevice");
    StopWaitingForTheProgram();
    throw DriverError(failure);
  }
}

HoldingPipe::~HoldingPipe() {
  DefineDosDeviceW(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, kDevice,
                   target_.c_str());
  StopWaitingForTheProgram();
}

void HoldingPipe::StopWaitingForTheProgram() {
  if (!connectPending_) return;
  CancelIo(pipe_.get());
  DWORD ignored = 0;
  GetOverlappedResult(pipe_.get(), &connect_, &ignored, TRUE);
  connectPending_ = false;
}

bool HoldingPipe::Connected() {
  if (connectPending_ && WaitForSingleObject(connected_.get(), 0) == WAIT_OBJECT_0) {
    connectPending_ = false;
  }
  return !connectPending_;
}

HoldingPipe::State HoldingPipe::Poll() {
  if (!Connected()) return State::kNothingYet;
  DWORD waiting = 0;
  // Fails once the program has closed its end and nothing is left to read.
  if (!PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &waiting, nullptr)) return State::kEnded;
  return waiting > 0 ? State::kWriteWaiting : State::kNothingYet;
}

HoldingPipe::State HoldingPipe::WaitForWrite(Milliseconds timeout,
                                             const std::function<bool()>& stop) {
  State state = State::kNothingYet;
  WaitUntil(
      [&] {
        state = Poll();
        return state != State::kNothingYet || (stop && stop());
      },
      timeout, Milliseconds(1));
  return state;
}

void HoldingPipe::TakeWaiting() {
  DWORD waiting = 0;
  if (!Connected() || !PeekNamedPipe(pipe_.get(), nullptr, 0, nullptr, &waiting, nullptr) ||
      waiting == 0) {
    return;
  }
  std::string bytes(waiting, '\0');
  OVERLAPPED io{};
  io.hEvent = readDone_.get();
  DWORD read = 0;
  if (!ReadFile(pipe_.get(), bytes.data(), waiting, &read, &io) &&
      (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(pipe_.get(), &io, &read, TRUE))) {
    throw DriverError(Failed("ReadFile on the pipe"));
  }
  taken_.append(bytes.data(), read);
}

bool HoldingPipe::TakeToEnd(Milliseconds timeout) {
  return WaitUntil(
      [&] {
        TakeWaiting();
        return Poll() == State::kEnded;
      },
      timeout, Milliseconds(1));
}

}  // namespace brindlecap::e2e
