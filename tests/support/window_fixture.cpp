#include "support/window_fixture.h"

#include "drive_info/win32/system_kernel32.h"
#include "shared/runtime_failure.h"
#include "shared/win32/system_text.h"

namespace brindlecap::testing {

std::string MinimalCursorFile() {
  std::string file;
  const auto put16 = [&](uint16_t v) { file.append({char(v & 0xFF), char(v >> 8)}); };
  const auto put32 = [&](uint32_t v) {
    put16(static_cast<uint16_t>(v & 0xFFFF));
    put16(static_cast<uint16_t>(v >> 16));
  };
  const uint32_t imageSize = 40 + 8 + 128 + 128;
  put16(0), put16(2), put16(1);                         // cursor file, one image
  file.append({char(32), char(32), 0, 0});              // 32 x 32, no palette count
  put16(4), put16(4);                                   // hot spot
  put32(imageSize), put32(6 + 16);                      // size and offset of the image
  put32(40), put32(32), put32(64), put16(1), put16(1);  // BITMAPINFOHEADER, doubled height
  put32(0), put32(256), put32(0), put32(0), put32(2), put32(0);
  put32(0x00000000), put32(0x00FFFFFF);                                            // black, white
  for (int row = 0; row < 32; ++row) put32(row < 16 ? 0x0000FFFFu : 0);            // XOR mask
  for (int row = 0; row < 32; ++row) put32(row < 16 ? 0xFFFF0000u : 0xFFFFFFFFu);  // AND mask
  return file;
}

WindowFixture::WindowFixture(int number)
    : kernel32(std::make_unique<win32::SystemKernel32>()),
      codePage(std::make_unique<win32::SystemAnsiCodePage>()),
      locale(std::make_unique<win32::SystemLocale>()),
      homePageNumber(number) {}

WindowFixture::~WindowFixture() { form.reset(); }

void WindowFixture::Load() {
  form = std::make_unique<win32::MainWindow>(win32::MainWindowServices{
      ::GetModuleHandleW(nullptr),
      folder.Path(),
      *kernel32,
      *codePage,
      *locale,
      boxes,
      dialog,
      [] { return std::unique_ptr<TextFiles>(); },
      [this] { return homePageNumber; },
      [this](std::u16string_view address) {
        if (failLaunch) throw RuntimeFailure(u"File not found");
        launched.emplace_back(address);
      },
      windowCreated,
      [this] {
        ended = true;
        rowsAtEnd = form->Results().RowCount();
      },
      dpi,
      workers,
  });
  form->Load();
}

}  // namespace brindlecap::testing
