#include "tests/support/win32/real_window.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

namespace renamora::testing {

void DropFiles(HWND target, const std::vector<std::string>& paths, POINT at) {
  std::string names;
  for (const std::string& path : paths) {
    names += path;
    names += '\0';
  }
  names += '\0';
  HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
  auto* block = static_cast<DROPFILES*>(::GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->pt = at;
  block->fNC = FALSE;
  block->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), names.data(), names.size());
  ::GlobalUnlock(memory);
  ::SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

std::string ListCell(HWND list, int row, int column) {
  std::string text(65536, '\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  text.resize(std::strlen(text.c_str()));
  return text;
}

int ListRowCount(HWND list) {
  return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::vector<std::string> ListColumnTexts(HWND list, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < ListRowCount(list); ++row) texts.push_back(ListCell(list, row, column));
  return texts;
}

int ListColumnWidth(HWND list, int column) {
  return static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

std::string ListColumnTitle(HWND list, int column) {
  char title[256] = {};
  LVCOLUMNA info{};
  info.mask = LVCF_TEXT;
  info.pszText = title;
  info.cchTextMax = sizeof(title);
  if (!::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info))) return "?";
  return title;
}

namespace {
HINSTANCE ReadyInstance() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
  ::InitCommonControlsEx(&classes);
  return ::GetModuleHandleA(nullptr);
}
}  // namespace

RealWindow::RealWindow() : RealWindow(systemMessages, systemSaveDialogs) {}

RealWindow::RealWindow(MessageBoxes& messages, win32::SaveDialogFactory& saveDialogs)
    : window(ReadyInstance(), fs, messages, saveDialogs) {
  window.ObserveEvents([this](std::string_view control, Event event, const std::string& text) {
    events_.push_back({std::string(control), event, text});
  });
  window.Create(SW_SHOW);
}

RECT RealWindow::Rect(std::string_view control) const {
  RECT rect{};
  ::GetWindowRect(Handle(control), &rect);
  ::MapWindowPoints(HWND_DESKTOP, Main(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string RealWindow::Text(std::string_view control) const {
  return win32::WindowText(Handle(control));
}

void RealWindow::SelectPage(int page) {
  HWND tab = Handle("选择夹1");
  ::SendMessageA(tab, TCM_SETCURSEL, page, 0);
  // What the tab control tells its parent after a click on a tab.
  NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGE};
  ::SendMessageA(::GetParent(tab), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void RealWindow::ShowPageOf(std::string_view control) {
  const layout::Control* c = layout::Find(control);
  if (c && c->page != layout::kMainWindow && window.CurrentPage() != c->page) SelectPage(c->page);
}

void RealWindow::Click(std::string_view control) {
  ShowPageOf(control);
  ::SendMessageA(Handle(control), BM_CLICK, 0, 0);
}

void RealWindow::Type(std::string_view control, const std::string& text) {
  ShowPageOf(control);
  ::SendMessageA(Handle(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool RealWindow::IsChecked(std::string_view control) const {
  return ::SendMessageA(Handle(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<RealWindow::Raised> RealWindow::DropEvents() const {
  std::vector<Raised> drops;
  for (const Raised& raised : events_) {
    if (raised.event == Event::kFilesDropped) drops.push_back(raised);
  }
  return drops;
}

}  // namespace renamora::testing
