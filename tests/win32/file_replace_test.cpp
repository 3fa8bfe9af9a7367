// How a finished save takes the target's name when the system's calls are refused as
// Windows, a share or another program refuses them (through the save's seams).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/win32/system_text_files.h"
#include "platform/system_failure.h"
#include "support/failure_text.h"
#include "support/scratch_files.h"

namespace brindlecap {
namespace {

using e2e::FolderEntries;
using e2e::WriteFileBytes;
using win32::SaveFileCalls;

std::wstring gTarget;  // the case's target
int gReplaceCalls = 0;
HANDLE gHeldBackup = nullptr;

template <DWORD error>
BOOL WINAPI ReplaceRefused(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  SetLastError(error);
  return FALSE;
}

// As Windows leaves it: the old file under the backup name, the text under its own.
BOOL WINAPI ReplaceLeavingBackup(LPCWSTR target, LPCWSTR, LPCWSTR backup, DWORD, LPVOID, LPVOID) {
  if (!MoveFileExW(target, backup, 0)) return FALSE;
  SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
  return FALSE;
}

BOOL WINAPI ReplaceFirstRefusedWith1176(LPCWSTR target, LPCWSTR text, LPCWSTR backup, DWORD flags,
                                        LPVOID exclude, LPVOID reserved) {
  if (++gReplaceCalls > 1) return ReplaceFileW(target, text, backup, flags, exclude, reserved);
  SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
  return FALSE;
}

// The target was gone when the replace looked, and another program's file took its
// name right after.
BOOL WINAPI ReplaceFindingNoneThenAnother(LPCWSTR target, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  WriteFileBytes(target, "other");
  SetLastError(ERROR_FILE_NOT_FOUND);
  return FALSE;
}

DWORD WINAPI LetBackupGo(void*) {
  Sleep(300);
  CloseHandle(gHeldBackup);
  return 0;
}

// Replaces, then a scanner holds the backup for a moment, without delete sharing.
BOOL WINAPI ReplaceThenBackupHeld(LPCWSTR target, LPCWSTR text, LPCWSTR backup, DWORD flags,
                                  LPVOID exclude, LPVOID reserved) {
  if (!ReplaceFileW(target, text, backup, flags, exclude, reserved)) return FALSE;
  gHeldBackup = CreateFileW(backup, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  CloseHandle(CreateThread(nullptr, 0, LetBackupGo, nullptr, 0, nullptr));
  return TRUE;
}

template <DWORD error>
BOOL WINAPI FlushRefused(HANDLE) {
  SetLastError(error);
  return FALSE;
}

// A folder where only the target's own folder takes new files.
HANDLE WINAPI CreateOnlyBesideTarget(LPCWSTR path, DWORD access, DWORD share,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                     DWORD attributes, HANDLE model) {
  const std::wstring name(path);
  const std::wstring folder = gTarget.substr(0, gTarget.rfind(L'\\') + 1);
  if (name.compare(0, folder.size(), folder) != 0 || name.find(L'\\', folder.size()) != name.npos) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileW(path, access, share, security, disposition, attributes, model);
}

// Windows refuses a path of MAX_PATH characters or more unless it has the \\?\ form.
bool TooLongForWindows(LPCWSTR path) {
  return path != nullptr && wcslen(path) >= MAX_PATH && wcsncmp(path, L"\\\\?\\", 4) != 0;
}
HANDLE WINAPI CreateAsWindows(LPCWSTR path, DWORD access, DWORD share,
                              LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD attributes,
                              HANDLE model) {
  if (!TooLongForWindows(path)) {
    return CreateFileW(path, access, share, security, disposition, attributes, model);
  }
  SetLastError(ERROR_PATH_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}
BOOL WINAPI ReplaceAsWindows(LPCWSTR target, LPCWSTR text, LPCWSTR backup, DWORD flags,
                             LPVOID exclude, LPVOID reserved) {
  if (!TooLongForWindows(target) && !TooLongForWindows(text) && !TooLongForWindows(backup)) {
    return ReplaceFileW(target, text, backup, flags, exclude, reserved);
  }
  SetLastError(ERROR_PATH_NOT_FOUND);
  return FALSE;
}
BOOL WINAPI MoveAsWindows(LPCWSTR from, LPCWSTR to, DWORD flags) {
  if (!TooLongForWindows(from) && !TooLongForWindows(to)) return MoveFileExW(from, to, flags);
  SetLastError(ERROR_PATH_NOT_FOUND);
  return FALSE;
}

void RemoveTarget() { DeleteFileW(gTarget.c_str()); }
void AnotherFileTakesTheName() { WriteFileBytes(gTarget, "other"); }

TEST(FileReplaceTest, TheTextTakesTheNameOrTheTargetIsKeptAndNoOtherFileIsLeft) {
  e2e::ScratchFolder scratch;
  // A target "a.txt" that fills MAX_PATH, so that "~bc12345.tmp" beside it would not fit.
  const std::wstring longName = L"a.txt";
  std::wstring longFolder = scratch.Path();
  while (longFolder.size() < MAX_PATH - 2 - longName.size()) {
    const size_t left = MAX_PATH - 2 - longName.size() - longFolder.size();
    longFolder += L"\\" + std::wstring(left > 61 ? 60 : left - 1, L'f');
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
  }
  struct Case {
    const char* what;
    bool targetExists;
    void (*beforeClose)();  // another program's doing, or nothing
    SaveFileCalls calls;
    DWORD failure;  // the error the close tells of, or none
    const char* targetHolds;
    bool longPath = false;
  };
  const SaveFileCalls system;
  const auto with = [](auto change) {
    SaveFileCalls calls;
    change(calls);
    return calls;
  };
  const Case cases[] = {
      {"replaced", true, nullptr, system, 0, "new\r\n"},
      {"new name", false, nullptr, system, 0, "new\r\n"},
      {"a file took the new name meanwhile", false, AnotherFileTakesTheName, system,
       ERROR_ALREADY_EXISTS, "other"},
      {"the target was removed meanwhile", true, RemoveTarget, system, 0, "new\r\n"},
      {"removed, then another file took the name", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceFindingNoneThenAnother; }), ERROR_ALREADY_EXISTS,
       "other"},
      {"replace refused: access denied", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceRefused<ERROR_ACCESS_DENIED>; }), 0, "new\r\n"},
      {"replace refused: not supported", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceRefused<ERROR_NOT_SUPPORTED>; }), 0, "new\r\n"},
      {"replace refused: invalid parameter", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceRefused<ERROR_INVALID_PARAMETER>; }), 0,
       "new\r\n"},
      {"replace held: sharing violation", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceRefused<ERROR_SHARING_VIOLATION>; }),
       ERROR_SHARING_VIOLATION, "old"},
      {"replace left both names once (1176)", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceFirstRefusedWith1176; }), 0, "new\r\n"},
      {"replace left the old file as the backup (1177)", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceLeavingBackup; }), 0, "new\r\n"},
      {"the backup held for a moment", true, nullptr,
       with([](auto& c) { c.replaceFile = ReplaceThenBackupHeld; }), 0, "new\r\n"},
      {"flush not supported by the device", true, nullptr,
       with([](auto& c) { c.flushFile = FlushRefused<ERROR_INVALID_FUNCTION>; }), 0, "new\r\n"},
      {"flush failed", true, nullptr,
       with([](auto& c) { c.flushFile = FlushRefused<ERROR_IO_DEVICE>; }), ERROR_IO_DEVICE, "old"},
      {"only the target's folder takes new files", false, nullptr,
       with([](auto& c) { c.createTemporaryFile = CreateOnlyBesideTarget; }), 0, "new\r\n"},
      {"long path replaced", true, nullptr, with([](auto& c) {
         c.createTemporaryFile = CreateAsWindows;
         c.replaceFile = ReplaceAsWindows;
         c.moveFile = MoveAsWindows;
       }),
       0, "new\r\n", true},
      {"long path, new name", false, nullptr, with([](auto& c) {
         c.createTemporaryFile = CreateAsWindows;
         c.moveFile = MoveAsWindows;
       }),
       0, "new\r\n", true},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring folder = c.longPath ? longFolder : scratch.File(std::to_wstring(++number));
    ASSERT_TRUE(c.longPath || CreateDirectoryW(folder.c_str(), nullptr));
    gTarget = folder + L"\\" + (c.longPath ? longName : L"drives.txt");
    ASSERT_LT(gTarget.size(), static_cast<size_t>(MAX_PATH));  // 259 for the long path
    gReplaceCalls = 0;
    if (c.targetExists) WriteFileBytes(gTarget, "old");
    auto stream = win32::SystemTextFiles(c.calls).Create(
        std::u16string(gTarget.begin(), gTarget.end()), true);
    stream->WriteLine(u"new");
    if (c.beforeClose != nullptr) c.beforeClose();
    const auto told = testing::FailureText([&] { stream->Close(); });
    EXPECT_EQ(told, c.failure ? std::optional(win32::SystemMessage(c.failure)) : std::nullopt);
    stream.reset();
    EXPECT_EQ(e2e::ReadFileBytes(gTarget).value_or("<missing>"), c.targetHolds);
    EXPECT_EQ(FolderEntries(folder), std::vector<std::wstring>{gTarget.substr(folder.size() + 1)});
    DeleteFileW(gTarget.c_str());
  }
}

}  // namespace
}  // namespace brindlecap
