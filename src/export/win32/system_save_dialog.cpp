#include "export/win32/system_save_dialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <vector>

#include "platform/system_failure.h"
#include "platform/system_function.h"
#include "platform/wide_text.h"
#include "shared/runtime_failure.h"
#include "shared/text_convert.h"

namespace brindlecap::win32 {

namespace {

size_t BoundedLength(const wchar_t* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length] != L'\0') ++length;
  return length;
}

const char* DialogErrorText(DWORD code) {
  switch (code) {
    case FNERR_BUFFERTOOSMALL:
      return "The file name is too long";
    case FNERR_INVALIDFILENAME:
      return "The file name is not valid";
    case FNERR_SUBCLASSFAILURE:
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE:
      return "Not enough memory for the file dialog";
    default:
      return "The file dialog could not be shown";
  }
}

RuntimeFailure DialogFailure(DWORD code) {
  std::string text = DialogErrorText(code);
  text += " (dialog error 0x";
  text += HexText(code, 4);
  text += ")";
  return RuntimeFailure(AsciiToUtf16(text));
}

// The filter as the dialog takes it: NUL-separated, ended by two NULs.
std::wstring DialogFilterText(const std::u16string& filter) {
  std::wstring text;
  text.reserve(filter.size() + 2);
  for (char16_t c : filter) text.push_back(c == u'|' ? L'\0' : static_cast<wchar_t>(c));
  // A filter ended by '|' already has its last NUL; the extra one is harmless.
  text.push_back(L'\0');
  text.push_back(L'\0');
  return text;
}

}  // namespace

std::u16string ChosenPath(const wchar_t* buffer, size_t bufferLength, WORD fileOffset) {
  const size_t first = BoundedLength(buffer, bufferLength);
  const auto* text = reinterpret_cast<const char16_t*>(buffer);
  std::u16string path(text, first);
  // Multiple selection: "folder\0name\0...\0\0", the offset pointing past the folder.
  if (fileOffset > 0 && fileOffset == first + 1 && fileOffset < bufferLength) {
    const size_t nameLength = BoundedLength(buffer + fileOffset, bufferLength - fileOffset);
    if (nameLength > 0) {
      if (!path.empty() && path.back() != u'\\') path.push_back(u'\\');
      path.append(text + fileOffset, nameLength);
    }
  }
  return path;
}

namespace {

// The dialog's library is loaded on the first save, from the system folder by its
// full path: most runs never save, and start faster without it.
struct DialogLibrary {
  using GetSaveFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
  using ExtendedErrorFunction = DWORD(WINAPI*)();
  GetSaveFileNameFunction getSaveFileName = nullptr;
  ExtendedErrorFunction extendedError = nullptr;
};

// Where the system knows LOAD_LIBRARY_SEARCH_SYSTEM32 (it then has
// SetDefaultDllDirectories), the library and the ones it loads come from System32
// alone; elsewhere it is named by its full path there.
HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (SystemFunction<FARPROC>(L"kernel32.dll", "SetDefaultDllDirectories") != nullptr) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  wchar_t systemFolder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(systemFolder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return ::LoadLibraryW((std::wstring(systemFolder, length) + L"\\" + name).c_str());
}

const DialogLibrary& LoadDialogLibrary() {
  static DialogLibrary library;
  if (library.getSaveFileName != nullptr) return library;
  // Kept loaded for the rest of the run: the dialog leaves threads of its own behind.
  const HMODULE module = LoadSystemLibrary(L"comdlg32.dll");
  if (module == nullptr) win32::ThrowLastError();
  library.extendedError =
      SystemFunction<DialogLibrary::ExtendedErrorFunction>(module, "CommDlgExtendedError");
  library.getSaveFileName =
      SystemFunction<DialogLibrary::GetSaveFileNameFunction>(module, "GetSaveFileNameW");
  if (library.getSaveFileName == nullptr || library.extendedError == nullptr) {
    library.getSaveFileName = nullptr;
    win32::ThrowLastError();
  }
  return library;
}

}  // namespace

void SystemSaveDialog::ShowSave() {
  const DialogLibrary& library = LoadDialogLibrary();
  std::vector<wchar_t> buffer(kFileBufferLength, L'\0');
  const size_t initial =
      fileName_.size() < kFileBufferLength - 1 ? fileName_.size() : kFileBufferLength - 1;
  for (size_t i = 0; i < initial; ++i) buffer[i] = static_cast<wchar_t>(fileName_[i]);
  const std::wstring filter = DialogFilterText(filter_);
  const std::wstring title = win32::ToWide(title_);

  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
  // Windows keeps the current folder open: left in the chosen folder, a stick
  // could not be removed while the program runs.
  dialog.Flags = static_cast<DWORD>(flags_) | OFN_NOCHANGEDIR;

  if (library.getSaveFileName(&dialog)) {
    fileName_ = ChosenPath(buffer.data(), buffer.size(), dialog.nFileOffset);
    return;
  }
  const DWORD error = library.extendedError();
  fileName_.clear();
  if (error != 0) throw DialogFailure(error);
}

}  // namespace brindlecap::win32
