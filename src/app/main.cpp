// Brindlecap: lists the computer's drives in one window and exports them as text.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "app/program_start.h"
#include "command_line/win32/command_line_mode.h"
#include "drive_info/drive_info.h"
#include "drive_info/win32/system_kernel32.h"
#include "export/win32/system_save_dialog.h"
#include "export/win32/system_text_files.h"
#include "main_window/win32/home_page.h"
#include "main_window/win32/main_window.h"
#include "platform/system_failure.h"
#include "shared/win32/file_check.h"
#include "shared/win32/system_event_pump.h"
#include "shared/win32/system_message_box.h"
#include "shared/win32/system_text.h"

using namespace brindlecap;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  win32::StartProgram();

  // With arguments the program exports and ends without a window.
  const CommandLine request = win32::ProgramCommandLine();
  if (request.action != CommandLine::Action::kWindow) {
    win32::SystemMessageBox usageBox;
    return win32::RunWindowProgramCommandLine(request, usageBox);
  }

  // The list, and the tips that show a size's exact bytes (tab classes include them).
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&controls);

  win32::SystemKernel32 kernel32;
  win32::SystemAnsiCodePage codePage;
  win32::SystemLocale locale;
  win32::SystemMessageBox messages;
  win32::SystemSaveDialog saveDialog;
  // A save waiting out another program's hold on its file keeps the window answering.
  win32::SystemEventPump savePump;
  win32::SaveFileCalls saveCalls;
  saveCalls.wait = [&](DWORD milliseconds) { savePump.RunEventsFor(milliseconds); };

  win32::MainWindow form(win32::MainWindowServices{
      instance,
      win32::ProgramFolder(),
      kernel32,
      codePage,
      locale,
      messages,
      saveDialog,
      [&] { return std::unique_ptr<TextFiles>(new win32::SystemTextFiles(saveCalls)); },
      &win32::DrawHomePageNumber,
      &win32::OpenHomePage,
      [&](HWND window) {
        messages.SetOwner(window);
        saveDialog.SetOwner(window);
        savePump.SetDialogWindow(window);
      },
      [] { ::ExitProcess(0); },
  });
  try {
    form.Load();
  } catch (const RuntimeFailure& failure) {
    // Without its window the program cannot do anything: say why and stop.
    messages.Show(failure.Description(), u"Brindlecap", MessageBoxIcon::kCriticalStop);
    return 1;
  }
  form.Show();
  return form.RunMessageLoop();
}

// The library's default terminate handler prints demangled type names; aborting
// plainly keeps its demangler (some 45 KiB) out of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
