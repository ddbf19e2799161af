// The page "匹配改名" through the real window on real files: rules dropped on
// the Rule list, a folder dropped on the window, the way picked in the real
// radio buttons, 按钮4 and 按钮5 clicked, the avoidance question answered in
// the real message box; then what the disk, the list view and the two count
// labels show.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <map>

#include "tests/support/scene.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

using Names = std::vector<std::string>;

const char kAvoidanceQuestion[] =
    "1.是否开启修改文件名重复去错\r\n2.开启后重复名自动添加尾缀，未开启直接跳过修改";

class MatchPage : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = scene->root() + "海边照片";
    scene->AddFolder(folder);
    scene->AddFile(folder + "\\海边一.jpg", "第一张");
    scene->AddFile(folder + "\\海边二.jpg", "第二张");
    // A header, a rule that matches neither file, and one that matches both.
    rules = scene->root() + "规则.csv";
    scene->AddFile(rules, "匹配代码,插入内容\r\n山,Mountain\r\n海边,Beach\r\n");
  }
  HWND Files() const { return app.Handle("超级列表框1"); }

  void LoadRules() {
    ModalAnswerer answerer;
    answerer.Press(IDOK);
    answerer.Run([&] { DropFiles(app.Handle("超级列表框2"), {rules}, {20, 60}); });
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    ASSERT_EQ(ListRowCount(app.Handle("超级列表框2")), 2);
  }
  void LoadFolder() {
    DropFiles(app.Main(), {folder}, RealWindow::Centre(app.Rect("超级列表框1")));
    ASSERT_EQ(ListRowCount(Files()), 2);
    first = ListColumnTexts(Files(), 1);
  }
  // The one question of a rename with the way replace, answered as given.
  void RenameAnswering(int answer) {
    ModalAnswerer answerer;
    answerer.Press(answer);
    answerer.Run([&] { app.Click("按钮4"); });
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].caption, "信息：");
    EXPECT_EQ(answerer.Boxes()[0].text, kAvoidanceQuestion);
    EXPECT_TRUE(answerer.Boxes()[0].answered);
  }
  std::string ContentOf(const std::string& name) {
    return scene->Content(folder + "\\" + name).value_or("<missing>");
  }
  std::map<std::string, std::string> Disk() {
    std::map<std::string, std::string> files;
    for (const auto& entry : scene->Walk(folder + "\\")) files[entry.path] = entry.content;
    return files;
  }

  std::unique_ptr<Scene> scene = MakeScene();
  RealWindow app;
  std::string folder;
  std::string rules;
  Names first;  // "原名" of the rows, in the list's order
};

TEST_F(MatchPage, TwoFilesClaimingOneNameAndBackAgain) {
  LoadRules();
  LoadFolder();
  const auto before = Disk();
  // The contents by row, whichever order the folder gave.
  const Names contents = {ContentOf(first[0]), ContentOf(first[1])};

  EXPECT_TRUE(app.IsChecked("单选框3"));  // "文件名前" at start
  app.Click("单选框7");                   // "重命名"
  EXPECT_TRUE(app.IsChecked("单选框7"));
  EXPECT_FALSE(app.IsChecked("单选框3"));
  RenameAnswering(IDYES);

  // The second row's suffix is its row number.
  EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"Beach.jpg", "Beach_2.jpg"}));
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"成功", "成功_自动避错"}));
  EXPECT_EQ(ListColumnTexts(Files(), 1), first);
  EXPECT_EQ(app.Text("标签6"), "成功2个");
  EXPECT_EQ(app.Text("标签7"), "失败0个");
  EXPECT_EQ(Disk(), (std::map<std::string, std::string>{{"Beach.jpg", contents[0]},
                                                        {"Beach_2.jpg", contents[1]}}));
  EXPECT_EQ(ListColumnWidth(Files(), 0), 80);
  EXPECT_EQ(ListColumnWidth(Files(), 3),
            static_cast<int>(6 * std::string("成功_自动避错").size() + 12));

  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮5"); }), Names{});
  EXPECT_EQ(ListColumnTexts(Files(), 2), first);
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"完成", "完成"}));
  EXPECT_EQ(app.Text("标签6"), "成功2个");
  EXPECT_EQ(app.Text("标签7"), "失败0个");
  EXPECT_EQ(Disk(), before);
}

// Names that only a dot or a blank at the end tells from their twins: each
// row renames its own file or none, says which, and takes it back.
TEST_F(MatchPage, TwinsThatWindowsWouldTrimEachKeepToTheirOwnFile) {
  folder = scene->root() + "孪生";
  scene->AddFolder(folder);
  for (const char* name : {"IMG01.", "IMG01", "DSC02 ", "DSC02"}) {
    scene->AddFile(Exact(folder + "\\" + name), name);
  }
  const auto before = Disk();
  scene->AddFile(rules, "匹配代码,插入内容\r\n01.,甲\r\n02 ,乙\r\n");
  LoadRules();
  DropFiles(app.Main(), {folder}, RealWindow::Centre(app.Rect("超级列表框1")));
  ASSERT_EQ(ListRowCount(Files()), 4);
  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮4"); }), Names{});
  std::map<std::string, std::pair<std::string, std::string>> rows;
  for (int row = 0; row < 4; ++row) {
    rows[ListCell(Files(), row, 1)] = {ListCell(Files(), row, 2), ListCell(Files(), row, 3)};
  }
  EXPECT_EQ(rows, (decltype(rows){{"IMG01.", {"甲-IMG01", "成功"}},
                                  {"IMG01", {"IMG01", "失败！未找到代码"}},
                                  {"DSC02 ", {"乙-DSC02", "成功"}},
                                  {"DSC02", {"DSC02", "失败！未找到代码"}}}));
  EXPECT_EQ(
      Disk(),
      (std::map<std::string, std::string>{
          {"甲-IMG01", "IMG01."}, {"IMG01", "IMG01"}, {"乙-DSC02", "DSC02 "}, {"DSC02", "DSC02"}}));
  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮5"); }), Names{});
  EXPECT_EQ(Disk(), before);
}

TEST_F(MatchPage, AnsweredNoTheSecondFileFailsAndKeepsItsName) {
  LoadRules();
  LoadFolder();
  const auto before = Disk();
  app.Click("单选框7");
  RenameAnswering(IDNO);
  EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"Beach.jpg", first[1]}));
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"成功", "失败"}));
  EXPECT_EQ(app.Text("标签6"), "成功1个");
  EXPECT_EQ(app.Text("标签7"), "失败1个");
  EXPECT_EQ(ContentOf(first[1]), before.at(first[1]));
  EXPECT_EQ(ContentOf("Beach.jpg"), before.at(first[0]));

  // The failed row was never renamed: the restore leaves it alone, a failure.
  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮5"); }), Names{});
  EXPECT_EQ(ListColumnTexts(Files(), 2), first);
  EXPECT_EQ(app.Text("标签6"), "成功1个");
  EXPECT_EQ(Disk(), before);
}

TEST_F(MatchPage, WithoutRulesTheRenameSaysSoAndTouchesNothing) {
  LoadRules();
  LoadFolder();
  const auto before = Disk();
  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮7"); }), Names{});  // "清空匹配"
  EXPECT_EQ(ListRowCount(app.Handle("超级列表框2")), 0);

  ModalAnswerer answerer;
  answerer.Press(IDOK);
  answerer.Run([&] { app.Click("按钮4"); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  EXPECT_EQ(answerer.Boxes()[0].caption, "信息：");
  EXPECT_EQ(answerer.Boxes()[0].text, "无匹配规则！");
  EXPECT_EQ(ListColumnTexts(Files(), 2), first);
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"", ""}));
  EXPECT_EQ(app.Text("标签6"), "成功 个");
  EXPECT_EQ(app.Text("标签7"), "失败 个");
  EXPECT_EQ(Disk(), before);
}

// A rule file as Notepad now saves it, UTF-8 without a mark: its Chinese
// reaches the name on disk as GBK, not as mojibake.
TEST_F(MatchPage, AUtf8RuleFileRenamesWithItsChineseText) {
  const std::string camera = scene->root() + "相机";
  scene->AddFolder(camera);
  scene->AddFile(camera + "\\IMG01.jpg", "照片");
  const std::string utf8 = scene->root() + "规则-utf8.txt";
  scene->AddFile(utf8, u8"代码,内容\r\nIMG,海滩\r\n");
  ModalAnswerer answerer;
  answerer.Press(IDOK);
  answerer.Run([&] { DropFiles(app.Handle("超级列表框2"), {utf8}, {20, 60}); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);  // the header question, and no refusal
  EXPECT_EQ(ListCell(app.Handle("超级列表框2"), 0, 1), "海滩");

  DropFiles(app.Main(), {camera}, RealWindow::Centre(app.Rect("超级列表框1")));
  EXPECT_TRUE(app.IsChecked("单选框3"));  // "文件名前", separator "-"
  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮4"); }), Names{});
  EXPECT_EQ(ListColumnTexts(Files(), 2), Names{"海滩-IMG01.jpg"});
  EXPECT_EQ(ListColumnTexts(Files(), 3), Names{"成功"});
  EXPECT_EQ(scene->Content(camera + "\\海滩-IMG01.jpg"), "照片");
}

}  // namespace
}  // namespace renamora::testing
