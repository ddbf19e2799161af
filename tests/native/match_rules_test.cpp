#include "rename/match_rules.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>

#include "command/save_as.h"
#include "platform/gbk_text.h"
#include "tests/support/memory_app.h"
#include "tests/support/plain_reading.h"

namespace renamora::testing {
namespace {

using Rules = std::vector<std::pair<std::string, std::string>>;

Rules Pairs(const std::vector<RuleRow>& table) {
  Rules pairs;
  for (const RuleRow& rule : table) pairs.emplace_back(rule.matchCode, rule.content);
  return pairs;
}

// What WalkRules makes of a text: its verdict, the line that refused it and
// every rule it handed over.
struct Parsed {
  RuleVerdict verdict;
  std::size_t shortLine = 0;
  Rules rules;
};
Parsed Parse(std::string_view ruleText, bool skipHeader) {
  Parsed parsed;
  parsed.verdict = WalkRules(ruleText, skipHeader, parsed.shortLine,
                             [&](std::string_view code, std::string_view content) {
                               parsed.rules.emplace_back(code, content);
                               return true;
                             });
  return parsed;
}

// The template as GBK bytes, written out independently of any literal.
std::string TemplateFromHex() {
  const char* hex =
      "c6a5c5e4b4fac2eb2cbcd3c8ebc3fbd7d62c2cb1b8d7a2a3ba0d0a6161612c33"
      "33332c2c22bbe1b2e9d5d2d0e8d2aad0deb8c4b5c4cec4bcfec3fbd6d0cac7b7"
      "f1b0fcbaacd5e2b8f6b4fac2ebcec4d7d60ad3d0becdbdabbcd3c8ebc3fbd7d6"
      "b0b4d2aac7f3ccedbcd3bdf8c8a5bbf2d5dfd6d8c3fcc3fb220d0a7373732c33"
      "33332c2c22d6bbd6a7b3d66373762cbbf2d5dfcec4b1bed2d4a1b0a3aca1b1b7"
      "d6b8f4b5c4cec4bcfe220d0a3333332c3532302c2c0d0a32322c7472642c2c0d"
      "0a33332c7265722c2c0d0a";
  std::string bytes;
  for (const char* p = hex; p[0] && p[1]; p += 2) {
    bytes.push_back(static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16)));
  }
  return bytes;
}

TEST(RuleTemplate, IsTheSameTwoHundredAndThreeBytes) {
  const std::string expected = TemplateFromHex();
  ASSERT_EQ(expected.size(), 203u);
  EXPECT_EQ(std::string(kRuleTemplate), expected);
  // The lone LF inside line 2, and “，” as A1B0 A3AC A1B1 in line 3.
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  for (std::string_view line; text::NextLine(kRuleTemplate, pos, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_NE(lines[1].find('\n'), std::string_view::npos);
  EXPECT_NE(lines[2].find("\xA1\xB0\xA3\xAC\xA1\xB1"), std::string_view::npos);
}

TEST(RuleFileFormat, TheExtensionIsLowerCaseTxtOrCsv) {
  for (const char* good :
       {"D:\\r\\rules.txt", "D:\\r\\rules.csv", "D:\\a,b\\rules.csv", "D:\\r.csv\\rules.a.txt"}) {
    EXPECT_TRUE(HasRuleFileExtension(good)) << good;
  }
  for (const char* bad :
       {"D:\\r\\rules.TXT", "D:\\r\\rules.Csv", "D:\\r\\rules.c", "D:\\r\\rules.sv",
        "D:\\r\\rules.", "D:\\r\\rules", "D:\\r\\rules.csv\r\n", "D:\\r\\a.csv\r\nD:\\r\\b.csv\r\n",
        "D:\\r\\rules.csv "}) {
    EXPECT_FALSE(HasRuleFileExtension(bad)) << bad;
  }
  // A lone lead byte takes the "." after it along: no extension there.
  EXPECT_FALSE(HasRuleFileExtension(std::string("D:\\x\x81.csv")));
}

TEST(RuleFileFormat, TheTextEndsAtTheFirstNulOr1A) {
  EXPECT_EQ(RuleFileText(std::string("a,1\r\nb,2\0c,3", 12)), "a,1\r\nb,2");
  EXPECT_EQ(RuleFileText("a,1\x1A\r\nb,2"), "a,1");
  EXPECT_EQ(RuleFileText("a,1"), "a,1");
  EXPECT_EQ(RuleFileText(std::string("\0a,1", 4)), "");
}

TEST(RuleFileFormat, FieldsSplitAtEveryCommaWithoutQuotingOrTrimming) {
  struct Case {
    std::string text;
    Rules rules;
  } cases[] = {
      {"abc,123,x,y", {{"abc", "123"}}},
      {" abc , 123", {{" abc ", " 123"}}},
      {"abc,,", {{"abc", ""}}},
      // Commas and blanks alone (a spreadsheet's empty row) make no rule.
      {"a,1\r\n,,,\r\n , \t\r\n,x", {{"a", "1"}, {"", "x"}}},
      {"\"a,b\",c", {{"\"a", "b\""}}},
      {"a,1\nb,2", {{"a", "1\nb"}}},  // an LF alone is no line end
      {"a,1\rb,2", {{"a", "1\rb"}}},
      {"\xEF\xBB\xBF"
       "a,1",
       {{"\xEF\xBB\xBF"
         "a",
         "1"}}},  // kept here: a file's byte-order mark goes before its text is parsed
      {"a,1\r\na,2\r\n", {{"a", "1"}, {"a", "2"}}},  // same code twice, file order
      {"\t,\tx", {{"\t", "\tx"}}},
      // A lone lead byte swallows the "," after it.
      {"\x81,a,b", {{"\x81,a", "b"}}},
      {"\xD6\xD0,\xCE\xC4", {{"\xD6\xD0", "\xCE\xC4"}}},
  };
  for (const Case& c : cases) {
    const Parsed parse = Parse(c.text, false);
    EXPECT_EQ(parse.verdict, RuleVerdict::kRules) << c.text;
    EXPECT_EQ(parse.rules, c.rules) << c.text;
  }
}

TEST(RuleFileFormat, TheHeaderLineIsDroppedOnlyWhenAsked) {
  EXPECT_EQ(Parse("code,text\r\na,1", true).rules, (Rules{{"a", "1"}}));
  EXPECT_EQ(Parse("code,text\r\na,1", false).rules, (Rules{{"code", "text"}, {"a", "1"}}));
  // A text that begins with CR LF begins with an empty line: the header.
  EXPECT_EQ(Parse("\r\na,1", true).rules, (Rules{{"a", "1"}}));
}

// No data line, a short first line and a short later line each leave no
// rule in the Rule list; blank lines between rules are passed over.
TEST(RuleFileFormat, ShortLinesRefuseTheWholeFile) {
  using V = RuleVerdict;
  struct Case {
    std::string text;
    bool skipHeader;
    V verdict;
    std::size_t line;
  } cases[] = {
      {"", false, V::kNoDataLine, 0},
      {"", true, V::kNoDataLine, 0},
      {"code,text", true, V::kNoDataLine, 0},
      {"code,text\r\n", true, V::kNoDataLine, 0},
      {"abc,", false, V::kShortFirstLine, 0},
      {"abc", false, V::kShortFirstLine, 0},
      {"\r\na,1", false, V::kShortFirstLine, 0},
      {"h\r\n\r\na,1", true, V::kShortFirstLine, 0},
      {"a,1\r\nb\r\nc,3", false, V::kShortLaterLine, 2},
      {"a,1\r\nb,\r\nc,3", false, V::kShortLaterLine, 2},
      {"head\r\na,1\r\nb,2\r\nlast", true, V::kShortLaterLine, 4},
  };
  for (const Case& c : cases) {
    const Parsed parse = Parse(c.text, c.skipHeader);
    EXPECT_EQ(parse.verdict, c.verdict) << c.text;
    EXPECT_EQ(parse.shortLine, c.line) << c.text;
    // Dropped over rules of a good file, it leaves the Rule list empty.
    MemoryApp app;
    app.fs.AddFile("D:\\good.csv", "a,1\r\n");
    app.messages.Answer(MessageAnswer::kCancel);
    app.DropOnRuleList("D:\\good.csv");
    ASSERT_EQ(app.rules().RowCount(), 1u);
    app.fs.AddFile("D:\\short.csv", c.text);
    app.messages.Answer(c.skipHeader ? MessageAnswer::kOk : MessageAnswer::kCancel);
    app.DropOnRuleList("D:\\short.csv");
    EXPECT_TRUE(app.rules().Rows().empty()) << c.text;
  }
  EXPECT_EQ(Parse("a,1\r\n\r\n\r\nc,3\r\n\r\n", false).rules, (Rules{{"a", "1"}, {"c", "3"}}));
}

// The parser against the format read the plain way (every line split whole)
// over random texts made of the bytes that matter: it must agree and never
// read outside the text.
TEST(RuleFileFormat, AgreesWithAPlainReadingOnRandomTexts) {
  const std::string alphabet[] = {"a",
                                  "B",
                                  ",",
                                  ",",
                                  "\r",
                                  "\n",
                                  "\r\n",
                                  "\r\n",
                                  " ",
                                  "\"",
                                  std::string(1, '\0'),
                                  "\x1A",
                                  "\x81",
                                  "\xD6\xD0",
                                  "\xFF"};
  std::mt19937 random(20261208);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    const int pieces = static_cast<int>(random() % 24);
    for (int i = 0; i < pieces; ++i) bytes += alphabet[random() % std::size(alphabet)];
    const bool skipHeader = random() % 2 == 0;
    // Heap copies, so that the sanitizer sees any read past the end.
    const std::unique_ptr<char[]> heap(new char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), heap.get());
    const std::string_view ruleText = RuleFileText(std::string_view(heap.get(), bytes.size()));
    const Parsed parse = Parse(ruleText, skipHeader);

    std::vector<std::string_view> lines = PlainLines(ruleText);
    if (skipHeader && !lines.empty()) lines.erase(lines.begin());
    Rules expected;
    bool refused = lines.empty();
    for (std::size_t i = 0; i < lines.size() && !refused; ++i) {
      std::vector<std::string_view> fields = Pieces(lines[i], ",");
      if (fields.back().empty()) fields.pop_back();
      const bool blank = lines[i].find_first_not_of(", \t") == std::string_view::npos;
      if (!blank && fields.size() >= 2) {
        expected.emplace_back(fields[0], fields[1]);
      } else if (i == 0 || !blank) {
        refused = true;
      }
    }
    // A refusing line stops the walk after the rules before it.
    EXPECT_EQ(parse.verdict == RuleVerdict::kRules, !refused) << ::testing::PrintToString(bytes);
    EXPECT_EQ(parse.rules, expected) << ::testing::PrintToString(bytes);
  }
}

class MatchRules : public ::testing::Test {
 protected:
  // Puts a rule file on the disk and drops it on the Rule list, with the
  // answer to the header question.
  void Drop(const std::string& path, const std::string& bytes, MessageAnswer header) {
    app.fs.AddFile(path, bytes);
    app.messages.Answer(header);
    app.DropOnRuleList(path);
  }
  Rules Shown() { return Pairs(app.rules().Rows()); }
  bool PromptVisible() { return app.window.hint("透明标签2").Visible(); }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& shown : app.messages.All()) {
      EXPECT_EQ(shown.caption, kMessageCaption);
      texts.push_back(shown.text);
    }
    return texts;
  }
  MemoryApp app;
};

TEST_F(MatchRules, TheTemplateReadBackGivesItsRules) {
  Drop("D:\\r\\t.csv", std::string(kRuleTemplate), MessageAnswer::kOk);
  EXPECT_EQ(Shown(),
            (Rules{{"aaa", "333"}, {"sss", "333"}, {"333", "520"}, {"22", "trd"}, {"33", "rer"}}));
  EXPECT_FALSE(PromptVisible());
  ASSERT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(app.messages.Last().text, kSkipHeaderQuestion);
  EXPECT_EQ(app.messages.Last().buttons, MessageButtons::kOkCancel);
  EXPECT_EQ(app.messages.Last().caption, kMessageCaption);

  Drop("D:\\r\\t.csv", std::string(kRuleTemplate), MessageAnswer::kCancel);
  ASSERT_EQ(app.rules().RowCount(), 6u);
  EXPECT_EQ(app.rules()[0].matchCode, "匹配代码");
  EXPECT_EQ(app.rules()[0].content, "加入名字");
  EXPECT_EQ(app.rules()[1].matchCode, "aaa");
  // Every drop replaces the list; the column widths stay.
  EXPECT_EQ(app.rules().ColumnWidth(0), 60);
}

// The rules of a drop are written over those of the drop before: none of
// the old texts, and no old row beyond the new ones, may show through.
TEST_F(MatchRules, EachDropReplacesEveryRuleOfTheDropBefore) {
  Drop("D:\\r\\long.csv", "长长的匹配代码一,长长的插入内容一\r\nK2,二\r\nK3,三\r\nK4,四",
       MessageAnswer::kCancel);
  ASSERT_EQ(app.rules().RowCount(), 4u);
  Drop("D:\\r\\short.csv", "a,,\r\n,b", MessageAnswer::kCancel);
  EXPECT_EQ(Shown(), (Rules{{"a", ""}, {"", "b"}}));
  Drop("D:\\r\\more.csv", "h,x\r\n1,1\r\n2,2\r\n3,3\r\n4,4", MessageAnswer::kOk);
  EXPECT_EQ(Shown(), (Rules{{"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "4"}}));
}

TEST_F(MatchRules, ADropLeavesTheFileListAlone) {
  app.fs.AddFile("D:\\f\\a.txt");
  app.DropOnWindow("D:\\f\\a.txt");
  Drop("D:\\r\\rules.txt", "a,1", MessageAnswer::kCancel);
  EXPECT_EQ(app.files().RowCount(), 1u);
  EXPECT_EQ(app.files().CurrentName(0), "a.txt");
  EXPECT_EQ(Shown(), (Rules{{"a", "1"}}));
}

TEST_F(MatchRules, AWrongExtensionIsRefusedBeforeTheFileIsRead) {
  Drop("D:\\r\\good.csv", "a,1", MessageAnswer::kCancel);
  app.messages.Forget();
  for (const std::string& path :
       {std::string("D:\\r\\rules.TXT"), std::string("D:\\r\\rules.Csv"), std::string("D:\\r\\r."),
        MemoryApp::DropText({"D:\\r\\good.csv", "D:\\r\\good.csv"})}) {
    app.messages.Forget();
    app.DropOnRuleList(path);
    EXPECT_EQ(Texts(), std::vector<std::string>{kRuleFormatMessage}) << path;
    EXPECT_EQ(app.messages.Last().buttons, MessageButtons::kOk);
    EXPECT_EQ(app.rules().RowCount(), 0u) << path;
  }
  EXPECT_FALSE(PromptVisible());  // stays as the earlier good load left it
}

// The whole drop is the path, so a folder whose name holds a "," works.
TEST_F(MatchRules, APathWithACommaIsReadWhole) {
  Drop("D:\\a,b\\rules.csv", "a,1\r\nb,2", MessageAnswer::kCancel);
  EXPECT_EQ(Shown(), (Rules{{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(Texts(), std::vector<std::string>{kSkipHeaderQuestion});
}

// A file that yields no data line is refused after the question, with the
// malformed message, and the list ends empty. One that cannot be read at
// all (a folder, locked, gone, larger than memory holds) says so before any
// question and leaves the rules before.
TEST_F(MatchRules, AFileWithoutDataLinesIsRefusedAndAnUnreadOneNamed) {
  app.fs.AddFolder("D:\\r\\folder.csv");
  app.fs.AddFile("D:\\r\\locked.csv", "a,1");
  app.fs.SetLocked("D:\\r\\locked.csv", true);
  app.fs.AddFile("D:\\r\\huge.csv", "a,1");
  struct Case {
    std::string path;
    std::optional<std::string> bytes;
    MessageAnswer header;
    bool unread;
  } cases[] = {{"D:\\r\\empty.csv", std::string(), MessageAnswer::kCancel, false},
               {"D:\\r\\nul.csv", std::string("\0a,1", 4), MessageAnswer::kCancel, false},
               {"D:\\r\\header.csv", std::string("code,text\r\n"), MessageAnswer::kOk, false},
               {"D:\\r\\folder.csv", std::nullopt, MessageAnswer::kCancel, true},
               {"D:\\r\\locked.csv", std::nullopt, MessageAnswer::kCancel, true},
               {"D:\\r\\missing.csv", std::nullopt, MessageAnswer::kCancel, true},
               {"D:\\r\\huge.csv", std::nullopt, MessageAnswer::kCancel, true}};
  for (const Case& c : cases) {
    Drop("D:\\r\\good.csv", "a,1", MessageAnswer::kCancel);
    ASSERT_EQ(app.rules().RowCount(), 1u);
    app.messages.Forget();
    if (c.bytes) app.fs.AddFile(c.path, *c.bytes);
    if (c.path == "D:\\r\\huge.csv") app.fs.ThrowAtCall(1);
    app.messages.Answer(c.header);
    app.DropOnRuleList(c.path);
    const std::vector<std::string> expected =
        c.unread ? std::vector<std::string>{kRuleUnreadableMessage + c.path}
                 : std::vector<std::string>{kSkipHeaderQuestion, kRuleMalformedMessage};
    EXPECT_EQ(Texts(), expected) << c.path;
    EXPECT_EQ(app.rules().RowCount(), c.unread ? 1u : 0u) << c.path;
  }
}

TEST_F(MatchRules, AShortFirstDataLineIsRefused) {
  for (const char* bytes : {"abc,", "abc\r\nd,1", "\r\na,1"}) {
    app.messages.Forget();
    Drop("D:\\r\\short.csv", bytes, MessageAnswer::kCancel);
    EXPECT_EQ(Texts(), (std::vector<std::string>{kSkipHeaderQuestion, kRuleMalformedMessage}))
        << bytes;
    EXPECT_EQ(app.rules().RowCount(), 0u);
    EXPECT_TRUE(PromptVisible());
  }
}

// A later line with fewer than two fields refuses the whole file and names
// the line; no part of the table is shown.
TEST_F(MatchRules, AShortLaterLineRefusesTheFileAndIsNamed) {
  Drop("D:\\r\\good.csv", "a,1", MessageAnswer::kCancel);
  app.messages.Forget();
  Drop("D:\\r\\bad.csv", "code,text\r\na,1\r\n\r\nb,2\r\nno comma\r\nc,3", MessageAnswer::kOk);
  EXPECT_EQ(Texts(), (std::vector<std::string>{kSkipHeaderQuestion, ShortLineMessage(5)}));
  EXPECT_EQ(ShortLineMessage(5).substr(0, std::string(kRuleMalformedMessage).size()),
            kRuleMalformedMessage);
  EXPECT_NE(ShortLineMessage(5).find("5"), std::string::npos);
  EXPECT_EQ(app.rules().RowCount(), 0u);
  // Blank lines alone are passed over.
  Drop("D:\\r\\blank.csv", "a,1\r\n\r\nb,2\r\n\r\n", MessageAnswer::kCancel);
  EXPECT_EQ(Shown(), (Rules{{"a", "1"}, {"b", "2"}}));
}

// UTF-16 as Notepad saves it: the byte-order mark, then every unit.
std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// Rule files as people save them: in GBK, in UTF-8 with and without the
// mark, in UTF-16 either way round. The Rule list holds GBK whatever the
// file was; a character GBK cannot hold or bytes that are no text refuse the
// whole file before the header question.
TEST_F(MatchRules, RuleFilesInGbkUtf8AndUtf16) {
  const std::string utf8 = u8"代码,内容\r\nIMG,海滩\r\n乗,表-\\\r\n";
  const std::u16string utf16 = u"代码,内容\r\nIMG,海滩\r\n乗,表-\\\r\n";
  const Rules beach = {{"IMG", "海滩"}, {"乗", "表-\\"}};
  const std::vector<std::string> asked = {kSkipHeaderQuestion};
  const struct {
    const char* what;
    std::string bytes;
    MessageAnswer header;
    Rules rules;
    std::vector<std::string> messages;
  } cases[] = {
      {"UTF-8", utf8, MessageAnswer::kOk, beach, asked},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, MessageAnswer::kOk, beach, asked},
      {"UTF-8, header kept",
       "\xEF\xBB\xBF" + utf8,
       MessageAnswer::kCancel,
       {{"代码", "内容"}, beach[0], beach[1]},
       asked},
      {"UTF-16 LE", Utf16(utf16, false), MessageAnswer::kOk, beach, asked},
      {"UTF-16 BE", Utf16(utf16, true), MessageAnswer::kOk, beach, asked},
      {"GBK", "代码,内容\r\nIMG,海滩\r\n乗,表-\\\r\n", MessageAnswer::kOk, beach, asked},
      {"ASCII", "code,text\r\nIMG,Beach", MessageAnswer::kOk, {{"IMG", "Beach"}}, asked},
      {"the template",
       std::string(kRuleTemplate),
       MessageAnswer::kOk,
       {{"aaa", "333"}, {"sss", "333"}, {"333", "520"}, {"22", "trd"}, {"33", "rer"}},
       asked},
      // C1 AA CD A8 would be UTF-8 if overlong forms counted.
      {"GBK that is no UTF-8", "联通,联通\r\n", MessageAnswer::kCancel, {{"联通", "联通"}}, asked},
      // Both UTF-8 and GBK: the likelier reading wins, and a tie stays GBK.
      {"GBK 小 (UTF-8 С)", "IMG,小\r\n", MessageAnswer::kCancel, {{"IMG", "小"}}, asked},
      {"GBK 位,未 (UTF-8 λ δ)", "位,未", MessageAnswer::kCancel, {{"位", "未"}}, asked},
      {"GBK 小位,未 (UTF-8 Сλ,δ)", "小位,未", MessageAnswer::kCancel, {{"小位", "未"}}, asked},
      {"UTF-8 海滩, GBK too", u8"IMG,海滩", MessageAnswer::kCancel, {{"IMG", "海滩"}}, asked},
      {"UTF-8 as Notepad saves it",
       u8"IMG,风景\r\nDSC,café\r\n",
       MessageAnswer::kCancel,
       {{"IMG", "风景"}, {"DSC", "café"}},
       asked},
      {"UTF-8 café (GBK caf茅)", u8"DSC,café", MessageAnswer::kCancel, {{"DSC", "café"}}, asked},
      {"UTF-8 Müller,米勒", u8"Müller,米勒", MessageAnswer::kCancel, {{"Müller", "米勒"}}, asked},
      {"UTF-8 €, no GBK", u8"€,1", MessageAnswer::kCancel, {{"\x80", "1"}}, asked},
      {"UTF-16, text ends at U+0000",
       Utf16(std::u16string(u"IMG,海滩\r\n\0😀,x", 12), false),
       MessageAnswer::kCancel,
       {{"IMG", "海滩"}},
       asked},
      {"UTF-8, not in GBK on line 3",
       u8"代码,内容\r\nIMG,海滩\r\nDSC,😀한\r\n",  // no GBK: 9C before CR
       MessageAnswer::kOk,
       {},
       {UnusableCharacterMessage(3)}},
      {"UTF-16, not in GBK on line 3",
       Utf16(u"代码,内容\r\n\r\n한국,x", true),
       MessageAnswer::kOk,
       {},
       {UnusableCharacterMessage(3)}},
      {"UTF-8 mark, then GBK",
       "\xEF\xBB\xBF"
       "联通,x",
       MessageAnswer::kOk,
       {},
       {UnreadableEncodingMessage()}},
      {"UTF-16 of odd length",
       Utf16(u"IMG,海滩", false) + "x",
       MessageAnswer::kOk,
       {},
       {UnreadableEncodingMessage()}},
  };
  for (const auto& c : cases) {
    Drop("D:\\r\\good.csv", "a,1", MessageAnswer::kCancel);
    app.messages.Forget();
    Drop("D:\\r\\rules.csv", c.bytes, c.header);
    EXPECT_EQ(Shown(), c.rules) << c.what;
    EXPECT_EQ(Texts(), c.messages) << c.what;
  }
  EXPECT_EQ(UnusableCharacterMessage(3).rfind(kRuleMalformedMessage, 0), 0u);
  EXPECT_NE(UnusableCharacterMessage(3).find("第3行"), std::string::npos);
}

TEST_F(MatchRules, ClearingShowsThePromptAgain) {
  Drop("D:\\r\\good.csv", "a,1", MessageAnswer::kCancel);
  app.messages.Forget();
  const int redraws = app.window.hint("透明标签2").Redraws();
  EXPECT_TRUE(app.Click("按钮7"));
  EXPECT_EQ(app.rules().RowCount(), 0u);
  EXPECT_TRUE(PromptVisible());
  EXPECT_GT(app.window.hint("透明标签2").Redraws(), redraws);
  EXPECT_EQ(app.messages.Count(), 0u);
}

class TemplateExport : public MatchRules {
 protected:
  MemorySaveDialog& dialog() { return app.window.dialog("通用对话框2"); }
};

TEST_F(TemplateExport, WritesTheTemplateWhereTheUserSays) {
  dialog().Answer("D:\\out\\rules.csv");
  app.fs.AddFolder("D:\\out");
  EXPECT_TRUE(app.Click("按钮11"));
  EXPECT_EQ(app.fs.Content("D:\\out\\rules.csv"), TemplateFromHex());
  EXPECT_EQ(app.messages.Count(), 0u);
  ASSERT_EQ(dialog().Showings().size(), 1u);
  EXPECT_EQ(dialog().Showings()[0].initialFolder, app.fs.DesktopFolder());
  EXPECT_EQ(dialog().Showings()[0].fileName, "匹配代码示例");
  // An existing file is emptied first; the next showing proposes this file
  // and starts again on the desktop, wherever that is now.
  app.fs.AddFile("D:\\out\\old.csv", std::string(500, 'x'));
  app.fs.SetDesktopFolder("E:\\desk\\");
  dialog().Answer("D:\\out\\old.csv");
  app.Click("按钮11");
  EXPECT_EQ(app.fs.Content("D:\\out\\old.csv"), TemplateFromHex());
  EXPECT_EQ(dialog().Showings()[1].initialFolder, "E:\\desk\\");
  EXPECT_EQ(dialog().Showings()[1].fileName, "D:\\out\\rules.csv");
}

TEST_F(TemplateExport, CancellingWritesNothing) {
  app.fs.AddFolder("D:\\out");
  dialog().Answer("D:\\out\\rules.csv");
  app.Click("按钮11");
  app.fs.AddFile("D:\\out\\rules.csv", "edited by the user");
  dialog().Answer(std::nullopt);
  app.Click("按钮11");
  EXPECT_EQ(app.fs.Content("D:\\out\\rules.csv"), "edited by the user");
  EXPECT_EQ(dialog().FileName(), "D:\\out\\rules.csv");
  EXPECT_EQ(app.messages.Count(), 0u);
}

// A write that fails is said so, naming the file; success stays silent.
TEST_F(TemplateExport, AFailedWriteIsReported) {
  app.fs.AddFile("D:\\out\\ro.csv", "keep", attr::kReadOnly);
  for (const std::string& path :
       {std::string("D:\\nowhere\\rules.csv"), std::string("D:\\out\\ro.csv")}) {
    app.messages.Forget();
    dialog().Answer(path);
    app.Click("按钮11");
    EXPECT_EQ(Texts(), std::vector<std::string>{WriteFailedMessage(path)}) << path;
    EXPECT_EQ(app.messages.Last().buttons, MessageButtons::kOk);
    EXPECT_EQ(dialog().FileName(), path);
  }
  EXPECT_FALSE(app.fs.Exists("D:\\nowhere\\rules.csv"));
  EXPECT_EQ(app.fs.Content("D:\\out\\ro.csv"), "keep");
}

TEST_F(TemplateExport, TheWrittenTemplateLoadsBack) {
  dialog().Answer("C:\\users\\renamora\\Desktop\\匹配代码示例.csv");
  app.Click("按钮11");
  app.messages.Answer(MessageAnswer::kOk);
  app.DropOnRuleList("C:\\users\\renamora\\Desktop\\匹配代码示例.csv");
  EXPECT_EQ(app.rules().RowCount(), 5u);
}

}  // namespace
}  // namespace renamora::testing
