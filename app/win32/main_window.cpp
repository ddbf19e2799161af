#include "app/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "app/list_models.h"
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

HICON LoadAppIcon(HINSTANCE instance, int sizeMetric) {
  const int size = ::GetSystemMetrics(sizeMetric);
  return reinterpret_cast<HICON>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, size, size, 0));
}

void RegisterMainClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(instance, kClassName, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hIcon = LoadAppIcon(instance, SM_CXICON);
  wc.hIconSm = LoadAppIcon(instance, SM_CXSMICON);
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

MainWindow::MainWindow(HINSTANCE instance, FileSystem& fs, MessageBoxes& messages,
                       SaveDialogFactory& saveDialogs)
    : instance_(instance),
      fileList_(MakeFileList()),
      ruleList_(MakeRuleList()),
      fs_(fs),
      messages_(messages),
      saveDialogFactory_(saveDialogs) {}

MainWindow::~MainWindow() {
  if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
  // Only now that no control uses them any more.
  if (font_) ::DeleteObject(font_);
  if (bigIcon_) ::DestroyIcon(bigIcon_);
  if (smallIcon_) ::DestroyIcon(smallIcon_);
}

bool MainWindow::Create(int show) {
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
  RaiseOverlappingControls();
  CreatePlatformObjects();
  ShowPage(0);
  CentreOnScreen();
  ::ShowWindow(window_, show);
  // Every control exists and no user input has been taken yet.
  Raise(kMainWindowName, Event::kWindowCreated);
  if (HWND first = FirstTabStop()) ::SetFocus(first);
  ::UpdateWindow(window_);
  return true;
}

HWND MainWindow::Handle(std::string_view control) const {
  const auto found = handles_.find(control);
  return found == handles_.end() ? nullptr : found->second;
}

const layout::Control* MainWindow::ControlOf(HWND control) const {
  const auto found = controlsByHandle_.find(control);
  return found == controlsByHandle_.end() ? nullptr : found->second;
}

void MainWindow::CreateControls() {
  // The last control created under each parent, for the radio groups: a
  // group starts at every radio button that does not follow another one.
  std::unordered_map<HWND, const layout::Control*> lastChild;
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& control = layout::kControls[i];
    if (!HasWindow(control.kind)) continue;
    HWND parent = control.parent ? Handle(control.parent) : window_;
    if (!parent) continue;
    const layout::Control* previous = lastChild[parent];
    const bool startsGroup = control.kind != layout::Kind::kRadioButton || !previous ||
                             previous->kind != layout::Kind::kRadioButton;
    HWND handle = CreateControl(control, parent, startsGroup);
    if (!handle) continue;
    handles_[control.name] = handle;
    controlsByHandle_[handle] = &control;
    lastChild[parent] = &control;
    if (control.kind == layout::Kind::kTabControl) tab_ = handle;
    // Controls inside a tab control or a group box notify that window; it
    // passes their notifications on to this one. It must do so from the
    // start: a list view asks its parent at once which text format to use.
    if (control.kind == layout::Kind::kTabControl || control.kind == layout::Kind::kGroupBox) {
      ::SetWindowSubclass(handle, ContainerProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
  }
}

HWND MainWindow::CreateControl(const layout::Control& control, HWND parent, bool startsGroup) {
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

RECT MainWindow::ControlRect(const layout::Control& control) const {
  return dpi::ScaleRect(control.left, control.top, control.width, control.height, dpi_);
}

RECT MainWindow::HintArea(const layout::Control& hint, HWND list) const {
  RECT area = ControlRect(hint);
  HWND parent = hint.parent ? Handle(hint.parent) : window_;
  ::MapWindowPoints(parent, list, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

SIZE MainWindow::OuterSize(int dpi) const {
  const layout::Window& layout = layout::kMainWindowLayout;
  return dpi::ScaledOuterSize({layout.width, layout.height},
                              static_cast<DWORD>(::GetWindowLongPtrA(window_, GWL_STYLE)),
                              static_cast<DWORD>(::GetWindowLongPtrA(window_, GWL_EXSTYLE)), dpi);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
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

void MainWindow::LayOut() {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    HWND handle = Handle(c.name);
    if (!handle) continue;
    // The font first: a combo box sizes its field from it.
    if (fileView_ && handle == fileView_->Handle()) {
      fileView_->SetDpi(dpi_, font_);
    } else if (ruleView_ && handle == ruleView_->Handle()) {
      ruleView_->SetDpi(dpi_, font_);
    } else {
      ::SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    const RECT rect = ControlRect(c);
    int height = rect.bottom - rect.top;
    if (c.kind == layout::Kind::kComboBox) height += dpi::Scale(kDropDownHeight, dpi_);
    ::SetWindowPos(handle, nullptr, rect.left, rect.top, rect.right - rect.left, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (c.kind == layout::Kind::kComboBox) FitComboHeight(handle, rect.bottom - rect.top);
    if (c.kind == layout::Kind::kTabControl) ScaleTabPadding(handle, dpi_);
  }
  for (const auto& [name, hint] : hints_)
    hint->SetArea(HintArea(*layout::Find(name), hint->List()));
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::SetIcons() {
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

void MainWindow::RaiseOverlappingControls() {
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

void MainWindow::CreatePlatformObjects() {
  fileView_ = std::make_unique<OwnerDataListView>(Handle("超级列表框1"), fileList_, dpi_);
  ruleView_ = std::make_unique<OwnerDataListView>(Handle("超级列表框2"), ruleList_, dpi_);

  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    HWND handle = Handle(c.name);
    switch (c.kind) {
      case layout::Kind::kLabel:
        labels_[c.name] = std::make_unique<Win32Label>(handle);
        break;
      case layout::Kind::kRadioButton:
        radios_[c.name] = std::make_unique<Win32RadioButton>(handle);
        break;
      case layout::Kind::kEditBox:
      case layout::Kind::kComboBox:
        texts_[c.name] = std::make_unique<Win32TextBox>(handle);
        break;
      case layout::Kind::kSaveDialog:
        dialogs_[c.name] = saveDialogFactory_.Make(window_, c.caption, c.filter ? c.filter : "",
                                                   c.defaultExtension ? c.defaultExtension : "");
        break;
      case layout::Kind::kDropObject: {
        const std::string name = c.name;
        drops_[name] = std::make_unique<Win32DropObject>(
            [this, name](HWND target, HDROP drop) { OnDrop(name, target, drop); }, window_);
        break;
      }
      case layout::Kind::kTransparentLabel: {
        // Painted by the list view it lies over, in that list's client
        // coordinates.
        const layout::Point at = layout::PositionInMainWindow(c);
        for (std::size_t l = 0; l < layout::kControlCount; ++l) {
          const layout::Control& list = layout::kControls[l];
          if (list.kind != layout::Kind::kListView || list.page != c.page) continue;
          const layout::Point listAt = layout::PositionInMainWindow(list);
          if (at.x < listAt.x || at.y < listAt.y || at.x >= listAt.x + list.width ||
              at.y >= listAt.y + list.height) {
            continue;
          }
          HWND listHandle = Handle(list.name);
          const RECT area = HintArea(c, listHandle);
          const UINT align = c.align == layout::Align::kRight    ? DT_RIGHT
                             : c.align == layout::Align::kCenter ? DT_CENTER
                                                                 : DT_LEFT;
          hints_[c.name] =
              std::make_unique<ListHint>(listHandle, area, c.caption, c.textColour, align);
          break;
        }
        break;
      }
      default:
        break;
    }
  }

  controls_ = std::make_unique<Controls>(ControlsOf(*this, window_, Handle("超级列表框2")));
  busy_ = std::make_unique<BusyWindow>(window_, messages_);
  context_ = std::make_unique<Context>(Context{fs_, messages_, *busy_, *controls_, codePage_});
}

void MainWindow::CentreOnScreen() {
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

RECT MainWindow::RectInMainWindow(HWND control) const {
  RECT rect;
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND MainWindow::FirstTabStop() const {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    HWND handle = Handle(layout::kControls[i].name);
    if (handle && ::IsWindowVisible(handle) &&
        (::GetWindowLongPtrA(handle, GWL_STYLE) & WS_TABSTOP)) {
      return handle;
    }
  }
  return nullptr;
}

int MainWindow::CurrentPage() const {
  return tab_ ? static_cast<int>(::SendMessageA(tab_, TCM_GETCURSEL, 0, 0)) : -1;
}

void MainWindow::ShowPage(int page) {
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

void MainWindow::UpdateLists() {
  if (fileView_) fileView_->Update();
  if (ruleView_) ruleView_->Update();
}

void MainWindow::Raise(std::string_view control, Event event, const std::string& text) {
  if (!busy_ || busy_->Running()) return;
  const EventBinding* binding = FindBinding(control, event);
  busy_->Begin(binding ? binding->activity : nullptr);
  try {
    if (observer_) observer_(control, event, text);
    RaiseEvent(*context_, control, event, text);
  } catch (...) {
    // A command cut short has told the user so; nothing else that fails on
    // the way may take the window with it.
  }
  UpdateLists();
  busy_->End();
}

void MainWindow::OnDrop(const std::string& object, HWND target, HDROP drop) {
  std::string routed = object;
  POINT point{};
  if (target == window_ && ::DragQueryPoint(drop, &point)) {
    for (const auto& [name, other] : drops_) {
      HWND bound = other->BoundWindow();
      if (name == object || !bound || bound == window_ || !other->Accepting() ||
          !::IsWindowVisible(bound) || !::IsChild(window_, bound)) {
        continue;
      }
      const RECT rect = RectInMainWindow(bound);
      if (::PtInRect(&rect, point)) {
        routed = name;
        break;
      }
    }
  }
  const std::string text = DroppedText(drop);
  if (!text.empty()) Raise(routed, Event::kFilesDropped, text);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    dpi::EnableNonClientScaling(window);
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->HandleMessage(window, message, wParam, lParam);
  } catch (...) {
    return 0;  // nothing may escape into the system's message dispatch
  }
}

LRESULT MainWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      const layout::Control* control = from ? ControlOf(from) : nullptr;
      if (control && HIWORD(wParam) == BN_CLICKED) Raise(control->name, Event::kClick);
      return 0;
    }
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_DROPFILES: {
      // The drop objects bound to this window see its drops from here,
      // not through a subclass.
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      for (const auto& [name, object] : drops_) {
        if (object->BoundWindow() == window) {
          object->Deliver(window, drop);
          return 0;
        }
      }
      ::DragFinish(drop);
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
    case WM_SETCURSOR:
      if (busy_ && busy_->SetBusyCursor()) return TRUE;
      break;
    case WM_CLOSE:
      // The close box stops a running command, if the user says so, and
      // the window stays: the list must go on showing the names the files
      // have now.
      if (busy_ && busy_->Running()) {
        busy_->AskToStop();
        return 0;
      }
      break;
    case WM_DESTROY:
      if (endsProgram_) ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT MainWindow::OnNotify(NMHDR& header) {
  LRESULT result = 0;
  if (fileView_ && fileView_->HandleNotify(header, result)) return result;
  if (ruleView_ && ruleView_->HandleNotify(header, result)) return result;
  if (header.hwndFrom == tab_ && header.code == TCN_SELCHANGE) ShowPage(CurrentPage());
  return 0;
}

LRESULT MainWindow::OnControlColour(UINT message, WPARAM wParam, LPARAM lParam) {
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

LRESULT CALLBACK MainWindow::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self) {
  auto* main = reinterpret_cast<MainWindow*>(self);
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
        if (main->window_ && main->ControlOf(from)) {
          return ::SendMessageA(main->window_, message, wParam, lParam);
        }
        break;
      }
      case WM_NOTIFYFORMAT:
        if (lParam == NF_QUERY) return NFR_ANSI;
        break;
      case WM_ERASEBKGND: {
        const layout::Control* control = main->ControlOf(window);
        if (control && control->kind == layout::Kind::kGroupBox && control->whiteBackground) {
          RECT rect;
          ::GetClientRect(window, &rect);
          ::FillRect(reinterpret_cast<HDC>(wParam), &rect,
                     reinterpret_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
          return 1;
        }
        break;
      }
      case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, ContainerProc, id);
        break;
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

int RunMessageLoop(HWND mainWindow) {
  MSG message;
  for (;;) {
    // The Unicode functions, so that a character typed into a box reaches
    // it whole, whether GBK has it or not.
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    if (::IsWindow(mainWindow) && ::IsDialogMessageW(mainWindow, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace renamora::win32
