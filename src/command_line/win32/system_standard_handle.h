#pragma once
// Standard output or error of this process, as GetStdHandle gives it.
#include <windows.h>

#include "command_line/standard_stream.h"

namespace brindlecap::win32 {

class SystemStandardHandle : public StandardHandle {
 public:
  // STD_OUTPUT_HANDLE or STD_ERROR_HANDLE.
  explicit SystemStandardHandle(DWORD which) noexcept : which_(which) {}

  bool IsConsole() override;
  void WriteCharacters(std::u16string_view text) override;
  std::unique_ptr<TextFileWriter> OpenBytes() override;

 private:
  DWORD which_;
};

// Whether the handle leads nowhere: none given, or one this process does not have.
bool LeadsNowhere(HANDLE handle) noexcept;

}  // namespace brindlecap::win32
