#include "main_window/win32/application_window.h"

#include "main_window/core/application_title.h"
#include "platform/system_failure.h"
#include "platform/wide_text.h"

namespace brindlecap::win32 {

namespace {
constexpr wchar_t kClassName[] = L"Brindlecap.Application";
}

void ApplicationWindow::Create(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
  window_.reset(::CreateWindowExW(0, kClassName, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr));
  if (!window_) ThrowLastError();
}

void SetAppTitle(ApplicationWindow& application) {
  const std::wstring title = ToWide(CutApplicationTitle(kProductName));
  if (application.Handle() == nullptr || !::SetWindowTextW(application.Handle(), title.c_str())) {
    ThrowLastError();
  }
}

}  // namespace brindlecap::win32
