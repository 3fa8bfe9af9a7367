#include "shared/win32/system_message_box.h"

#include "platform/wide_text.h"

namespace brindlecap::win32 {

void SystemMessageBox::Show(const std::u16string& text, const std::u16string& title,
                            MessageBoxIcon icon) {
  // A bare carriage return must start a new line too; the box only breaks on CR LF.
  std::wstring shown;
  shown.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    shown.push_back(static_cast<wchar_t>(text[i]));
    if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')) shown.push_back(L'\n');
  }
  const UINT iconFlag = icon == MessageBoxIcon::kCriticalStop  ? MB_ICONERROR
                        : icon == MessageBoxIcon::kInformation ? MB_ICONINFORMATION
                                                               : MB_ICONWARNING;
  const HWND owner = owner_ != nullptr && ::IsWindow(owner_) ? owner_ : nullptr;
  ::MessageBoxW(owner, shown.c_str(), ToWide(title).c_str(),
                MB_OK | iconFlag | (owner ? MB_APPLMODAL : MB_TASKMODAL));
}

}  // namespace brindlecap::win32
