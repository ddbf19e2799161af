#include "app/win32/code_page_message.h"

namespace renamora::win32 {

namespace {

#define RENAMORA_RUNS_ONLY_IN_CHINESE \
  L"Renamora 只能在“非 Unicode 程序的语言”为“中文(简体，中国)”的 Windows 上运行。\r\n"
#define RENAMORA_RUNS_ONLY_IN_CHINESE_EN                                                     \
  L"Renamora runs only where the language for non-Unicode programs is Chinese (Simplified, " \
  L"China). "

// The UTF-8 box is there from Windows 10 on; ticked, it makes the code page
// another one again.
constexpr const wchar_t kOnTen[] =
    RENAMORA_RUNS_ONLY_IN_CHINESE
    L"请在“控制面板 → 区域 → 管理 → 更改系统区域设置”中选择“中文(简体，中国)”，"
    L"不要勾选“Beta 版: 使用 Unicode UTF-8 提供全球语言支持”，然后重新启动 Windows。\r\n\r\n"
    RENAMORA_RUNS_ONLY_IN_CHINESE_EN
    L"Set it in Control Panel → Region → Administrative → Change system locale, with "
    L"\"Beta: Use Unicode UTF-8 for worldwide language support\" turned off, then restart "
    L"Windows.";
constexpr const wchar_t kOnSeven[] =
    RENAMORA_RUNS_ONLY_IN_CHINESE
    L"请在“控制面板 → 区域和语言 → 管理 → 更改系统区域设置”中选择“中文(简体，中国)”，"
    L"然后重新启动 Windows。\r\n\r\n"
    RENAMORA_RUNS_ONLY_IN_CHINESE_EN
    L"Set it in Control Panel → Region and Language → Administrative → Change system locale, "
    L"then restart Windows.";
constexpr const wchar_t kOnVista[] =
    RENAMORA_RUNS_ONLY_IN_CHINESE
    L"请在“控制面板 → 区域和语言选项 → 管理 → 更改系统区域设置”中选择“中文(简体，中国)”，"
    L"然后重新启动 Windows。\r\n\r\n"
    RENAMORA_RUNS_ONLY_IN_CHINESE_EN
    L"Set it in Control Panel → Regional and Language Options → Administrative → Change system "
    L"locale, then restart Windows.";
constexpr const wchar_t kOnXp[] =
    RENAMORA_RUNS_ONLY_IN_CHINESE
    L"请在“控制面板 → 区域和语言选项 → 高级”中把“非 Unicode 程序的语言”选为“中文(简体，中国)”，"
    L"然后重新启动 Windows。\r\n\r\n"
    RENAMORA_RUNS_ONLY_IN_CHINESE_EN
    L"Set it in Control Panel → Regional and Language Options → Advanced → Language for "
    L"non-Unicode programs, then restart Windows.";

#undef RENAMORA_RUNS_ONLY_IN_CHINESE
#undef RENAMORA_RUNS_ONLY_IN_CHINESE_EN

}  // namespace

const wchar_t* NeedsChineseCodePageText(WindowsVersion version) {
  // A system that reports nothing is taken for the newest.
  if (version.major == 0 || version.major >= 10) return kOnTen;
  if (version.major == 6) return version.minor >= 1 ? kOnSeven : kOnVista;
  return kOnXp;
}

}  // namespace renamora::win32
