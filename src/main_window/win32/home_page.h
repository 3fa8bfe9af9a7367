#pragma once
// The one-in-a-hundred visit of the maker's home page.
#include <string>
#include <string_view>

namespace brindlecap::win32 {

// A number from 1 to 100 drawn from the time of day.
int DrawHomePageNumber();

// Explorer from the Windows folder, by its full path: never one found on the
// search path or planted in the current or the program's folder.
std::wstring ExplorerPath(std::wstring_view windowsFolder);
std::wstring ExplorerCommandLine(std::wstring_view explorerPath, std::u16string_view address);

// Opens the address in a minimized browser window without waiting; raises a
// failure when explorer cannot be started.
void OpenHomePage(std::u16string_view address);

}  // namespace brindlecap::win32
