// Byte strings in the ANSI code page (GBK). Every scan steps over a double-byte
// character as one unit, so that a trail byte equal to '\\', '.' or ',' is never
// taken for that character.
#pragma once

#include <cstddef>
#include <string_view>

namespace renamora::text {

constexpr std::size_t npos = std::string_view::npos;

// Bytes of the character that starts at pos: 2 for a lead byte (0x80 or more)
// with a byte after it, else 1. A lead byte at the very end stands alone.
inline std::size_t CharLength(std::string_view s, std::size_t pos) {
  return static_cast<unsigned char>(s[pos]) >= 0x80 && pos + 1 < s.size() ? 2 : 1;
}

// Position (from 0) of the first real character c at or after `from`, which
// must start a character; npos when there is none.
std::size_t FindChar(std::string_view s, char c, std::size_t from = 0);

// Position (from 0) of the last real character c; npos when there is none.
std::size_t FindLastChar(std::string_view s, char c);

// Position of the first occurrence of `needle` that starts a character, at
// or after `from`; npos when there is none. An empty needle is found at `from`.
std::size_t FindText(std::string_view s, std::string_view needle, std::size_t from = 0);

// Whether the last character of s is the real character c.
inline bool EndsWithChar(std::string_view s, char c) {
  return !s.empty() && FindLastChar(s, c) == s.size() - 1;
}

// The line of `text` that starts at `pos`, and `pos` moved past the CR LF
// that ends it; false when no line is left. A lone CR or LF is a character
// of its line, and a text ending in CR LF has no empty line after it. Lines
// are taken one at a time, so that a text of a million lines needs no list
// of them.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line);

// Lower-cases the ASCII letters only; every other byte, trail bytes included
// when they are not letters, stays as it is.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

}  // namespace renamora::text
