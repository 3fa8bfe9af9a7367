// The main window's making and its layout: everything that depends on its DPI.
#include "main_window/win32/main_window.h"
// These need windows.h first.
#include <commctrl.h>

#include <algorithm>

#include "platform/dpi.h"
#include "platform/system_failure.h"
#include "platform/wide_text.h"

namespace brindlecap::win32 {

namespace {

constexpr wchar_t kFormClassName[] = L"Brindlecap.MainWindow";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                             WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// The icons are the class's, not set on the window: the window is made with them,
// with fewer round trips to the system than setting them after.
void RegisterFormClass(HINSTANCE instance, WNDPROC procedure, HICON icon, HICON smallIcon) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = icon;
  windowClass.hIconSm = smallIcon;
  windowClass.lpszClassName = kFormClassName;
  ::RegisterClassExW(&windowClass);  // fails harmlessly when already registered
}

SIZE DesignedClientSize(int dpi) {
  return {TwipsToPixels(form_layout::kClientWidth, dpi),
          TwipsToPixels(form_layout::kClientHeight, dpi)};
}

// Centred on the screen, where the window opens.
POINT CentredPlace(SIZE frame) {
  return {(::GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2,
          (::GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2};
}

void Place(HWND control, const form_layout::Box& box, int dpi) {
  ::SetWindowPos(control, nullptr, TwipsToPixels(box.left, dpi), TwipsToPixels(box.top, dpi),
                 TwipsToPixels(box.width, dpi), TwipsToPixels(box.height, dpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void MainWindow::Load() {
  application_.Create(services_.instance);
  // Shared icons: never freed.
  RegisterFormClass(services_.instance, &MainWindow::WindowProcedure,
                    LoadProgramIcon(SM_CXICON, SM_CYICON, LR_SHARED),
                    LoadProgramIcon(SM_CXSMICON, SM_CYSMICON, LR_SHARED));
  // Made in its size and place for the DPI it most likely opens at, the system's:
  // each later move is a round trip. Per-monitor DPI may differ; then it moves.
  const int expectedDpi = services_.dpi > 0 ? services_.dpi : ScreenDpi();
  const SIZE frame =
      FrameSize(kFormStyle, kFormExStyle, DesignedClientSize(expectedDpi), expectedDpi);
  const POINT place = CentredPlace(frame);
  window_ = ::CreateWindowExW(kFormExStyle, kFormClassName, L"Form1", kFormStyle, place.x, place.y,
                              frame.cx, frame.cy, application_.Handle(), nullptr,
                              services_.instance, this);
  if (window_ == nullptr) ThrowLastError();
  answersWindow_ = window_;
  // The controls are made in their places for this DPI.
  dpi_ = services_.dpi > 0 ? services_.dpi : WindowDpi(window_);
  CreateControls();
  fontFace_ = ToWide(form_layout::kFontFace);
  ApplyDpi(dpi_);
  if (designedFrame_.cx != frame.cx || designedFrame_.cy != frame.cy) {
    const POINT centred = CentredPlace(designedFrame_);
    ::SetWindowPos(window_, nullptr, centred.x, centred.y, designedFrame_.cx, designedFrame_.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  pump_.SetDialogWindow(window_);
  writerPump_.SetDialogWindow(window_);
  if (services_.windowCreated) services_.windowCreated(window_);
  RunStartUp();
}

void MainWindow::CreateFonts(const std::wstring& face) {
  const auto font = [&](double points) {
    return UniqueFont(::CreateFontW(PointsToFontHeight(points, dpi_), 0, 0, 0, FW_BOLD, FALSE,
                                    FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                    face.c_str()));
  };
  fontFace_ = face;
  // The old fonts go only once no control draws with them.
  UniqueFont formFont = font(form_layout::kFormFontPoints);
  UniqueFont buttonFont = font(form_layout::kButtonFontPoints);
  ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont.get()), FALSE);
  for (HWND control : {resultsList_.Handle(), startRetrievingButton_, saveResultsButton_}) {
    if (control == nullptr) continue;
    HFONT controlFont = control == resultsList_.Handle() ? formFont.get() : buttonFont.get();
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont), TRUE);
  }
  formFont_ = std::move(formFont);
  buttonFont_ = std::move(buttonFont);
}

HWND MainWindow::CreateChild(const wchar_t* className, const std::u16string_view& text, DWORD style,
                             DWORD exStyle, int id, const form_layout::Box& box) {
  const HWND child = ::CreateWindowExW(
      exStyle, className, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
      TwipsToPixels(box.left, dpi_), TwipsToPixels(box.top, dpi_), TwipsToPixels(box.width, dpi_),
      TwipsToPixels(box.height, dpi_), window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      services_.instance, nullptr);
  if (child == nullptr) ThrowLastError();
  return child;
}

void MainWindow::CreateControls() {
  // Creation order is tab order: the list, then the two buttons.
  const HWND list = CreateChild(WC_LISTVIEWW, u"", ResultsListControl::kStyle, WS_EX_CLIENTEDGE,
                                kResultsListId, form_layout::kResultsList);
  resultsList_.Attach(list, dpi_);
  startRetrievingButton_ = CreateChild(L"BUTTON", form_layout::kStartRetrievingText, BS_PUSHBUTTON,
                                       0, kStartRetrievingId, form_layout::kStartRetrievingButton);
  saveResultsButton_ = CreateChild(L"BUTTON", form_layout::kSaveResultsText, BS_PUSHBUTTON, 0,
                                   kSaveResultsId, form_layout::kSaveResultsButton);
}

void MainWindow::ApplyDpi(int dpi) {
  // Controls made at this DPI are in their places already.
  const bool placed = dpi == dpi_;
  dpi_ = dpi;
  const SIZE client = DesignedClientSize(dpi);
  designedFrame_ = FrameSize(window_, client);
  // A larger window gives the list all the new room: its right and bottom edges keep
  // their distance from the window's, in pixels as designed.
  const form_layout::Box& list = form_layout::kResultsList;
  listPlace_ = {TwipsToPixels(list.left, dpi), TwipsToPixels(list.top, dpi),
                client.cx - TwipsToPixels(list.left + list.width, dpi),
                client.cy - TwipsToPixels(list.top + list.height, dpi)};
  CreateFonts(fontFace_);
  if (!placed) {
    Place(resultsList_.Handle(), list, dpi);
    Place(startRetrievingButton_, form_layout::kStartRetrievingButton, dpi);
    Place(saveResultsButton_, form_layout::kSaveResultsButton, dpi);
  }
  resultsList_.SetDpi(dpi);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) noexcept {
  if (dpi <= 0 || !FollowsMonitorDpi(window_)) return;
  ApplyDpi(dpi);
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The list follows even when the window kept its size.
  RECT client;
  ::GetClientRect(window_, &client);
  OnSize(client.right, client.bottom);
}

void MainWindow::OnSize(int width, int height) noexcept {
  if (resultsList_.Handle() == nullptr) return;  // not made yet
  const RECT& place = listPlace_;                // right and bottom hold the margins
  ::SetWindowPos(resultsList_.Handle(), nullptr, place.left, place.top,
                 std::max<int>(width - place.left - place.right, 0),
                 std::max<int>(height - place.top - place.bottom, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace brindlecap::win32
