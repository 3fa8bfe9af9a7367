#include "platform/dpi.h"

#include "platform/handles.h"

namespace brindlecap::win32 {

int ScreenDpi() {
  UniqueScreenDc screen(::GetDC(nullptr));
  if (!screen) return 96;
  const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

}  // namespace brindlecap::win32
