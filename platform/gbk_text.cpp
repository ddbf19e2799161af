#include "platform/gbk_text.h"

namespace renamora::text {

bool IsGbk(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == 0xFF) return false;
    if (!IsLeadByte(s[i])) continue;
    if (++i == s.size()) return false;
    const auto trail = static_cast<unsigned char>(s[i]);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  }
  return true;
}

std::size_t FindChar(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = from; i < s.size(); i += CharLength(s, i)) {
    if (s[i] == c) return i;
  }
  return npos;
}

std::size_t FindLastChar(std::string_view s, char c) {
  if (static_cast<unsigned char>(c) >= 0x80) {
    std::size_t last = npos;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
      if (s[i] == c) last = i;
    }
    return last;
  }
  // From the end, so that a long path costs only its last few bytes. Right
  // after a byte that is no lead byte a character starts (it was a single
  // character or a trail byte); the lead bytes between there and a
  // candidate pair up into characters, and an odd count leaves the
  // candidate as a trail byte.
  for (std::size_t pos = s.size(); pos-- > 0;) {
    if (s[pos] != c) continue;
    std::size_t high = 0;
    while (high < pos && IsLeadByte(s[pos - 1 - high])) ++high;
    if (high % 2 == 0) return pos;
  }
  return npos;
}

std::size_t FindText(std::string_view s, std::string_view needle, std::size_t from) {
  if (needle.empty()) return from <= s.size() ? from : npos;
  if (needle.size() > s.size()) return npos;
  const std::size_t lastStart = s.size() - needle.size();
  for (std::size_t i = from; i <= lastStart; i += CharLength(s, i)) {
    if (s[i] == needle[0] && s.compare(i, needle.size(), needle) == 0) return i;
  }
  return npos;
}

bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  for (std::size_t i = pos; i < text.size(); i += CharLength(text, i)) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      line = text.substr(pos, i - pos);
      pos = i + 2;
      return true;
    }
  }
  line = text.substr(pos);
  pos = text.size();
  return true;
}

}  // namespace renamora::text
