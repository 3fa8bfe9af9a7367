#include "platform/win32_text_file.h"

#include <climits>

#include "platform/system_failure.h"
#include "shared/runtime_failure.h"

namespace brindlecap {

namespace {

// The runtime's numbers for the file errors a user can run into.
int32_t RuntimeNumberFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
      return 53;  // File not found
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
      return 76;  // Path not found
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return 70;  // Permission denied
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return 58;  // File already exists
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return 61;  // Disk full
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_HANDLE:
      return 52;  // Bad file name or number
    case ERROR_NOT_READY:
      return 71;  // Disk not ready
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return error_number::kOutOfMemory;
    default:
      return 75;  // Path/File access error
  }
}

// A failure in the runtime's numbering, described in the system's words.
RuntimeFailure FileFailure(DWORD error) {
  return RuntimeFailure(RuntimeNumberFor(error), win32::SystemMessage(error));
}

RuntimeFailure LastErrorFailure() { return FileFailure(GetLastError()); }

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

Win32TextStream::~Win32TextStream() {
  if (file_) WritePending();
}

void Win32TextStream::WriteLine(const std::u16string& text) {
  if (!file_) throw FileFailure(ERROR_INVALID_HANDLE);
  if (text.size() > static_cast<size_t>(INT_MAX)) throw OverflowFailure();
  const int units = static_cast<int>(text.size());
  if (units > 0) {
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, Wide(text), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) throw LastErrorFailure();
    const size_t start = pending_.size();
    pending_.resize(start + static_cast<size_t>(bytes));
    if (WideCharToMultiByte(CP_ACP, 0, Wide(text), units, &pending_[start], bytes, nullptr,
                            nullptr) != bytes) {
      const DWORD error = GetLastError();
      pending_.resize(start);
      throw FileFailure(error);
    }
  }
  pending_.append("\r\n");
  if (pending_.size() >= flushAt_) {
    const DWORD error = WritePending();
    if (error != ERROR_SUCCESS) throw FileFailure(error);
  }
}

void Win32TextStream::Close() {
  if (!file_) throw FileFailure(ERROR_INVALID_HANDLE);
  // The handle is closed whatever happened; the first failure is the one raised.
  DWORD error = WritePending();
  if (!CloseHandle(file_.release()) && error == ERROR_SUCCESS) error = GetLastError();
  pending_.clear();
  if (error != ERROR_SUCCESS) throw FileFailure(error);
}

DWORD Win32TextStream::WritePending() noexcept {
  size_t written = 0;
  while (written < pending_.size()) {
    const size_t chunk = pending_.size() - written;
    const DWORD request = chunk > 0x40000000 ? 0x40000000 : static_cast<DWORD>(chunk);
    DWORD done = 0;
    if (!WriteFile(file_.get(), pending_.data() + written, request, &done, nullptr) || done == 0) {
      DWORD error = GetLastError();
      if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
      // Keep what did not reach the file; the next attempt comes one buffer later,
      // so a full disk does not cost a write attempt per line.
      pending_.erase(0, written + done);
      flushAt_ = pending_.size() + kFlushSize;
      return error;
    }
    written += done;
  }
  pending_.clear();
  flushAt_ = kFlushSize;
  return ERROR_SUCCESS;
}

std::unique_ptr<TextStream> Win32FileSystemObject::CreateTextFile(const std::u16string& path,
                                                                  bool overwrite) {
  // A NUL inside the path would silently cut it short.
  if (path.find(u'\0') != std::u16string::npos) throw FileFailure(ERROR_INVALID_NAME);
  win32::UniqueKernelHandle file(CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             overwrite ? CREATE_ALWAYS : CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw LastErrorFailure();
  auto stream = std::make_unique<Win32TextStream>(file.get());
  file.release();  // the stream owns it now
  return stream;
}

}  // namespace brindlecap
