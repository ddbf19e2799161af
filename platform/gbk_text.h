// Byte strings in the ANSI code page (GBK). The second byte of a Chinese
// character runs from 0x40 to 0xFE: it may equal '\\' (0x5C), '|' (0x7C) or
// an ASCII letter, though never '.' or ','. Every scan steps over a
// double-byte character as one unit, so that such a byte is never taken for
// a backslash, a separator or a letter to fold.
#pragma once

#include <cstddef>
#include <string_view>

namespace renamora::text {

constexpr std::size_t npos = std::string_view::npos;

// Whether a byte starts a double-byte character of code page 936: 0x81 to
// 0xFE. 0x80 is the euro sign on its own, and 0xFF stands alone too, so
// neither swallows the byte after it ("€\\" is two characters). The one
// test of this kind in the program: every scan steps by it.
constexpr bool IsLeadByte(char b) {
  return static_cast<unsigned char>(static_cast<unsigned char>(b) - 0x81u) < 0x7Eu;
}

// Bytes of the character that starts at pos: 2 for a lead byte with a byte
// after it, else 1. A lead byte at the very end stands alone.
inline std::size_t CharLength(std::string_view s, std::size_t pos) {
  return IsLeadByte(s[pos]) && pos + 1 < s.size() ? 2 : 1;
}

// Whether every byte of s belongs to a character of code page 936: a byte
// below 0x81, or a lead byte with a trail byte from 0x40 to 0xFE other
// than 0x7F. 0xFF is none.
bool IsGbk(std::string_view s);

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
