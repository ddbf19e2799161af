#include "platform/gbk_text.h"

namespace renamora::text {

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
  // From the end, so that a long path costs only its last few bytes. A byte
  // below 0x80 is never a lead, so a character starts right after it; the
  // bytes of 0x80 and more between there and a candidate pair up into
  // characters, and an odd count leaves the candidate as a trail byte.
  for (std::size_t pos = s.size(); pos-- > 0;) {
    if (s[pos] != c) continue;
    std::size_t high = 0;
    while (high < pos && static_cast<unsigned char>(s[pos - 1 - high]) >= 0x80) ++high;
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

std::vector<std::string_view> SplitAtChar(std::string_view s, char sep) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] == sep) {
      pieces.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(s.substr(start));
  return pieces;
}

std::vector<std::string_view> SplitAtCrLf(std::string_view s) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      lines.push_back(s.substr(start, i - start));
      start = i + 2;
      ++i;  // the LF; the loop adds the CR's own step
    }
  }
  if (start < s.size()) lines.push_back(s.substr(start));
  return lines;
}

std::string Decimal(std::size_t n) {
  return std::to_string(n);
}

}  // namespace renamora::text
