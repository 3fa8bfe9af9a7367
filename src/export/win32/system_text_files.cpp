#include "export/win32/system_text_files.h"

#include <climits>

#include "export/win32/file_replace.h"
#include "platform/system_failure.h"
#include "shared/runtime_failure.h"
#include "shared/win32/system_text.h"

namespace brindlecap::win32 {

namespace {

// A file failure, described in the system's words.
RuntimeFailure FileFailure(DWORD error) { return RuntimeFailure(win32::SystemMessage(error)); }

RuntimeFailure LastErrorFailure() { return FileFailure(GetLastError()); }

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

SystemTextFileWriter::~SystemTextFileWriter() { Discard(); }

void SystemTextFileWriter::CreateTemporaryFile() {
  const std::wstring folder = FolderOf(targetPath_);
  for (unsigned attempt = 0;; ++attempt) {
    std::wstring path = TemporaryNameIn(folder, attempt);
    file_.reset(calls_.createTemporaryFile(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_) {
      temporaryPath_ = std::move(path);
      return;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED && targetExisted_) break;
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100) {
      throw FileFailure(error);
    }
  }
  // A folder where files may be changed but not created: the text goes into the
  // existing file itself, emptied first so that a failure part way leaves it cut
  // short, never new text over the old file's end.
  file_.reset(CreateFileW(targetPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) throw LastErrorFailure();
  kind_ = Kind::kInPlace;
}

void SystemTextFileWriter::WriteStraightTo(HANDLE file) noexcept {
  file_.reset(file);
  kind_ = Kind::kStraight;
}

void SystemTextFileWriter::Discard() noexcept {
  file_.reset();
  if (!temporaryPath_.empty()) RemoveFile(temporaryPath_, calls_);
  temporaryPath_.clear();
  pending_.clear();
}

void SystemTextFileWriter::WriteLine(const std::u16string& text) {
  if (!file_) throw FileFailure(ERROR_INVALID_HANDLE);
  if (text.size() > static_cast<size_t>(INT_MAX)) throw OverflowFailure();
  pending_.append(SystemAnsiCodePage().ToAnsi(text));
  pending_.append("\r\n");
  FlushIfFull();
}

void SystemTextFileWriter::WriteBytes(std::string_view bytes) {
  if (!file_) throw FileFailure(ERROR_INVALID_HANDLE);
  pending_.append(bytes);
  FlushIfFull();
}

void SystemTextFileWriter::FlushIfFull() {
  if (pending_.size() >= flushAt_) {
    const DWORD error = WritePending();
    if (error != ERROR_SUCCESS) {
      if (firstWriteError_ == ERROR_SUCCESS) firstWriteError_ = error;
      throw FileFailure(error);
    }
  }
}

void SystemTextFileWriter::Close() {
  if (!file_) throw FileFailure(ERROR_INVALID_HANDLE);
  // The first failure is the one raised; after any failure the target keeps its bytes.
  DWORD error = WritePending();
  if (error == ERROR_SUCCESS) error = firstWriteError_;
  error = Finish(error);
  if (error == ERROR_SUCCESS && kind_ == Kind::kTemporaryFile) {
    error = GiveTargetName(temporaryPath_, targetPath_, targetExisted_, calls_);
    if (error == ERROR_SUCCESS) temporaryPath_.clear();
  }
  if (error != ERROR_SUCCESS) {
    Discard();
    throw FileFailure(error);
  }
  pending_.clear();
}

DWORD SystemTextFileWriter::Finish(DWORD error) noexcept {
  if (kind_ != Kind::kStraight) {
    // On disk before it takes the target's name. A file system that cannot flush
    // (ERROR_INVALID_FUNCTION) still gets the file.
    if (error == ERROR_SUCCESS && !calls_.flushFile(file_.get()) &&
        GetLastError() != ERROR_INVALID_FUNCTION) {
      error = GetLastError();
    }
  }
  if (!CloseHandle(file_.release()) && error == ERROR_SUCCESS) error = GetLastError();
  return error;
}

DWORD SystemTextFileWriter::WritePending() noexcept {
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

std::unique_ptr<TextFileWriter> SystemTextFiles::Create(const std::u16string& path,
                                                        bool overwrite) {
  // A NUL inside the path would silently cut it short.
  if (path.find(u'\0') != std::u16string::npos) throw FileFailure(ERROR_INVALID_NAME);
  std::wstring targetPath(Wide(path));
  // An existing target opened for writing, shared with everyone and changed in no
  // way: a bad name, a missing folder, a file in use or no permission fails here,
  // before anything is written. A new name stays free until the text takes it.
  win32::UniqueKernelHandle target(CreateFileW(
      targetPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target && GetLastError() != ERROR_FILE_NOT_FOUND) throw LastErrorFailure();
  const bool existed = static_cast<bool>(target);
  if (existed && !overwrite) throw FileFailure(ERROR_FILE_EXISTS);
  std::unique_ptr<SystemTextFileWriter> stream(
      new SystemTextFileWriter(std::move(targetPath), existed, calls_));
  if (existed && GetFileType(target.get()) != FILE_TYPE_DISK) {
    stream->WriteStraightTo(target.release());
    return stream;
  }
  // Windows refuses to open a read-only file for writing; Wine run as root does not.
  BY_HANDLE_FILE_INFORMATION information;
  if (existed && GetFileInformationByHandle(target.get(), &information) &&
      (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw FileFailure(ERROR_ACCESS_DENIED);
  }
  target.reset();  // an open file could not be replaced
  stream->CreateTemporaryFile();
  return stream;
}

std::unique_ptr<TextFileWriter> SystemTextFiles::StreamOnHandle(HANDLE handle) {
  HANDLE duplicate = nullptr;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &duplicate, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    const bool noHandle = handle == nullptr || handle == INVALID_HANDLE_VALUE;
    throw FileFailure(noHandle ? ERROR_INVALID_HANDLE : GetLastError());
  }
  win32::UniqueKernelHandle owned(duplicate);
  std::unique_ptr<SystemTextFileWriter> stream(
      new SystemTextFileWriter(std::wstring(), false, SaveFileCalls{}));
  stream->WriteStraightTo(owned.release());
  return stream;
}

}  // namespace brindlecap::win32
