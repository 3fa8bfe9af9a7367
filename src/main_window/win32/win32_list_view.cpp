#include "main_window/win32/win32_list_view.h"

#include <commctrl.h>

#include <vector>

#include "platform/dpi.h"
#include "platform/wide_text.h"
#include "shared/runtime_failure.h"

namespace brindlecap::win32 {

namespace {
// A column the program adds without a width starts one inch wide.
constexpr float kDefaultColumnTwips = 1440.0f;
constexpr UINT kUncheckedImage = 1, kCheckedImage = 2;
// Asks for a text with a buffer that grows while the answer fills it (a full buffer
// may mean a cut text). Most texts fit the first one, which costs no allocation.
template <class Query>
std::u16string ReadText(Query query) {
  constexpr int kFirstSize = 256, kLargestSize = 65536;
  wchar_t first[kFirstSize];
  size_t length = query(first, kFirstSize);
  if (length + 1 < kFirstSize) return FromWide(std::wstring_view(first, length));
  std::vector<wchar_t> buffer(kFirstSize);
  do {
    buffer.resize(buffer.size() * 4);
    length = query(buffer.data(), static_cast<int>(buffer.size()));
  } while (length + 1 >= buffer.size() && buffer.size() < kLargestSize);
  return FromWide(std::wstring_view(buffer.data(), length));
}

}  // namespace

HWND Win32ListView::Window() const {
  if (window_ == nullptr || !::IsWindow(window_)) throw ObjectNotSetFailure();
  return window_;
}

void Win32ListView::RequireColumn(int column) const {
  if (column < 1 || column > ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
}

void Win32ListView::RequireRow(int row) const {
  if (row < 1 || row > ListItemsCount()) throw IndexOutOfBoundsFailure();
}

void Win32ListView::ColumnHeadersAdd(const std::u16string& text) {
  std::wstring header = ToWide(text);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  column.pszText = header.data();
  column.cx = TwipsToPixels(kDefaultColumnTwips, dpi_);
  const int position = ColumnHeadersCount();
  columnCount_ = -1;
  if (::SendMessageW(Window(), LVM_INSERTCOLUMNW, position, reinterpret_cast<LPARAM>(&column)) <
      0) {
    throw RuntimeFailure(error_number::kOutOfMemory, u"The list could not add a column");
  }
}

void Win32ListView::SetColumnHeaderWidth(int column, float twips) {
  RequireColumn(column);
  if (twips < 0) throw InvalidArgumentFailure();
  ::SendMessageW(Window(), LVM_SETCOLUMNWIDTH, column - 1,
                 MAKELPARAM(TwipsToPixels(twips, dpi_), 0));
}

float Win32ListView::ColumnHeaderWidth(int column) const {
  RequireColumn(column);
  const int pixels = static_cast<int>(::SendMessageW(Window(), LVM_GETCOLUMNWIDTH, column - 1, 0));
  return static_cast<float>(pixels) * 1440.0f / static_cast<float>(dpi_);
}

int Win32ListView::ColumnHeadersCount() const {
  // Columns come only through ColumnHeadersAdd, which forgets the count it kept.
  const HWND list = Window();
  if (columnCount_ >= 0) return columnCount_;
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header == nullptr) return 0;
  columnCount_ = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  return columnCount_;
}

std::u16string Win32ListView::ColumnHeaderText(int column) const {
  RequireColumn(column);
  return ReadText([&](wchar_t* buffer, int size) {
    LVCOLUMNW query{};
    query.mask = LVCF_TEXT;
    query.pszText = buffer;
    query.cchTextMax = size;
    buffer[0] = L'\0';
    ::SendMessageW(Window(), LVM_GETCOLUMNW, column - 1, reinterpret_cast<LPARAM>(&query));
    return std::wstring_view(query.pszText).size();
  });
}

int Win32ListView::ListItemsAdd(const std::u16string& text) {
  std::wstring itemText = ToWide(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_STATE;
  item.iItem = ListItemsCount();
  item.pszText = itemText.data();
  item.state = INDEXTOSTATEIMAGEMASK(kUncheckedImage);
  item.stateMask = LVIS_STATEIMAGEMASK;
  const int index = static_cast<int>(
      ::SendMessageW(Window(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) throw RuntimeFailure(error_number::kOutOfMemory, u"The list could not add a row");
  return index + 1;
}

int Win32ListView::ListItemsCount() const {
  return static_cast<int>(::SendMessageW(Window(), LVM_GETITEMCOUNT, 0, 0));
}

std::u16string Win32ListView::CellText(int index, int subItem) const {
  return ReadText([&](wchar_t* buffer, int size) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = size;
    return static_cast<size_t>(
        ::SendMessageW(Window(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
  });
}

std::u16string Win32ListView::ListItemText(int row) const {
  RequireRow(row);
  return CellText(row - 1, 0);
}

void Win32ListView::SetSubItem(int row, int16_t subItem, const std::u16string& text) {
  RequireRow(row);
  if (subItem < 1 || subItem >= ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
  std::wstring cell = ToWide(text);
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = cell.data();
  ::SendMessageW(Window(), LVM_SETITEMTEXTW, row - 1, reinterpret_cast<LPARAM>(&item));
}

std::u16string Win32ListView::SubItem(int row, int16_t subItem) const {
  RequireRow(row);
  if (subItem < 1 || subItem >= ColumnHeadersCount()) throw IndexOutOfBoundsFailure();
  return CellText(row - 1, subItem);
}

bool Win32ListView::Checked(int row) const {
  RequireRow(row);
  const auto state =
      static_cast<UINT>(::SendMessageW(Window(), LVM_GETITEMSTATE, row - 1, LVIS_STATEIMAGEMASK));
  return (state >> 12) == kCheckedImage;
}

void Win32ListView::SpreadCheckToSelection(int changedIndex) {
  if (spreading_ || window_ == nullptr) return;
  const UINT changedState = static_cast<UINT>(
      ::SendMessageW(window_, LVM_GETITEMSTATE, changedIndex, LVIS_STATEIMAGEMASK | LVIS_SELECTED));
  if ((changedState & LVIS_SELECTED) == 0) return;
  spreading_ = true;
  LVITEMW item{};
  item.state = changedState & LVIS_STATEIMAGEMASK;
  item.stateMask = LVIS_STATEIMAGEMASK;
  int index = -1;
  while ((index = static_cast<int>(
              ::SendMessageW(window_, LVM_GETNEXTITEM, index, LVNI_SELECTED))) >= 0) {
    if (index != changedIndex) {
      ::SendMessageW(window_, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
  }
  spreading_ = false;
}

}  // namespace brindlecap::win32
