// The program: one window, one thread, and nothing kept between runs.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win32/main_window.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ui.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES;
  ::InitCommonControlsEx(&classes);

  renamora::win32::Win32FileSystem fs;
  renamora::win32::Win32MessageBoxes messages;
  renamora::win32::Win32SaveDialogFactory saveDialogs;
  renamora::win32::MainWindow window(instance, fs, messages, saveDialogs);
  window.EndProgramOnClose();
  if (!window.Create(show)) return 1;
  return renamora::win32::RunMessageLoop(window.Handle());
}
