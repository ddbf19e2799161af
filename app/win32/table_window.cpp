#include "app/win32/table_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/subclass.h"
#include "platform/win32/win32_code_page.h"

namespace renamora::win32 {

namespace {

constexpr char kClassName[] = "RenamoraMainWindow";
constexpr int kIconResource = 1;
constexpr int kFirstControlId = 1000;
// Height of a combo box's open list, below the field the table sizes.
constexpr int kDropDownHeight = 100;
// Windows 10 1703 on asks with it which size the window wants at a new scale.
constexpr UINT kGetDpiScaledSize = 0x02E4;
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool HasWindow(layout::Kind kind) {
  return kind != layout::Kind::kSaveDialog && kind != layout::Kind::kDropObject &&
         kind != layout::Kind::kTransparentLabel;
}

bool ClickableHeaders(std::string_view list) {
  for (std::size_t i = 0; i < layout::kListViewCount; ++i) {
    if (list == layout::kListViews[i].name) return layout::kListViews[i].clickableHeaders;
  }
  return true;
}

// The class's icons, for whatever asks the class rather than the window
// (which has icons of its own scale): shared, so the system loads each once
// for the process and frees it with the program.
HICON LoadClassIcon(HINSTANCE instance, int sizeMetric) {
  const int size = ::GetSystemMetrics(sizeMetric);
  return reinterpret_cast<HICON>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, size, size, LR_SHARED));
}

void RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(instance, kClassName, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = LoadClassIcon(instance, SM_CXICON);
  wc.hIconSm = LoadClassIcon(instance, SM_CXSMICON);
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  ::RegisterClassExA(&wc);
}

// A drop-down combo box sizes its field from its font; bring the closed box
// to the height the table gives.
void FitComboHeight(HWND combo, int height) {
  // Steps from the value set last: what the box reports back need not be
  // what it was given (Wine adds its border).
  LRESULT field = ::SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  for (int attempt = 0; attempt < 4 && field != CB_ERR; ++attempt) {
    RECT rect;
    ::GetWindowRect(combo, &rect);
    const int now = rect.bottom - rect.top;
    if (now == height) return;
    field += height - now;
    if (field <= 0) return;
    ::SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

// The room around a tab's caption grows with the caption's font; 6 and 3 are
// the control's own padding at 96 DPI.
void ScaleTabPadding(HWND tab, int dpi) {
  ::SendMessageA(tab, TCM_SETPADDING, 0, MAKELPARAM(dpi::Scale(6, dpi), dpi::Scale(3, dpi)));
}

bool Overlap(const layout::Control& a, const layout::Control& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
         b.top < a.top + a.height;
}

}  // namespace

TableWindow::~TableWindow() {
  Destroy();
  // Only now that no control uses them any more.
  if (font_) ::DeleteObject(font_);
  if (bigIcon_) ::DestroyIcon(bigIcon_);
  if (smallIcon_) ::DestroyIcon(smallIcon_);
}

void TableWindow::Destroy() {
  if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
}

bool TableWindow::CreateFromTable() {
  if (window_) return false;
  RegisterMainClass(instance_, WindowProc);
  const layout::Window& layout = layout::kMainWindowLayout;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  if (!::CreateWindowExA(0, kClassName, layout.title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                         layout.width, layout.height, nullptr, nullptr, instance_, this)) {
    return false;
  }
  // The monitor the window starts on gives its scale.
  dpi_ = dpi::ForWindow(window_);
  font_ = dpi::CreateUiFont(dpi_);
  const SIZE outer = OuterSize(dpi_);
  ::SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetIcons();
  CreateControls();
  StackOverlappingControls();
  return true;
}

HWND TableWindow::Handle(std::string_view control) const {
  const auto found = handles_.find(control);
  return found == handles_.end() ? nullptr : found->second;
}

const layout::Control* TableWindow::ControlOf(HWND control) const {
  const auto found = controlsByHandle_.find(control);
  return found == controlsByHandle_.end() ? nullptr : found->second;
}

void TableWindow::CreateControls() {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& control = layout::kControls[i];
    if (!HasWindow(control.kind)) continue;
    HWND parent = control.parent ? Handle(control.parent) : window_;
    if (!parent) continue;
    // Arrow keys move within a group and Tab jumps between groups.
    const bool startsGroup = control.kind != layout::Kind::kRadioButton ||
                             &layout::FirstOfRadioGroup(control) == &control;
    HWND handle = CreateControl(control, parent, startsGroup);
    if (!handle) continue;
    handles_[control.name] = handle;
    controlsByHandle_[handle] = &control;
    if (control.kind == layout::Kind::kTabControl) tab_ = handle;
    // Controls inside a tab control or a group box notify that window; it
    // passes their notifications on to this one. It must do so from the
    // start: a list view asks its parent at once which text format to use.
    if (control.kind == layout::Kind::kTabControl || control.kind == layout::Kind::kGroupBox) {
      ::SetWindowSubclass(handle, ContainerProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
  }
}

HWND TableWindow::CreateControl(const layout::Control& control, HWND parent, bool startsGroup) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | (startsGroup ? WS_GROUP : 0);
  DWORD exStyle = 0;
  const char* className = "BUTTON";
  const RECT rect = ControlRect(control);
  int height = rect.bottom - rect.top;
  switch (control.kind) {
    case layout::Kind::kListView:
      className = WC_LISTVIEWA;
      style |= WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL;
      if (!ClickableHeaders(control.name)) style |= LVS_NOSORTHEADER;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case layout::Kind::kTabControl:
      className = WC_TABCONTROLA;
      style |= WS_CLIPCHILDREN;
      exStyle = WS_EX_CONTROLPARENT;
      break;
    case layout::Kind::kPushButton:
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case layout::Kind::kRadioButton:
      style |= WS_TABSTOP | BS_AUTORADIOBUTTON;
      break;
    case layout::Kind::kGroupBox:
      style |= WS_CLIPCHILDREN | BS_GROUPBOX;
      if (control.align == layout::Align::kCenter) style |= BS_CENTER;
      if (control.align == layout::Align::kRight) style |= BS_RIGHT;
      exStyle = WS_EX_CONTROLPARENT;
      break;
    case layout::Kind::kLabel:
      className = "STATIC";
      style |= SS_CENTERIMAGE | SS_NOPREFIX;
      if (control.align == layout::Align::kCenter) style |= SS_CENTER;
      if (control.align == layout::Align::kRight) style |= SS_RIGHT;
      break;
    case layout::Kind::kEditBox:
      className = "EDIT";
      style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case layout::Kind::kComboBox:
      className = "COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
      height += dpi::Scale(kDropDownHeight, dpi_);
      break;
    default:
      return nullptr;
  }
  const INT_PTR id = kFirstControlId + (&control - layout::kControls);
  // The boxes the user types into are Unicode windows: an ANSI one keeps its
  // text in the code page and would take a character GBK lacks as a
  // look-alike while it is typed, before the program could see it.
  const bool typedInto =
      control.kind == layout::Kind::kEditBox || control.kind == layout::Kind::kComboBox;
  HWND handle = typedInto ? ::CreateWindowExW(exStyle, FromGbk(className).c_str(),
                                              FromGbk(control.caption).c_str(), style, rect.left,
                                              rect.top, rect.right - rect.left, height, parent,
                                              reinterpret_cast<HMENU>(id), instance_, nullptr)
                          : ::CreateWindowExA(exStyle, className, control.caption, style, rect.left,
                                              rect.top, rect.right - rect.left, height, parent,
                                              reinterpret_cast<HMENU>(id), instance_, nullptr);
  if (!handle) return nullptr;
  ::SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  switch (control.kind) {
    case layout::Kind::kTabControl:
      ScaleTabPadding(handle, dpi_);
      for (std::size_t t = 0; t < layout::kTabCount; ++t) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(layout::kTabCaptions[t]);
        ::SendMessageA(handle, TCM_INSERTITEMA, t, reinterpret_cast<LPARAM>(&item));
      }
      ::SendMessageA(handle, TCM_SETCURSEL, 0, 0);
      break;
    case layout::Kind::kRadioButton:
      ::SendMessageA(handle, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case layout::Kind::kEditBox:
      ::SendMessageA(handle, EM_SETLIMITTEXT, 0, 0);  // no limit but the system's
      ::SetWindowTextA(handle, control.caption);
      break;
    case layout::Kind::kComboBox:
      ::SendMessageA(handle, CB_LIMITTEXT, 0, 0);
      if (control.item) {
        ::SendMessageA(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(control.item));
      }
      if (control.item && control.itemSelected) {
        ::SendMessageA(handle, CB_SETCURSEL, 0, 0);
      } else {
        ::SetWindowTextA(handle, control.caption);
      }
      FitComboHeight(handle, rect.bottom - rect.top);
      break;
    default:
      break;
  }
  return handle;
}

RECT TableWindow::ControlRect(const layout::Control& control) const {
  return dpi::ScaleRect(control.left, control.top, control.width, control.height, dpi_);
}

RECT TableWindow::HintArea(const layout::Control& hint, HWND list) const {
  RECT area = ControlRect(hint);
  HWND parent = hint.parent ? Handle(hint.parent) : window_;
  ::MapWindowPoints(parent, list, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

SIZE TableWindow::OuterSize(int dpi) const {
  const layout::Window& layout = layout::kMainWindowLayout;
  return dpi::ScaledOuterSize({layout.width, layout.height},
                              static_cast<DWORD>(::GetWindowLongPtrA(window_, GWL_STYLE)),
                              static_cast<DWORD>(::GetWindowLongPtrA(window_, GWL_EXSTYLE)), dpi);
}

void TableWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  if (dpi <= 0) return;
  HFONT previous = font_;
  font_ = dpi::CreateUiFont(dpi);
  dpi_ = dpi;
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
  SetIcons();
  if (previous) ::DeleteObject(previous);
}

void TableWindow::LayOut() {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    HWND handle = Handle(c.name);
    if (!handle) continue;
    // The font first: a combo box sizes its field from it.
    SetControlFont(handle);
    const RECT rect = ControlRect(c);
    int height = rect.bottom - rect.top;
    if (c.kind == layout::Kind::kComboBox) height += dpi::Scale(kDropDownHeight, dpi_);
    ::SetWindowPos(handle, nullptr, rect.left, rect.top, rect.right - rect.left, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.kind == layout::Kind::kComboBox) FitComboHeight(handle, rect.bottom - rect.top);
    if (c.kind == layout::Kind::kTabControl) ScaleTabPadding(handle, dpi_);
  }
  OnRescaled();
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TableWindow::SetIcons() {
  // The title bar and the task bar ask for the sizes of the window's scale.
  HICON big = dpi::LoadIconAt(instance_, kIconResource, SM_CXICON, dpi_);
  HICON little = dpi::LoadIconAt(instance_, kIconResource, SM_CXSMICON, dpi_);
  ::SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  ::SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little));
  if (bigIcon_) ::DestroyIcon(bigIcon_);
  if (smallIcon_) ::DestroyIcon(smallIcon_);
  bigIcon_ = big;
  smallIcon_ = little;
}

void TableWindow::StackOverlappingControls() {
  // A control that lies over an earlier one of the same page (a button over
  // a corner of a list) must be above it, or the earlier one would take its
  // clicks and paint over it.
  for (std::size_t later = 0; later < layout::kControlCount; ++later) {
    const layout::Control& top = layout::kControls[later];
    HWND topHandle = Handle(top.name);
    if (!topHandle) continue;
    for (std::size_t earlier = 0; earlier < later; ++earlier) {
      const layout::Control& under = layout::kControls[earlier];
      HWND underHandle = Handle(under.name);
      if (!underHandle || ::GetParent(underHandle) != ::GetParent(topHandle) ||
          under.page != top.page || !Overlap(top, under)) {
        continue;
      }
      HWND above = ::GetWindow(underHandle, GW_HWNDPREV);
      ::SetWindowPos(topHandle, above ? above : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      break;
    }
  }
}

void TableWindow::CentreOnScreen() {
  RECT work{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT rect;
  ::GetWindowRect(window_, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  ::SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TableWindow::RectInWindow(HWND control) const {
  RECT rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND TableWindow::FirstTabStop() const {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    HWND handle = Handle(layout::kControls[i].name);
    if (handle && ::IsWindowVisible(handle) &&
        (::GetWindowLongPtrA(handle, GWL_STYLE) & WS_TABSTOP)) {
      return handle;
    }
  }
  return nullptr;
}

int TableWindow::CurrentPage() const {
  return tab_ ? static_cast<int>(::SendMessageA(tab_, TCM_GETCURSEL, 0, 0)) : -1;
}

void TableWindow::ShowPage(int page) {
  if (!tab_) return;
  if (CurrentPage() != page) ::SendMessageA(tab_, TCM_SETCURSEL, page, 0);
  const layout::Control* tab = ControlOf(tab_);
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    HWND handle = Handle(c.name);
    if (!handle || !c.parent || std::string_view(c.parent) != tab->name) continue;
    ::ShowWindow(handle, c.page == page ? SW_SHOWNA : SW_HIDE);
  }
  // Keyboard input must not go on reaching a control the user cannot see.
  HWND focus = ::GetFocus();
  if (focus && ::IsChild(window_, focus) && !::IsWindowVisible(focus)) ::SetFocus(tab_);
}

LRESULT CALLBACK TableWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<TableWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    dpi::EnableNonClientScaling(window);
  }
  auto* self = reinterpret_cast<TableWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->HandleMessage(window, message, wParam, lParam);
  } catch (...) {
    return 0;  // nothing may escape into the system's message dispatch
  }
}

bool TableWindow::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}

void TableWindow::SetControlFont(HWND control) {
  ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

LRESULT TableWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
      if (header.hwndFrom == tab_ && header.code == TCN_SELCHANGE) ShowPage(CurrentPage());
      return 0;
    }
    case WM_NOTIFYFORMAT:
      return NFR_ANSI;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kGetDpiScaledSize:
      // The scaled client area exactly, rather than the outer size scaled.
      *reinterpret_cast<SIZE*>(lParam) = OuterSize(static_cast<int>(LOWORD(wParam)));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(message, wParam, lParam);
    case WM_ACTIVATE:
      // Come back to the control the user left, as a dialog does.
      if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = ::GetFocus();
      } else if (!HIWORD(wParam)) {
        HWND focus = lastFocus_ && ::IsChild(window, lastFocus_) && ::IsWindowVisible(lastFocus_)
                         ? lastFocus_
                         : FirstTabStop();
        if (focus) {
          ::SetFocus(focus);
          return 0;
        }
      }
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TableWindow::OnControlColour(UINT message, WPARAM wParam, LPARAM lParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  const layout::Control* control = ControlOf(reinterpret_cast<HWND>(lParam));
  if (!control ||
      (control->kind != layout::Kind::kLabel && control->kind != layout::Kind::kRadioButton &&
       control->kind != layout::Kind::kGroupBox)) {
    return ::DefWindowProcA(window_, message, wParam, lParam);
  }
  ::SetTextColor(dc, control->textColour == layout::kDefaultColour ? ::GetSysColor(COLOR_WINDOWTEXT)
                                                                   : control->textColour);
  if (control->whiteBackground) {
    ::SetBkColor(dc, kWhite);
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
  }
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK TableWindow::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR id, DWORD_PTR self) {
  auto* table = reinterpret_cast<TableWindow*>(self);
  try {
    switch (message) {
      case WM_COMMAND:
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_NOTIFY: {
        // Only what comes from the program's own controls: the container's
        // own helpers (a tab control's arrows) keep talking to it alone.
        HWND from = message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom
                                         : reinterpret_cast<HWND>(lParam);
        if (table->window_ && table->ControlOf(from)) {
          return ::SendMessageA(table->window_, message, wParam, lParam);
        }
        break;
      }
      case WM_NOTIFYFORMAT:
        if (lParam == NF_QUERY) return NFR_ANSI;
        break;
      case WM_ERASEBKGND: {
        const layout::Control* control = table->ControlOf(window);
        if (control && control->kind == layout::Kind::kGroupBox && control->whiteBackground) {
          RECT rect;
          ::GetClientRect(window, &rect);
          ::FillRect(reinterpret_cast<HDC>(wParam), &rect,
                     reinterpret_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
          return 1;
        }
        break;
      }
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return PassToWindow(window, message, wParam, lParam, ContainerProc, id);
}

}  // namespace renamora::win32
