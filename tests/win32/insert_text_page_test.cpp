// The page "常规改名" through the real window on real files: a folder dropped
// on the window, the text, separator and position set in the real controls
// as a user sets them, 按钮1 and 按钮2 clicked, and then what the disk holds
// and what the real list view shows.
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

const std::string k5C = "\x95\x5C";  // a character whose trail byte is "\"

using Names = std::vector<std::string>;

class InsertTextPage : public ::testing::Test {
 protected:
  HWND Files() const { return app.Handle("超级列表框1"); }
  void Drop(const Names& paths) {
    DropFiles(app.Main(), paths, RealWindow::Centre(app.Rect("超级列表框1")));
  }
  // Neither command shows a box.
  void Click(const std::string& button) {
    EXPECT_EQ(BoxesShownBy([&] { app.Click(button); }), Names{}) << button;
  }
  // The rows as the real list view shows them, by "原名" (a folder's files
  // come in whatever order the file system lists them).
  struct Shown {
    std::string folder;
    std::string current;
    std::string status;
  };
  std::map<std::string, Shown> ShownByFirstName() const {
    std::map<std::string, Shown> rows;
    for (int row = 0; row < ListRowCount(Files()); ++row) {
      rows[ListCell(Files(), row, 1)] = {ListCell(Files(), row, 0), ListCell(Files(), row, 2),
                                         ListCell(Files(), row, 3)};
    }
    return rows;
  }
  // Every file and folder under the scene's folder, sorted, with contents.
  std::vector<std::pair<std::string, std::string>> Disk() const {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : scene->Walk(scene->root())) {
      entries.emplace_back(entry.path, entry.folder ? "<folder>" : entry.content);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }
  // The widths the refit gives: 80 and 80 for the first two columns, the
  // other two fitted to their title and their widest cell.
  void ExpectRefitted() const {
    EXPECT_EQ(ListColumnWidth(Files(), 0), 80);
    EXPECT_EQ(ListColumnWidth(Files(), 1), 80);
    for (int column : {2, 3}) {
      std::size_t widest = ListColumnTitle(Files(), column).size();
      for (const std::string& cell : ListColumnTexts(Files(), column)) {
        widest = std::max(widest, cell.size());
      }
      EXPECT_EQ(ListColumnWidth(Files(), column), static_cast<int>(6 * widest + 12)) << column;
    }
  }

  std::unique_ptr<Scene> scene = MakeScene();
  RealWindow app;
};

TEST_F(InsertTextPage, AFolderOfChineseNamesIsRenamedOnDiskAndBack) {
  const std::string top = scene->root() + "照片";
  scene->AddFolder(top);
  const std::map<std::string, std::string> files = {
      {"甲.txt", "甲的内容"}, {"乙 两个字.jpg", std::string("\xFF\xD8\0jpg", 6)},
      {k5C + ".txt", "5C"},   {"README", "没有点"},
      {".profile", "点文件"}, {"子目录\\丙.doc", "深一层"},
  };
  scene->AddFolder(top + "\\子目录");
  for (const auto& [name, content] : files) scene->AddFile(top + "\\" + name, content);
  const auto before = Disk();

  Drop({top});
  ASSERT_EQ(ListRowCount(Files()), 6);

  // A text with a trail byte "\" of its own, a separator of the user's, and
  // the position after the name.
  const std::string t = "新" + k5C;
  app.Type("编辑框1", t);
  app.Type("组合框1", "_");
  app.Click("单选框2");
  EXPECT_TRUE(app.IsChecked("单选框2"));
  EXPECT_FALSE(app.IsChecked("单选框1"));
  Click("按钮1");

  const std::map<std::string, std::string> renamed = {
      {"甲.txt", "甲_" + t + ".txt"},         {"乙 两个字.jpg", "乙 两个字_" + t + ".jpg"},
      {k5C + ".txt", k5C + "_" + t + ".txt"}, {"README", "_" + t + "README"},
      {".profile", "_" + t + ".profile"},     {"丙.doc", "丙_" + t + ".doc"},
  };
  auto shown = ShownByFirstName();
  ASSERT_EQ(shown.size(), renamed.size());
  for (const auto& [first, now] : renamed) {
    SCOPED_TRACE(first);
    ASSERT_EQ(shown.count(first), 1u);
    EXPECT_EQ(shown[first].current, now);
    EXPECT_EQ(shown[first].status, "完成");
    const std::string folder = shown[first].folder;
    EXPECT_FALSE(scene->Exists(folder + first));
    const std::string relative = first == "丙.doc" ? "子目录\\" + first : first;
    EXPECT_EQ(scene->Content(folder + now), files.at(relative));
  }
  EXPECT_EQ(shown["丙.doc"].folder, top + "\\子目录\\");
  ExpectRefitted();

  Click("按钮2");
  shown = ShownByFirstName();
  for (const auto& [first, row] : shown) {
    EXPECT_EQ(row.current, first);
    EXPECT_EQ(row.status, "完成") << first;
  }
  EXPECT_EQ(Disk(), before);
  ExpectRefitted();
}

// Ten levels of Chinese folder names pass MAX_PATH: the file there is
// listed with the rest, renamed and brought back like any other.
TEST_F(InsertTextPage, AFilePastMaxPathIsListedRenamedAndBroughtBack) {
  const std::string top = scene->root() + "档案";
  std::string deep = top;
  scene->AddFolder(top);
  for (int i = 0; i < 10; ++i) scene->AddFolder(Exact(deep += "\\照片档案" + std::string(22, 'd')));
  scene->AddFile(Exact(deep + "\\深.jpg"), "深");
  scene->AddFile(top + "\\浅.jpg", "浅");
  const auto before = Disk();
  Drop({top});
  app.Type("编辑框1", "新");
  Click("按钮1");
  auto shown = ShownByFirstName();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown["深.jpg"].status, "完成");
  EXPECT_EQ(scene->Content(Exact(deep + "\\" + shown["深.jpg"].current)), "深");
  Click("按钮2");
  EXPECT_EQ(Disk(), before);
}

// The row keeps the name its file has: a failed rename leaves "现文件名" as
// it was, a later restore finds the file, and so does a later rename.
TEST_F(InsertTextPage, ARowWhoseTargetIsTakenFailsAndLeavesTheFileAndItsNameAlone) {
  const std::string folder = scene->root() + "文件夹\\";
  scene->AddFolder(folder);
  scene->AddFile(folder + "冲突.txt", "冲突的内容");
  scene->AddFile(folder + "乙.txt", "乙的内容");
  scene->AddFile(folder + "新-冲突.txt", "挡路");  // not in the list
  Drop({folder + "冲突.txt", folder + "乙.txt"});

  // The separator "-" and the position before, as the page starts.
  EXPECT_EQ(app.Text("组合框1"), "-");
  EXPECT_TRUE(app.IsChecked("单选框1"));
  app.Type("编辑框1", "新");
  Click("按钮1");
  EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"冲突.txt", "新-乙.txt"}));
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"失败", "完成"}));
  EXPECT_EQ(scene->Content(folder + "冲突.txt"), "冲突的内容");
  EXPECT_EQ(scene->Content(folder + "新-冲突.txt"), "挡路");
  EXPECT_EQ(scene->Content(folder + "新-乙.txt"), "乙的内容");

  // The failed row was never renamed: the restore leaves it alone.
  Click("按钮2");
  EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"冲突.txt", "乙.txt"}));
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"失败", "完成"}));
  EXPECT_EQ(scene->Content(folder + "冲突.txt"), "冲突的内容");
  EXPECT_EQ(scene->Content(folder + "乙.txt"), "乙的内容");
  EXPECT_EQ(scene->Content(folder + "新-冲突.txt"), "挡路");

  // Once the way is free, the same row renames and comes back.
  scene->Remove(folder + "新-冲突.txt");
  Click("按钮1");
  EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"新-冲突.txt", "新-乙.txt"}));
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"完成", "完成"}));
  EXPECT_EQ(scene->Content(folder + "新-冲突.txt"), "冲突的内容");
  Click("按钮2");
  EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"冲突.txt", "乙.txt"}));
  EXPECT_EQ(scene->Content(folder + "冲突.txt"), "冲突的内容");
  EXPECT_EQ(scene->Content(folder + "乙.txt"), "乙的内容");
}

TEST_F(InsertTextPage, ATextThatNamesAnotherFolderMovesNothing) {
  const std::string folder = scene->root() + "里\\";
  scene->AddFolder(folder);
  scene->AddFile(folder + "a.txt", "a");
  scene->AddFile(folder + "b.txt", "b");
  const auto before = Disk();
  Drop({folder + "a.txt", folder + "b.txt"});

  for (const char* t : {"..\\", "外\\", "..\\..\\"}) {
    SCOPED_TRACE(t);
    app.Type("编辑框1", t);
    Click("按钮1");
    EXPECT_EQ(ListColumnTexts(Files(), 2), (Names{"a.txt", "b.txt"}));
    EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"失败", "失败"}));
    EXPECT_EQ(Disk(), before);
  }
  // Typed as it is: "ö" has no GBK code, and its look-alike "o" must not
  // land in a name. One box names the character; no row is touched.
  ::SetWindowTextW(app.Handle("编辑框1"), L"2024ö");
  std::wstring text(64, L'\0');
  ModalAnswerer answerer;
  answerer.Press(IDOK).OnEachBox([&](HWND box) {
    text.resize(static_cast<std::size_t>(::GetDlgItemTextW(box, 0xFFFF, text.data(), 64)));
  });
  answerer.Run([&] { app.Click("按钮1"); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  EXPECT_EQ(answerer.Boxes()[0].caption, "信息：");
  EXPECT_EQ(text, L"要加入的文本含有无法使用的字符：\u00F6");
  EXPECT_EQ(ListColumnTexts(Files(), 3), (Names{"失败", "失败"}));
  EXPECT_EQ(Disk(), before);
}

}  // namespace
}  // namespace renamora::testing
