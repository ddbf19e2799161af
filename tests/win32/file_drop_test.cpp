// Drops as the shell delivers them, onto the real window and real files: where
// each drop goes, the text it carries, the rows the File list then shows, and
// the two clear buttons.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <set>

#include "platform/file_system.h"
#include "platform/win32/file_system_seams.h"
#include "tests/support/scene.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

const std::string k5C = "\x95\x5C";  // a character whose trail byte is "\"

class FileDrop : public ::testing::Test {
 protected:
  HWND Files() const { return app.Handle("超级列表框1"); }
  POINT OnFileList() const { return RealWindow::Centre(app.Rect("超级列表框1")); }
  std::string LastDropTo(const std::string& object) const {
    const auto drops = app.DropEvents();
    return !drops.empty() && drops.back().control == object ? drops.back().text : "<none>";
  }
  // The rows as the real list view shows them: folder + current name, and
  // the other cells checked on the way.
  std::vector<std::string> ShownPaths() const {
    std::vector<std::string> paths;
    for (int row = 0; row < ListRowCount(Files()); ++row) {
      const std::string name = ListCell(Files(), row, 1);
      EXPECT_EQ(ListCell(Files(), row, 2), name) << row;
      EXPECT_EQ(ListCell(Files(), row, 3), "") << row;
      paths.push_back(ListCell(Files(), row, 0) + name);
    }
    return paths;
  }

  RealWindow app;
};

TEST_F(FileDrop, TheDroppedTextIsOnePathOrEveryPathFollowedByCrLf) {
  DropFiles(app.Main(), {"C:\\a\\b.txt"}, OnFileList());
  EXPECT_EQ(LastDropTo("拖放对象1"), "C:\\a\\b.txt");

  DropFiles(app.Main(), {"C:\\x\\3.txt", "C:\\x\\1.txt", "C:\\x\\2.txt"}, OnFileList());
  EXPECT_EQ(LastDropTo("拖放对象1"), "C:\\x\\3.txt\r\nC:\\x\\1.txt\r\nC:\\x\\2.txt\r\n");
  // Rows in the shell's order, whether or not the files exist.
  EXPECT_EQ(ShownPaths(),
            (std::vector<std::string>{"C:\\x\\3.txt", "C:\\x\\1.txt", "C:\\x\\2.txt"}));
  EXPECT_EQ(app.Text("标签4"), "载入3个文件");

  // Paths are passed whole, however long, and shown whole.
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += "长";
  longName += ".txt";
  const std::string longPath = "C:\\深\\" + longName;
  DropFiles(app.Main(), {longPath, "C:\\b.txt"}, OnFileList());
  EXPECT_EQ(LastDropTo("拖放对象1"), longPath + "\r\nC:\\b.txt\r\n");
  ASSERT_EQ(ListRowCount(Files()), 2);
  EXPECT_EQ(ListCell(Files(), 0, 1), longName);
}

TEST_F(FileDrop, TheRuleListAndEverythingLyingOverItTakeTheirOwnDrops) {
  const std::vector<std::string> one = {"C:\\rules\\规则.csv"};
  // The rule loading answers a drop with its boxes (there is no such file):
  // let them close as unplanned, and count the drops.
  auto drop = [&](HWND window, POINT point) {
    ModalAnswerer answerer;
    answerer.Run([&] { DropFiles(window, one, point); });
  };
  // Straight onto the Rule list's own window.
  drop(app.Handle("超级列表框2"), {20, 60});
  EXPECT_EQ(LastDropTo("拖放对象2"), one[0]);
  // Onto the main window at the hint 透明标签2, which has no window: the drop
  // is over the Rule list.
  const layout::Control& hint = *layout::Find("透明标签2");
  const layout::Point at = layout::PositionInMainWindow(hint);
  drop(app.Main(), {at.x + hint.width / 2, at.y + hint.height / 2});
  EXPECT_EQ(LastDropTo("拖放对象2"), one[0]);
  // Onto 按钮11 where it covers the list's corner: the shell hands it to the
  // main window, which finds the Rule list under the point.
  RECT button = app.Rect("按钮11");
  RECT list = app.Rect("超级列表框2");
  RECT corner;
  ASSERT_TRUE(::IntersectRect(&corner, &button, &list));
  drop(app.Main(), RealWindow::Centre(corner));
  EXPECT_EQ(LastDropTo("拖放对象2"), one[0]);
  // Nothing of it reached the File list.
  for (const auto& event : app.DropEvents()) EXPECT_EQ(event.control, "拖放对象2");
  EXPECT_EQ(ListRowCount(Files()), 0);
  EXPECT_EQ(app.Text("标签4"), "未加载文件");
  EXPECT_TRUE(app.window.hint("透明标签1").Visible());
}

TEST_F(FileDrop, EveryOtherPlaceOnTheWindowLoadsFiles) {
  const std::vector<std::string> one = {"C:\\f.txt"};
  const std::vector<POINT> elsewhere = {
      OnFileList(),
      RealWindow::Centre(app.Rect("分组框3")),
      RealWindow::Centre(app.Rect("按钮4")),
      {app.Rect("超级列表框2").right + 2, app.Rect("超级列表框2").top + 10},  // tab body
      {app.Rect("选择夹1").left + 30, app.Rect("选择夹1").top + 5},           // a tab
      {2, 2},                                                                 // the bare window
  };
  for (const POINT& point : elsewhere) {
    const std::size_t before = app.DropEvents().size();
    DropFiles(app.Main(), one, point);
    ASSERT_EQ(app.DropEvents().size(), before + 1);
    EXPECT_EQ(app.DropEvents().back().control, "拖放对象1") << point.x << "," << point.y;
  }
  // The Rule list's place on a page that does not show it is the File list's.
  app.window.ShowPage(1);
  DropFiles(app.Main(), one, RealWindow::Centre(app.Rect("超级列表框2")));
  EXPECT_EQ(app.DropEvents().back().control, "拖放对象1");
}

// The same walk where the listing's fast form is refused, as on Vista: the
// listing falls back to the standard form and lists the same.
class FileDropListing : public FileDrop, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override { win32::seams::RefuseFastListing(GetParam()); }
  void TearDown() override { win32::seams::RefuseFastListing(false); }
};
INSTANTIATE_TEST_SUITE_P(FastAndVista, FileDropListing, ::testing::Bool());

TEST_P(FileDropListing, AFolderTreeWithChineseNamesLoadsDepthFirstIntoTheRealList) {
  auto scene = MakeScene();
  const std::string top = scene->root() + "照片";
  scene->AddFolder(top);
  scene->AddFile(top + "\\甲.txt");
  scene->AddFolder(top + "\\子目录");
  scene->AddFile(top + "\\子目录\\乙 两个字.jpg");
  scene->AddFolder(top + "\\子目录\\" + k5C + "深");
  scene->AddFile(top + "\\子目录\\" + k5C + "深\\" + k5C + ".txt");
  scene->AddFile(top + "\\隐藏.txt", "", attr::kHidden | attr::kArchive);
  scene->AddFolder(top + "\\空");
  // Hidden and system folders and a link (to 照片) are left out; read-only is walked.
  for (std::uint32_t odd : {attr::kSystem, attr::kHidden, attr::kReparsePoint}) {
    scene->AddFolder(top + "\\不见" + std::to_string(odd), attr::kDirectory | odd);
    if (odd != attr::kReparsePoint)
      scene->AddFile(top + "\\不见" + std::to_string(odd) + "\\不见.txt");
  }
  scene->AddFolder(top + "\\只读", attr::kDirectory | attr::kReadOnly);
  scene->AddFile(top + "\\只读\\读.txt");
  const std::string single = scene->root() + "单个.txt";
  scene->AddFile(single);

  // 甲.txt is met twice, and listed once.
  DropFiles(app.Main(), {top, top + "\\甲.txt", single}, OnFileList());

  const std::vector<std::string> shown = ShownPaths();
  const std::set<std::string> expected = {
      top + "\\甲.txt",
      top + "\\子目录\\乙 两个字.jpg",
      top + "\\子目录\\" + k5C + "深\\" + k5C + ".txt",
      top + "\\隐藏.txt",
      top + "\\只读\\读.txt",
      single,
  };
  EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()), expected);
  ASSERT_EQ(shown.size(), expected.size());
  EXPECT_EQ(shown.back(), single);  // the second dropped item comes after the whole folder
  // Depth first: everything under 子目录 (its file, and its subfolder's file)
  // comes together, whatever order the file system lists them in.
  const auto index = [&](const std::string& p) {
    return std::find(shown.begin(), shown.end(), p) - shown.begin();
  };
  EXPECT_EQ(std::abs(index(top + "\\子目录\\乙 两个字.jpg") -
                     index(top + "\\子目录\\" + k5C + "深\\" + k5C + ".txt")),
            1);
  // Split at real backslashes only.
  const int deep = static_cast<int>(index(top + "\\子目录\\" + k5C + "深\\" + k5C + ".txt"));
  EXPECT_EQ(ListCell(Files(), deep, 0), top + "\\子目录\\" + k5C + "深\\");
  EXPECT_EQ(ListCell(Files(), deep, 1), k5C + ".txt");

  EXPECT_EQ(app.Text("标签4"), "载入6个文件");
  EXPECT_FALSE(app.window.hint("透明标签1").Visible());
  EXPECT_EQ(ListColumnWidth(Files(), 0), 80);
  EXPECT_EQ(ListColumnWidth(Files(), 1), 80);
  std::size_t longest = std::string("现文件名").size();
  for (int row = 0; row < ListRowCount(Files()); ++row) {
    longest = std::max(longest, ListCell(Files(), row, 2).size());
  }
  EXPECT_EQ(ListColumnWidth(Files(), 2), static_cast<int>(6 * longest + 12));
  EXPECT_EQ(ListColumnWidth(Files(), 3), 36);
  EXPECT_EQ(ListRowCount(app.Handle("超级列表框2")), 0);  // the Rule list is untouched
}

TEST_F(FileDrop, TheClearButtonsEmptyTheListAndOneResetsTheCounters) {
  auto scene = MakeScene();
  scene->AddFile(scene->root() + "一.txt");
  scene->AddFile(scene->root() + "二.txt");
  const std::vector<std::string> both = {scene->root() + "一.txt", scene->root() + "二.txt"};
  ::SetWindowTextA(app.Handle("标签6"), "成功2个");
  ::SetWindowTextA(app.Handle("标签7"), "失败1个");

  DropFiles(app.Main(), both, OnFileList());
  ASSERT_EQ(ListRowCount(Files()), 2);
  app.window.ShowPage(1);
  ::SendMessageA(app.Handle("按钮3"), BM_CLICK, 0, 0);  // "清空", as a user clicks it
  EXPECT_EQ(ListRowCount(Files()), 0);
  EXPECT_EQ(app.Text("标签4"), "未载入文件");
  EXPECT_TRUE(app.window.hint("透明标签1").Visible());
  EXPECT_EQ(app.Text("标签6"), "成功2个");
  EXPECT_EQ(app.Text("标签7"), "失败1个");
  EXPECT_EQ(ListColumnWidth(Files(), 0), 80);  // widths stay as they were

  DropFiles(app.Main(), both, OnFileList());
  ASSERT_EQ(ListRowCount(Files()), 2);
  EXPECT_FALSE(app.window.hint("透明标签1").Visible());
  // "清空文件" on a page that does not show, as its notification arrives.
  HWND button6 = app.Handle("按钮6");
  ::SendMessageA(::GetParent(button6), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button6), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button6));
  EXPECT_EQ(ListRowCount(Files()), 0);
  EXPECT_EQ(app.Text("标签4"), "未载入文件");
  EXPECT_TRUE(app.window.hint("透明标签1").Visible());
  EXPECT_EQ(app.Text("标签6"), "成功 个");
  EXPECT_EQ(app.Text("标签7"), "失败 个");
  EXPECT_TRUE(scene->Exists(both[0]));  // no file on disk is touched
  EXPECT_TRUE(scene->Exists(both[1]));
}

TEST_F(FileDrop, ASecondDropReplacesTheRowsAndAnEmptyFolderLeavesNone) {
  auto scene = MakeScene();
  scene->AddFile(scene->root() + "a.txt");
  scene->AddFolder(scene->root() + "空");
  DropFiles(app.Main(), {scene->root() + "a.txt"}, OnFileList());
  ASSERT_EQ(ListRowCount(Files()), 1);
  DropFiles(app.Main(), {scene->root() + "空"}, OnFileList());
  EXPECT_EQ(ListRowCount(Files()), 0);
  EXPECT_EQ(app.Text("标签4"), "载入0个文件");
  EXPECT_FALSE(app.window.hint("透明标签1").Visible());
}

TEST_F(FileDrop, AColumnTheUserWidenedStaysSoUntilTheNextFitPutsTheFittedWidthBack) {
  auto scene = MakeScene();
  scene->AddFile(scene->root() + "长一些的名字.txt");
  const std::vector<std::string> one = {scene->root() + "长一些的名字.txt"};
  DropFiles(app.Main(), one, OnFileList());
  const int fitted = ListColumnWidth(Files(), 2);
  // The user drags the column wider; a command that fits nothing leaves it.
  ::SendMessageA(Files(), LVM_SETCOLUMNWIDTH, 2, fitted + 100);
  app.window.ShowPage(1);
  ::SendMessageA(app.Handle("按钮3"), BM_CLICK, 0, 0);
  EXPECT_EQ(ListColumnWidth(Files(), 2), fitted + 100);
  // The next load fits the columns again. The fit comes to the width the
  // column had before, yet the column shows it: what the list holds, not
  // what it was last told, decides whether a width is set.
  DropFiles(app.Main(), one, OnFileList());
  EXPECT_EQ(ListColumnWidth(Files(), 2), fitted);
  EXPECT_EQ(ListColumnWidth(Files(), 0), 80);
}

TEST_F(FileDrop, AHundredThousandRowsShowAndScrollFromTheModel) {
  FileList& rows = app.window.fileList();
  rows.Rows().Reserve(100000, 0);
  for (int i = 0; i < 100000; ++i) {
    rows.Add("D:\\大\\", "文件" + std::to_string(i) + ".txt");
    rows.SetCurrentName(i, "新" + std::to_string(i));
  }
  app.window.UpdateLists();
  ASSERT_EQ(ListRowCount(Files()), 100000);
  ::SendMessageA(Files(), LVM_ENSUREVISIBLE, 99999, FALSE);
  ::UpdateWindow(Files());
  EXPECT_EQ(ListCell(Files(), 99999, 1), "文件99999.txt");
  EXPECT_EQ(ListCell(Files(), 99999, 2), "新99999");
  EXPECT_GE(::SendMessageA(Files(), LVM_GETTOPINDEX, 0, 0), 99000);

  // While a command is still at work (a message box it shows lets the list
  // paint), the list may count rows the model no longer has: they show
  // empty rather than reading past the rows.
  rows.DeleteAllRows();
  EXPECT_EQ(ListRowCount(Files()), 100000);
  EXPECT_EQ(ListCell(Files(), 99999, 1), "");
  ::InvalidateRect(Files(), nullptr, TRUE);
  ::UpdateWindow(Files());
  app.window.UpdateLists();
  EXPECT_EQ(ListRowCount(Files()), 0);
}

}  // namespace
}  // namespace renamora::testing
