// The main window while a command runs. Commands run on the one event
// thread, so a long one would freeze the window: it could not repaint, the
// system would call it not responding, and clicks made meanwhile would wait
// in the queue and run as commands of their own once it ends. Here the
// command's own progress calls keep the window alive instead.
//
// Once a command has run for a moment the window shows the wait cursor and,
// in its title and its taskbar button, how far the command has come; every
// few tens of milliseconds it takes the messages waiting for it. Paint and
// every message the system sends are handled as usual. Input is not: a
// click or a key meant for a control is dropped, and so is a drop of files,
// so nothing the user does during a command becomes a command after it.
// The window frame still answers (move, minimise, the close box), and the
// close box and Esc ask whether to stop.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/progress.h"
#include "platform/ui.h"

struct ITaskbarList3;

namespace renamora::win32 {

class BusyWindow final : public Progress {
 public:
  BusyWindow(HWND window, MessageBoxes& messages);
  ~BusyWindow() override;
  BusyWindow(const BusyWindow&) = delete;
  BusyWindow& operator=(const BusyWindow&) = delete;

  // A command starts; `activity` names it in the title ("修改", "载入").
  void Begin(const char* activity);
  // The command has ended: the window is itself again, and any input made
  // while it ran is dropped.
  void End();
  bool Running() const { return running_; }

  bool Step(std::size_t done, std::size_t total) override;
  bool AfterBox() override;

  // The close box was pressed, or Esc (also while a box of the command's
  // own is up): asked at the next chance that has no other box up.
  void AskToStop() { stopAsked_ = true; }
  // WM_SETCURSOR over the window: true when the wait cursor was set.
  bool SetBusyCursor() const;

  // The text of the stop question and of the title while `done` of `total`
  // rows are done (`total` 0: files found by a walk).
  static std::string StopQuestion(std::size_t done, std::size_t total);
  static std::string Title(const std::string& title, const char* activity, std::size_t done,
                           std::size_t total);

 private:
  void Show();
  void ShowProgress();
  void Pump();
  void AskWhetherToStop();
  void DropWaitingInput();
  void RestoreCursor() const;
  void EndTaskbarProgress();
  // Sees the messages of the modal loops of the command's boxes, where an
  // Esc meant for the window would otherwise be lost.
  static LRESULT CALLBACK BoxMessage(int code, WPARAM wParam, LPARAM lParam);

  HWND window_;
  MessageBoxes& messages_;
  bool running_ = false;
  bool shown_ = false;  // the window says it is busy
  bool stopAsked_ = false;
  bool asking_ = false;
  bool stopped_ = false;
  const char* activity_ = "";
  std::string title_;
  std::string shownTitle_;
  DWORD started_ = 0;
  DWORD lastPump_ = 0;
  DWORD lastShown_ = 0;
  std::size_t done_ = 0;
  std::size_t total_ = 0;
  HHOOK boxHook_ = nullptr;
  ITaskbarList3* taskbar_ = nullptr;
  bool comStarted_ = false;
};

}  // namespace renamora::win32
