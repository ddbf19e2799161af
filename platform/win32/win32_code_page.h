// Unicode text in the ANSI code page of the running Windows.
#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace renamora::win32 {

// The code page every text of the program is in: GBK.
constexpr unsigned kGbk = 936;

// UTF-16 text from Windows (a listed name, a dropped path, what the user
// typed) in GBK, into `out` (whose room is used again), with no look-alike:
// each character GBK has no code for becomes "?", which no file name holds.
// Returns the first such character, 0 when every one converted exactly.
char32_t ToGbk(std::wstring_view wide, std::string& out);

// GBK text as UTF-16, for the functions that take only that.
std::wstring FromGbk(std::string_view text);

class Win32CodePage final : public CodePage {
 public:
  AnsiConversion ToAnsi(std::string_view text, UnicodeForm form) override;
};

}  // namespace renamora::win32
