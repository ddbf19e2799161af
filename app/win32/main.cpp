// The program: one window, one thread, and nothing kept between runs.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "app/win32/main_window.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_ui.h"

namespace {

// Through the Unicode function, in both languages: on such a system a GBK
// text would come out garbled.
constexpr const wchar_t kNeedsChineseCodePage[] =
    L"Renamora 只能在“非 Unicode 程序的语言”为“中文(简体，中国)”的 Windows 上运行。\r\n"
    L"请在“控制面板 → 区域 → 管理 → 更改系统区域设置”中选择“中文(简体，中国)”，"
    L"不要勾选“Beta 版: 使用 Unicode UTF-8 提供全球语言支持”，然后重新启动 Windows。\r\n\r\n"
    L"Renamora runs only where the language for non-Unicode programs is Chinese (Simplified, "
    L"China). Set it in Control Panel → Region → Administrative → Change system locale, with "
    L"\"Beta: Use Unicode UTF-8 for worldwide language support\" turned off, then restart "
    L"Windows.";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  // Every text of the program is GBK and every scan steps GBK characters.
  // Under another ANSI code page (Western, or the UTF-8 one) names would be
  // misread, a file could leave its folder and every caption would be
  // garbled: the program says so and ends before it opens a window or
  // touches a file.
  if (::GetACP() != renamora::win32::kGbk) {
    ::MessageBoxW(nullptr, kNeedsChineseCodePage, L"信息：", MB_OK | MB_ICONERROR | MB_TASKMODAL);
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
