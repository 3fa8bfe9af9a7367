#pragma once
// The main window: two buttons over the results list.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "drive_info/cls_drive_info.h"
#include "export/save_command.h"
#include "main_window/core/form_layout.h"
#include "main_window/win32/application_window.h"
#include "main_window/win32/win32_list_view.h"
#include "platform/handles.h"
#include "platform/win32_event_pump.h"
#include "retrieval/retrieval_command.h"
#include "shared/win32/skin.h"

namespace brindlecap::win32 {

// What the window needs from the world; tests give their own.
struct Form1Services {
  HINSTANCE instance = nullptr;
  std::wstring programFolder;
  Kernel32& kernel32;
  const AnsiCodePage& codePage;
  const LocaleInfo& locale;
  MessageBoxService& messages;
  CommonDialog& commonDialog1;
  std::function<std::unique_ptr<FileSystemObject>()> createFileSystemObject;
  // A whole number from 1 to 100, drawn once a start.
  std::function<int()> drawHomePageNumber;
  // Opens the address in the browser; raises a failure when it cannot.
  std::function<void(std::u16string_view address)> openHomePage;
  // Runs once the window exists (owner windows for boxes and dialogs).
  std::function<void(HWND form)> windowCreated;
  // Ends the whole program.
  std::function<void()> endProgram;
  // Lays the window out for this DPI instead of the screen's (0: the screen's).
  int dpi = 0;
};

class Form1 : public MousePointerOwner, public SkinnableForm {
 public:
  explicit Form1(Form1Services services);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls and runs the start-up procedure; the
  // window is not shown yet.
  void Load();
  // Shows the window centred, with the focus in the list.
  void Show();
  // The program's message loop; returns when the program ends.
  int RunMessageLoop();

  HWND Handle() const override { return window_; }
  HWND ApplicationHandle() const { return application_.Handle(); }
  ListView& ListView1() { return listView1_; }
  Win32EventPump& Pump() { return pump_; }

  // How often the writer's yields look for waiting events: far below what a user notices.
  static constexpr DWORD kWriterYieldIntervalMilliseconds = 10;
  int MousePointer() const override { return mousePointer_; }
  void SetMousePointer(int value) override;
  HCURSOR MouseIcon() const { return mouseIcon_.get(); }
  COLORREF BackColor() const { return backColor_; }

  // SkinnableForm
  std::wstring ProgramFolder() const override { return services_.programFolder; }
  void SetBackColor(uint32_t oleColour) override;
  void ApplyTheme(const Theme& theme) override;

  // Event handlers.
  void Form_Load() noexcept;
  // Returns false when the close is held back until a running save has finished.
  bool Form_QueryUnload() noexcept;
  void Form_Unload() noexcept;
  void PushButton6_Click() noexcept;
  void PushButton8_Click() noexcept;
  void PushButton6_MouseMove() noexcept;
  void PushButton8_MouseMove() noexcept;
  void Form_MouseMove() noexcept;
  void ListView1_MouseMove() noexcept;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void CreateControls();
  void CreateFonts(const std::wstring& face);
  void RaiseMouseMove(HWND over) noexcept;
  bool ShowPointer(HWND over) noexcept;
  void OnClose() noexcept;
  void OnCommand(WORD id, WORD code) noexcept;
  bool OnSetCursor(HWND over, WORD hitTest, WORD mouseMessage) noexcept;
  void OnEraseBackground(HDC dc) noexcept;
  LRESULT OnControlColour(HDC dc) noexcept;
  void RememberFocus() noexcept;
  void RestoreFocus() noexcept;
  LRESULT OnNotify(const NMHDR& header) noexcept;
  HWND CreateChild(const wchar_t* className, const std::u16string_view& text, DWORD style,
                   DWORD exStyle, const form_layout::Box& box, int id);

  Form1Services services_;
  ApplicationWindow application_;
  HWND window_ = nullptr;
  HWND pushButton6_ = nullptr;
  HWND pushButton8_ = nullptr;
  Win32ListView listView1_;
  Win32EventPump pump_;
  Win32EventPump writerPump_{kWriterYieldIntervalMilliseconds};
  ExportServices exportServices_;
  RetrievalCommand retrieval_;
  SaveCommand save_;
  int dpi_ = 96;
  int mousePointer_ = mouse_pointer::kDefault;
  UniqueCursor mouseIcon_;
  UniqueIcon bigIcon_, smallIcon_;
  UniqueFont formFont_, buttonFont_;
  COLORREF backColor_ = RGB(255, 255, 255);
  UniqueBrush backBrush_;
  HWND focusedControl_ = nullptr;
  bool closePending_ = false;
  bool unloading_ = false;
};

}  // namespace brindlecap::win32
