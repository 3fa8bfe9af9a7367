#pragma once
// A function that newer Windows has and older ones lack, looked up at run time.
#include <windows.h>

namespace brindlecap::win32 {

// The function `name` of a loaded system DLL, or nullptr where this Windows lacks it
// (GetProcAddress's last error then says why).
template <class Function>
Function SystemFunction(HMODULE module, const char* name) noexcept {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The same, for a DLL that every process has loaded, by its name.
template <class Function>
Function SystemFunction(const wchar_t* module, const char* name) noexcept {
  return SystemFunction<Function>(::GetModuleHandleW(module), name);
}

}  // namespace brindlecap::win32
