// Inputs nobody should give the program, and what it does with them: the
// message or status a user would expect, and never a lost or changed file.
#include <gtest/gtest.h>

#include <random>

#include "rename/match_rules.h"
#include "tests/support/memory_app.h"
#include "tests/support/scene.h"

namespace renamora::testing {
namespace {

class HostileInput : public ::testing::Test {
 protected:
  void DropRules(const std::string& path, MessageAnswer header) {
    app.messages.ClearAnswers();
    app.messages.Answer(header);
    app.DropOnRuleList(path);
  }
  std::string LastMessage() { return app.messages.Count() ? app.messages.Last().text : ""; }

  MemoryApp app;
};

TEST_F(HostileInput, AFiftyMegabyteRuleFileLoadsWhole) {
  std::string csv;
  csv.reserve(50u << 20);
  std::size_t rules = 0;
  while (csv.size() < (50u << 20)) {
    csv += "code" + std::to_string(rules++) + ",内容\r\n";
  }
  app.fs.AddFile("D:\\big.csv", std::move(csv));
  DropRules("D:\\big.csv", MessageAnswer::kCancel);
  EXPECT_EQ(app.rules().RowCount(), rules);
  EXPECT_EQ(app.rules()[rules - 1].content, "内容");
}

TEST_F(HostileInput, BinaryBytesUnderACsvNameNeverHalfLoad) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string bytes(1 + rng() % 2000, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    app.fs.AddFile("D:\\bin.csv", bytes);
    DropRules("D:\\bin.csv", round % 2 ? MessageAnswer::kOk : MessageAnswer::kCancel);
    // Either a table whose every rule came from the file, or nothing at all
    // with the malformed message.
    if (app.rules().RowCount() == 0) {
      EXPECT_EQ(LastMessage().rfind(kRuleMalformedMessage, 0), 0u) << round;
    }
  }
}

TEST_F(HostileInput, ByteOrderMarkNulAndEndOfFileBytes) {
  app.fs.AddFile("D:\\bom.csv",
                 "\xEF\xBB\xBF"
                 "ab,1\r\ncd,2\r\n");
  DropRules("D:\\bom.csv", MessageAnswer::kCancel);
  ASSERT_EQ(app.rules().RowCount(), 2u);
  EXPECT_EQ(app.rules()[0].matchCode, "ab");  // the UTF-8 mark is no part of the first code

  app.fs.AddFile("D:\\nul.csv", std::string("a,1\r\nb,2\0c,3\r\n", 14));
  DropRules("D:\\nul.csv", MessageAnswer::kCancel);
  ASSERT_EQ(app.rules().RowCount(), 2u);
  EXPECT_EQ(app.rules()[1].content, "2");

  app.fs.AddFile("D:\\eof.csv",
                 "a,1\r\n\x1a"
                 "b,2\r\n");
  DropRules("D:\\eof.csv", MessageAnswer::kCancel);
  EXPECT_EQ(app.rules().RowCount(), 1u);

  app.fs.AddFile("D:\\lf.csv", "a,1\nb,2\n");
  DropRules("D:\\lf.csv", MessageAnswer::kCancel);
  ASSERT_EQ(app.rules().RowCount(), 1u);
  EXPECT_EQ(app.rules()[0].content, "1\nb");
}

TEST_F(HostileInput, AHundredThousandRulesRenameAsFewDo) {
  std::string csv;
  for (int i = 0; i < 100000; ++i) csv += "zz" + std::to_string(i) + ",x\r\n";
  csv += "IMG,Beach\r\n";
  app.fs.AddFile("D:\\many.csv", csv);
  DropRules("D:\\many.csv", MessageAnswer::kCancel);
  ASSERT_EQ(app.rules().RowCount(), 100001u);
  app.fs.AddFile("D:\\p\\IMG01.jpg", "img");
  app.fs.AddFile("D:\\p\\zz99999.txt", "zz");
  app.DropOnWindow("D:\\p");
  app.Click("按钮4");  // way before, separator "-"
  EXPECT_EQ(app.fs.Content("D:\\p\\Beach-IMG01.jpg"), "img");
  EXPECT_EQ(app.fs.Content("D:\\p\\x-zz99999.txt"), "zz");
  EXPECT_EQ(app.Caption("标签6"), "成功2个");
}

// Paths a user may drop that are no ordinary ones: each is listed and
// renamed, or listed and fails, and is back after "还原" when its name is
// one a rename may make; no file that no row names is touched.
TEST_F(HostileInput, UnusualDroppedPathsEachHaveAClearOutcome) {
  const std::string huge = "D:\\" + std::string(kMaxExtendedPath, 'L');
  app.fs.AddFile("D:\\p\\a.txt", "a");
  app.fs.AddFile("E:\\e.txt", "e");
  app.fs.AddFile("\\\\nas\\photos\\b.jpg", "b");
  app.fs.AddFile(Exact("D:\\q\\..."), "dots");
  app.fs.AddFile(Exact("D:\\q\\ "), "blank");
  const struct {
    std::string dropped;
    std::vector<std::string> rows;
    std::vector<Status> statuses;  // after "修  改" with "X"
  } cases[] = {
      {"\\\\?\\D:\\p\\a.txt", {"\\\\?\\D:\\p\\a.txt"}, {Status::kDone}},
      {"\\\\?\\D:\\p", {"\\\\?\\D:\\p\\a.txt"}, {Status::kDone}},
      {"E:\\", {"E:\\e.txt"}, {Status::kDone}},
      {"\\\\nas\\photos", {"\\\\nas\\photos\\b.jpg"}, {Status::kDone}},
      {"\\\\nas\\gone", {"\\\\nas\\gone"}, {Status::kFailed}},
      {huge, {huge}, {Status::kFailed}},
      // "X-..." and "X- " both lose their ends: the second finds "X-" taken.
      // No rename makes a name of dots alone, so "..." is not taken back.
      {"D:\\q", {"D:\\q\\...", "D:\\q\\ "}, {Status::kDone, Status::kFailed}},
  };
  app.window.textBox("编辑框1").SetText("X");
  for (const auto& c : cases) {
    app.DropOnWindow(c.dropped);
    ASSERT_EQ(app.files().RowCount(), c.rows.size()) << c.dropped.substr(0, 20);
    app.Click("按钮1");
    for (std::size_t r = 0; r < c.rows.size(); ++r) {
      EXPECT_EQ(std::string(app.files().Folder(r)) + std::string(app.files().OriginalName(r)),
                c.rows[r]);
      EXPECT_EQ(app.files().StatusOf(r), c.statuses[r]) << c.rows[r].substr(0, 20);
    }
    app.Click("按钮2");
  }
  EXPECT_EQ(app.messages.Count(), 0u);
  for (const auto& [path, content] :
       std::vector<std::pair<std::string, std::string>>{{"D:\\p\\a.txt", "a"},
                                                        {"E:\\e.txt", "e"},
                                                        {"\\\\nas\\photos\\b.jpg", "b"},
                                                        {"D:\\q\\X-", "dots"},
                                                        {Exact("D:\\q\\ "), "blank"}}) {
    EXPECT_EQ(app.fs.Content(path), content) << path;
  }
}

TEST_F(HostileInput, AFileRenamedAwayBetweenLoadAndRename) {
  app.fs.AddFile("D:\\p\\a.txt", "a");
  app.fs.AddFile("D:\\p\\b.txt", "b");
  app.DropOnWindow("D:\\p");
  ASSERT_TRUE(app.fs.RenameFile("D:\\p\\a.txt", "D:\\p\\moved.txt"));  // another program
  app.window.textBox("编辑框1").SetText("X");
  app.Click("按钮1");
  EXPECT_EQ(app.files().StatusOf(0), Status::kFailed);
  EXPECT_EQ(app.files().CurrentName(0), "a.txt");  // still what the row last knew
  EXPECT_EQ(app.files().StatusOf(1), Status::kDone);
  EXPECT_EQ(app.fs.Content("D:\\p\\moved.txt"), "a");
  app.Click("按钮2");
  EXPECT_EQ(app.files().StatusOf(0), Status::kFailed);
  EXPECT_EQ(app.files().StatusOf(1), Status::kDone);
  EXPECT_EQ(app.fs.Content("D:\\p\\b.txt"), "b");
}

TEST_F(HostileInput, TargetNamesOf255And256Bytes) {
  app.fs.AddFile("D:\\p\\a.txt", "a");
  app.fs.AddFile("D:\\p\\b.txt", "b");
  app.DropOnWindow("D:\\p");
  // 'X…X-a.txt' of 256 and 257 bytes: longer than any name may be, so both
  // fail and both files stay.
  for (std::size_t length : {256u, 257u}) {
    app.window.textBox("编辑框1").SetText(std::string(length - 6, 'X'));
    app.Click("按钮1");
    EXPECT_EQ(app.files().StatusOf(0), Status::kFailed) << length;
    EXPECT_EQ(app.files().CurrentName(0), "a.txt") << length;
  }
  EXPECT_EQ(app.fs.Content("D:\\p\\a.txt"), "a");
  EXPECT_EQ(app.fs.Content("D:\\p\\b.txt"), "b");
  // A name of 255 characters is fine where the path stays short enough,
  // double-byte characters counting one each.
  std::string wide;
  for (int i = 0; i < 120; ++i) wide += "照";
  app.window.textBox("编辑框1").SetText(wide);
  app.Click("按钮1");
  EXPECT_EQ(app.files().StatusOf(0), Status::kDone);
  EXPECT_EQ(app.fs.Content("D:\\p\\" + wide + "-a.txt"), "a");
}

}  // namespace
}  // namespace renamora::testing
