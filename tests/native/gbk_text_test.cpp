#include "platform/gbk_text.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/file_system.h"

namespace renamora::text {
namespace {

// GBK characters whose second byte equals "\", a letter, and "|" (7C).
const std::string k5C = "\x95\x5C";
const std::string k41 = "\x81\x41";
const std::string k7C = "\x81\x7C";

TEST(GbkText, ChineseLiteralsAreGbkBytes) {
  // The execution character set turns each of these into two bytes.
  EXPECT_EQ(std::string("完成"), "\xCD\xEA\xB3\xC9");
  EXPECT_EQ(std::string("，"), "\xA3\xAC");
}

TEST(GbkText, TrailByteBackslashIsNotASeparator) {
  const std::string path = "D:\\" + k5C + "b.txt";
  EXPECT_EQ(FindLastChar(path, '\\'), 2u);
  EXPECT_EQ(FindChar(path, '\\', 3), npos);
  EXPECT_TRUE(EndsWithChar("D:\\a\\", '\\'));
  EXPECT_FALSE(EndsWithChar("D:\\a" + k5C, '\\'));
  EXPECT_FALSE(EndsWithChar("", '\\'));
}

TEST(GbkText, LastDotAndCommaSkipTrailBytes) {
  // No GBK trail byte is "." or ",", but a lone high byte before one must
  // still be read as a character that swallows the next byte.
  const std::string tricky = std::string("a.b") + "\x81" + ".";
  EXPECT_EQ(FindLastChar(tricky, '.'), 1u);
  EXPECT_EQ(FindChar(std::string("x\x81,y,z"), ','), 4u);
  // A lead byte at the very end stands alone and is no character pair.
  EXPECT_EQ(FindLastChar(std::string("a.\x81"), '.'), 1u);
  // "€" (80) and FF are characters of their own and swallow nothing.
  EXPECT_EQ(FindLastChar(std::string("价格\x80\\I.jpg"), '\\'), 5u);
  EXPECT_EQ(FindChar(std::string("\xFF,\x80\"\r\n"), ','), 1u);
}

TEST(GbkText, LastCharFromTheEndAgreesWithAScanFromTheStart) {
  // Runs of high bytes of every length before and between the characters
  // looked for, trail bytes equal to them included.
  const char bytes[] = {'\\', '.', ',', 'a', '\x81', '\x95', '\xFE', '\x80', '\xFF'};
  std::mt19937 rng(5);
  for (int round = 0; round < 20000; ++round) {
    std::string s(rng() % 12, ' ');
    for (char& b : s) b = bytes[rng() % sizeof(bytes)];
    for (char c : {'\\', '.', ',', 'a'}) {
      std::size_t expected = npos;
      for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        if (s[i] == c) expected = i;
      }
      ASSERT_EQ(FindLastChar(s, c), expected) << testing::PrintToString(s) << " " << c;
    }
  }
}

TEST(GbkText, FindTextStartsOnlyOnCharacters) {
  // "\x41" ("A") occurs inside k41 as a trail byte, never as a match.
  EXPECT_EQ(FindText(k41 + "xA", "A"), 3u);
  EXPECT_EQ(FindText(k41, "A"), npos);
  EXPECT_EQ(FindText("abcabc", "bc", 2), 4u);
  EXPECT_EQ(FindText("abc", ""), 0u);
  EXPECT_EQ(FindText("ab", "abc"), npos);
}

TEST(GbkText, FindCharFindsEveryPieceBoundary) {
  const std::string_view s = ",a,,b,";
  EXPECT_EQ(FindChar(s, ','), 0u);
  EXPECT_EQ(FindChar(s, ',', 1), 2u);
  EXPECT_EQ(FindChar(s, ',', 3), 3u);
  EXPECT_EQ(FindChar(s, ',', 4), 5u);
  EXPECT_EQ(FindChar(s, ',', 6), npos);
}

// Every line NextLine gives, from the start.
std::vector<std::string_view> Lines(std::string_view s) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  std::string_view line;
  while (NextLine(s, pos, line)) lines.push_back(line);
  return lines;
}

TEST(GbkText, NextLineTreatsLoneCrAndLfAsCharacters) {
  EXPECT_TRUE(Lines("").empty());
  EXPECT_EQ(Lines("a\r\nb\r\n"), (std::vector<std::string_view>{"a", "b"}));
  EXPECT_EQ(Lines("\r\na"), (std::vector<std::string_view>{"", "a"}));
  EXPECT_EQ(Lines("a\r\n\r\nb"), (std::vector<std::string_view>{"a", "", "b"}));
  EXPECT_EQ(Lines("a\nb\rc"), (std::vector<std::string_view>{"a\nb\rc"}));
  EXPECT_EQ(Lines("a\r\r\n"), (std::vector<std::string_view>{"a\r"}));
  // A CR LF whose CR is the trail byte of a character ends no line.
  EXPECT_EQ(Lines("\x81\r\nb"), (std::vector<std::string_view>{"\x81\r\nb"}));
}

TEST(RenameGuard, AcceptsOrdinaryNamesAndTrailBytes) {
  for (const std::string& name :
       std::vector<std::string>{"a.txt", "README", ".profile", "notes.", "a b", "x" + k5C + ".jpg",
                                k7C + ".txt", "完成.txt", "a..b"}) {
    EXPECT_TRUE(IsAcceptableNewName(name)) << name;
  }
}

TEST(RenameGuard, RefusesNamesThatReachElsewhere) {
  for (const std::string& name :
       std::vector<std::string>{"", ".", "..", "...", " ", ". .", "a\\b", "\\", "a/b", "c:x", "a:b",
                                "<", ">", "\"", "|", "?", "*"}) {
    EXPECT_FALSE(IsAcceptableNewName(name)) << name;
  }
  EXPECT_FALSE(IsAcceptableNewName(std::string("a\0b", 3)));
  EXPECT_FALSE(IsAcceptableNewName("a\x1f"));
}

TEST(RenameGuard, TargetMustStayInTheSourceFolder) {
  EXPECT_TRUE(IsAcceptableRename("D:\\a\\x.txt", "D:\\a\\y.txt"));
  EXPECT_FALSE(IsAcceptableRename("D:\\a\\x.txt", "D:\\b\\y.txt"));
  EXPECT_FALSE(IsAcceptableRename("D:\\a\\x.txt", "D:\\a\\"));
  EXPECT_FALSE(IsAcceptableRename("D:\\a\\x.txt", "D:\\a\\..\\y.txt"));
  // The folder ends at the last real backslash, not at a trail byte.
  const std::string folder = "D:\\" + k5C + "\\";
  EXPECT_TRUE(IsAcceptableRename(folder + "x", folder + "y" + k5C));
}

}  // namespace
}  // namespace renamora::text
