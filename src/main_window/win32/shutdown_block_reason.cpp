#include "main_window/win32/shutdown_block_reason.h"

#include "platform/system_function.h"

namespace brindlecap::win32 {

void ShutdownBlockReason::Show(HWND window, const wchar_t* reason) noexcept {
  using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
  static const auto create = SystemFunction<Create>(L"user32.dll", "ShutdownBlockReasonCreate");
  if (create == nullptr || window == nullptr) return;
  if (create(window, reason)) window_ = window;
}

void ShutdownBlockReason::Clear() noexcept {
  using Destroy = BOOL(WINAPI*)(HWND);
  static const auto destroy = SystemFunction<Destroy>(L"user32.dll", "ShutdownBlockReasonDestroy");
  if (window_ != nullptr && destroy != nullptr && ::IsWindow(window_)) destroy(window_);
  window_ = nullptr;
}

}  // namespace brindlecap::win32
