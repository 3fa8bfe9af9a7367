#include "main_window/win32/skin.h"

#include <string>

#include "platform/handles.h"
#include "platform/system_failure.h"

namespace brindlecap::win32 {

namespace {

bool IsNormalFile(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(::FindFirstFileW(path.c_str(), &found));
  if (!search) return false;
  constexpr DWORD kExcluded =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
  return (found.dwFileAttributes & kExcluded) == 0;
}

// At most one byte more than a theme may have: the parser rejects a larger file,
// and a huge one costs no more than a small one.
std::string ReadSmallFile(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowLastError();
  std::string content(kLargestThemeFile + 1, '\0');
  size_t filled = 0;
  while (filled < content.size()) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), &content[filled], static_cast<DWORD>(content.size() - filled),
                    &read, nullptr)) {
      ThrowLastError();
    }
    if (read == 0) break;
    filled += read;
  }
  content.resize(filled);
  return content;
}

}  // namespace

void ApplySkin(SkinnableForm& form) {
  // Without the program's folder there is no skin to look for (never the drive's root).
  if (form.ProgramFolder().empty()) return;
  if (!IsNormalFile(form.ProgramFolder() + kSkinFileName)) return;
  form.SetBackground(kButtonFace);
  const std::wstring skinFile = form.ProgramFolder() + kSkinFileName;
  form.ApplyTheme(ParseTheme(ReadSmallFile(skinFile)));
  ::RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

}  // namespace brindlecap::win32
