// A user who stops a long command: the rows it reached say what happened to
// them, the rest are as they were on disk and in the list, and what a run
// does after its last row it does after a stop too.
#include <gtest/gtest.h>

#include "tests/support/rename_page.h"

namespace renamora::testing {
namespace {

using Names = std::vector<std::string>;

class StoppedCommand : public RenamePage, public ::testing::Test {
 protected:
  const Names kNames = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
  void SetUp() override {
    Load(kNames);
    app.window.textBox("编辑框1").SetText("X");
    app.rules().Rows() = {{"", "X"}};  // every name matches
  }
  // The files dropped again, as they are called now.
  void Reload() {
    Names paths;
    for (const std::string& name : kNames) paths.push_back(kFolder + name);
    app.DropOnWindow(MemoryApp::DropText(paths));
  }
};

TEST_F(StoppedCommand, EachRenameAndRestoreEndsAfterTheRowItWasAt) {
  struct Case {
    const char* first;  // run to its end before, or nullptr
    const char* stopped;
    Names current;
    Names statuses;
  };
  const Names renamed = {"X-a.jpg", "X-b.jpg", "c.jpg", "d.jpg", "e.jpg"};
  const Names restored = {"a.jpg", "b.jpg", "X-c.jpg", "X-d.jpg", "X-e.jpg"};
  const Case cases[] = {
      {nullptr, "按钮1", renamed, {"完成", "完成", "", "", ""}},
      {"按钮1", "按钮2", restored, {"完成", "完成", "完成", "完成", "完成"}},
      {nullptr, "按钮4", renamed, {"成功", "成功", "", "", ""}},
      {"按钮4", "按钮5", restored, {"完成", "完成", "成功", "成功", "成功"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stopped);
    app.progress.LetRun();
    Reload();
    if (c.first) app.Click(c.first);
    app.progress.StopAt(2);
    app.Click(c.stopped);
    EXPECT_EQ(Current(), c.current);
    EXPECT_EQ(Statuses(), c.statuses);
    EXPECT_EQ(Disk(), InFolder(c.current, kNames));
    // Refitted as after a full run.
    EXPECT_EQ(app.files().ColumnWidth(0), 80);
    EXPECT_EQ(app.files().ColumnWidth(2), 6 * 8 + 12);
    // Put everything back for the next case.
    app.progress.LetRun();
    app.Click("按钮2");
  }
}

TEST_F(StoppedCommand, TheMatchLabelsCountTheRowsReached) {
  // The third row fails: its target is taken.
  app.fs.AddFile(std::string(kFolder) + "X-c.jpg", "taken");
  app.progress.StopAt(3);
  app.Click("按钮4");
  EXPECT_EQ(app.Caption("标签6"), "成功2个");
  EXPECT_EQ(app.Caption("标签7"), "失败1个");
  app.progress.StopAt(2);
  app.Click("按钮5");
  EXPECT_EQ(app.Caption("标签6"), "成功2个");
  EXPECT_EQ(app.Caption("标签7"), "失败0个");
}

TEST_F(StoppedCommand, AStoppedLoadListsWhatItFound) {
  app.progress.StopAt(4);  // the folder, then three files
  app.DropOnWindow("D:\\p");
  EXPECT_EQ(app.files().RowCount(), 3u);
  EXPECT_EQ(app.Caption("标签4"), "载入3个文件");
  EXPECT_FALSE(app.window.hint("透明标签1").Visible());
  app.fs.AddFolder("D:\\e\\1\\2\\3");
  app.progress.StopAt(3);
  app.DropOnWindow("D:\\e");
  EXPECT_TRUE(app.progress.Stopped());  // folders without files report too
}

TEST_F(StoppedCommand, ACommandCutShortByAnExceptionSaysSoAndLeavesEveryRowTrue) {
  // A load that fails in its second folder leaves the list as it was; a
  // rename keeps what it did before the failing row.
  for (const char* path : {"E:\\q\\a.txt", "E:\\q\\1\\b.txt"}) app.fs.AddFile(path);
  app.fs.ThrowAtCall(3);
  app.DropOnWindow("E:\\q");
  EXPECT_EQ(Current(), kNames);
  ASSERT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(app.messages.Last().text, "内存不足，操作未完成");
  EXPECT_EQ(app.messages.Last().caption, "信息：");
  app.fs.ThrowAtCall(3);
  app.Click("按钮1");
  EXPECT_EQ(Current(), (Names{"X-a.jpg", "X-b.jpg", "c.jpg", "d.jpg", "e.jpg"}));
  EXPECT_EQ(Disk(), InFolder(Current(), kNames));
}

TEST_F(StoppedCommand, AStoppedRuleLoadingLeavesTheRuleListEmpty) {
  app.fs.AddFile("D:\\规则.csv", "a,1\r\nb,2\r\nc,3\r\n");
  // Stopped while the file is checked (steps 1-3), and while its rules are
  // written over the ones before (steps 4-6).
  for (std::size_t step : {2, 5}) {
    app.rules().Rows() = {{"old", "rule"}};
    app.messages.Answer(MessageAnswer::kCancel);
    app.progress.StopAt(step);
    app.DropOnRuleList("D:\\规则.csv");
    EXPECT_EQ(app.rules().RowCount(), 0u) << step;
    EXPECT_EQ(app.messages.Count(), 1u) << "the header question only";
    app.messages.Forget();
  }
}

TEST_F(StoppedCommand, AStoppedExportAsksForNoFileAndWritesNone) {
  app.window.dialog("通用对话框1").Answer("D:\\names.csv");
  app.progress.StopAt(2);
  app.Click("按钮8");
  EXPECT_TRUE(app.window.dialog("通用对话框1").Showings().empty());
  EXPECT_FALSE(app.fs.Exists("D:\\names.csv"));
}

}  // namespace
}  // namespace renamora::testing
