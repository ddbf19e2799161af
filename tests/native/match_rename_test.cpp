#include "rename/match_rename.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/gbk_text.h"
#include "tests/support/rename_page.h"

namespace renamora::testing {
namespace {

using Names = std::vector<std::string>;
using Rules = std::vector<std::pair<std::string, std::string>>;

std::vector<RuleRow> RuleRows(const Rules& rules) {
  std::vector<RuleRow> rows;
  for (const auto& [code, content] : rules) rows.push_back({code, content});
  return rows;
}

// The match test read plainly: every rule in turn, every character start.
std::size_t FirstRuleByScan(const std::vector<RuleRow>& rules, std::string_view name) {
  for (std::size_t r = 0; r < rules.size(); ++r) {
    const std::string& code = rules[r].matchCode;
    if (code.empty()) {
      if (!name.empty()) return r;
      continue;
    }
    for (std::size_t i = 0; i + code.size() <= name.size(); i += text::CharLength(name, i)) {
      bool same = true;
      for (std::size_t k = 0, next = 0; k < code.size() && same; ++k) {
        const bool own = k == next && (next += text::CharLength(name, i + k), true);
        same = own ? text::AsciiLower(name[i + k]) == text::AsciiLower(code[k])  // a character
                   : name[i + k] == code[k];                                     // a trail byte
      }
      if (same) return r;
    }
  }
  return RuleMatcher::kNoRule;
}

std::size_t FirstRule(const Rules& rules, std::string_view name) {
  return RuleMatcher(RuleRows(rules)).FindRule(name);
}

TEST(MatchTest, TheFirstRuleThatOccursWins) {
  EXPECT_EQ(FirstRule({{"ab", "1"}, {"abc", "2"}}, "xabc.txt"), 0u);
  EXPECT_EQ(FirstRule({{"abc", "1"}, {"ab", "2"}}, "xabc.txt"), 0u);
  EXPECT_EQ(FirstRule({{"zz", "1"}, {"bc", "2"}, {"c", "3"}}, "xabc.txt"), 1u);
  EXPECT_EQ(FirstRule({{"zz", "1"}}, "xabc.txt"), RuleMatcher::kNoRule);
  EXPECT_EQ(FirstRule({{"abcd", "1"}, {"xabc.txt!", "2"}}, "xabc.txt"), RuleMatcher::kNoRule);
  // A later duplicate of the same code is never the one found.
  EXPECT_EQ(FirstRule({{"q", "1"}, {"ab", "2"}, {"AB", "3"}}, "ab"), 1u);
}

TEST(MatchTest, AsciiLettersMatchWithoutCaseOnlyAsCharactersOfTheirOwn) {
  EXPECT_EQ(FirstRule({{"ABC", "1"}}, "xabc.txt"), 0u);
  EXPECT_EQ(FirstRule({{"abc", "1"}}, "XABC.TXT"), 0u);
  // 說 (D5 66) is not 誇 (D5 46): a trail byte keeps its case.
  EXPECT_EQ(FirstRule({{"說", "1"}, {"\x81\x61", "2"}}, "誇x\x81\x41.txt"), RuleMatcher::kNoRule);
  // Other bytes compare exactly.
  EXPECT_EQ(FirstRule({{"\xD6\xD0", "1"}}, "\xD6\xD1"), RuleMatcher::kNoRule);
  EXPECT_EQ(FirstRule({{"_", "1"}}, "\x7F"), RuleMatcher::kNoRule);  // no folding outside A-Z
  EXPECT_EQ(FirstRule({{"[", "1"}}, "{"), RuleMatcher::kNoRule);
}

TEST(MatchTest, AMatchStartsOnACharacter) {
  // "A" is the trail byte of 81 41: no match there, but after it.
  EXPECT_EQ(FirstRule({{"a", "1"}}, "\x81\x41"), RuleMatcher::kNoRule);
  EXPECT_EQ(FirstRule({{"a", "1"}},
                      "\x81\x41"
                      "a"),
            0u);
  EXPECT_EQ(FirstRule({{"a", "1"},
                       {"\x41"
                        "b",
                        "2"}},
                      "\x81\x41"
                      "b"),
            RuleMatcher::kNoRule);
  // A match may end inside a character.
  EXPECT_EQ(FirstRule({{"\x81", "1"}}, "\x81\x41"), 0u);
  // The later, lower rule fits only where the earlier start fails.
  EXPECT_EQ(FirstRule({{"\x41\x81", "1"}, {"\x81", "2"}}, "\x81\x41\x81\x42"), 1u);
}

TEST(MatchTest, AnEmptyCodeMatchesEveryNonEmptyName) {
  EXPECT_EQ(FirstRule({{"zz", "1"}, {"", "2"}}, "a.txt"), 1u);
  EXPECT_EQ(FirstRule({{"", "1"}, {"a", "2"}}, "a.txt"), 0u);
  EXPECT_EQ(FirstRule({{"a", "1"}, {"", "2"}}, "a.txt"), 0u);
  EXPECT_EQ(FirstRule({{"", "1"}}, ""), RuleMatcher::kNoRule);
  EXPECT_EQ(FirstRule({}, "a.txt"), RuleMatcher::kNoRule);
}

// The automaton against the plain scan over random rules and names made of
// bytes that fold, lead bytes, trail bytes and letters that are both.
TEST(MatchTest, AgreesWithThePlainScanOnRandomRulesAndNames) {
  const char bytes[] = {'a', 'A', 'b', 'B', '.', '\x81', '\x41', '\x61', '\xD6', '\xFE', '_'};
  std::mt19937 random(8);
  auto randomText = [&](std::size_t maxLength) {
    std::string s(random() % (maxLength + 1), ' ');
    for (char& c : s) c = bytes[random() % sizeof(bytes)];
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<RuleRow> rules(random() % (round % 10 == 0 ? 400 : 12));
    for (RuleRow& rule : rules) rule.matchCode = randomText(round % 3 == 0 ? 2 : 5);
    RuleMatcher matcher(rules);
    for (int n = 0; n < 20; ++n) {
      const std::string name = randomText(14);
      ASSERT_EQ(matcher.FindRule(name), FirstRuleByScan(rules, name))
          << ::testing::PrintToString(name) << " round " << round;
    }
  }
}

// The new name as the commands build it, behind the folder.
std::string BuildMatchedName(std::string_view name, std::string_view content, std::string_view s2,
                             MatchWay way) {
  std::string target = "D:\\p\\";
  AppendMatchedName(target, name, content, s2, way);
  EXPECT_EQ(target.substr(0, 5), "D:\\p\\");
  return target.substr(5);
}

TEST(AppendMatchedName, TheThreeWays) {
  EXPECT_EQ(BuildMatchedName("IMG01.jpg", "Beach", "-", MatchWay::kBefore), "Beach-IMG01.jpg");
  EXPECT_EQ(BuildMatchedName("IMG01.jpg", "Beach", "-", MatchWay::kReplace), "Beach.jpg");
  EXPECT_EQ(BuildMatchedName("IMG01.jpg", "Beach", "-", MatchWay::kAfter), "IMG01-Beach.jpg");
  EXPECT_EQ(BuildMatchedName("README", "Beach", "-", MatchWay::kBefore), "Beach-README");
  EXPECT_EQ(BuildMatchedName("README", "Beach", "-", MatchWay::kReplace), "BeachREADME");
  EXPECT_EQ(BuildMatchedName("README", "Beach", "-", MatchWay::kAfter), "-BeachREADME");
  EXPECT_EQ(BuildMatchedName("a.tar.gz", "B", "", MatchWay::kAfter), "a.tarB.gz");
  EXPECT_EQ(BuildMatchedName(".profile", "B", "-", MatchWay::kReplace), "B.profile");
}

class MatchRenaming : public ::testing::Test, public RenamePage {
 protected:
  void SetRules(const Rules& rules) { app.rules().Rows() = RuleRows(rules); }
  void Way(const char* radio, const std::string& s2 = "-") {
    app.window.radio(radio).Check();
    app.window.textBox("组合框2").SetText(s2);
  }
  void Rename() { ASSERT_TRUE(app.Click("按钮4")); }
  void Restore() { ASSERT_TRUE(app.Click("按钮5")); }
  std::pair<std::string, std::string> Counts() {
    return {app.Caption("标签6"), app.Caption("标签7")};
  }
  std::uint64_t Widths() { return app.files().WidthRevision(); }
};

TEST_F(MatchRenaming, WithoutRulesNothingHappensButAMessage) {
  Load({"IMG01.jpg"});
  Way("单选框7");
  const std::uint64_t widths = Widths();
  Rename();
  ASSERT_EQ(app.messages.Count(), 1u);  // no avoidance question either
  EXPECT_EQ(app.messages.Last().text, kNoRulesMessage);
  EXPECT_EQ(app.messages.Last().buttons, MessageButtons::kOk);
  EXPECT_EQ(app.messages.Last().caption, kMessageCaption);
  EXPECT_EQ(Statuses(), Names{""});
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功 个", "失败 个"}));
  EXPECT_EQ(Widths(), widths);
}

TEST_F(MatchRenaming, BeforeRenamesAndRestores) {
  const Names first{"IMG01.jpg", "img02.png", "other.txt"};
  Load(first);
  SetRules({{"IMG", "Beach"}});
  Way("单选框3");
  Rename();
  const Names renamed{"Beach-IMG01.jpg", "Beach-img02.png", "other.txt"};
  EXPECT_EQ(Current(), renamed);
  EXPECT_EQ(Statuses(), (Names{"成功", "成功", "失败！未找到代码"}));
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功2个", "失败1个"}));
  EXPECT_EQ(Disk(), InFolder(renamed, first));
  EXPECT_EQ(app.messages.Count(), 0u);  // no question for this way
  EXPECT_EQ(app.files().ColumnWidth(0), 80);

  Restore();
  EXPECT_EQ(Current(), first);
  // A row never renamed is left alone, a failure; so is every row the second time.
  for (int again = 0; again < 2; ++again) {
    if (again) Restore();
    EXPECT_EQ(Statuses(), (Names{"完成", "完成", "失败！未找到代码"}));
    EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功2个", "失败1个"}));
    EXPECT_EQ(Disk(), InFolder(first, first));
  }
}

TEST_F(MatchRenaming, AfterAndReplaceBuildTheirNames) {
  Load({"IMG01.jpg", "README"});
  SetRules({{"", "Beach"}});
  Way("单选框4", "_");
  Rename();
  EXPECT_EQ(Current(), (Names{"IMG01_Beach.jpg", "_BeachREADME"}));
  Restore();
  EXPECT_EQ(Current(), (Names{"IMG01.jpg", "README"}));
  Way("单选框7");
  app.messages.Answer(MessageAnswer::kNo);
  Rename();
  EXPECT_EQ(Current(), (Names{"Beach.jpg", "BeachREADME"}));
  EXPECT_EQ(Disk(), InFolder({"Beach.jpg", "BeachREADME"}, {"IMG01.jpg", "README"}));
}

TEST_F(MatchRenaming, EveryRunInsertsAgainFromTheCurrentName) {
  Load({"a.txt"});
  SetRules({{"A", "B"}});
  Way("单选框3");
  Rename();
  Rename();
  EXPECT_EQ(Current(), Names{"B-B-a.txt"});
  Restore();
  EXPECT_EQ(Current(), Names{"a.txt"});
}

TEST_F(MatchRenaming, AvoidanceAddsTheRowNumberWhenTheNameIsTaken) {
  Load({"a.jpg", "n1.txt", "n2.txt", "b.jpg"});
  SetRules({{"a", "Beach"}, {"b", "Beach"}});
  Way("单选框7");
  app.messages.Answer(MessageAnswer::kYes);
  Rename();
  ASSERT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(app.messages.Last().text,
            "1.是否开启修改文件名重复去错\r\n2.开启后重复名自动添加尾缀，未开启直接跳过修改");
  EXPECT_EQ(app.messages.Last().buttons, MessageButtons::kYesNo);
  EXPECT_EQ(app.messages.Last().caption, kMessageCaption);
  EXPECT_EQ(Current(), (Names{"Beach.jpg", "n1.txt", "n2.txt", "Beach_4.jpg"}));
  EXPECT_EQ(Statuses(), (Names{"成功", "失败！未找到代码", "失败！未找到代码", "成功_自动避错"}));
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功2个", "失败2个"}));
  EXPECT_EQ(*app.fs.Content("D:\\p\\Beach_4.jpg"), Bytes("b.jpg"));
}

TEST_F(MatchRenaming, TwoFilesToOneNameWithYesAndWithNo) {
  Load({"a.jpg", "b.jpg"});
  SetRules({{"", "Beach"}});
  Way("单选框7");
  app.messages.Answer(MessageAnswer::kYes);
  Rename();
  EXPECT_EQ(Current(), (Names{"Beach.jpg", "Beach_2.jpg"}));
  EXPECT_EQ(Statuses(), (Names{"成功", "成功_自动避错"}));
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功2个", "失败0个"}));

  Load({"c.jpg", "d.jpg"});
  app.messages.Answer(MessageAnswer::kNo);
  Rename();
  // 'Beach.jpg' is still there from the first run: both fail, nothing moves.
  EXPECT_EQ(Current(), (Names{"c.jpg", "d.jpg"}));
  EXPECT_EQ(Statuses(), (Names{"失败", "失败"}));
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功0个", "失败2个"}));
  EXPECT_EQ(*app.fs.Content("D:\\p\\Beach.jpg"), Bytes("a.jpg"));
}

TEST_F(MatchRenaming, ASecondCollisionWithAvoidanceFails) {
  Load({"a.jpg", "b.jpg"});
  app.fs.AddFile("D:\\p\\Beach.jpg", "taken");
  app.fs.AddFile("D:\\p\\Beach_2.jpg", "taken too");
  SetRules({{"", "Beach"}});
  Way("单选框7");
  app.messages.Answer(MessageAnswer::kYes);
  Rename();
  EXPECT_EQ(Current(), (Names{"Beach_1.jpg", "b.jpg"}));
  EXPECT_EQ(Statuses(), (Names{"成功_自动避错", "失败"}));
  EXPECT_EQ(*app.fs.Content("D:\\p\\Beach_2.jpg"), "taken too");
}

TEST_F(MatchRenaming, TheQuestionIsForReplaceOnlyAndAlsoForAnEmptyList) {
  SetRules({{"", "Beach"}});
  Way("单选框7");
  const std::uint64_t widths = Widths();
  Rename();
  EXPECT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功0个", "失败0个"}));
  EXPECT_GT(Widths(), widths);

  // Before and after: a taken name simply fails, with no question and no suffix.
  Load({"IMG01.jpg"});
  app.fs.AddFile("D:\\p\\Beach-IMG01.jpg", "taken");
  app.fs.AddFile("D:\\p\\IMG01-Beach.jpg", "taken");
  for (const char* way : {"单选框3", "单选框4"}) {
    app.messages.Forget();
    Way(way);
    Rename();
    EXPECT_EQ(app.messages.Count(), 0u) << way;
    EXPECT_EQ(Statuses(), Names{"失败"}) << way;
    EXPECT_EQ(Current(), Names{"IMG01.jpg"}) << way;
  }
  EXPECT_EQ(app.fs.Walk("D:\\p").size(), 3u);
}

TEST_F(MatchRenaming, TheCountsCoverEveryRow) {
  Load({"a1.txt", "b1.txt", "a2.txt", "c.txt", "a3.txt"});
  SetRules({{"a", "X"}});
  Way("单选框3");
  Rename();
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功3个", "失败2个"}));
  app.Click("按钮6");
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功 个", "失败 个"}));
}

TEST_F(MatchRenaming, RestoreTakesTheContentOffEqualNames) {
  // Listed after an earlier renaming: both columns show the built name.
  Load({"Beach-IMG01.jpg", "IMG02-Beach.jpg", "no rule here.txt"});
  SetRules({{"img", "Beach"}});
  Way("单选框3");
  Restore();
  EXPECT_EQ(Current(), (Names{"IMG01.jpg", "IMG02-Beach.jpg", "no rule here.txt"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "完成", "失败"}));  // the middle name stays as it is
  // After, listed afresh: the separator comes first, the case counts, and
  // the content is taken off only at the end of the part before the
  // extension, as often as it stands there.
  Way("单选框4");
  Load({"IMG01.jpg", "IMG02-Beach.jpg", "no rule here.txt", "IMG-Beach-Beach.jpg", "Beach-IMG.jpg",
        "-Beach.jpg"});
  SetRules({{"img", "Beach"}, {"beach", "Beach"}});
  Restore();
  EXPECT_EQ(Current(), (Names{"IMG01.jpg", "IMG02.jpg", "no rule here.txt", "IMG.jpg",
                              "Beach-IMG.jpg", "-Beach.jpg"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "完成", "失败", "完成", "完成", ""}));
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功4个", "失败2个"}));
  Restore();  // and a second way back leaves each where the first put it
  EXPECT_EQ(Current(), (Names{"IMG01.jpg", "IMG02.jpg", "no rule here.txt", "IMG.jpg",
                              "Beach-IMG.jpg", "-Beach.jpg"}));
  // A replaced name keeps nothing of the name before: listed afresh, it is
  // left alone.
  Way("单选框7");
  Load({"Beach.jpg", "Beach_2.jpg"});
  Restore();
  EXPECT_EQ(Current(), (Names{"Beach.jpg", "Beach_2.jpg"}));
  EXPECT_EQ(Statuses(), (Names{"", ""}));
  EXPECT_EQ(*app.fs.Content("D:\\p\\Beach_2.jpg"), Bytes("Beach_2.jpg"));
  EXPECT_EQ(app.messages.Count(), 0u);  // a restore never asks
}

TEST_F(MatchRenaming, AFailedRenameOrRestoreKeepsTheNameOnDisk) {
  Load({"a.txt"});
  SetRules({{"a", "X"}});
  Way("单选框3");
  app.fs.SetLocked("D:\\p\\a.txt", true);
  Rename();
  EXPECT_EQ(Current(), Names{"a.txt"});
  EXPECT_EQ(Statuses(), Names{"失败"});
  app.fs.SetLocked("D:\\p\\a.txt", false);
  Rename();
  EXPECT_EQ(Current(), Names{"X-a.txt"});
  app.fs.AddFile("D:\\p\\a.txt", "newcomer");
  Restore();
  EXPECT_EQ(Current(), Names{"X-a.txt"});
  EXPECT_EQ(Statuses(), Names{"失败"});
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功0个", "失败1个"}));
}

// With the Rule list empty, a row that shows one name twice has nothing to
// undo: it stays as it is, the rows after it are restored, and the columns
// and counts follow as after any run.
TEST_F(MatchRenaming, RestoreWithoutRulesGoesOnPastUnchangedRows) {
  Load({"a.txt", "b.txt", "c.txt"});
  app.fs.AddFile("D:\\p\\X-b.txt", "in the way");
  SetRules({{"", "X"}});
  Way("单选框3");
  Rename();
  ASSERT_EQ(Current(), (Names{"X-a.txt", "b.txt", "X-c.txt"}));
  app.Click("按钮7");
  const std::uint64_t widths = Widths();
  Restore();
  EXPECT_EQ(Current(), (Names{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "失败", "完成"}));  // the middle row keeps its word
  EXPECT_EQ(Counts(), (std::pair<std::string, std::string>{"成功2个", "失败1个"}));
  EXPECT_GT(Widths(), widths);
  EXPECT_EQ(*app.fs.Content("D:\\p\\c.txt"), Bytes("c.txt"));
}

// Content that names another folder renames nothing, the suffixed try
// included: the platform refuses every name that leaves the folder.
TEST_F(MatchRenaming, ContentWithABackslashMovesNoFile) {
  app.fs.AddFolder("D:\\p\\sub");
  Load({"a.jpg", "b.jpg"});
  const Files before = Disk();
  for (const char* content : {"..\\x", "sub\\x", "\\x", "..\\"}) {
    SetRules({{"", content}});
    for (const char* way : {"单选框3", "单选框4", "单选框7"}) {
      Way(way);
      app.messages.Answer(MessageAnswer::kYes);
      Rename();
      EXPECT_EQ(Statuses(), Names(2, "失败")) << content << way;
      EXPECT_EQ(Current(), (Names{"a.jpg", "b.jpg"})) << content << way;
      EXPECT_EQ(Disk(), before) << content << way;
    }
  }
  Way("单选框4", "\\..\\");
  SetRules({{"", "x"}});
  Rename();
  EXPECT_EQ(Disk(), before);
}

TEST_F(MatchRenaming, RulesComeFromADroppedFile) {
  app.fs.AddFile("D:\\r\\rules.csv", "code,content\r\nIMG,Beach\r\nimg,Sea\r\n");
  app.messages.Answer(MessageAnswer::kOk);
  app.DropOnRuleList("D:\\r\\rules.csv");
  Load({"img01.jpg"});
  Way("单选框3", "");
  Rename();
  EXPECT_EQ(Current(), Names{"Beachimg01.jpg"});
}

}  // namespace
}  // namespace renamora::testing
