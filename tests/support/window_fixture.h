#pragma once
// A real main window in the test process, with recorded boxes and launches and a
// program folder of the test's own.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "main_window/win32/main_window.h"
#include "support/recording_message_box.h"
#include "support/scratch_files.h"

namespace brindlecap::testing {

// A save dialog that is never shown in these tests.
class UnusedDialog : public SaveDialog {
 public:
  void SetFileName(const std::u16string& name) override { fileName = name; }
  std::u16string FileName() const override { return fileName; }
  void SetFlags(int32_t) override {}
  void SetDialogTitle(const std::u16string&) override {}
  void SetFilter(const std::u16string&) override {}
  void ShowSave() override { fileName.clear(); }
  std::u16string fileName;
};

// A valid 32 x 32 monochrome cursor file.
std::string MinimalCursorFile();

struct WindowFixture {
  explicit WindowFixture(int homePageNumber = 50);
  ~WindowFixture();
  // Creates the window and runs its start-up; true when the window exists.
  void Load();

  e2e::ScratchFolder folder;  // the program's folder
  RecordingMessageBox boxes;
  UnusedDialog dialog;
  std::unique_ptr<Kernel32> kernel32;
  std::unique_ptr<AnsiCodePage> codePage;
  std::unique_ptr<LocaleInfo> locale;
  std::vector<std::u16string> launched;
  bool failLaunch = false;
  // Runs once the window and its controls exist, before the start-up procedure.
  std::function<void(HWND form)> windowCreated;
  bool ended = false;
  int rowsAtEnd = -1;
  int homePageNumber;
  int dpi = 0;
  WorkerThreads* workers = nullptr;  // null: the window's own threads
  std::unique_ptr<win32::MainWindow> form;
};

}  // namespace brindlecap::testing
