#include "platform/win32/list_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <string_view>

#include "platform/gbk_text.h"
#include "platform/win32/dpi.h"
#include "platform/win32/subclass.h"

namespace renamora::win32 {

namespace {

// Copies as much of `text` as fits, never half of a double-byte character.
void CopyCell(std::string_view text, char* out, int capacity) {
  if (!out || capacity <= 0) return;
  const std::size_t limit = static_cast<std::size_t>(capacity) - 1;
  std::size_t n = 0;
  while (n < text.size()) {
    const std::size_t step = text::CharLength(text, n);
    if (n + step > limit) break;
    n += step;
  }
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

void CopyCell(std::string_view text, wchar_t* out, int capacity) {
  if (!out || capacity <= 0) return;
  if (text.empty()) {
    out[0] = L'\0';
    return;
  }
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed < capacity) {
    const int wrote = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, out, capacity - 1);
    out[wrote] = L'\0';
    return;
  }
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
  wide.copy(out, static_cast<std::size_t>(capacity) - 1);
  out[capacity - 1] = L'\0';
}

// The room a list view leaves beside the text of a cell: Windows' keeps 6
// pixels on either side (a column it sizes to its content is the text's width
// plus 12), Wine's 5 on the left.
constexpr int kCellTextMargins = 12;
constexpr UINT_PTR kCellTipSubclass = 1;

TTTOOLINFOA CellTool(HWND list) {
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = list;
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText = LPSTR_TEXTCALLBACKA;
  return tool;
}

}  // namespace

OwnerDataListView::OwnerDataListView(HWND list, const ListModel& model, int dpi)
    : list_(list),
      header_(reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0))),
      model_(model),
      dpi_(dpi),
      shownWidths_(model.WidthRevision()) {
  for (std::size_t c = 0; c < model_.ColumnCount(); ++c) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = dpi::Scale(model_.ColumnWidth(c), dpi_);
    column.pszText = const_cast<char*>(model_.ColumnTitle(c).c_str());
    column.iSubItem = static_cast<int>(c);
    ::SendMessageA(list_, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
  }
  ::SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_LABELTIP, LVS_EX_LABELTIP);
  AddCellTips();
  Update();
}

OwnerDataListView::~OwnerDataListView() {
  if (!tips_) return;
  ::RemoveWindowSubclass(list_, CellTipProc, kCellTipSubclass);
  TTTOOLINFOA tool = CellTool(list_);
  ::SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void OwnerDataListView::AddCellTips() {
  // Windows' list view unfolds a cut label itself (LVS_EX_LABELTIP), in the
  // tooltip it keeps and feeds. Wine's (8.0) has no label tips: asked for its
  // tooltip, it makes one that no tool uses. That one gets a tool here.
  HWND tips = reinterpret_cast<HWND>(::SendMessageA(list_, LVM_GETTOOLTIPS, 0, 0));
  if (!tips || ::SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0) != 0) return;
  // File names may hold "&"; the tip must show before the window is active.
  ::SetWindowLongPtrA(tips, GWL_STYLE,
                      ::GetWindowLongPtrA(tips, GWL_STYLE) | TTS_NOPREFIX | TTS_ALWAYSTIP);
  // Hooked first: adding the tool asks the list which text format it wants.
  tips_ = tips;
  if (!::SetWindowSubclass(list_, CellTipProc, kCellTipSubclass,
                           reinterpret_cast<DWORD_PTR>(this))) {
    tips_ = nullptr;
    return;
  }
  TTTOOLINFOA tool = CellTool(list_);
  if (!::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
    ::RemoveWindowSubclass(list_, CellTipProc, kCellTipSubclass);
    tips_ = nullptr;
  }
}

bool OwnerDataListView::IsCut(int row, int column, const std::string& text) const {
  RECT cell{};
  cell.top = column;
  cell.left = LVIR_LABEL;
  if (!::SendMessageA(list_, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) {
    return false;
  }
  const int width = static_cast<int>(
      ::SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
  return width + kCellTextMargins > cell.right - cell.left;
}

void OwnerDataListView::AnswerTip(NMHDR& request) {
  // The cell under the pointer now: the tooltip asks when it is about to show.
  POINT at{};
  ::GetCursorPos(&at);
  ::ScreenToClient(list_, &at);
  LVHITTESTINFO hit{};
  hit.pt = at;
  ::SendMessageA(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  tipText_.clear();
  if ((hit.flags & LVHT_ONITEM) && hit.iItem >= 0 &&
      static_cast<std::size_t>(hit.iItem) < model_.RowCount() && hit.iSubItem >= 0 &&
      static_cast<std::size_t>(hit.iSubItem) < model_.ColumnCount()) {
    // Measured as the tip shows it, ended by a zero.
    tipText_.assign(model_.CellText(hit.iItem, hit.iSubItem));
    if (!IsCut(hit.iItem, hit.iSubItem, tipText_)) tipText_.clear();
  }
  // An empty text shows no tip.
  if (request.code == TTN_GETDISPINFOA) {
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(request);
    info.hinst = nullptr;
    info.lpszText = tipText_.data();
    return;
  }
  auto& info = reinterpret_cast<NMTTDISPINFOW&>(request);
  const int length = static_cast<int>(tipText_.size());
  tipWide_.assign(static_cast<std::size_t>(
                      ::MultiByteToWideChar(CP_ACP, 0, tipText_.data(), length, nullptr, 0)),
                  L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, tipText_.data(), length, tipWide_.data(),
                        static_cast<int>(tipWide_.size()));
  info.hinst = nullptr;
  info.lpszText = tipWide_.data();
}

void OwnerDataListView::HideTip() {
  if (tips_) ::SendMessageA(tips_, TTM_POP, 0, 0);
}

LRESULT CALLBACK OwnerDataListView::CellTipProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
  auto* view = reinterpret_cast<OwnerDataListView*>(self);
  try {
    switch (message) {
      case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.hwndFrom == view->tips_ &&
            (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW)) {
          view->AnswerTip(header);
          return 0;
        }
        break;
      }
      case WM_NOTIFYFORMAT:
        if (reinterpret_cast<HWND>(wParam) == view->tips_) return NFR_ANSI;
        break;
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP: {
        if (message == WM_MOUSEMOVE) {
          // One tool covers the whole list: on another cell its tip must go,
          // so that the tooltip asks again once the pointer rests.
          LVHITTESTINFO hit{};
          hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
          ::SendMessageA(window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
          const POINT cell = hit.iItem >= 0 ? POINT{hit.iSubItem, hit.iItem} : POINT{-1, -1};
          if (cell.x != view->tipCell_.x || cell.y != view->tipCell_.y) {
            view->tipCell_ = cell;
            view->HideTip();
          }
        }
        MSG relayed{window, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        ::GetCursorPos(&relayed.pt);
        ::SendMessageA(view->tips_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
        break;
      }
      case WM_MOUSEWHEEL:
      case WM_VSCROLL:
      case WM_HSCROLL:
        view->HideTip();  // the text under the pointer is another now
        break;
      case WM_NCDESTROY:
        view->tips_ = nullptr;
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;  // nothing may escape into the system's message dispatch
  }
  return PassToWindow(window, message, wParam, lParam, CellTipProc, id);
}

bool OwnerDataListView::HandleNotify(NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != list_) return false;
  switch (header.code) {
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW: {
      // The control may paint while a command is still changing the rows
      // (a message box in the middle of a command lets it), so a row it
      // still counts may be gone: that row shows empty.
      auto& info = reinterpret_cast<NMLVDISPINFOA&>(header);
      if (!(info.item.mask & LVIF_TEXT)) break;
      const int row = info.item.iItem;
      const int column = info.item.iSubItem;
      const bool exists = row >= 0 && static_cast<std::size_t>(row) < model_.RowCount() &&
                          column >= 0 && static_cast<std::size_t>(column) < model_.ColumnCount();
      const std::string_view text = exists ? model_.CellText(row, column) : std::string_view();
      if (header.code == LVN_GETDISPINFOA) {
        CopyCell(text, info.item.pszText, info.item.cchTextMax);
      } else {
        auto& wide = reinterpret_cast<NMLVDISPINFOW&>(info);
        CopyCell(text, wide.item.pszText, wide.item.cchTextMax);
      }
      break;
    }
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
      result = -1;
      return true;
    default:
      return false;
  }
  result = 0;
  return true;
}

void OwnerDataListView::Update() {
  const std::size_t rows = model_.RowCount();
  if (rows != shownRows_) {
    // A selection or focus left from earlier rows would point at other files now.
    LVITEMA clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&clear));
    ::SendMessageA(list_, LVM_SETITEMCOUNT, rows, 0);
    shownRows_ = rows;
  }
  if (model_.WidthRevision() != shownWidths_) {
    // The header holds the widths the columns have now, a user's dragging
    // included. A column already as wide is left alone: setting it anyway
    // makes the control lay itself out and repaint its header again.
    for (std::size_t c = 0; c < model_.ColumnCount(); ++c) {
      const int width = dpi::Scale(model_.ColumnWidth(c), dpi_);
      if (HeaderWidth(c) == width) continue;
      ::SendMessageA(list_, LVM_SETCOLUMNWIDTH, c, MAKELPARAM(width, 0));
    }
    shownWidths_ = model_.WidthRevision();
  }
  // Cells of shown rows may have changed without the row count changing.
  HideTip();
  ::InvalidateRect(list_, nullptr, TRUE);
}

int OwnerDataListView::HeaderWidth(std::size_t column) const {
  HDITEMA item{};
  item.mask = HDI_WIDTH;
  if (!header_ || !::SendMessageA(header_, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
    return -1;
  }
  return item.cxy;
}

void OwnerDataListView::SetDpi(int dpi, HFONT font) {
  const int oldDpi = dpi_;
  const int top = static_cast<int>(::SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
  // In report view the horizontal scroll position is in pixels.
  SCROLLINFO horizontal{};
  horizontal.cbSize = sizeof(horizontal);
  horizontal.fMask = SIF_POS;
  const int x = ::GetScrollInfo(list_, SB_HORZ, &horizontal) ? horizontal.nPos : 0;

  dpi_ = dpi;
  ::SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const bool newWidths = model_.WidthRevision() != shownWidths_;
  for (std::size_t c = 0; c < model_.ColumnCount(); ++c) {
    // A width the user dragged keeps its share of the window; the others are
    // the model's at the new scale.
    const int shown = HeaderWidth(c);
    const int modelWidth = model_.ColumnWidth(c);
    const int width = newWidths || shown < 0 || shown == dpi::Scale(modelWidth, oldDpi)
                          ? dpi::Scale(modelWidth, dpi)
                          : ::MulDiv(shown, dpi, oldDpi);
    ::SendMessageA(list_, LVM_SETCOLUMNWIDTH, c, MAKELPARAM(width, 0));
  }
  shownWidths_ = model_.WidthRevision();

  // The same row at the top, the same part of the columns at the left.
  RECT row{};
  row.left = LVIR_BOUNDS;
  const int nowTop = static_cast<int>(::SendMessageA(list_, LVM_GETTOPINDEX, 0, 0));
  if (nowTop != top && ::SendMessageA(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) {
    ::SendMessageA(list_, LVM_SCROLL, 0, (top - nowTop) * (row.bottom - row.top));
  }
  const int wantX = ::MulDiv(x, dpi, oldDpi);
  const int nowX = ::GetScrollInfo(list_, SB_HORZ, &horizontal) ? horizontal.nPos : 0;
  if (wantX != nowX) ::SendMessageA(list_, LVM_SCROLL, wantX - nowX, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
}

ListHint::ListHint(HWND list, const RECT& area, std::string text, COLORREF colour, UINT alignment)
    : list_(list), area_(area), text_(std::move(text)), colour_(colour), alignment_(alignment) {
  subclassed_ = ::SetWindowSubclass(list_, SubclassProc, reinterpret_cast<UINT_PTR>(this),
                                    reinterpret_cast<DWORD_PTR>(this));
  ::InvalidateRect(list_, &area_, TRUE);
}

ListHint::~ListHint() {
  if (subclassed_ && ::IsWindow(list_)) {
    ::RemoveWindowSubclass(list_, SubclassProc, reinterpret_cast<UINT_PTR>(this));
  }
}

void ListHint::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  ::InvalidateRect(list_, &area_, TRUE);
}

void ListHint::SetArea(const RECT& area) {
  ::InvalidateRect(list_, &area_, TRUE);
  area_ = area;
  ::InvalidateRect(list_, &area_, TRUE);
}

void ListHint::Redraw() {
  ::InvalidateRect(list_, &area_, TRUE);
  ::UpdateWindow(list_);
}

void ListHint::Paint(HDC dc) const {
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(list_, WM_GETFONT, 0, 0));
  if (!font) font = reinterpret_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(dc, colour_);
  RECT area = area_;
  ::DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &area,
              alignment_ | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
  ::SelectObject(dc, oldFont);
}

LRESULT CALLBACK ListHint::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self) {
  auto* hint = reinterpret_cast<ListHint*>(self);
  switch (message) {
    case WM_PAINT: {
      // The hint is drawn whole over freshly painted list, never over its own
      // earlier strokes: a repaint that touches part of it repaints all of it.
      bool touched = false;
      RECT update;
      if (hint->visible_ && ::GetUpdateRect(window, &update, FALSE)) {
        RECT overlap;
        touched = ::IntersectRect(&overlap, &update, &hint->area_) != 0;
        if (touched) ::InvalidateRect(window, &hint->area_, TRUE);
      }
      const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
      if (touched) {
        HDC dc = ::GetDC(window);
        hint->Paint(dc);
        ::ReleaseDC(window, dc);
      }
      return result;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_KEYDOWN:
    case LVM_SCROLL:
    case LVM_ENSUREVISIBLE: {
      // Scrolling moves the painted pixels, the hint's among them.
      const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
      if (hint->visible_) ::InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_NCDESTROY:
      hint->subclassed_ = false;
      break;
    default:
      break;
  }
  return PassToWindow(window, message, wParam, lParam, SubclassProc, id);
}

}  // namespace renamora::win32
