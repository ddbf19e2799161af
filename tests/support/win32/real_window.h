// The program's real main window, created in the test process over the real
// file system, with what a test needs to act on it as the shell and a user
// would and to read back what the controls show.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/event_table.h"
#include "app/win32/main_window.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ui.h"

namespace renamora::testing {

// Delivers a drop as the shell does: a DROPFILES block with ANSI paths in
// global memory, sent as WM_DROPFILES to `target`, the drop point in its
// client coordinates. The receiver releases the block.
void DropFiles(HWND target, const std::vector<std::string>& paths, POINT at = {0, 0});

// What a list view control shows (asked through LVM_GETITEMTEXT, which an
// owner-data list answers by asking its parent).
std::string ListCell(HWND list, int row, int column);
int ListRowCount(HWND list);
// Every cell of one column, top to bottom.
std::vector<std::string> ListColumnTexts(HWND list, int column);
int ListColumnWidth(HWND list, int column);
std::string ListColumnTitle(HWND list, int column);

class RealWindow {
 public:
  struct Raised {
    std::string control;
    Event event;
    std::string text;
  };

  // With the system's own message boxes and save dialogs.
  RealWindow();
  // With the message boxes and save dialogs a caller answers itself.
  RealWindow(MessageBoxes& messages, win32::SaveDialogFactory& saveDialogs);

  HWND Main() const { return window.Handle(); }
  HWND Handle(std::string_view control) const { return window.Handle(control); }
  // A control's rectangle in the main window's client coordinates.
  RECT Rect(std::string_view control) const;
  std::string Text(std::string_view control) const;
  // The centre of a rectangle of the main window's client area.
  static POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // What a user does with the mouse and keyboard, sent to the real controls:
  // a click on a tab of 选择夹1; a click on a button or radio button, and
  // text typed into an edit or combo box, each on the page that holds the
  // control, which is selected first as a user must.
  void SelectPage(int page);
  void Click(std::string_view control);
  void Type(std::string_view control, const std::string& text);
  bool IsChecked(std::string_view control) const;

  // Every event raised so far, the created one first.
  const std::vector<Raised>& Events() const { return events_; }
  std::vector<Raised> DropEvents() const;

  win32::Win32FileSystem fs;
  win32::Win32MessageBoxes systemMessages;
  win32::Win32SaveDialogFactory systemSaveDialogs;
  win32::MainWindow window;

 private:
  void ShowPageOf(std::string_view control);

  std::vector<Raised> events_;
};

}  // namespace renamora::testing
