#include "app/win32/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/list_models.h"

namespace renamora::win32 {

MainWindow::MainWindow(HINSTANCE instance, FileSystem& fs, MessageBoxes& messages,
                       SaveDialogFactory& saveDialogs)
    : TableWindow(instance),
      fileList_(MakeFileList()),
      ruleList_(MakeRuleList()),
      fs_(fs),
      messages_(messages),
      saveDialogFactory_(saveDialogs) {}

MainWindow::~MainWindow() {
  // While the views, hints and drop objects the window's messages reach
  // are still here.
  Destroy();
}

bool MainWindow::Create(int show) {
  if (!CreateFromTable()) return false;
  CreatePlatformObjects();
  ShowPage(0);
  CentreOnScreen();
  ::ShowWindow(Handle(), show);
  // Every control exists and no user input has been taken yet.
  Raise(kMainWindowName, Event::kWindowCreated);
  if (HWND first = FirstTabStop()) ::SetFocus(first);
  ::UpdateWindow(Handle());
  return true;
}

void MainWindow::CreatePlatformObjects() {
  fileView_ = std::make_unique<OwnerDataListView>(Handle("超级列表框1"), fileList_, Dpi());
  ruleView_ = std::make_unique<OwnerDataListView>(Handle("超级列表框2"), ruleList_, Dpi());

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
        dialogs_[c.name] = saveDialogFactory_.Make(Handle(), c.caption, c.filter ? c.filter : "",
                                                   c.defaultExtension ? c.defaultExtension : "");
        break;
      case layout::Kind::kDropObject: {
        const std::string name = c.name;
        drops_[name] = std::make_unique<Win32DropObject>(
            [this, name](HWND target, HDROP drop) { OnDrop(name, target, drop); }, Handle());
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

  controls_ = std::make_unique<Controls>(ControlsOf(*this, Handle(), Handle("超级列表框2")));
  busy_ = std::make_unique<BusyWindow>(Handle(), messages_);
  context_ = std::make_unique<Context>(Context{fs_, messages_, *busy_, *controls_, codePage_});
}

void MainWindow::SetControlFont(HWND control) {
  if (fileView_ && control == fileView_->Handle()) {
    fileView_->SetDpi(Dpi(), Font());
  } else if (ruleView_ && control == ruleView_->Handle()) {
    ruleView_->SetDpi(Dpi(), Font());
  } else {
    TableWindow::SetControlFont(control);
  }
}

void MainWindow::OnRescaled() {
  for (const auto& [name, hint] : hints_) {
    hint->SetArea(HintArea(*layout::Find(name), hint->List()));
  }
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
  if (target == Handle() && ::DragQueryPoint(drop, &point)) {
    for (const auto& [name, other] : drops_) {
      HWND bound = other->BoundWindow();
      if (name == object || !bound || bound == Handle() || !other->Accepting() ||
          !::IsWindowVisible(bound) || !::IsChild(Handle(), bound)) {
        continue;
      }
      const RECT rect = RectInWindow(bound);
      if (::PtInRect(&rect, point)) {
        routed = name;
        break;
      }
    }
  }
  const std::string text = DroppedText(drop);
  if (!text.empty()) Raise(routed, Event::kFilesDropped, text);
}

bool MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      const layout::Control* control = from ? ControlOf(from) : nullptr;
      if (control && HIWORD(wParam) == BN_CLICKED) Raise(control->name, Event::kClick);
      return true;
    }
    case WM_NOTIFY: {
      NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
      return (fileView_ && fileView_->HandleNotify(header, result)) ||
             (ruleView_ && ruleView_->HandleNotify(header, result));
    }
    case WM_DROPFILES: {
      // The drop objects bound to this window see its drops from here,
      // not through a subclass.
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      for (const auto& [name, object] : drops_) {
        if (object->BoundWindow() == Handle()) {
          object->Deliver(Handle(), drop);
          return true;
        }
      }
      ::DragFinish(drop);
      return true;
    }
    case WM_SETCURSOR:
      result = TRUE;
      return busy_ && busy_->SetBusyCursor();
    case WM_CLOSE:
      // The close box stops a running command, if the user says so, and
      // the window stays: the list must go on showing the names the files
      // have now.
      if (busy_ && busy_->Running()) {
        busy_->AskToStop();
        return true;
      }
      return false;
    case WM_DESTROY:
      if (endsProgram_) ::PostQuitMessage(0);
      return true;
    default:
      return false;
  }
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
