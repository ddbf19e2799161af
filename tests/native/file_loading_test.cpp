#include "filelist/file_loading.h"

#include <gtest/gtest.h>

#include "platform/name_parts.h"
#include "tests/support/memory_app.h"
#include "tests/support/shown_rows.h"

namespace renamora::testing {
namespace {

const std::string k5C = "\x95\x5C";  // a character whose trail byte is "\"

class FileLoading : public ::testing::Test {
 protected:
  std::vector<std::string> Paths() {
    std::vector<std::string> paths;
    for (const ShownRow& r : ShownRows(app.files())) paths.push_back(r.folder + r.currentName);
    return paths;
  }
  MemoryApp app;
};

TEST_F(FileLoading, StartsEmptyWithHintsAndTitleWidths) {
  EXPECT_EQ(app.files().RowCount(), 0u);
  EXPECT_TRUE(app.window.hint("透明标签1").Visible());
  EXPECT_TRUE(app.window.hint("透明标签2").Visible());
  EXPECT_EQ(app.Caption("标签4"), "未加载文件");
  const int fileWidths[] = {60, 36, 60, 36};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(app.files().ColumnWidth(c), fileWidths[c]) << c;
  EXPECT_EQ(app.rules().ColumnWidth(0), 60);
  EXPECT_EQ(app.rules().ColumnWidth(1), 60);
  // Both drop objects are bound, each to its own window.
  EXPECT_EQ(app.window.dropObject("拖放对象1").BoundTo(), app.ctx.ui.mainWindow);
  EXPECT_EQ(app.window.dropObject("拖放对象2").BoundTo(), app.ctx.ui.ruleListWindow);
  EXPECT_TRUE(app.window.dropObject("拖放对象1").Accepting());
  EXPECT_TRUE(app.window.dropObject("拖放对象2").Accepting());
}

TEST_F(FileLoading, OneDroppedFileGivesOneRow) {
  app.fs.AddFile("D:\\a\\b.txt");
  app.DropOnWindow("D:\\a\\b.txt");
  ASSERT_EQ(app.files().RowCount(), 1u);
  EXPECT_EQ(ShownRows(app.files())[0], (ShownRow{"D:\\a\\", "b.txt", "b.txt", Status::kNone}));
  EXPECT_EQ(app.Caption("标签4"), "载入1个文件");
  EXPECT_FALSE(app.window.hint("透明标签1").Visible());
}

TEST_F(FileLoading, SeveralDroppedItemsKeepTheShellsOrderAndListAFileOnce) {
  for (const char* p : {"D:\\x\\3.txt", "D:\\x\\1.txt", "D:\\x\\2.txt"}) app.fs.AddFile(p);
  app.DropOnWindow(
      MemoryApp::DropText({"D:\\x\\3.txt", "D:\\x\\1.txt", "D:\\x\\2.txt", "D:\\x\\1.txt"}));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"D:\\x\\3.txt", "D:\\x\\1.txt", "D:\\x\\2.txt"}));
  EXPECT_EQ(app.Caption("标签4"), "载入3个文件");
}

TEST_F(FileLoading, AFolderIsWalkedDepthFirstInListingOrder) {
  app.fs.AddFile("D:\\top\\a.txt");
  app.fs.AddFolder("D:\\top\\sub");
  app.fs.AddFile("D:\\top\\sub\\deep.txt");
  app.fs.AddFolder("D:\\top\\sub\\subsub");
  app.fs.AddFile("D:\\top\\sub\\subsub\\deeper.txt");
  app.fs.AddFile("D:\\top\\z.txt");
  app.DropOnWindow("D:\\top");
  EXPECT_EQ(Paths(),
            (std::vector<std::string>{"D:\\top\\a.txt", "D:\\top\\sub\\deep.txt",
                                      "D:\\top\\sub\\subsub\\deeper.txt", "D:\\top\\z.txt"}));
}

TEST_F(FileLoading, AFolderIsNeverARowAndEveryFileIsListedOnce) {
  using namespace attr;
  // The dropped t is walked whatever it carries; inside it, hidden and system
  // folders and links are neither walked nor listed; every file is listed.
  for (const auto& [folder, attributes] :
       std::vector<std::pair<std::string, std::uint32_t>>{{"t", kReadOnly},
                                                          {"t\\ro", kReadOnly},
                                                          {"t\\arch", kArchive},
                                                          {"t\\hid", kHidden},
                                                          {"t\\sys", kSystem},
                                                          {"t\\link", kReparsePoint},
                                                          {"h", kHidden | kSystem}}) {
    app.fs.AddFolder("D:\\" + folder, kDirectory | attributes);
    app.fs.AddFile("D:\\" + folder + "\\in-" + folder.substr(folder.size() - 1) + ".txt");
  }
  app.fs.AddFile("D:\\t\\normal.txt", "", 0);
  app.fs.AddFile("D:\\t\\hidden.txt", "", kHidden | kSystem);
  app.fs.AddFile("D:\\t\\\x81\x41");
  // Files met again are left out, letters compared without case but not a
  // trail byte: 81 61 is not 81 41, and is listed although it cannot be read.
  app.DropOnWindow(MemoryApp::DropText({"D:\\t", "d:\\T\\NORMAL.TXT", "D:\\h\\", "D:\\t\\ro",
                                        "D:\\t\\\x81\x61", "D:\\t\\\x81\x41"}));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"D:\\t\\in-t.txt", "D:\\t\\ro\\in-o.txt",
                                               "D:\\t\\arch\\in-h.txt", "D:\\t\\normal.txt",
                                               "D:\\t\\hidden.txt", "D:\\t\\\x81\x41",
                                               "D:\\h\\in-h.txt", "D:\\t\\\x81\x61"}));
}

// A hidden folder is left out on purpose and never opened; a folder that
// refuses to open is told, with the first of them named.
TEST_F(FileLoading, FoldersThatCannotBeOpenedAreToldInOneBox) {
  app.fs.AddFile("D:\\locked\\a.txt");
  app.fs.SetUnreadable("D:\\locked", true);
  app.fs.AddFile("D:\\t\\in\\b.txt");
  app.fs.SetUnreadable("D:\\t\\in", true);
  app.fs.AddFolder("D:\\t\\hid", attr::kDirectory | attr::kHidden);
  app.fs.SetUnreadable("D:\\t\\hid", true);
  app.fs.AddFile("D:\\t\\c.txt");
  app.fs.AddFolder("D:\\empty");
  app.DropOnWindow(MemoryApp::DropText({"D:\\locked", "D:\\missing.txt", "D:\\empty", "D:\\t"}));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"D:\\missing.txt", "D:\\t\\c.txt"}));
  EXPECT_EQ(app.Caption("标签4"), "载入2个文件");
  ASSERT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(app.messages.Last().text, "有2个文件夹无法读取，其中的文件未载入：D:\\locked");
  EXPECT_EQ(app.messages.Last().caption, "信息：");
  app.DropOnWindow(MemoryApp::DropText({"D:\\t\\c.txt", "D:\\empty"}));
  EXPECT_EQ(app.messages.Count(), 1u);
}

TEST_F(FileLoading, AnEmptyFolderStillReplacesTheListAndHidesTheHint) {
  app.fs.AddFile("D:\\a.txt");
  app.DropOnWindow("D:\\a.txt");
  app.files().SetStatus(0, Status::kDone);
  app.fs.AddFolder("D:\\empty");
  app.DropOnWindow("D:\\empty");
  EXPECT_EQ(app.files().RowCount(), 0u);
  EXPECT_EQ(app.Caption("标签4"), "载入0个文件");
  EXPECT_FALSE(app.window.hint("透明标签1").Visible());
}

TEST_F(FileLoading, EachDropReplacesEveryCellOfTheRowsBefore) {
  // Rows of a drop are written over those of the drop before, so nothing of
  // those may show through: not a status, not a renamed name, not a longer
  // folder; and neither fewer nor more rows may remain.
  for (const char* name : {"一号长长的文件名.txt", "2.txt", "3.txt"}) {
    app.fs.AddFile(std::string("D:\\很长的文件夹名字\\子文件夹\\") + name);
  }
  app.fs.AddFile("D:\\s\\x");
  app.fs.AddFile("D:\\s\\y.txt");
  app.DropOnWindow("D:\\很长的文件夹名字");
  app.files().SetCurrentName(0, "改过的名字.txt");
  app.files().SetStatus(0, Status::kNoCode);
  app.files().SetStatus(1, Status::kSucceeded);
  app.DropOnWindow("D:\\s");
  ASSERT_EQ(app.files().RowCount(), 2u);
  const std::vector<std::vector<std::string>> expected = {{"D:\\s\\", "x", "x", ""},
                                                          {"D:\\s\\", "y.txt", "y.txt", ""}};
  for (std::size_t r = 0; r < 2; ++r) {
    for (std::size_t c = 0; c < app.files().ColumnCount(); ++c) {
      EXPECT_EQ(app.files().CellText(r, c), expected[r][c]) << r << "," << c;
    }
  }
  EXPECT_EQ(app.files().ColumnWidth(2), 6 * 8 + 12);  // the title "现文件名" is the widest
  app.DropOnWindow(MemoryApp::DropText({"D:\\很长的文件夹名字", "D:\\s\\x"}));
  ASSERT_EQ(app.files().RowCount(), 4u);
  EXPECT_EQ(app.files().CurrentName(0), "一号长长的文件名.txt");
  EXPECT_EQ(app.files().StatusOf(0), Status::kNone);
  EXPECT_EQ(Paths().back(), "D:\\s\\x");
  EXPECT_EQ(app.Caption("标签4"), "载入4个文件");
}

TEST_F(FileLoading, ADriveRootGetsNoDoubledBackslash) {
  app.fs.AddFolder("E:\\");
  app.fs.AddFile("E:\\r.txt");
  app.fs.AddFile("E:\\d\\s.txt");
  app.DropOnWindow("E:\\");
  EXPECT_EQ(Paths(), (std::vector<std::string>{"E:\\r.txt", "E:\\d\\s.txt"}));
}

TEST_F(FileLoading, APathEndingInABackslashTreatedAsAFileHasEmptyNames) {
  app.DropOnWindow("D:\\missing\\");
  ASSERT_EQ(app.files().RowCount(), 1u);
  EXPECT_EQ(app.files().Folder(0), "D:\\missing\\");
  EXPECT_EQ(app.files().OriginalName(0), "");
  EXPECT_EQ(app.files().CurrentName(0), "");
}

TEST_F(FileLoading, SplitsAtRealBackslashesOnly) {
  EXPECT_EQ(SplitAtLastBackslash("D:\\a\\b.txt").folder, "D:\\a\\");
  EXPECT_EQ(SplitAtLastBackslash("D:\\a\\b.txt").name, "b.txt");
  EXPECT_EQ(SplitAtLastBackslash("D:\\a\\.hidden").name, ".hidden");
  EXPECT_EQ(SplitAtLastBackslash("b.txt").folder, "");
  EXPECT_EQ(SplitAtLastBackslash("b.txt").name, "b.txt");
  const std::string path = "D:\\" + k5C + "\\x" + k5C + "y.txt";
  EXPECT_EQ(SplitAtLastBackslash(path).folder, "D:\\" + k5C + "\\");
  EXPECT_EQ(SplitAtLastBackslash(path).name, "x" + k5C + "y.txt");

  app.fs.AddFile(path);
  app.DropOnWindow("D:\\" + k5C);
  ASSERT_EQ(app.files().RowCount(), 1u);
  EXPECT_EQ(app.files().CurrentName(0), "x" + k5C + "y.txt");
}

TEST_F(FileLoading, ColumnsAfterALoad) {
  app.fs.AddFile("D:\\folder-with-a-long-name\\IMG_001.jpg");
  app.DropOnWindow("D:\\folder-with-a-long-name\\IMG_001.jpg");
  EXPECT_EQ(app.files().ColumnWidth(0), 80);
  EXPECT_EQ(app.files().ColumnWidth(1), 80);
  EXPECT_EQ(app.files().ColumnWidth(2), 6 * 11 + 12);  // 'IMG_001.jpg'
  EXPECT_EQ(app.files().ColumnWidth(3), 36);           // the title "状态"
}

TEST_F(FileLoading, TheTwoClearCommandsDifferInTheCounters) {
  app.fs.AddFile("D:\\a.txt");
  app.DropOnWindow("D:\\a.txt");
  app.window.label("标签6").SetCaption("成功3个");
  app.window.label("标签7").SetCaption("失败2个");
  const int widthBefore = app.files().ColumnWidth(2);

  app.Click("按钮3");
  EXPECT_EQ(app.files().RowCount(), 0u);
  EXPECT_EQ(app.Caption("标签4"), "未载入文件");
  EXPECT_TRUE(app.window.hint("透明标签1").Visible());
  EXPECT_EQ(app.Caption("标签6"), "成功3个");
  EXPECT_EQ(app.Caption("标签7"), "失败2个");
  EXPECT_EQ(app.files().ColumnWidth(2), widthBefore);

  app.DropOnWindow("D:\\a.txt");
  const int redraws = app.window.hint("透明标签1").Redraws();
  app.Click("按钮6");
  EXPECT_EQ(app.files().RowCount(), 0u);
  EXPECT_EQ(app.Caption("标签4"), "未载入文件");
  EXPECT_TRUE(app.window.hint("透明标签1").Visible());
  EXPECT_GT(app.window.hint("透明标签1").Redraws(), redraws);
  EXPECT_EQ(app.Caption("标签6"), "成功 个");
  EXPECT_EQ(app.Caption("标签7"), "失败 个");
  EXPECT_TRUE(app.fs.Exists("D:\\a.txt"));
}

// A file system whose folders nest deeper than any stack could recurse:
// each folder holds one plain subfolder "d", down to a file at the bottom.
class EndlessFolders final : public FileSystem {
 public:
  explicit EndlessFolders(std::size_t depth) : depth_(depth) {}
  OpResult RenameFile(const std::string&, const std::string&) override {
    return OpResult::Failure(error::kAccessDenied);
  }
  std::optional<std::uint32_t> Attributes(const std::string& path) override {
    return Level(path) <= depth_ + 1 ? attr::kDirectory : attr::kArchive;
  }
  std::unique_ptr<FolderEnumeration> EnumerateFolder(const std::string& pattern) override {
    struct One final : FolderEnumeration {
      explicit One(bool atBottom) : bottom(atBottom) {}
      bool Next(FolderEntry& entry) override {
        if (done) return false;
        done = true;
        entry =
            bottom ? FolderEntry{"leaf.txt", attr::kArchive} : FolderEntry{"d", attr::kDirectory};
        return true;
      }
      bool bottom, done = false;
    };
    return std::make_unique<One>(Level(pattern) > depth_);
  }
  OpResult ReadWholeFile(const std::string&, std::string&) override { return {}; }
  OpResult WriteWholeFile(const std::string&, std::string_view) override { return {}; }
  std::string DesktopFolder() override { return {}; }

 private:
  // "R:\\" then "d\\" per level; a pattern ends in "*.*".
  static std::size_t Level(const std::string& path) {
    const std::size_t size = path.size() - (path.back() == '*' ? 3 : 0);
    return (size - 2) / 2;
  }
  std::size_t depth_;
};

TEST(FolderWalk, AVeryDeepTreeDoesNotExhaustTheStack) {
  EndlessFolders fs(30000);
  MemoryMainWindow window;
  MemoryMessageBoxes messages;
  NoProgress progress;
  MemoryCodePage codePage;
  Context ctx{fs, messages, progress, window.controls(), codePage};
  LoadDroppedFiles(ctx, "R:\\");
  ASSERT_EQ(window.fileList().RowCount(), 1u);
  EXPECT_EQ(window.fileList().CurrentName(0), "leaf.txt");
}

}  // namespace
}  // namespace renamora::testing
