#include "platform/win32/win32_code_page.h"

#include <windows.h>

namespace renamora::win32 {

namespace {

// UTF-16 in the order of this machine. A wchar_t is one UTF-16 code unit on
// Windows.
bool Widen(std::string_view text, UnicodeForm form, std::wstring& wide) {
  wide.clear();
  if (text.empty()) return true;
  if (form == UnicodeForm::kUtf8) {
    // MB_ERR_INVALID_CHARS: malformed bytes fail instead of becoming U+FFFD.
    const int length = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return false;
    wide.resize(static_cast<std::size_t>(length));
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                 static_cast<int>(text.size()), wide.data(), length) == length;
  }
  // Windows takes unpaired surrogates without a word, so they are looked
  // for here.
  UnicodeChar c;
  for (std::size_t pos = 0; pos < text.size(); pos += c.length) {
    if (!DecodeChar(text, form, pos, c)) return false;
  }
  wide.resize(text.size() / 2);
  const bool big = form == UnicodeForm::kUtf16Be;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto high = static_cast<unsigned char>(text[2 * i + (big ? 0 : 1)]);
    const auto low = static_cast<unsigned char>(text[2 * i + (big ? 1 : 0)]);
    wide[i] = static_cast<wchar_t>(high << 8 | low);
  }
  return true;
}

// WC_NO_BEST_FIT_CHARS keeps look-alikes out (an "a" for an "ä"); whatever
// is left without a code of its own comes out as the default character,
// which the used-default flag reports.
bool Narrow(const std::wstring& wide, std::string& bytes) {
  bytes.clear();
  if (wide.empty()) return true;
  BOOL usedDefault = FALSE;
  const int length =
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                            static_cast<int>(wide.size()), nullptr, 0, nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return false;
  bytes.resize(static_cast<std::size_t>(length));
  return ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                               static_cast<int>(wide.size()), bytes.data(), length, nullptr,
                               &usedDefault) == length &&
         !usedDefault;
}

// Bytes of the character that starts at `pos`, as Windows reads it; 0 when
// none does. A UTF-8 character is the shortest run of at most four bytes
// that converts.
std::size_t EncodedCharLength(std::string_view text, UnicodeForm form, std::size_t pos) {
  if (form != UnicodeForm::kUtf8) {
    UnicodeChar c;
    return DecodeChar(text, form, pos, c) ? c.length : 0;
  }
  std::wstring wide;
  for (std::size_t length = 1; length <= 4 && pos + length <= text.size(); ++length) {
    if (Widen(text.substr(pos, length), form, wide)) return length;
  }
  return 0;
}

}  // namespace

char32_t ToGbk(std::wstring_view wide, std::string& out) {
  // At most two bytes a UTF-16 unit.
  out.resize(wide.size() * 2);
  BOOL usedDefault = FALSE;
  int length = wide.empty()
                   ? 0
                   : ::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data(),
                                           static_cast<int>(wide.size()), out.data(),
                                           static_cast<int>(out.size()), "?", &usedDefault);
  out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  if (!usedDefault) return 0;
  // Only a text that lost a character is looked at one character at a
  // time, so that a pair of surrogates gives one "?" and the first is named.
  out.clear();
  char32_t first = 0;
  for (std::size_t i = 0; i < wide.size();) {
    const bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() &&
                      wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
    const int units = pair ? 2 : 1;
    char bytes[8];
    usedDefault = FALSE;
    length = ::WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide.data() + i, units, bytes,
                                   sizeof(bytes), "?", &usedDefault);
    if (length > 0 && !usedDefault) {
      out.append(bytes, static_cast<std::size_t>(length));
    } else {
      out += '?';
      if (first == 0) {
        first = pair ? 0x10000 + ((static_cast<char32_t>(wide[i]) - 0xD800) << 10) +
                           (static_cast<char32_t>(wide[i + 1]) - 0xDC00)
                     : static_cast<char32_t>(wide[i]);
      }
    }
    i += static_cast<std::size_t>(units);
  }
  return first;
}

std::wstring FromGbk(std::string_view text) {
  std::wstring wide;
  if (text.empty()) return wide;
  const int length =
      ::MultiByteToWideChar(kGbk, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return wide;
  wide.resize(static_cast<std::size_t>(length));
  ::MultiByteToWideChar(kGbk, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

AnsiConversion Win32CodePage::ToAnsi(std::string_view text, UnicodeForm form) {
  AnsiConversion result;
  std::wstring wide;
  if (Widen(text, form, wide) && Narrow(wide, result.bytes)) return result;
  // Only a refused text is looked at more closely: line by line, and in the
  // first line that fails, character by character.
  result.bytes.clear();
  std::string bytes;
  for (std::size_t line = 0; line < text.size();) {
    const std::size_t end = UnicodeLineEnd(text, form, line);
    const std::string_view whole = text.substr(line, end - line);
    if (Widen(whole, form, wide) && Narrow(wide, bytes)) {
      result.bytes += bytes;
      line = end;
      continue;
    }
    // The first character that fails is the one to name; should none fail
    // alone, the line is taken as its characters convert.
    std::string lineBytes;
    for (std::size_t pos = line, length = 0; pos < end; pos += length) {
      length = EncodedCharLength(whole, form, pos - line);
      if (length == 0) return AnsiConversion::Refused(AnsiConversion::Outcome::kInvalid, pos);
      if (!Widen(text.substr(pos, length), form, wide) || !Narrow(wide, bytes)) {
        return AnsiConversion::Refused(AnsiConversion::Outcome::kNotInCodePage, pos);
      }
      lineBytes += bytes;
    }
    result.bytes += lineBytes;
    line = end;
  }
  return result;
}

}  // namespace renamora::win32
