#include "app/win32/busy_window.h"

#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "platform/win32/fallbacks.h"
#include "platform/win32/win32_ui.h"

namespace renamora::win32 {

namespace {

// A command shorter than this changes nothing on screen: a flash of the
// wait cursor would only distract.
constexpr DWORD kShowAfterMs = 150;
// The window takes its messages this often, so that it answers the system
// well within 100 ms however long the command runs. GetTickCount moves in
// steps of up to 16 ms.
constexpr DWORD kPumpEveryMs = 40;
// A pump hands the command back after this long even if messages keep
// coming, so that the command itself goes on.
constexpr DWORD kPumpAtMostMs = 30;
// The title and the taskbar button follow the count this often: enough for
// the eye, and no cost a long run would notice.
constexpr DWORD kShowEveryMs = 250;

bool IsKeyboard(UINT message) {
  return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}
bool IsSystemKey(UINT message) {
  return message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || message == WM_SYSCHAR ||
         message == WM_SYSDEADCHAR;
}
bool IsClientMouse(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSEHOVER ||
         message == WM_MOUSELEAVE;
}
bool IsFrameMouse(UINT message) {
  return (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
         message == WM_NCMOUSEHOVER || message == WM_NCMOUSELEAVE;
}

bool IsOwnWindow(HWND window, HWND main) {
  return window == main || ::IsChild(main, window);
}

// 12345 as "12,345".
std::string Grouped(std::size_t n) {
  std::string digits = std::to_string(n);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

// The one window whose command runs now: the box hook's way back to it.
BusyWindow* current = nullptr;

}  // namespace

LRESULT CALLBACK BusyWindow::BoxMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && current && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE &&
      message->hwnd && IsOwnWindow(message->hwnd, current->window_)) {
    current->AskToStop();
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BusyWindow::BusyWindow(HWND window, MessageBoxes& messages) : window_(window), messages_(messages) {
  // The taskbar button shows the progress where the system offers it
  // (Windows 7 on); where it does not, the title alone does. Set up once
  // for the window's life, not at every command.
  comStarted_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  void* taskbar = nullptr;
  if (!FallbacksForced() &&
      SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, &taskbar))) {
    taskbar_ = static_cast<ITaskbarList3*>(taskbar);
    if (FAILED(taskbar_->HrInit())) {
      taskbar_->Release();
      taskbar_ = nullptr;
    }
  }
}

BusyWindow::~BusyWindow() {
  EndTaskbarProgress();
  if (taskbar_) taskbar_->Release();
  if (comStarted_) ::CoUninitialize();
}

std::string BusyWindow::StopQuestion(std::size_t done, std::size_t total) {
  const std::string reached =
      total ? Grouped(done) + "/" + Grouped(total) : "已找到" + Grouped(done) + "个";
  return "正在处理（" + reached + "），要停止吗？";
}

std::string BusyWindow::Title(const std::string& title, const char* activity, std::size_t done,
                              std::size_t total) {
  std::string shown = title + " - " + activity + " " + Grouped(done);
  if (total) shown += "/" + Grouped(total);
  return shown;
}

void BusyWindow::Begin(const char* activity) {
  running_ = true;
  shown_ = false;
  stopAsked_ = false;
  stopped_ = false;
  activity_ = activity ? activity : "";
  done_ = 0;
  total_ = 0;
  started_ = ::GetTickCount();
  lastPump_ = started_;
  lastShown_ = started_ - kShowEveryMs;  // shown at once when the time comes
  current = this;
  boxHook_ = ::SetWindowsHookExA(WH_MSGFILTER, BoxMessage, nullptr, ::GetCurrentThreadId());
}

void BusyWindow::End() {
  if (!running_) return;
  running_ = false;
  if (boxHook_) ::UnhookWindowsHookEx(boxHook_);
  boxHook_ = nullptr;
  current = nullptr;
  if (shown_) {
    ::SetWindowTextA(window_, title_.c_str());
    EndTaskbarProgress();
    RestoreCursor();
    shown_ = false;
  }
  // Clicks, keys and drops made while the command ran are still waiting:
  // none of them may start a command now.
  DropWaitingInput();
  stopAsked_ = false;
  stopped_ = false;
}

bool BusyWindow::Step(std::size_t done, std::size_t total) {
  done_ = done;
  total_ = total;
  if (stopped_) return false;
  const DWORD now = ::GetTickCount();
  if (now - lastPump_ < kPumpEveryMs) return true;
  lastPump_ = now;
  if (!shown_ && now - started_ >= kShowAfterMs) Show();
  if (shown_ && now - lastShown_ >= kShowEveryMs) ShowProgress();
  Pump();
  return !stopped_;
}

bool BusyWindow::AfterBox() {
  if (stopAsked_) AskWhetherToStop();
  return !stopped_;
}

bool BusyWindow::SetBusyCursor() const {
  if (!shown_) return false;
  ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  return true;
}

void BusyWindow::Show() {
  shown_ = true;
  title_ = WindowText(window_);
  shownTitle_ = title_;
  POINT at{};
  if (::GetCursorPos(&at) && IsOwnWindow(::WindowFromPoint(at), window_)) SetBusyCursor();
}

void BusyWindow::ShowProgress() {
  lastShown_ = ::GetTickCount();
  const std::string title = Title(title_, activity_, done_, total_);
  if (title != shownTitle_) {
    ::SetWindowTextA(window_, title.c_str());
    shownTitle_ = title;
  }
  if (taskbar_) {
    if (total_) {
      taskbar_->SetProgressState(window_, TBPF_NORMAL);
      taskbar_->SetProgressValue(window_, done_, total_);
    } else {
      taskbar_->SetProgressState(window_, TBPF_INDETERMINATE);
    }
  }
}

void BusyWindow::Pump() {
  const DWORD began = ::GetTickCount();
  MSG message;
  while (!stopped_ && ::GetTickCount() - began < kPumpAtMostMs &&
         ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    const UINT id = message.message;
    if (id == WM_QUIT) {
      // Meant for the message loop the command will return to.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (id == WM_DROPFILES) {
      ::DragFinish(reinterpret_cast<HDROP>(message.wParam));
      continue;
    }
    if (IsKeyboard(id) && !IsSystemKey(id)) {
      // Only Esc means something now.
      if (id == WM_KEYDOWN && message.wParam == VK_ESCAPE) AskToStop();
    } else if (IsClientMouse(id) || (IsFrameMouse(id) && message.hwnd != window_)) {
      // A click on a control, its scroll bars included, or a turn of the
      // wheel: dropped.
    } else {
      // Paint, the system's own messages, and the window frame: moving,
      // minimising, the close box and Alt+F4 (whose WM_CLOSE asks to stop).
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (stopAsked_) AskWhetherToStop();
  }
  // A WM_CLOSE sent by another program arrives inside PeekMessage.
  if (stopAsked_) AskWhetherToStop();
}

void BusyWindow::AskWhetherToStop() {
  stopAsked_ = false;
  if (asking_ || stopped_) return;
  asking_ = true;
  if (!shown_) Show();
  ShowProgress();
  // Modal: the command waits here for the answer.
  const bool stop = messages_.Show(StopQuestion(done_, total_), MessageButtons::kYesNo,
                                   kMessageCaption) == MessageAnswer::kYes;
  asking_ = false;
  // What was asked again while the box was up is answered by this answer,
  // and keys held down meanwhile must not ask once more.
  stopAsked_ = false;
  if (stop) stopped_ = true;
  DropWaitingInput();
}

void BusyWindow::DropWaitingInput() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (::PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  while (::PeekMessageA(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
  }
  while (::PeekMessageA(&message, nullptr, WM_DROPFILES, WM_DROPFILES, PM_REMOVE)) {
    ::DragFinish(reinterpret_cast<HDROP>(message.wParam));
  }
}

void BusyWindow::RestoreCursor() const {
  // The cursor the control under the mouse would show now, without waiting
  // for the mouse to move.
  POINT at{};
  if (!::GetCursorPos(&at)) return;
  HWND under = ::WindowFromPoint(at);
  if (!under || !IsOwnWindow(under, window_)) return;
  const LRESULT hit = ::SendMessageA(under, WM_NCHITTEST, 0,
                                     MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
  ::SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                 MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

void BusyWindow::EndTaskbarProgress() {
  if (taskbar_) taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
}

}  // namespace renamora::win32
