// The export floor: writes the bytes of a file the program saved to another
// file with one WriteFile, as many times as asked; prints each time in
// microseconds (create, write, close).
//   write_file <saved file> <scratch file> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: write_file <saved file> <scratch file> [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 20;
  HANDLE source = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (source == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "write_file: cannot open the saved file, error %lu\n", GetLastError());
    return 1;
  }
  std::vector<char> bytes(GetFileSize(source, nullptr));
  DWORD read = 0;
  const BOOL readAll =
      ReadFile(source, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(source);
  if (!readAll || read != bytes.size()) return 1;

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  for (int run = 0; run < runs; ++run) {
    QueryPerformanceCounter(&start);
    HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const BOOL ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    QueryPerformanceCounter(&end);
    if (!ok) {
      std::fprintf(stderr, "write_file: writing failed, error %lu\n", GetLastError());
      return 1;
    }
    std::printf("run %d %.1f\n", run + 1,
                static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                    static_cast<double>(frequency.QuadPart));
  }
  std::printf("bytes %lu\n", static_cast<unsigned long>(bytes.size()));
  DeleteFileW(argv[2]);
  return 0;
}
