#pragma once
// The export's file-writing facility over the Win32 file API: the text is
// converted to the ANSI code page and written with CR LF line ends.
#include <windows.h>

#include <memory>
#include <string>

#include "export/text_file.h"
#include "platform/handles.h"

namespace brindlecap {

class Win32TextStream : public TextStream {
 public:
  explicit Win32TextStream(HANDLE file) noexcept : file_(file) {}
  // A stream that was never closed still gets what it holds written, as far as
  // that goes; failures are dropped here.
  ~Win32TextStream() override;
  Win32TextStream(const Win32TextStream&) = delete;
  Win32TextStream& operator=(const Win32TextStream&) = delete;

  void WriteLine(const std::u16string& text) override;
  void Close() override;

 private:
  // Writes out what is pending; ERROR_SUCCESS or the system's error code.
  DWORD WritePending() noexcept;

  win32::UniqueKernelHandle file_;
  std::string pending_;
  size_t flushAt_ = kFlushSize;

  static constexpr size_t kFlushSize = 64 * 1024;
};

class Win32FileSystemObject : public FileSystemObject {
 public:
  // overwrite: replace an existing file; otherwise an existing file is a failure.
  std::unique_ptr<TextStream> CreateTextFile(const std::u16string& path, bool overwrite) override;
};

}  // namespace brindlecap
