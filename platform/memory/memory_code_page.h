// The ANSI code page 936 (GBK) without Windows, for the native builds: the
// answers of the Windows conversion for every character a rule file holds
// in practice, taken from the C library's GBK table (glibc iconv, so this
// builds only where that exists; the Windows builds use the real one).
#pragma once

#include "platform/code_page.h"

namespace renamora {

// Whether the C library's GBK decoder reads the byte alone as the start of
// a longer character. The in-memory file system steps through names by
// this, taken from the C library's table rather than from the program's
// text model, so that the contract tests check that model instead of
// echoing it.
bool StartsDoubleByteCharacter(unsigned char b);

class MemoryCodePage final : public CodePage {
 public:
  AnsiConversion ToAnsi(std::string_view text, UnicodeForm form) override;
};

}  // namespace renamora
