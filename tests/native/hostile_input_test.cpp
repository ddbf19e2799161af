// Inputs nobody should give the program, and what it does with them: the
// message or status a user would expect, and never a lost or changed file.
#include <gtest/gtest.h>

#include <random>

#include "rename/match_rules.h"
#include "tests/support/memory_app.h"

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

TEST_F(HostileInput, PathsThatCannotBeReadAreListedAndFailAlone) {
  const std::string longFolder = "D:\\" + std::string(270, 'L');
  app.fs.AddFile(longFolder + "\\far.txt", "far");
  app.fs.AddFolder("D:\\locked");
  app.fs.AddFile("D:\\locked\\in.txt", "in");
  app.fs.SetUnreadable("D:\\locked", true);
  app.fs.AddFile("D:\\ok\\a.txt", "a");
  app.DropOnWindow(
      MemoryApp::DropText({longFolder, "D:\\missing\\gone.txt", "D:\\locked", "D:\\ok\\a.txt"}));
  // The long folder cannot be read, so it is listed like a file; the missing
  // file is listed; the unreadable folder gives nothing.
  ASSERT_EQ(app.files().RowCount(), 3u);
  EXPECT_EQ(app.files().OriginalName(0), std::string(270, 'L'));
  EXPECT_EQ(app.messages.Count(), 0u);

  app.window.textBox("编辑框1").SetText("X");
  app.Click("按钮1");
  EXPECT_EQ(app.files().StatusOf(0), Status::kFailed);
  EXPECT_EQ(app.files().StatusOf(1), Status::kFailed);
  EXPECT_EQ(app.files().StatusOf(2), Status::kDone);
  EXPECT_EQ(app.fs.Content(longFolder + "\\far.txt"), "far");
  EXPECT_EQ(app.fs.Content("D:\\ok\\X-a.txt"), "a");
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
  // 'X…X-a.txt' of 255 and 256 bytes: too long for a path of MAX_PATH
  // characters in any folder, so both fail and both files stay.
  for (std::size_t length : {255u, 256u}) {
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
