// Holds a file open the way a virus scanner does right after the file was written:
// sharing read and write but not delete, so that it can be neither renamed nor
// replaced meanwhile.
//   win32_file_holder <path> <milliseconds> <event name>
// Sets the named event once the file is open, closes the file after the time.
// Exit status: 0 done, 1 the file could not be opened, 2 wrong arguments.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  HANDLE opened = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[3]);
  if (opened != nullptr) {
    SetEvent(opened);
    CloseHandle(opened);
  }
  Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  CloseHandle(file);
  return 0;
}
