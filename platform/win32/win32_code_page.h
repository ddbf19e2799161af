// Unicode text in the ANSI code page of the running Windows.
#pragma once

#include "platform/code_page.h"

namespace renamora::win32 {

class Win32CodePage final : public CodePage {
 public:
  AnsiConversion ToAnsi(std::string_view text, UnicodeForm form) override;
};

}  // namespace renamora::win32
