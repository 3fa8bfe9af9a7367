#include "command_line/win32/system_standard_handle.h"

#include <algorithm>

#include "export/win32/system_text_files.h"
#include "platform/system_failure.h"

namespace brindlecap::win32 {

bool SystemStandardHandle::IsConsole() {
  DWORD mode = 0;
  const HANDLE handle = ::GetStdHandle(which_);
  return !LeadsNowhere(handle) && ::GetConsoleMode(handle, &mode);
}

void SystemStandardHandle::WriteCharacters(std::u16string_view text) {
  const HANDLE console = ::GetStdHandle(which_);
  // Older consoles refuse a write larger than their shared 64 KiB buffer.
  constexpr size_t kMostAtOnce = 8192;
  while (!text.empty()) {
    size_t count = std::min(text.size(), kMostAtOnce);
    // Both halves of a surrogate pair go in one write.
    if (count < text.size() && text[count - 1] >= 0xD800 && text[count - 1] < 0xDC00) --count;
    DWORD written = 0;
    if (!::WriteConsoleW(console, text.data(), static_cast<DWORD>(count), &written, nullptr) ||
        written == 0) {
      ThrowLastError();
    }
    text.remove_prefix(std::min<size_t>(written, count));
  }
}

std::unique_ptr<TextFileWriter> SystemStandardHandle::OpenBytes() {
  return SystemTextFiles::StreamOnHandle(::GetStdHandle(which_));
}

bool LeadsNowhere(HANDLE handle) noexcept {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return true;
  ::SetLastError(NO_ERROR);
  return ::GetFileType(handle) == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR;
}

}  // namespace brindlecap::win32
