// The export's real text file: the bytes it leaves on disk and the failures it raises.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "export/win32/system_text_files.h"
#include "platform/system_failure.h"
#include "shared/runtime_failure.h"
#include "support/drive_oracles.h"
#include "support/failure_text.h"
#include "support/scratch_files.h"

namespace brindlecap {
namespace {

using e2e::FolderEntries;
using e2e::FreeOnExactDrive;
using e2e::kExactDrive;
using e2e::kFiller;
using e2e::WriteFileBytes;
using testing::FailureText;
using win32::SystemMessage;
using win32::SystemTextFiles;

std::string ReadAll(const std::wstring& path) {
  return e2e::ReadFileBytes(path).value_or("<missing>");
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// One line of the given length, as the writer hands it over.
std::u16string Line(size_t length) { return std::u16string(length, u'x'); }

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 1252u) << "these expectations are for the Western code page";
  }
  void TearDown() override { DeleteFileW(kFiller); }

  std::wstring PathOf(const std::wstring& name) const { return scratch_.File(name); }

  // What creating the file raises, with overwrite on.
  std::optional<std::u16string> CreateFailure(const std::wstring& path) {
    return FailureText([&] { SystemTextFiles().Create(U16(path), true); });
  }

  e2e::ScratchFolder scratch_;
  const std::wstring folder_ = scratch_.Path();
};

TEST_F(TextFileTest, WritesAnsiLinesWithCrLfAndNoByteOrderMark) {
  const std::wstring path = PathOf(L"drives.txt");
  auto stream = SystemTextFiles().Create(U16(path), true);
  stream->WriteLine(u"Drive\tType\t");
  stream->WriteLine(u"caf\u00e9 \u20ac");
  stream->WriteLine(u"");
  stream->WriteLine(u"\u0416");  // not in the code page
  stream->Close();
  EXPECT_EQ(ReadAll(path), "Drive\tType\t\r\ncaf\xe9 \x80\r\n\r\n?\r\n");
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"drives.txt"}) << "a file was left";
}

TEST_F(TextFileTest, ADeviceGetsTheTextStraightWithNoTemporaryFile) {
  auto stream = SystemTextFiles().Create(U16(PathOf(L"NUL")), true);
  for (int i = 0; i < 1000; ++i) stream->WriteLine(Line(98));  // past a buffer flush
  stream->Close();
  EXPECT_TRUE(FolderEntries(folder_).empty()) << "a file was left beside the device";
}

TEST_F(TextFileTest, OverwriteReplacesALongerFileAndOtherwiseLeavesItAlone) {
  const std::wstring path = PathOf(L"old.txt");
  WriteFileBytes(path, std::string(10000, 'x'));

  EXPECT_EQ(FailureText([&] { SystemTextFiles().Create(U16(path), false); }),
            SystemMessage(ERROR_FILE_EXISTS))
      << "an existing file was opened without overwrite";
  EXPECT_EQ(ReadAll(path).size(), 10000u);

  auto stream = SystemTextFiles().Create(U16(path), true);
  for (int i = 0; i < 1000; ++i) stream->WriteLine(Line(98));  // past a buffer flush
  EXPECT_EQ(ReadAll(path).size(), 10000u) << "the old file changed before the close";
  stream->WriteLine(u"new");
  stream->Close();
  EXPECT_EQ(ReadAll(path).substr(100000), "new\r\n");
  EXPECT_EQ(ReadAll(path).size(), 100005u);
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"old.txt"});
}

TEST_F(TextFileTest, ManyLinesArriveWholeAcrossBufferFlushes) {
  const std::wstring path = PathOf(L"long.txt");
  std::string expected;
  {
    auto stream = SystemTextFiles().Create(U16(path), true);
    for (int i = 0; i < 5000; ++i) {
      const std::string line = "row " + std::to_string(i) + std::string(40, ' ') + "\t";
      stream->WriteLine(std::u16string(line.begin(), line.end()));
      expected += line + "\r\n";
    }
    stream->Close();
  }
  EXPECT_EQ(ReadAll(path), expected);
}

TEST_F(TextFileTest, StreamDroppedWithoutCloseLeavesTheOldFileOrNothing) {
  const std::wstring old = PathOf(L"old.txt"), fresh = PathOf(L"new.txt");
  WriteFileBytes(old, "keep");
  for (const std::wstring& path : {old, fresh}) {
    auto stream = SystemTextFiles().Create(U16(path), true);
    for (int i = 0; i < 1000; ++i) stream->WriteLine(Line(98));  // past a buffer flush
    EXPECT_FALSE(e2e::PathExists(fresh)) << "the new name was taken before the text was complete";
  }
  EXPECT_EQ(ReadAll(old), "keep");
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"old.txt"});
  // The handles are gone too: the file can be opened exclusively again.
  win32::UniqueKernelHandle exclusive(
      CreateFileW(old.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(exclusive);
}

TEST_F(TextFileTest, AFailedWriteOrCloseOnAFullDiskLeavesTheOldFileAndNoOther) {
  if (GetDriveTypeW(kExactDrive) != DRIVE_FIXED) GTEST_SKIP() << "no drive K: here";
  const std::wstring path = std::wstring(kExactDrive) + L"text-file-test.txt";
  const std::string old(5000, 'o');
  WriteFileBytes(path, old);
  const std::vector<std::wstring> before = FolderEntries(L"K:");
  // The text is held in 64 KiB buffers: a shorter one reaches the disk at the close.
  // With room made before the close, only the write that failed can fail it.
  struct Case {
    int lines;  // of 100 bytes each
    bool roomBeforeClose;
  };
  for (const Case c : {Case{1000, false}, Case{300, false}, Case{1000, true}}) {
    SCOPED_TRACE(::testing::Message() << c.lines << " lines, room " << c.roomBeforeClose);
    constexpr uint64_t kLeftFree = 16 * 1024;
    WriteFileBytes(kFiller, std::string(FreeOnExactDrive() - kLeftFree, 'f'));
    ASSERT_EQ(FreeOnExactDrive(), kLeftFree);
    auto stream = SystemTextFiles().Create(U16(path), true);
    int failedWrites = 0;
    for (int i = 0; i < c.lines; ++i) {
      const auto failure = FailureText([&] { stream->WriteLine(Line(98)); });
      if (!failure) continue;
      ++failedWrites;
      EXPECT_EQ(failure, SystemMessage(ERROR_DISK_FULL));
    }
    EXPECT_EQ(failedWrites, c.lines * 100 > 64 * 1024 ? 1 : 0);
    if (c.roomBeforeClose) {
      ASSERT_TRUE(DeleteFileW(kFiller));
    }
    EXPECT_EQ(FailureText([&] { stream->Close(); }), SystemMessage(ERROR_DISK_FULL))
        << "the close after a full disk";
    if (!c.roomBeforeClose) {
      EXPECT_EQ(FreeOnExactDrive(), kLeftFree) << "the text's space was not given back";
      ASSERT_TRUE(DeleteFileW(kFiller));
    }
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(FolderEntries(L"K:"), before) << "a file was left on the disk";
  }
  DeleteFileW(path.c_str());
}

TEST_F(TextFileTest, ATargetThatCannotBeReplacedAtTheCloseIsKept) {
  const std::wstring path = PathOf(L"held.txt");
  WriteFileBytes(path, "keep");
  auto stream = SystemTextFiles().Create(U16(path), true);
  stream->WriteLine(u"new");
  // A reader that lets others write but not delete or rename: the move must fail.
  win32::UniqueKernelHandle reader(CreateFileW(path.c_str(), GENERIC_READ,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(reader);
  EXPECT_THROW(stream->Close(), RuntimeFailure);
  reader.reset();
  EXPECT_EQ(ReadAll(path), "keep");
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"held.txt"});
}

// Holds `path` from another process, as a scanner does, for `milliseconds` from
// the moment the constructor returns.
class HeldByAnotherProcess {
 public:
  HeldByAnotherProcess(const std::wstring& path, int milliseconds) {
    const std::wstring name = L"brindlecap-held-" + std::to_wstring(GetCurrentProcessId());
    win32::UniqueEventHandle opened(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + folder + L"win32_file_holder.exe\" \"" + path + L"\" " +
                               std::to_wstring(milliseconds) + L" " + name;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!opened || !CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &started)) {
      ADD_FAILURE() << "the holder did not start: " << GetLastError();
      return;
    }
    CloseHandle(started.hThread);
    process_.reset(started.hProcess);
    const HANDLE waits[] = {opened.get(), process_.get()};
    EXPECT_EQ(WaitForMultipleObjects(2, waits, FALSE, 30000), WAIT_OBJECT_0) << "not held";
  }
  ~HeldByAnotherProcess() {
    if (!process_) return;
    DWORD code = 1;
    EXPECT_EQ(WaitForSingleObject(process_.get(), 30000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(process_.get(), &code) && code == 0) << "holder: " << code;
  }

 private:
  win32::UniqueKernelHandle process_;
};

TEST_F(TextFileTest, AFileAnotherProgramHoldsForAMomentIsReplacedOnceItIsLetGo) {
  const std::wstring path = PathOf(L"scanned.txt");
  WriteFileBytes(path, "old");
  auto stream = SystemTextFiles().Create(U16(path), true);
  stream->WriteLine(u"new");
  {
    const HeldByAnotherProcess scanner(path, 700);
    const DWORD start = GetTickCount();
    EXPECT_EQ(FailureText([&] { stream->Close(); }), std::nullopt) << "the save failed";
    EXPECT_GE(GetTickCount() - start, 400u) << "the file was replaced while it was held";
  }
  EXPECT_EQ(ReadAll(path), "new\r\n");
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"scanned.txt"});
}

// A folder where files may be changed but not created.
HANDLE WINAPI CreateDenied(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  SetLastError(ERROR_ACCESS_DENIED);
  return INVALID_HANDLE_VALUE;
}

TEST_F(TextFileTest, WhereNoFileMayBeCreatedAnExistingFileIsWrittenInPlace) {
  const std::wstring existing = PathOf(L"existing.txt"), fresh = PathOf(L"new.txt");
  const SystemTextFiles denied(win32::SaveFileCalls{CreateDenied});
  WriteFileBytes(existing, std::string(10000, 'o'));
  auto stream = SystemTextFiles(denied).Create(U16(existing), true);
  stream->WriteLine(u"new");
  stream->Close();
  EXPECT_EQ(ReadAll(existing), "new\r\n") << "the old file's end was kept";

  // A save that stops part way, past a buffer flush, leaves the text cut short.
  WriteFileBytes(existing, std::string(200000, 'o'));
  stream = SystemTextFiles(denied).Create(U16(existing), true);
  for (int i = 0; i < 1000; ++i) stream->WriteLine(Line(98));
  stream.reset();
  const std::string left = ReadAll(existing);
  EXPECT_GE(left.size(), 64u * 1024);
  EXPECT_EQ(left.find('o'), std::string::npos) << "new text over the old file's end";

  EXPECT_EQ(FailureText([&] { SystemTextFiles(denied).Create(U16(fresh), true); }),
            SystemMessage(ERROR_ACCESS_DENIED));
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"existing.txt"});
}

TEST_F(TextFileTest, UnwritablePathsRaiseTheSystemsReason) {
  const auto missing = CreateFailure(PathOf(L"no such folder\\drives.txt"));
  EXPECT_EQ(missing, SystemMessage(ERROR_PATH_NOT_FOUND));

  const std::wstring locked = PathOf(L"locked.txt");
  WriteFileBytes(locked, "keep");
  win32::UniqueKernelHandle holder(
      CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_EQ(CreateFailure(locked), SystemMessage(ERROR_SHARING_VIOLATION));
  holder.reset();
  EXPECT_EQ(ReadAll(locked), "keep");

  EXPECT_EQ(CreateFailure(folder_), SystemMessage(ERROR_ACCESS_DENIED));

  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"locked.txt"}) << "a file was left";
  // The system's own words, without the line break they end with.
  ASSERT_TRUE(missing && !missing->empty());
  EXPECT_EQ(missing->find(u"System error"), std::u16string::npos) << "no system message text";
  EXPECT_NE(missing->back(), u'\n');
}

TEST_F(TextFileTest, ReadOnlyFileIsRefusedAndKept) {
  const std::wstring path = PathOf(L"read-only.txt");
  WriteFileBytes(path, "keep");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  // Refused as Windows refuses it, also where Wine run as root would open it.
  EXPECT_EQ(CreateFailure(path), SystemMessage(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadAll(path), "keep");
  EXPECT_EQ(FolderEntries(folder_), std::vector<std::wstring>{L"read-only.txt"});
}

TEST_F(TextFileTest, PathOutsideTheCodePageIsCreatedUnderExactlyThatName) {
  const std::wstring cyrillic = L"\u041e\u0442\u0447\u0451\u0442";  // "Отчёт"
  const std::wstring subfolder = PathOf(cyrillic);
  ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
  const std::wstring path = subfolder + L"\\\u0434\u0438\u0441\u043a\u0438.txt";

  auto stream = SystemTextFiles().Create(U16(path), true);
  stream->WriteLine(u"C:\\");
  stream->Close();

  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((subfolder + L"\\*.txt").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::wstring(found.cFileName), L"\u0434\u0438\u0441\u043a\u0438.txt");
  EXPECT_FALSE(FindNextFileW(search, &found)) << "a second file was created";
  FindClose(search);
  EXPECT_EQ(ReadAll(path), "C:\\\r\n");
}

}  // namespace
}  // namespace brindlecap
