// Text that other programs save in Unicode (UTF-8, UTF-16), brought into the
// ANSI code page the program works in. Nothing is ever approximated: a
// character that the code page has no code of its own for stops the
// conversion, so that no name is ever built from a look-alike or a "?".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace renamora {

enum class UnicodeForm { kUtf8, kUtf16Le, kUtf16Be };

struct AnsiConversion {
  enum class Outcome {
    kConverted,
    kNotInCodePage,  // a character the code page cannot hold
    kInvalid,        // bytes that are no character of the form
  };
  Outcome outcome = Outcome::kConverted;
  // When not converted: the byte offset in the input of the first character
  // that stopped the conversion, so that the caller can name its line.
  std::size_t at = 0;
  std::string bytes;  // when converted: the text in the ANSI code page

  explicit operator bool() const { return outcome == Outcome::kConverted; }

  static AnsiConversion Refused(Outcome why, std::size_t at) {
    AnsiConversion refused;
    refused.outcome = why;
    refused.at = at;
    return refused;
  }
};

class CodePage {
 public:
  virtual ~CodePage() = default;
  // `text`, in `form` and without a byte-order mark, in the ANSI code page.
  // Invalid are: a malformed UTF-8 sequence (overlong forms, surrogates and
  // code points above U+10FFFF included), an unpaired UTF-16 surrogate, and
  // the odd last byte of UTF-16 text.
  virtual AnsiConversion ToAnsi(std::string_view text, UnicodeForm form) = 0;
};

// One character of Unicode text: its code point and its length in bytes.
struct UnicodeChar {
  char32_t code = 0;
  std::size_t length = 0;
};

// The character that starts at byte `pos` of `text` (pos < text.size());
// false when the bytes there are no character of the form.
bool DecodeChar(std::string_view text, UnicodeForm form, std::size_t pos, UnicodeChar& c);

// Where the line of Unicode `text` that starts at byte `pos` ends, its
// CR LF included: the end of the text when no CR LF follows. Steps by the
// form's code unit, so that a CR LF is never found across two characters.
std::size_t UnicodeLineEnd(std::string_view text, UnicodeForm form, std::size_t pos);

// Whether `text` is valid UTF-8 throughout and holds at least one character
// beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view text);

// How much `text` reads like a Chinese user's rule file, as UTF-8 or as GBK
// (bytes valid in that reading; a text valid in both is read the way that
// scores higher). Each character beyond ASCII counts, about one a byte:
// for common Chinese characters (GB2312's first level, the main CJK block),
// common punctuation (“ ” — · … and the full-width forms) and accented
// Latin letters beside Latin letters ("café"); against the Cyrillic, Greek
// and other scripts that short GBK texts turn into as UTF-8, GBK's rare
// extension characters that UTF-8 Chinese turns into as GBK, lone accented
// letters, control and private-use characters.
int RuleTextPlausibility(std::string_view text, bool asUtf8);

}  // namespace renamora
