// A library that announces its loading: a file "marker-loaded" beside it. Placed
// beside the program under a system library's name, it shows whether the program
// ever takes a library from its own folder.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 16];
  DWORD length = ::GetModuleFileNameW(instance, path, MAX_PATH);
  while (length > 0 && path[length - 1] != L'\\') --length;
  ::lstrcpyW(path + length, L"marker-loaded");
  const HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return TRUE;
}
