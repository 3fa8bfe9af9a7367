#pragma once
// A function that newer Windows has and older ones lack, looked up at run time.
#include <windows.h>

namespace brindlecap::win32 {

// The function `name` of a loaded system DLL, or nullptr where this Windows lacks it.
template <class Function>
Function SystemFunction(const wchar_t* module, const char* name) noexcept {
  const HMODULE loaded = ::GetModuleHandleW(module);
  if (loaded == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(loaded, name)));
}

}  // namespace brindlecap::win32
