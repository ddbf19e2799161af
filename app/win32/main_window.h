// The program's window on Win32, built from the layout table (TableWindow).
// It routes every click and drop to the event table by control name and
// knows no command itself; after every event it brings the two list views up
// to date from the rows the program holds.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/event_table.h"
#include "app/layout.h"
#include "app/named_controls.h"
#include "app/win32/busy_window.h"
#include "app/win32/table_window.h"
#include "platform/list_model.h"
#include "platform/win32/list_view.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_ui.h"

namespace renamora::win32 {

class MainWindow final : public TableWindow,
                         public NamedControls<Win32Label, ListHint, Win32RadioButton, Win32TextBox,
                                              SaveDialog, Win32DropObject> {
 public:
  // The window's save dialogs come from `saveDialogs`, as its files and
  // message boxes come from `fs` and `messages`.
  MainWindow(HINSTANCE instance, FileSystem& fs, MessageBoxes& messages,
             SaveDialogFactory& saveDialogs);
  ~MainWindow() override;

  // Creates the window and every control, shows it centred on the screen
  // with the first page selected, and then raises the window-created event.
  // False when the system refuses to create a window.
  bool Create(int show);
  // Closing this window ends the message loop: the program's own window.
  void EndProgramOnClose() { endsProgram_ = true; }

  Context& context() { return *context_; }
  Controls& controls() { return *controls_; }
  FileList& fileList() { return fileList_; }
  RuleList& ruleList() { return ruleList_; }

  // The list views show the rows and widths their models hold now.
  void UpdateLists();

  // Sees every event before the event table runs it (tests, diagnostics).
  using EventObserver =
      std::function<void(std::string_view control, Event event, const std::string& text)>;
  void ObserveEvents(EventObserver observer) { observer_ = std::move(observer); }

 private:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void SetControlFont(HWND control) override;
  void OnRescaled() override;
  void CreatePlatformObjects();

  // Runs the event's command, if any, and shows what it changed. Nothing
  // starts while a command runs: the window takes messages meanwhile, and
  // an event it gets then is the user's input made during the command.
  void Raise(std::string_view control, Event event, const std::string& text = {});
  // A drop on the main window over another drop object's window belongs to
  // that object: the shell delivers it to the main window when it lands on
  // a control lying over that window, such as a button over a list.
  void OnDrop(const std::string& object, HWND target, HDROP drop);

  bool endsProgram_ = false;
  EventObserver observer_;

  FileList fileList_;
  RuleList ruleList_;
  FileSystem& fs_;
  MessageBoxes& messages_;
  SaveDialogFactory& saveDialogFactory_;
  Win32CodePage codePage_;

  std::unique_ptr<OwnerDataListView> fileView_;
  std::unique_ptr<OwnerDataListView> ruleView_;
  std::unique_ptr<BusyWindow> busy_;
  std::unique_ptr<Controls> controls_;
  std::unique_ptr<Context> context_;
};

// Takes messages until the window is closed, with the keyboard navigation of
// a dialog (Tab between controls, arrows within a radio group). Returns the
// exit code: 0 when the window was closed.
int RunMessageLoop(HWND mainWindow);

}  // namespace renamora::win32
