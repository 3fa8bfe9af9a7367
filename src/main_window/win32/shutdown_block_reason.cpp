#include "main_window/win32/shutdown_block_reason.h"

namespace brindlecap::win32 {

namespace {

template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

}  // namespace

void ShutdownBlockReason::Show(HWND window, const wchar_t* reason) noexcept {
  using Create = BOOL(WINAPI*)(HWND, LPCWSTR);
  static const auto create = User32Function<Create>("ShutdownBlockReasonCreate");
  if (create == nullptr || window == nullptr) return;
  if (create(window, reason)) window_ = window;
}

void ShutdownBlockReason::Clear() noexcept {
  using Destroy = BOOL(WINAPI*)(HWND);
  static const auto destroy = User32Function<Destroy>("ShutdownBlockReasonDestroy");
  if (window_ != nullptr && destroy != nullptr && ::IsWindow(window_)) destroy(window_);
  window_ = nullptr;
}

}  // namespace brindlecap::win32
