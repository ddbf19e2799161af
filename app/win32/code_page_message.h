// The one box shown where the language for non-Unicode programs is not
// Chinese: where that setting is on the system the program runs on.
#pragma once

#include "platform/win32/fallbacks.h"

namespace renamora::win32 {

// In both languages and as UTF-16, for MessageBoxW: on such a system a GBK
// text would come out garbled. Windows 10 and 11, 7 to 8.1, Vista and XP
// each keep the setting somewhere else.
const wchar_t* NeedsChineseCodePageText(WindowsVersion version);

}  // namespace renamora::win32
