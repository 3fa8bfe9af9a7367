#pragma once
// The reason a window gives for holding back a logoff or shutdown, on the
// systems that show one (looked up at run time: Windows 2000 has no such call).
#include <windows.h>

namespace brindlecap::win32 {

class ShutdownBlockReason {
 public:
  ShutdownBlockReason() = default;
  ShutdownBlockReason(const ShutdownBlockReason&) = delete;
  ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;
  ~ShutdownBlockReason() { Clear(); }

  void Show(HWND window, const wchar_t* reason) noexcept;
  void Clear() noexcept;

 private:
  HWND window_ = nullptr;
};

}  // namespace brindlecap::win32
