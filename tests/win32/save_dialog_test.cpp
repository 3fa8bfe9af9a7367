// The real save dialog, driven from a second thread as a user would drive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "export/win32/system_save_dialog.h"
#include "shared/runtime_failure.h"
#include "support/failure_text.h"

namespace brindlecap {
namespace {

using testing::FailureText;

using win32::ChosenPath;
using win32::SystemSaveDialog;

constexpr int kFileNameControl = 0x47C;  // cmb13
constexpr int kFileTypeControl = 0x470;  // cmb1

struct DialogSearch {
  HWND except, found;
};

BOOL CALLBACK MatchProcessDialog(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DialogSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (process == GetCurrentProcessId() && window != search->except &&
      std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible dialog window of this process other than `except`, or none.
HWND FindProcessDialog(HWND except) {
  DialogSearch search{except, nullptr};
  EnumWindows(MatchProcessDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK MatchEdit(HWND window, LPARAM data) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"Edit") return TRUE;
  *reinterpret_cast<HWND*>(data) = window;
  return FALSE;
}

// The edit field inside the file-name combo box (itself nested in a combo box).
HWND FindEdit(HWND control) {
  HWND found = nullptr;
  EnumChildWindows(control, MatchEdit, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

struct SeenDialog {
  bool shown = false;
  std::wstring title;
  std::vector<std::wstring> fileTypes;
  int selectedFileType = -1;
  bool secondDialog = false;  // a question box, such as an overwrite prompt
  bool backToDialog = false;  // the dialog was still open after the answer No
};

// Waits for the save dialog, notes what it shows, then types `typed` and presses
// the default button, or presses Cancel when `typed` is null. A question is
// answered with `answer`; after No the dialog is cancelled. Returns once the
// dialog has gone; a stuck dialog is cancelled so that the test cannot hang.
// `browseTo` is typed and confirmed first: the dialog then opens that folder.
SeenDialog DriveDialog(const wchar_t* typed, WORD answer = IDYES,
                       const wchar_t* browseTo = nullptr) {
  // Up to a minute in steps of 50 ms, for each of the dialog's opening and closing:
  // ample on a busy machine, and only a failing run waits that long.
  constexpr int kPolls = 1200;
  SeenDialog seen;
  HWND dialog = nullptr;
  for (int i = 0; i < kPolls && !dialog; ++i) {
    Sleep(50);
    dialog = FindProcessDialog(nullptr);
  }
  if (!dialog) return seen;
  seen.shown = true;
  seen.title = WindowText(dialog);
  HWND types = GetDlgItem(dialog, kFileTypeControl);
  const LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t item[256] = {};
    if (SendMessageW(types, CB_GETLBTEXTLEN, i, 0) < 256) {
      SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    }
    seen.fileTypes.push_back(item);
  }
  seen.selectedFileType = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));

  const HWND edit = FindEdit(GetDlgItem(dialog, kFileNameControl));
  if (browseTo) {
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(browseTo));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  }
  if (typed) SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed));
  const WORD button = typed ? IDOK : IDCANCEL;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));

  for (int i = 0; i < kPolls && IsWindow(dialog); ++i) {
    Sleep(50);
    if (HWND question = FindProcessDialog(dialog)) {
      seen.secondDialog = true;
      PostMessageW(question, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
      if (answer == IDNO) {
        for (int j = 0; j < 100 && IsWindow(question); ++j) Sleep(20);
        Sleep(200);
        seen.backToDialog = IsWindow(dialog) && IsWindowVisible(dialog);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    }
  }
  if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return seen;
}

class CommonDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    folder_ = std::wstring(temp) + L"brindlecap-dialog-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    // As the save command sets it up.
    dialog_.SetFileName(u"");
    dialog_.SetFlags(2621955);
    dialog_.SetDialogTitle(u"Save");
    dialog_.SetFilter(u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
  }
  void TearDown() override {
    DeleteFileW((folder_ + L"\\existing.txt").c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  // Shows the dialog here while the driver answers it from its own thread.
  SeenDialog Show(const std::wstring* typed, WORD answer = IDYES,
                  const std::wstring* browseTo = nullptr) {
    SeenDialog seen;
    std::thread driver([&] {
      seen = DriveDialog(typed ? typed->c_str() : nullptr, answer,
                         browseTo ? browseTo->c_str() : nullptr);
    });
    EXPECT_EQ(FailureText([&] { dialog_.ShowSave(); }), std::nullopt) << "the dialog failed";
    driver.join();
    return seen;
  }

  std::u16string U16(const std::wstring& text) { return {text.begin(), text.end()}; }

  std::wstring folder_;
  SystemSaveDialog dialog_;
};

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

TEST_F(CommonDialogTest, ShowsTheSettingsAndReturnsTheTypedPathLeavingTheCurrentFolder) {
  const std::wstring path = folder_ + L"\\drives.txt";
  ASSERT_TRUE(SetCurrentDirectoryW(folder_.substr(0, folder_.find_last_of(L'\\')).c_str()));
  const std::wstring current = CurrentFolder();
  // Browsing into the folder makes it the current one while the dialog is open.
  const SeenDialog seen = Show(&path, IDYES, &folder_);
  EXPECT_EQ(CurrentFolder(), current) << "the chosen folder stays in use";
  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.title, L"Save");
  EXPECT_EQ(seen.fileTypes, (std::vector<std::wstring>{L"Text Files (*.txt)", L"All Files (*.*)"}));
  EXPECT_EQ(seen.selectedFileType, 0);
  EXPECT_EQ(dialog_.FileName(), U16(path));
}

TEST_F(CommonDialogTest, NameWithoutExtensionComesBackAsAFullPathAsTyped) {
  // With no initial folder the dialog opens in the current one.
  ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
  const std::wstring typed = L"results";
  ASSERT_TRUE(Show(&typed).shown);
  EXPECT_EQ(dialog_.FileName(), U16(folder_ + L"\\results"));
}

TEST_F(CommonDialogTest, SeveralNamesGiveTheFullPathOfTheFirst) {
  ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
  const std::wstring typed = L"\"first.txt\" \"second.txt\"";
  ASSERT_TRUE(Show(&typed).shown);
  EXPECT_EQ(dialog_.FileName(), U16(folder_ + L"\\first.txt"));
}

TEST_F(CommonDialogTest, AnExistingFileIsChosenOnlyAfterYesToTheReplaceQuestion) {
  const std::wstring path = folder_ + L"\\existing.txt";
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  SeenDialog seen = Show(&path, IDNO);
  ASSERT_TRUE(seen.shown);
  EXPECT_TRUE(seen.secondDialog) << "no question before replacing the file";
  EXPECT_TRUE(seen.backToDialog) << "No did not go back to the dialog";
  EXPECT_EQ(dialog_.FileName(), u"");

  seen = Show(&path, IDYES);
  EXPECT_TRUE(seen.secondDialog);
  EXPECT_EQ(dialog_.FileName(), U16(path));
}

TEST_F(CommonDialogTest, CancelLeavesAnEmptyName) {
  dialog_.SetFileName(u"C:\\previous.txt");
  ASSERT_TRUE(Show(nullptr).shown);
  EXPECT_EQ(dialog_.FileName(), u"");
}

TEST(ChosenPathTest, JoinsTheFolderAndFirstNameOfAMultipleSelection) {
  const wchar_t several[] = L"C:\\out\0a.txt\0b.txt\0";
  EXPECT_EQ(ChosenPath(several, sizeof several / sizeof several[0], 7), u"C:\\out\\a.txt");
  const wchar_t root[] = L"C:\\\0a.txt\0";
  EXPECT_EQ(ChosenPath(root, sizeof root / sizeof root[0], 4), u"C:\\a.txt");
  const wchar_t single[] = L"C:\\out\\a.txt\0";
  EXPECT_EQ(ChosenPath(single, sizeof single / sizeof single[0], 7), u"C:\\out\\a.txt");
}

}  // namespace
}  // namespace brindlecap
