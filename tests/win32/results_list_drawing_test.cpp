// The results list over the real list-view control, in this process, drawn into
// a bitmap as it draws on the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "main_window/win32/home_page.h"
#include "main_window/win32/results_list_control.h"
#include "shared/runtime_failure.h"
#include "shared/win32/file_check.h"
#include "support/window_fixture.h"
#include "win32/results_list_fixture.h"

namespace brindlecap::testing {
namespace {

// A window's client area drawn into a bitmap, as the window draws it on the screen.
class Picture {
 public:
  explicit Picture(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    previous_ =
        ::SelectObject(dc_, ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_),
                   PRF_CLIENT | PRF_ERASEBKGND);
    ::GdiFlush();
  }
  ~Picture() {
    ::DeleteObject(::SelectObject(dc_, previous_));
    ::DeleteDC(dc_);
  }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // How many pixel columns of `area` show a colour that `matches`.
  template <class Match>
  int ColumnsShowing(const RECT& area, Match matches) const {
    int columns = 0;
    for (int x = area.left; x < area.right; ++x) {
      for (int y = area.top; y < area.bottom; ++y) {
        if (matches(::GetPixel(dc_, x, y))) {
          ++columns;
          break;
        }
      }
    }
    return columns;
  }

 private:
  HDC dc_ = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous_ = nullptr;
};

// The list drawn into a bitmap as it draws on the screen: the bar under Used Space
// is as long as the drive is full, in the highlight colour, red from 90 %; a CD or
// DVD drive and a short row have none.
TEST_F(ResultsListControlTest, TheUsedSpaceCellShowsHowFullTheDriveIsRedFromNinetyPercent) {
  for (auto header : {u"Drive", u"Type", u"File System", u"Total", u"Free", u"Used Space"}) {
    model.AddColumn(header);
    // Narrowed as a user would, so that all six are in view.
    ::SendMessageW(window, LVM_SETCOLUMNWIDTH, model.ColumnCount() - 1, MAKELPARAM(80, 0));
  }
  const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
  const auto isRed = [](COLORREF c) {
    return GetRValue(c) >= 0xA0 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60;
  };
  const struct {
    int16_t kind;                 // 2 removable, 3 fixed, 5 CD or DVD
    std::optional<int64_t> used;  // of 1000 bytes; none: a short row
    double highlightShare, redShare;
  } rows[] = {{3, 500, 0.5, 0}, {3, 899, 0.899, 0}, {3, 900, 0, 0.9},
              {2, 1000, 0, 1},  {5, 1000, 0, 0},    {2, std::nullopt, 0, 0}};
  for (const auto& row : rows) {
    DriveFacts facts;
    facts.kindCode = row.kind;
    if (row.used) {
      facts.totalBytes = 1000;
      facts.usedBytes = *row.used;
    }
    model.SetRowFacts(model.AddRow(u"C:\\"), facts);
  }
  const Picture picture(window);
  for (int index = 0; index < model.RowCount(); ++index) {
    RECT cell{LVIR_BOUNDS, 5, 0, 0};
    ::SendMessageW(window, LVM_GETSUBITEMRECT, index, reinterpret_cast<LPARAM>(&cell));
    const double track = cell.right - cell.left - 6;  // 3 pixels in at either end
    EXPECT_NEAR(picture.ColumnsShowing(cell, [&](COLORREF c) { return c == highlight; }),
                rows[index].highlightShare * track, 1.0)
        << index;
    EXPECT_NEAR(picture.ColumnsShowing(cell, isRed), rows[index].redShare * track, 1.0) << index;
  }
}

}  // namespace
}  // namespace brindlecap::testing
