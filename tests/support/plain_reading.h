// A rule file read the plain way, every line and field split out whole: what
// the parser, which takes one line at a time, is checked against.
#pragma once

#include <string_view>
#include <vector>

#include "platform/gbk_text.h"

namespace renamora::testing {

// The pieces of `s` between every occurrence of `sep` that starts a
// character, empty ones too.
inline std::vector<std::string_view> Pieces(std::string_view s, std::string_view sep) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); i += text::CharLength(s, i)) {
    if (s.compare(i, sep.size(), sep) == 0) {
      pieces.push_back(s.substr(start, i - start));
      start = i + sep.size();
      i += sep.size() - 1;
    }
  }
  pieces.push_back(s.substr(start));
  return pieces;
}

// The lines of a text at CR LF; a text ending in CR LF, or empty, has no
// line after it.
inline std::vector<std::string_view> PlainLines(std::string_view s) {
  std::vector<std::string_view> lines = Pieces(s, "\r\n");
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace renamora::testing
