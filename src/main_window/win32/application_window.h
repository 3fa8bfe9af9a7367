#pragma once
// The application title's home: a hidden top-level window that owns the main
// window, titled with the name under which the running program presents itself.
#include <windows.h>

#include "platform/handles.h"

namespace brindlecap::win32 {

class ApplicationWindow {
 public:
  void Create(HINSTANCE instance);
  HWND Handle() const noexcept { return window_.get(); }

 private:
  UniqueWindow window_;
};

// Sets the application title: the product name cut by whole words.
void SetAppTitle(ApplicationWindow& application);

}  // namespace brindlecap::win32
