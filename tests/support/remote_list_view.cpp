// The report-view list of another process, read and changed through structures
// placed in that process's memory.
#include <windows.h>

#include <commctrl.h>

#include <cstddef>

#include "support/window_driver.h"

namespace brindlecap::e2e {
namespace {

// The 32-bit layout of LVCOLUMNW, written out so that the remote copies do not
// depend on this build's headers or pointer size.
struct Column32 {
  uint32_t mask;
  int32_t format;
  int32_t width;
  uint32_t text;
  int32_t textMax;
  int32_t subItem;
  int32_t image;
  int32_t order;
  int32_t minWidth;
  int32_t defaultWidth;
  int32_t idealWidth;
};
static_assert(sizeof(Column32) == 44, "LVCOLUMNW layout (32-bit)");
static_assert(offsetof(Column32, text) == 12, "LVCOLUMNW.pszText offset");

constexpr size_t kTextOffset = 64;  // the text buffer follows the structure

std::wstring ReadRemoteText(const RemoteMemory& memory, size_t chars) {
  std::wstring text(chars, L'\0');
  memory.Read(kTextOffset, text.data(), chars * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), chars));
  return text;
}

// One cell through a remote LVITEMW and text buffer that the caller reuses.
std::wstring ReadItemText(HWND list, RemoteMemory& memory, size_t chars, int item, int subItem) {
  ListItem32 request{};
  request.subItem = subItem;
  request.text = memory.Address(kTextOffset);
  request.textMax = static_cast<int32_t>(chars);
  memory.Write(0, &request, sizeof request);
  const wchar_t nothing = L'\0';
  memory.Write(kTextOffset, &nothing, sizeof nothing);
  SendOrThrow(list, LVM_GETITEMTEXTW, item, static_cast<LPARAM>(memory.Address()));
  return ReadRemoteText(memory, chars);
}

}  // namespace

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process_(process),
      base_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      size_(size) {
  if (base_ == nullptr) throw DriverError(Win32Error("VirtualAllocEx"));
}

RemoteMemory::~RemoteMemory() { VirtualFreeEx(process_, base_, 0, MEM_RELEASE); }

uint32_t RemoteMemory::Address(size_t offset) const {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base_) + offset);
}

void RemoteMemory::Write(size_t offset, const void* data, size_t size) {
  if (offset + size > size_) throw DriverError("remote write out of range");
  SIZE_T written = 0;
  if (!WriteProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &written) ||
      written != size) {
    throw DriverError(Win32Error("WriteProcessMemory"));
  }
}

void RemoteMemory::Read(size_t offset, void* data, size_t size) const {
  if (offset + size > size_) throw DriverError("remote read out of range");
  SIZE_T read = 0;
  if (!ReadProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &read) ||
      read != size) {
    throw DriverError(Win32Error("ReadProcessMemory"));
  }
}

int RemoteListView::ItemCount() const {
  return static_cast<int>(SendOrThrow(list_, LVM_GETITEMCOUNT, 0, 0));
}

int RemoteListView::ColumnCount() const {
  auto header = reinterpret_cast<HWND>(SendOrThrow(list_, LVM_GETHEADER, 0, 0));
  if (header == nullptr) return 0;
  return static_cast<int>(SendOrThrow(header, HDM_GETITEMCOUNT, 0, 0));
}

ColumnInfo RemoteListView::Column(int index) const {
  constexpr size_t kChars = 260;
  RemoteMemory memory(process_, kTextOffset + kChars * sizeof(wchar_t));
  Column32 request{};
  request.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  request.text = memory.Address(kTextOffset);
  request.textMax = kChars;
  memory.Write(0, &request, sizeof request);
  if (!SendOrThrow(list_, LVM_GETCOLUMNW, index, static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("LVM_GETCOLUMNW failed for column " + std::to_string(index));
  }
  Column32 answer{};
  memory.Read(0, &answer, sizeof answer);
  return ColumnInfo{ReadRemoteText(memory, kChars), answer.width, answer.format};
}

std::wstring RemoteListView::ItemText(int item, int subItem) const {
  // Grows the buffer until the text fits (it is cut to the buffer otherwise).
  for (size_t chars = 1024;; chars *= 4) {
    RemoteMemory memory(process_, kTextOffset + chars * sizeof(wchar_t));
    std::wstring text = ReadItemText(list_, memory, chars, item, subItem);
    if (text.size() + 1 < chars || chars >= 65536) return text;
  }
}

std::vector<std::wstring> RemoteListView::Row(int item) const {
  std::vector<std::wstring> cells;
  const int columns = ColumnCount();
  for (int column = 0; column < columns; ++column) cells.push_back(ItemText(item, column));
  return cells;
}

std::vector<std::vector<std::wstring>> RemoteListView::Rows() const {
  constexpr size_t kChars = 1024;
  RemoteMemory memory(process_, kTextOffset + kChars * sizeof(wchar_t));
  const int columns = ColumnCount();
  const int items = ItemCount();
  std::vector<std::vector<std::wstring>> rows(items);
  for (int item = 0; item < items; ++item) {
    for (int column = 0; column < columns; ++column) {
      std::wstring text = ReadItemText(list_, memory, kChars, item, column);
      if (text.size() + 1 >= kChars) text = ItemText(item, column);  // a long cell
      rows[item].push_back(std::move(text));
    }
  }
  return rows;
}

std::vector<std::wstring> RemoteListView::Headers() const {
  std::vector<std::wstring> headers;
  const int columns = ColumnCount();
  for (int column = 0; column < columns; ++column) headers.push_back(Column(column).text);
  return headers;
}

bool RemoteListView::Checked(int item) const {
  const auto state = SendOrThrow(list_, LVM_GETITEMSTATE, item, LVIS_STATEIMAGEMASK);
  // State image 1 is the empty box, 2 the checked one.
  return ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void RemoteListView::SetChecked(int item, bool checked) {
  RemoteMemory memory(process_, sizeof(ListItem32));
  ListItem32 request{};
  request.stateMask = LVIS_STATEIMAGEMASK;
  request.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  memory.Write(0, &request, sizeof request);
  if (!SendOrThrow(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                   static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("LVM_SETITEMSTATE failed for item " + std::to_string(item));
  }
}

RECT RemoteListView::ItemRect(int item, int part) const {
  RemoteMemory memory(process_, sizeof(RECT));
  RECT rect{part, 0, 0, 0};
  memory.Write(0, &rect, sizeof rect);
  SendOrThrow(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item),
              static_cast<LPARAM>(memory.Address()));
  memory.Read(0, &rect, sizeof rect);
  return rect;
}

void RemoteListView::ClickCheckBox(int item) {
  RemoteMemory memory(process_, sizeof(LVHITTESTINFO));
  const RECT bounds = ItemRect(item, LVIR_BOUNDS);
  // The box sits at the row's left end: find it by the list's own hit test.
  for (int x = bounds.left; x < bounds.left + 40; ++x) {
    LVHITTESTINFO hit{};
    hit.pt = {x, (bounds.top + bounds.bottom) / 2};
    memory.Write(0, &hit, sizeof hit);
    SendOrThrow(list_, LVM_HITTEST, 0, static_cast<LPARAM>(memory.Address()));
    memory.Read(0, &hit, sizeof hit);
    if (hit.iItem == item && (hit.flags & LVHT_ONITEMSTATEICON)) {
      Click(MAKELPARAM(hit.pt.x, hit.pt.y));
      return;
    }
  }
  throw DriverError("no check box found on item " + std::to_string(item));
}

void RemoteListView::ClickItem(int item) {
  const RECT label = ItemRect(item, LVIR_LABEL);
  Click(MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2));
}

void RemoteListView::Click(LPARAM point) {
  // The release is posted first and the press sent: sent messages come before
  // posted ones, so the press has been handled when the send returns, and a
  // drag-detecting loop it starts finds the release waiting.
  PostOrThrow(list_, WM_LBUTTONUP, 0, point);
  SendOrThrow(list_, WM_LBUTTONDOWN, MK_LBUTTON, point);
  WaitForPostedMessages();
}

// A sent message overtakes posted ones, so a sent WM_NULL can return before the
// posted input is handled. Posted messages of a thread are handled one at a time
// in the order posted, whatever their window: a marker posted behind the input is
// handled only once the input has been. The marker is a hover time, which only
// lists that select on hover use; the list's own is put back.
void RemoteListView::WaitForPostedMessages() const {
  const LRESULT before = SendOrThrow(list_, LVM_GETHOVERTIME, 0, 0);
  const LRESULT marker = before == 4321 ? 4322 : 4321;
  PostOrThrow(list_, LVM_SETHOVERTIME, 0, marker);
  const bool handled =
      WaitUntil([&] { return SendOrThrow(list_, LVM_GETHOVERTIME, 0, 0) == marker; },
                Milliseconds(30000), Milliseconds(1));
  SendOrThrow(list_, LVM_SETHOVERTIME, 0, before);
  if (!handled) throw DriverError("the list did not handle the posted input within 30 s");
}

void RemoteListView::Select(const std::vector<int>& items) {
  RemoteMemory memory(process_, sizeof(ListItem32));
  const auto setState = [&](int item, UINT state, UINT mask) {
    ListItem32 request{};
    request.state = state;
    request.stateMask = mask;
    memory.Write(0, &request, sizeof request);
    SendOrThrow(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                static_cast<LPARAM>(memory.Address()));
  };
  setState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (size_t i = 0; i < items.size(); ++i) {
    const UINT state = LVIS_SELECTED | (i + 1 == items.size() ? LVIS_FOCUSED : 0);
    setState(items[i], state, state);
  }
}

void RemoteListView::PressSpace() {
  PostOrThrow(list_, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostOrThrow(list_, WM_CHAR, L' ', 0x00390001);
  PostOrThrow(list_, WM_KEYUP, VK_SPACE, 0xC0390001);
  WaitForPostedMessages();
}

void RemoteListView::PressKey(UINT virtualKey) {
  PostOrThrow(list_, WM_KEYDOWN, virtualKey, 1);
  PostOrThrow(list_, WM_KEYUP, virtualKey, 0xC0000001);
  WaitForPostedMessages();
}

int RemoteListView::SelectedCount() const {
  return static_cast<int>(SendOrThrow(list_, LVM_GETSELECTEDCOUNT, 0, 0));
}

void RemoteListView::ClickHeader(int column) {
  const auto header = reinterpret_cast<HWND>(SendOrThrow(list_, LVM_GETHEADER, 0, 0));
  RemoteMemory memory(process_, sizeof(RECT));
  RECT rect{};
  memory.Write(0, &rect, sizeof rect);
  if (!SendOrThrow(header, HDM_GETITEMRECT, column, static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("no header item " + std::to_string(column));
  }
  memory.Read(0, &rect, sizeof rect);
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostOrThrow(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostOrThrow(header, WM_LBUTTONUP, 0, point);
  WaitForPostedMessages();  // the header is the list's child, in the list's thread
}

int RemoteListView::SortArrow(int column) const {
  const auto header = reinterpret_cast<HWND>(SendOrThrow(list_, LVM_GETHEADER, 0, 0));
  // HDITEMW, 32-bit layout: mask at 0, fmt at 20.
  uint32_t item[16] = {HDI_FORMAT};
  RemoteMemory memory(process_, sizeof item);
  memory.Write(0, item, sizeof item);
  if (!SendOrThrow(header, HDM_GETITEMW, column, static_cast<LPARAM>(memory.Address()))) {
    throw DriverError("HDM_GETITEMW failed for column " + std::to_string(column));
  }
  memory.Read(0, item, sizeof item);
  return static_cast<int>(item[5]) & (HDF_SORTUP | HDF_SORTDOWN);
}

std::vector<bool> RemoteListView::CheckMarks() const {
  std::vector<bool> marks;
  const int items = ItemCount();
  for (int item = 0; item < items; ++item) marks.push_back(Checked(item));
  return marks;
}

DWORD RemoteListView::ExtendedStyle() const {
  return static_cast<DWORD>(SendOrThrow(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

}  // namespace brindlecap::e2e
