// The main window on Win32: built from the layout table, one loop over it.
// It routes every click and drop to the event table by control name and
// knows no command itself; after every event it brings the two list views up
// to date from the rows the program holds.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/event_table.h"
#include "app/layout.h"
#include "app/named_controls.h"
#include "app/win32/busy_window.h"
#include "platform/list_model.h"
#include "platform/win32/dpi.h"
#include "platform/win32/list_view.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_ui.h"

namespace renamora::win32 {

class MainWindow final : public NamedControls<Win32Label, ListHint, Win32RadioButton, Win32TextBox,
                                              SaveDialog, Win32DropObject> {
 public:
  // The window's save dialogs come from `saveDialogs`, as its files and
  // message boxes come from `fs` and `messages`.
  MainWindow(HINSTANCE instance, FileSystem& fs, MessageBoxes& messages,
             SaveDialogFactory& saveDialogs);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and every control, shows it centred on the screen
  // with the first page selected, and then raises the window-created event.
  // False when the system refuses to create a window.
  bool Create(int show);
  // Closing this window ends the message loop: the program's own window.
  void EndProgramOnClose() { endsProgram_ = true; }

  HWND Handle() const { return window_; }
  // The scale the window is laid out at, and the one font of its controls.
  int Dpi() const { return dpi_; }
  HFONT Font() const { return font_; }
  // The window of a control; nullptr for a name without one (the save
  // dialogs, drop objects and the hints that the lists paint).
  HWND Handle(std::string_view control) const;
  const layout::Control* ControlOf(HWND control) const;

  Context& context() { return *context_; }
  Controls& controls() { return *controls_; }
  FileList& fileList() { return fileList_; }
  RuleList& ruleList() { return ruleList_; }

  int CurrentPage() const;
  // Selects a page of 选择夹1 and shows only that page's controls.
  void ShowPage(int page);
  // The list views show the rows and widths their models hold now.
  void UpdateLists();

  // Sees every event before the event table runs it (tests, diagnostics).
  using EventObserver =
      std::function<void(std::string_view control, Event event, const std::string& text)>;
  void ObserveEvents(EventObserver observer) { observer_ = std::move(observer); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(NMHDR& header);
  LRESULT OnControlColour(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  HWND CreateControl(const layout::Control& control, HWND parent, bool startsGroup);
  // Where a control of the table lies at the window's scale, in the client
  // area of its parent; a hint in the client area of its list.
  RECT ControlRect(const layout::Control& control) const;
  RECT HintArea(const layout::Control& hint, HWND list) const;
  SIZE OuterSize(int dpi) const;
  // The window moved to a monitor of another scale, or the scale changed:
  // every control moved, sized and given the font of the new scale, none
  // made anew, so each keeps its state.
  void OnDpiChanged(int dpi, const RECT& suggested);
  void LayOut();
  void SetIcons();
  void RaiseOverlappingControls();
  void CreatePlatformObjects();
  void CentreOnScreen();
  RECT RectInMainWindow(HWND control) const;

  // Runs the event's command, if any, and shows what it changed. Nothing
  // starts while a command runs: the window takes messages meanwhile, and
  // an event it gets then is the user's input made during the command.
  void Raise(std::string_view control, Event event, const std::string& text = {});
  // A drop on the main window over another drop object's window belongs to
  // that object: the shell delivers it to the main window when it lands on
  // a control lying over that window, such as a button over a list.
  void OnDrop(const std::string& object, HWND target, HDROP drop);
  HWND FirstTabStop() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  int dpi_ = dpi::kBase;
  HFONT font_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool endsProgram_ = false;
  HWND tab_ = nullptr;
  HWND lastFocus_ = nullptr;
  EventObserver observer_;

  FileList fileList_;
  RuleList ruleList_;
  FileSystem& fs_;
  MessageBoxes& messages_;
  SaveDialogFactory& saveDialogFactory_;
  Win32CodePage codePage_;

  std::map<std::string, HWND, std::less<>> handles_;
  std::unordered_map<HWND, const layout::Control*> controlsByHandle_;
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
