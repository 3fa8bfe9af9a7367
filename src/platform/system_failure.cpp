#include "platform/system_failure.h"

#include "platform/wide_text.h"
#include "shared/text_convert.h"

namespace brindlecap::win32 {

std::u16string SystemMessage(DWORD errorCode) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (length != 0 && buffer != nullptr) {
    text = FromWide(std::wstring_view(buffer, length));
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
      text.pop_back();
    }
  }
  if (buffer != nullptr) ::LocalFree(buffer);
  if (text.empty()) text = u"System error " + DecimalText(errorCode);
  return text;
}

void ThrowLastError() { throw RuntimeFailure(SystemMessage(::GetLastError())); }

}  // namespace brindlecap::win32
