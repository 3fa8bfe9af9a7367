#include "main_window/win32/clipboard.h"

#include <algorithm>

#include "platform/handles.h"

namespace brindlecap::win32 {

namespace {

// Another program (clipboard history, a remote desktop) may hold the clipboard for
// a moment: try again with growing waits, about half a second in all.
bool OpenBusyClipboard(HWND owner) noexcept {
  constexpr DWORD kWaits[] = {10, 20, 40, 80, 150, 200};
  if (::OpenClipboard(owner)) return true;
  for (DWORD wait : kWaits) {
    ::Sleep(wait);
    if (::OpenClipboard(owner)) return true;
  }
  return false;
}

}  // namespace

bool CopyToClipboard(HWND owner, std::u16string_view text) noexcept {
  UniqueGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)));
  if (!memory) return false;
  auto* characters = static_cast<char16_t*>(::GlobalLock(memory.get()));
  if (characters == nullptr) return false;
  std::copy(text.begin(), text.end(), characters);
  characters[text.size()] = u'\0';
  ::GlobalUnlock(memory.get());

  if (!OpenBusyClipboard(owner)) return false;
  ::EmptyClipboard();
  // Once set, the memory belongs to the clipboard.
  const bool taken = ::SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
  if (taken) memory.release();
  ::CloseClipboard();
  return taken;
}

}  // namespace brindlecap::win32
