// The ANSI code page 936 (GBK) without Windows, for the native builds: the
// answers of the Windows conversion for every character a rule file holds
// in practice, taken from the C library's GBK table (glibc iconv, so this
// builds only where that exists; the Windows builds use the real one).
#pragma once

#include "platform/code_page.h"

namespace renamora {

class MemoryCodePage final : public CodePage {
 public:
  AnsiConversion ToAnsi(std::string_view text, UnicodeForm form) override;
};

}  // namespace renamora
