// "Save Results As Text File" through the real save dialog: the file written is
// compared byte for byte with the export computed from the list read back; what
// the dialog offers, a cancel, a file replaced, and the failures of the writing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e/save_fixture.h"
#include "support/drive_oracles.h"
#include "support/export_rules.h"
#include "support/holding_pipe.h"
#include "support/scratch_files.h"
#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

TEST_F(SaveTest, FileHoldsHeaderAndCheckedRowsInTheOrderShownByteForByte) {
  program_->Retrieve();
  program_->Retrieve();
  RemoteListView list = program_->List();
  ASSERT_GE(list.ItemCount(), 8);
  // Ticked as a user and as a tool would, leaving unchecked rows before, between
  // and after: a click on the box of an unselected row while others are selected
  // ticks that row alone; the space bar ticks the two selected rows; a tool's
  // state-image message ticks one more.
  const int last = list.ItemCount() - 1;
  list.Select({3, 5});
  list.ClickCheckBox(1);
  EXPECT_EQ(list.CheckMarks(), [&] {
    std::vector<bool> marks(list.ItemCount());
    marks[1] = true;
    return marks;
  }());
  list.PressSpace();
  list.SetChecked(last - 1, true);
  const ListContents asAdded = ReadListContents(list);
  for (int row = 0; row < static_cast<int>(asAdded.checked.size()); ++row) {
    const bool ticked = row == 1 || row == 3 || row == 5 || row == last - 1;
    EXPECT_EQ(asAdded.checked[row], ticked) << "row " << row;
  }
  // Sorted by free space, largest first: the file follows the order shown.
  list.ClickHeader(4);
  list.ClickHeader(4);
  const ListContents contents = ReadListContents(list);
  EXPECT_NE(contents.rows, asAdded.rows);

  const std::wstring path = outputFolder_.File(L"results.txt");
  SaveAs(path);
  ASSERT_TRUE(WaitForSaveToFinish(path));
  ExpectNoDialogOnceAtRest();

  const std::string expected = ExpectedExportBytes(contents);
  const auto written = ReadFileBytes(path);
  ASSERT_TRUE(written);
  EXPECT_EQ(Printable(*written), Printable(expected));
  EXPECT_EQ(written->size(), expected.size());
  // The window is back to normal: it answers and the list is unchanged.
  EXPECT_EQ(ReadListContents(list).rows, contents.rows);
}

TEST_F(SaveTest, EmptyListGivesHeaderLineOnly) {
  const std::wstring path = outputFolder_.File(L"empty.txt");
  SaveAs(path);
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(Printable(ReadFileBytes(path).value_or("")),
            Printable("Drive\tType\tFile System\tTotal Space\tFree Space\tUsed Space\t"
                      "Serial Number\t\r\n"));
}

TEST_F(SaveTest, DialogOffersTextFilesFirstAndStartsWithAnEmptyName) {
  for (int showing = 1; showing <= 2; ++showing) {
    SCOPED_TRACE("showing " + std::to_string(showing));
    auto dialog = OpenSaveDialog();
    ASSERT_TRUE(dialog);
    std::vector<std::string> filters;
    for (const auto& item : dialog->ComboItems(kFileTypeComboId)) filters.push_back(Narrow(item));
    EXPECT_EQ(filters, (std::vector<std::string>{"Text Files (*.txt)", "All Files (*.*)"}));
    EXPECT_EQ(dialog->ComboSelection(kFileTypeComboId), 0);
    EXPECT_EQ(Narrow(dialog->FileName()), "") << "the previous name must not be proposed";
    // Save once, so that the second showing follows a save.
    const std::wstring path = outputFolder_.File(L"showing" + std::to_wstring(showing) + L".txt");
    dialog->TypeFileName(path);
    dialog->PressButton(IDOK);
    ASSERT_TRUE(dialog->WaitUntilClosed(10s));
    ASSERT_TRUE(WaitForSaveToFinish(path));
  }
}

TEST_F(SaveTest, CancelWritesNothingAndShowsNothing) {
  program_->Retrieve();
  program_->List().SetChecked(-1, true);
  auto dialog = OpenSaveDialog();
  ASSERT_TRUE(dialog);
  dialog->PressButton(IDCANCEL);
  ASSERT_TRUE(dialog->WaitUntilClosed(10s));
  ExpectNoDialogOnceAtRest();
  EXPECT_TRUE(FolderEntries(workFolder_.Path()).empty());
  EXPECT_TRUE(FolderEntries(outputFolder_.Path()).empty());
  EXPECT_TRUE(program_->IsRunning());
}

TEST_F(SaveTest, ExistingLongerFileIsReplacedEntirely) {
  program_->Retrieve();
  RemoteListView list = program_->List();
  list.SetChecked(0, true);
  const ListContents contents = ReadListContents(list);
  const std::string expected = ExpectedExportBytes(contents);

  const std::wstring path = outputFolder_.File(L"old.txt");
  const std::string old(expected.size() * 4 + 4096, 'x');
  WriteFileBytes(path, old);
  SaveAs(path);
  ASSERT_TRUE(WaitUntil([&] { return FileSizeOf(path) != old.size(); }, 30s))
      << "the old file was not touched";
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(Printable(ReadFileBytes(path).value_or("")), Printable(expected));
}

TEST_F(SaveTest, NameTypedWithoutExtensionIsUsedAsTyped) {
  const std::wstring path = outputFolder_.File(L"results");
  SaveAs(path);
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(FolderEntries(outputFolder_.Path()), std::vector<std::wstring>{L"results"});
}

TEST_F(SaveTest, MissingFolderReportsTheCreateEveryWriteAndTheClose) {
  program_->Retrieve();
  RemoteListView list = program_->List();
  ASSERT_GE(list.ItemCount(), 2);
  list.SetChecked(0, true);
  list.SetChecked(list.ItemCount() - 1, true);

  const std::wstring folder = outputFolder_.File(L"missing");
  SaveAs(folder + L"\\results.txt");
  // The create fails, then the header's write, each checked row's write, the close.
  AnswerWriterReports({136, 150, 180, 180, 184});
  ExpectNoDialogOnceAtRest();
  EXPECT_FALSE(PathExists(folder));
  EXPECT_TRUE(FolderEntries(outputFolder_.Path()).empty());
  EXPECT_TRUE(program_->IsRunning());
}

TEST_F(SaveTest, SavingOverAnExistingFileAsksFirstAndNoGoesBackToTheDialog) {
  const std::wstring path = outputFolder_.File(L"existing.txt");
  WriteFileBytes(path, "keep");
  auto dialog = OpenSaveDialog();
  ASSERT_TRUE(dialog);
  dialog->TypeFileName(path);
  dialog->PressButton(IDOK);
  auto question = WaitForQuestion(*dialog);
  ASSERT_TRUE(question) << "no question before replacing the file";
  std::wstring text;
  for (const auto& part : question->StaticTexts()) text += part;
  EXPECT_NE(text.find(L"replace"), std::wstring::npos) << Narrow(text);
  question->PressButton(IDNO);
  ASSERT_TRUE(question->WaitUntilClosed(10s));
  EXPECT_FALSE(dialog->WaitUntilClosed(500ms)) << "No did not go back to the dialog";
  EXPECT_EQ(ReadFileBytes(path).value_or(""), "keep");

  dialog->PressButton(IDOK);
  question = WaitForQuestion(*dialog);
  ASSERT_TRUE(question);
  question->PressButton(IDYES);
  ASSERT_TRUE(dialog->WaitUntilClosed(10s));
  ASSERT_TRUE(WaitForSaveToFinish(path));
  EXPECT_EQ(Printable(ReadFileBytes(path).value_or("")),
            Printable(ExpectedExportBytes(ReadListContents(program_->List()))));
}

// The file holder of the Windows tests (tests/win32/file_holder.cpp), one folder up.
std::wstring FileHolderProgram() {
  wchar_t self[MAX_PATH];
  std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  path.resize(path.find_last_of(L'\\'));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"win32_file_holder.exe";
}

TEST_F(SaveTest, TheWindowAnswersWhileAnotherProgramHoldsTheFile) {
  const std::wstring path = outputFolder_.File(L"held.txt");
  WriteFileBytes(path, "old");
  const std::wstring event = L"brindlecap-e2e-held-" + std::to_wstring(GetCurrentProcessId());
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
  std::wstring commandLine = L"\"" + FileHolderProgram() + L"\" \"" + path + L"\" 3000 " + event;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION holder = {};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &holder));
  CloseHandle(holder.hThread);
  ASSERT_EQ(WaitForSingleObject(opened, 30000), WAIT_OBJECT_0) << "the holder did not open it";
  CloseHandle(opened);
  SaveAs(path);
  // Until the hold ends, and the save's retries after it.
  DWORD slowest = 0;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 3500;) {
    const DWORD asked = GetTickCount();
    DWORD_PTR answer = 0;
    EXPECT_TRUE(
        SendMessageTimeoutW(program_->MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 250, &answer))
        << "no answer within 250 ms, " << asked - start << " ms into the hold";
    slowest = std::max<DWORD>(slowest, GetTickCount() - asked);
    Sleep(20);
  }
  EXPECT_LT(slowest, 250u);
  WaitForSingleObject(holder.hProcess, 30000);
  CloseHandle(holder.hProcess);
  // However long the hold outlasted the save's retries, a failure is reported in a box.
  if (auto box = program_->WaitForDialog(L"Application Error", 1s)) box->PressButton(IDOK);
  ExpectNoDialogOnceAtRest();
  EXPECT_FALSE(TemporaryFileBeside(path)) << "a temporary file was left";
}

std::wstring SystemMessage(DWORD error) {
  wchar_t text[512] = L"";
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, 512, nullptr);
  std::wstring message = text;
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

TEST_F(SaveTest, AFullDiskLeavesTheOldFileAsItWasAndAddsNoFile) {
  if (GetDriveTypeW(kExactDrive) != DRIVE_FIXED) GTEST_SKIP() << "no drive K: here";
  // More than one of the writer's 64 KiB buffers and less than two: the write of the
  // first fails, then the close.
  program_->Retrieve();
  RemoteListView list = program_->List();
  list.SetChecked(-1, true);
  const size_t runs = 96 * 1024 / ExpectedExportBytes(ReadListContents(list)).size();
  for (size_t run = 1; run < runs; ++run) program_->Retrieve();
  list.SetChecked(-1, true);
  const size_t listBytes = ExpectedExportBytes(ReadListContents(list)).size();
  ASSERT_GT(listBytes, 66u * 1024);
  ASSERT_LT(listBytes, 124u * 1024);

  const std::wstring path = std::wstring(kExactDrive) + L"drives.txt";
  const std::string old = "the list saved before\r\n";
  WriteFileBytes(path, old);
  const std::vector<std::wstring> entries = FolderEntries(L"K:");
  struct Cleanup {
    std::wstring path;
    ~Cleanup() {
      DeleteFileW(kFiller);
      DeleteFileW(path.c_str());
    }
  } cleanup{path};
  WriteFileBytes(kFiller, std::string(FreeOnExactDrive() - 16 * 1024, 'f'));
  ASSERT_EQ(FreeOnExactDrive(), 16u * 1024);
  SaveAs(path);
  AnswerWriterReports({180, 184}, SystemMessage(ERROR_DISK_FULL));
  ExpectNoDialogOnceAtRest();
  ASSERT_TRUE(DeleteFileW(kFiller));
  EXPECT_EQ(ReadFileBytes(path).value_or("<missing>"), old);
  EXPECT_EQ(FolderEntries(L"K:"), entries);
  EXPECT_TRUE(program_->IsRunning());
}

// A library of the dialog's name beside the program (a download folder, say) is never
// taken: the program and the dialog load libraries from the system's folder alone.
TEST(SaveDialogLibrary, NoneComesFromTheProgramsFolder) {
  ScratchFolder folder;
  const std::wstring program = folder.File(L"Brindlecap-download.exe");
  const std::wstring marker = folder.File(L"marker-loaded");
  ASSERT_TRUE(CopyFileW(BRINDLECAP_EXE, program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(BRINDLECAP_MARKER_LIBRARY, folder.File(L"comdlg32.dll").c_str(), FALSE));
  // Windows takes a library of that name from the program's folder unless told
  // otherwise; Wine prefers its built-in copy unless told, for this program's name
  // (registry, read at each start), to take the one it finds.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER,
                            L"Software\\Wine\\AppDefaults\\Brindlecap-download.exe\\DllOverrides",
                            0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t nativeFirst[] = L"native,builtin";
  RegSetValueExW(key, L"comdlg32", 0, REG_SZ, reinterpret_cast<const BYTE*>(nativeFirst),
                 sizeof nativeFirst);
  RegCloseKey(key);
  auto started = ProgramDriver::Start(program, folder.Path());
  started->ClickButton(kSaveResultsId, ClickMode::kPost);
  auto dialog = started->WaitForDialog(L"Save", 20s);
  EXPECT_FALSE(PathExists(marker)) << "the program loaded comdlg32.dll from its own folder";
  ASSERT_TRUE(dialog) << "the save dialog did not open";
  dialog->PressButton(IDCANCEL);
  EXPECT_TRUE(dialog->WaitUntilClosed(10s));
  started->Close(10s);
}

}  // namespace
}  // namespace brindlecap::e2e
