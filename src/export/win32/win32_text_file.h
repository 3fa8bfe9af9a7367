#pragma once
// The export's file-writing facility over the Win32 file API: the text is
// converted to the ANSI code page and written with CR LF line ends, beside the
// target under a temporary name; a successful Close moves it over the target.
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "export/text_file.h"
#include "platform/handles.h"

namespace brindlecap::win32 {

class Win32TextStream : public TextStream {
 public:
  // Takes over `target`, the target held open until Close: the existing file, or an
  // empty placeholder created for the new name (`createdTarget`).
  Win32TextStream(HANDLE target, std::wstring targetPath, bool createdTarget) noexcept
      : target_(target), targetPath_(std::move(targetPath)), createdTarget_(createdTarget) {}
  // Without a successful Close nothing reaches the target: the temporary file and
  // a placeholder are removed, an existing file is left as it was.
  ~Win32TextStream() override;
  Win32TextStream(const Win32TextStream&) = delete;
  Win32TextStream& operator=(const Win32TextStream&) = delete;

  void WriteLine(const std::u16string& text) override;
  void WriteBytes(std::string_view bytes) override;
  // Moves the text over the target. Fails, leaving the target as it was, when
  // anything written failed, now or before.
  void Close() override;

 private:
  friend class Win32FileSystemObject;
  // Creates the file the text goes to, in the target's folder under a name of its own.
  void CreateTemporaryFile();
  // A device or a pipe has no bytes to keep and cannot be replaced: the text goes
  // straight to it.
  void WriteStraightToTarget() noexcept;
  // Writes out what is pending once it has reached the flush size; raises the failure.
  void FlushIfFull();
  // Writes out what is pending; ERROR_SUCCESS or the system's error code.
  [[nodiscard]] DWORD WritePending() noexcept;
  // Removes the temporary file and a placeholder; the target keeps its bytes.
  void Discard() noexcept;

  win32::UniqueKernelHandle target_;
  std::wstring targetPath_;
  bool createdTarget_;
  win32::UniqueKernelHandle file_;
  std::wstring temporaryPath_;  // empty when there is no temporary file
  std::string pending_;
  size_t flushAt_ = kFlushSize;
  DWORD firstWriteError_ = ERROR_SUCCESS;

  static constexpr size_t kFlushSize = 64 * 1024;
};

class Win32FileSystemObject : public FileSystemObject {
 public:
  // overwrite: replace an existing file; otherwise an existing file is a failure.
  // A target that cannot be written fails here, before a temporary file exists.
  std::unique_ptr<TextStream> CreateTextFile(const std::u16string& path, bool overwrite) override;
  // A stream that writes straight to an open handle (standard output), through a
  // duplicate of it: closing the stream leaves the handle itself open.
  static std::unique_ptr<TextStream> StreamOnHandle(HANDLE handle);
};

}  // namespace brindlecap::win32
