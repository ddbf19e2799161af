#include "platform/code_page.h"

#include "platform/gbk_text.h"

namespace renamora {

namespace {

unsigned Byte(std::string_view text, std::size_t pos) {
  return static_cast<unsigned char>(text[pos]);
}

// The UTF-8 rules of well-formed sequences: the second byte's range depends
// on the first, which is what keeps out overlong forms, surrogates and code
// points beyond U+10FFFF.
bool DecodeUtf8(std::string_view text, std::size_t pos, UnicodeChar& c) {
  const unsigned first = Byte(text, pos);
  if (first < 0x80) {
    c = {first, 1};
    return true;
  }
  std::size_t length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;
  char32_t code = 0;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
    code = first & 0x1F;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    code = first & 0x0F;
    if (first == 0xE0) low = 0xA0;
    if (first == 0xED) high = 0x9F;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    code = first & 0x07;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;
  } else {
    return false;
  }
  if (text.size() - pos < length) return false;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned next = Byte(text, pos + i);
    if (next < low || next > high) return false;
    low = 0x80;
    high = 0xBF;
    code = (code << 6) | (next & 0x3F);
  }
  c = {code, length};
  return true;
}

unsigned Unit(std::string_view text, std::size_t pos, bool bigEndian) {
  return bigEndian ? Byte(text, pos) << 8 | Byte(text, pos + 1)
                   : Byte(text, pos + 1) << 8 | Byte(text, pos);
}

bool DecodeUtf16(std::string_view text, std::size_t pos, bool bigEndian, UnicodeChar& c) {
  if (text.size() - pos < 2) return false;
  const unsigned unit = Unit(text, pos, bigEndian);
  if (unit < 0xD800 || unit > 0xDFFF) {
    c = {unit, 2};
    return true;
  }
  if (unit > 0xDBFF || text.size() - pos < 4) return false;
  const unsigned second = Unit(text, pos + 2, bigEndian);
  if (second < 0xDC00 || second > 0xDFFF) return false;
  c = {0x10000 + ((unit - 0xD800) << 10) + (second - 0xDC00), 4};
  return true;
}

}  // namespace

bool DecodeChar(std::string_view text, UnicodeForm form, std::size_t pos, UnicodeChar& c) {
  switch (form) {
    case UnicodeForm::kUtf8:
      return DecodeUtf8(text, pos, c);
    case UnicodeForm::kUtf16Le:
      return DecodeUtf16(text, pos, false, c);
    case UnicodeForm::kUtf16Be:
      return DecodeUtf16(text, pos, true, c);
  }
  return false;
}

namespace {

std::string_view CrLfIn(UnicodeForm form) {
  switch (form) {
    case UnicodeForm::kUtf16Le:
      return std::string_view("\r\0\n\0", 4);
    case UnicodeForm::kUtf16Be:
      return std::string_view("\0\r\0\n", 4);
    default:
      return "\r\n";
  }
}

}  // namespace

std::size_t UnicodeLineEnd(std::string_view text, UnicodeForm form, std::size_t pos) {
  const std::size_t unit = form == UnicodeForm::kUtf8 ? 1 : 2;
  const std::string_view crLf = CrLfIn(form);
  for (std::size_t at = pos; at + crLf.size() <= text.size(); at += unit) {
    if (text.compare(at, crLf.size(), crLf) == 0) return at + crLf.size();
  }
  return text.size();
}

bool IsUtf8BeyondAscii(std::string_view text) {
  bool beyond = false;
  UnicodeChar c;
  for (std::size_t pos = 0; pos < text.size(); pos += c.length) {
    if (!DecodeUtf8(text, pos, c)) return false;
    if (c.length > 1) beyond = true;
  }
  return beyond;
}

namespace {

bool IsAsciiLetter(char32_t u) {
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

// À to ž, without × and ÷.
bool IsAccentedLatin(char32_t u) {
  return u >= 0xC0 && u <= 0x17F && u != 0xD7 && u != 0xF7;
}

bool IsLatin(char32_t u) {
  return IsAsciiLetter(u) || IsAccentedLatin(u);
}

int Utf8Score(char32_t u, bool besideLatin) {
  if (u < 0x80) return 0;
  if (u >= 0x4E00 && u <= 0x9FA5) return 3;  // the CJK block up to its last common character
  if ((u >= 0x3000 && u <= 0x303F) || (u >= 0xFF01 && u <= 0xFF5E) ||
      (u >= 0x2010 && u <= 0x2027)) {
    return 3;  // CJK, full-width and general punctuation
  }
  if (u == 0xB7) return 2;  // ·
  if (IsAccentedLatin(u)) return besideLatin ? 3 : -1;
  if (u < 0xA0 || (u >= 0xE000 && u <= 0xF8FF)) return -4;  // C1 controls, private use
  // Latin Extended-B and IPA, Greek, Cyrillic, Armenian, Hebrew, Arabic
  // and their neighbours: what a GBK character of two bytes reads as.
  if (u >= 0x180 && u < 0x800) return -2;
  if ((u >= 0x3400 && u < 0x4E00) || (u > 0x9FA5 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF)) {
    return -1;  // rare ideographs
  }
  return 0;
}

int GbkScore(unsigned lead, unsigned trail) {
  const bool upper = trail >= 0xA1;  // the GB2312 half of a row
  if (lead >= 0xB0 && lead <= 0xD7 && upper) {
    return (lead << 8 | trail) <= 0xD7F9 ? 2 : -2;  // the first level
  }
  if (lead >= 0xD8 && lead <= 0xF7 && upper) return 0;    // the second level
  if ((lead == 0xA1 || lead == 0xA3) && upper) return 2;  // punctuation, full-width forms
  if ((lead == 0xA2 || lead == 0xA8) && upper) return 0;  // numbers, pinyin letters
  if ((lead >= 0xAA && lead <= 0xAF && upper) || (lead >= 0xF8 && upper) ||
      (lead >= 0xA1 && lead <= 0xA7 && !upper)) {
    return -4;  // the user-defined areas
  }
  if (lead == 0xA6 || lead == 0xA7) return -2;  // Greek, Cyrillic
  if (lead >= 0xA4 && lead <= 0xA9) return -1;  // kana, bopomofo, box drawing
  return -2;                                    // the extension areas
}

}  // namespace

int RuleTextPlausibility(std::string_view text, bool asUtf8) {
  int score = 0;
  if (!asUtf8) {
    for (std::size_t pos = 0; pos < text.size(); pos += text::CharLength(text, pos)) {
      if (text::CharLength(text, pos) == 2) score += GbkScore(Byte(text, pos), Byte(text, pos + 1));
    }
    return score;
  }
  // Each character is scored once the one after it is known.
  char32_t before = 0;
  UnicodeChar c;
  UnicodeChar next;
  bool have = false;
  for (std::size_t pos = 0;; pos += next.length) {
    const bool more = pos < text.size() && DecodeUtf8(text, pos, next);
    if (have) {
      score += Utf8Score(c.code, IsLatin(before) || (more && IsLatin(next.code)));
      before = c.code;
    }
    if (!more) return score;
    c = next;
    have = true;
  }
}

}  // namespace renamora
