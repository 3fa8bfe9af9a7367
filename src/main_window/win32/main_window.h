#pragma once
// The main window: two buttons over the results list.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "drive_info/drive_info.h"
#include "export/save_command.h"
#include "main_window/core/form_layout.h"
#include "main_window/core/window_controller.h"
#include "main_window/win32/application_window.h"
#include "main_window/win32/results_list_control.h"
#include "main_window/win32/shutdown_block_reason.h"
#include "main_window/win32/skin.h"
#include "platform/handles.h"
#include "results/results_model.h"
#include "retrieval/retrieval_command.h"
#include "retrieval/win32/queued_worker_threads.h"
#include "shared/win32/system_event_pump.h"

namespace brindlecap::win32 {

// What the window needs from the world; tests give their own.
struct MainWindowServices {
  HINSTANCE instance = nullptr;
  std::wstring programFolder;
  Kernel32& kernel32;
  const AnsiCodePage& codePage;
  const LocaleInfo& locale;
  MessageBoxService& messages;
  SaveDialog& saveDialog;
  std::function<std::unique_ptr<TextFiles>()> makeTextFiles;
  // A whole number from 1 to 100, drawn once a start.
  std::function<int()> drawHomePageNumber;
  // Opens the address in the browser; raises a failure when it cannot.
  std::function<void(std::u16string_view address)> openHomePage;
  // Runs once the window exists (owner windows for boxes and dialogs).
  std::function<void(HWND form)> windowCreated;
  // Ends the whole program.
  std::function<void()> endProgram;
  // Lays the window out for this DPI instead of its own (0: the window's own).
  int dpi = 0;
  // Where the drives are asked; null: the system's threads, queued.
  WorkerThreads* workers = nullptr;
};

class MainWindow : public MousePointerOwner, public SkinnableForm {
 public:
  explicit MainWindow(MainWindowServices services);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls and runs the start-up procedure; the
  // window is not shown yet.
  void Load();
  // Shows the window (Load centred it), with the focus in the list.
  void Show();
  // The program's message loop; returns when the program ends.
  int RunMessageLoop();

  HWND Handle() const override { return window_; }
  ResultsModel& Results() { return results_; }

  // How often the writer's yields look for waiting events: far below what a user notices.
  static constexpr DWORD kWriterYieldIntervalMilliseconds = 10;
  PointerShape MousePointer() const noexcept override { return controller_.MousePointer(); }
  void SetMousePointer(PointerShape shape) noexcept override;

  // SkinnableForm
  std::wstring ProgramFolder() const override { return services_.programFolder; }
  void SetBackground(Colour colour) override;
  void ApplyTheme(const Theme& theme) override;

  // Event handlers.
  void RunStartUp() noexcept;
  // Returns false when the close is held back until a running save has finished.
  [[nodiscard]] bool OnCloseRequest() noexcept;
  // A logoff or shutdown asks: false while a file is being written.
  [[nodiscard]] bool OnEndSessionQuery() noexcept;
  // What a close request does before the window goes: waiting events run, twice.
  void LetWaitingEventsRun() noexcept;
  void Unload() noexcept;
  void OnStartRetrievingClick() noexcept;
  // A drive of the running retrieval has answered.
  void OnDriveAnswered() noexcept;
  void OnSaveResultsClick() noexcept;

  // Posted by a worker thread when its drive has answered.
  static constexpr UINT kDriveAnsweredMessage = WM_APP + 1;
  // New rows of a running retrieval wait this long for more to show with them.
  static constexpr UINT_PTR kShowRowsTimer = 1;
  static constexpr UINT kShowRowsDelayMilliseconds = 50;
  // The drives are asked one after the other while they answer promptly; a drive
  // that keeps the others waiting this long sends them to threads of their own.
  static constexpr UINT_PTR kPatienceTimer = 2;
  static constexpr UINT kPatienceMilliseconds = 50;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void CreateControls();
  // The program's icon at the size of these system metrics; null when it cannot be had.
  HICON LoadProgramIcon(int metricX, int metricY, UINT flags) const noexcept;
  void CreateFonts(const std::wstring& face);
  void RaiseMouseMove(HWND over) noexcept;
  bool ShowPointer(HWND over) noexcept;
  void OnClose() noexcept;
  // On a worker thread: brings the window's thread to take the answers.
  void PostDriveAnswered() noexcept;
  // Waits kPatienceMilliseconds more for the next drive, while the run lasts.
  void AwaitNextAnswer() noexcept;
  void HoldNewRows() noexcept;
  void ShowNewRowsSoon() noexcept;
  void ShowNewRows() noexcept;
  // The buttons are off while a retrieval runs, and the pointer says so.
  void ShowRetrievalRunning() noexcept;
  HWND ControlUnderCursor(HWND over) const noexcept;
  void OnSize(int width, int height) noexcept;
  void OnCommand(WORD id, WORD code) noexcept;
  bool OnSetCursor(HWND over, WORD hitTest, WORD mouseMessage) noexcept;
  void OnEraseBackground(HDC dc) noexcept;
  LRESULT OnControlColour(HDC dc) noexcept;
  void RememberFocus() noexcept;
  void RestoreFocus() noexcept;
  LRESULT OnNotify(NMHDR& header) noexcept;
  // A control made in its place for the window's DPI.
  HWND CreateChild(const wchar_t* className, const std::u16string_view& text, DWORD style,
                   DWORD exStyle, int id, const form_layout::Box& box);
  // Lays out the fonts, controls, columns and smallest size for that DPI.
  void ApplyDpi(int dpi);
  // The window moved to a monitor of another DPI, or its DPI changed.
  void OnDpiChanged(int dpi, const RECT& suggested) noexcept;

  static constexpr int kResultsListId = 1, kStartRetrievingId = 6, kSaveResultsId = 8;

  MainWindowServices services_;
  ApplicationWindow application_;
  HWND window_ = nullptr;
  HWND startRetrievingButton_ = nullptr;
  HWND saveResultsButton_ = nullptr;
  ResultsModel results_;
  ResultsListControl resultsList_{results_};
  ShownResults shownResults_{results_};
  SystemEventPump pump_;
  SystemEventPump writerPump_{kWriterYieldIntervalMilliseconds};
  ExportServices exportServices_;
  // Shared with worker threads: where they post that a drive has answered, and
  // whether such a message is already waiting (one is enough for any number).
  std::atomic<HWND> answersWindow_{nullptr};
  std::atomic<bool> answerPosted_{false};
  QueuedWorkerThreads systemWorkers_{QueuedWorkerThreads::KeepQueueThread{}};
  WorkerThreads& workers_;
  RetrievalCommand retrieval_;
  SaveCommand save_;
  int dpi_ = 96;
  SIZE designedFrame_{0, 0};
  RECT listPlace_{};
  WindowController controller_;
  ShutdownBlockReason shutdownReason_;
  UniqueCursor mouseIcon_;
  UniqueIcon bigIcon_, smallIcon_;
  UniqueFont formFont_, buttonFont_;
  std::wstring fontFace_;  // the skin's, else the design's
  COLORREF backColor_ = RGB(255, 255, 255);
  UniqueBrush backBrush_;
  HWND focusedControl_ = nullptr;
  bool unloading_ = false;
  bool rowsHeld_ = false;
  bool showingRunning_ = false;  // what the buttons and pointer show
};

}  // namespace brindlecap::win32
