// The program: one window, one thread, and nothing kept between runs.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win32/code_page_message.h"
#include "app/win32/main_window.h"
#include "platform/win32/fallbacks.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ui.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  // Before anything loads a DLL by name: a planted uxtheme.dll or
  // dwmapi.dll beside the exe must not run inside the program.
  renamora::win32::LimitDllSearchToSystemFolder();
  // Every text of the program is GBK and every scan steps GBK characters.
  // Under another ANSI code page (Western, or the UTF-8 one) names would be
  // misread, a file could leave its folder and every caption would be
  // garbled: the program says so and ends before it opens a window or
  // touches a file.
  if (::GetACP() != renamora::win32::kGbk) {
    const auto text =
        renamora::win32::NeedsChineseCodePageText(renamora::win32::RunningWindowsVersion());
    ::MessageBoxW(nullptr, text, L"信息：", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
  }
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
