#include "rename/insert_text.h"

#include <gtest/gtest.h>

#include "tests/support/rename_page.h"

namespace renamora::testing {
namespace {

using Names = std::vector<std::string>;

const std::string k5C = "\x95\x5C";  // a character whose trail byte is "\"

TEST(AppendInsertedName, BeforeAndAfterTheName) {
  struct Case {
    std::string name, t, s;
    InsertPosition position;
    std::string expected;
  } cases[] = {
      {"photo.jpg", "X", "-", InsertPosition::kAfter, "photo-X.jpg"},
      {"photo.jpg", "X", "-", InsertPosition::kBefore, "X-photo.jpg"},
      {"archive.tar.gz", "X", "-", InsertPosition::kAfter, "archive.tar-X.gz"},
      {".profile", "X", "-", InsertPosition::kAfter, "-X.profile"},
      {"README", "X", "-", InsertPosition::kAfter, "-XREADME"},
      {"notes.", "X", "-", InsertPosition::kAfter, "notes-X."},
      {"a.txt", "X", "", InsertPosition::kBefore, "Xa.txt"},
      {"a.txt", "X", "", InsertPosition::kAfter, "aX.txt"},
      {"a.txt", " ", "-", InsertPosition::kBefore, " -a.txt"},
      // A double-byte character whose trail byte is "\" is no separator,
      // neither in the name nor in the text.
      {k5C + ".txt", k5C, "-", InsertPosition::kAfter, k5C + "-" + k5C + ".txt"},
      {"a" + k5C + "b.txt", "X", k5C, InsertPosition::kBefore, "X" + k5C + "a" + k5C + "b.txt"},
      // A lone lead byte swallows the "." after it: no extension.
      {std::string("a\x81.txt"), "X", "-", InsertPosition::kAfter, std::string("-Xa\x81.txt")},
  };
  for (const Case& c : cases) {
    // Behind the folder, as the commands build a target.
    std::string target = "D:\\p\\";
    AppendInsertedName(target, c.name, c.t, c.s, c.position);
    EXPECT_EQ(target, "D:\\p\\" + c.expected) << c.name;
  }
}

// The way back of a freshly listed name takes the text off only where a
// rename puts it; the same text elsewhere is part of the name.
TEST(AppendNameWithoutInserted, OnlyWhereARenamePutsIt) {
  const auto before = InsertPosition::kBefore;
  const auto after = InsertPosition::kAfter;
  const std::string kNone;  // the row is left alone
  struct Case {
    std::string name, inserted;
    InsertPosition position;
    std::string expected;
  } cases[] = {
      {"X-X-photo.jpg", "X-", before, "photo.jpg"},
      {"a-X-X.txt", "-X", after, "a.txt"},
      {"-X-XREADME", "-X", after, "README"},  // went in front of a name without "."
      {"DSC_1001.jpg", "_1", after, "DSC_1001.jpg"},
      {"IMG_1234_1.jpg", "_1", after, "IMG_1234.jpg"},
      {"a-X-b.jpg", "X-", before, "a-X-b.jpg"},
      {"2023-01-05-01.jpg", "-01", after, "2023-01-05.jpg"},
      {"x-a.txt", "X-", before, "x-a.txt"},  // case counts
      // Nothing left, or nothing before the extension.
      {"Beach.jpg", "Beach", before, kNone},
      {"Beach.jpg", "Beach", after, kNone},
      {"X-.jpg", "X-", before, kNone},
      {"-X.profile", "-X", after, kNone},
      {"X-.profile.txt", "X-", before, ".profile.txt"},
      // A trail byte that equals the text is no part of it.
      {"a" + k5C + ".txt", "\\", after, "a" + k5C + ".txt"},
      {"a\x81X.txt", "X", after, "a\x81X.txt"},
  };
  for (const Case& c : cases) {
    std::string target = "D:\\p\\";
    const bool renamed = AppendNameWithoutInserted(target, c.name, c.inserted, c.position);
    EXPECT_EQ(renamed, c.expected != kNone) << c.name;
    EXPECT_EQ(target, "D:\\p\\" + c.expected) << c.name;
  }
}

class InsertText : public ::testing::Test, public RenamePage {
 protected:
  void Page(const std::string& t, const std::string& s, bool before) {
    app.window.textBox("编辑框1").SetText(t);
    app.window.textBox("组合框1").SetText(s);
    app.window.radio(before ? "单选框1" : "单选框2").Check();
  }
  void Rename() { ASSERT_TRUE(app.Click("按钮1")); }
  void Restore() { ASSERT_TRUE(app.Click("按钮2")); }
  std::uint64_t Widths() { return app.files().WidthRevision(); }
};

TEST_F(InsertText, RenamesOnDiskAndRestoresByFirstName) {
  const Names first{"photo.jpg", "archive.tar.gz", ".profile", "README"};
  Load(first);
  Page("X", "-", false);
  Rename();
  const Names renamed{"photo-X.jpg", "archive.tar-X.gz", "-X.profile", "-XREADME"};
  EXPECT_EQ(Current(), renamed);
  EXPECT_EQ(Statuses(), Names(4, "完成"));
  EXPECT_EQ(Disk(), InFolder(renamed, first));
  for (const ShownRow& row : ShownRows(app.files())) EXPECT_EQ(row.folder, kFolder);

  Restore();
  EXPECT_EQ(Current(), first);
  EXPECT_EQ(Statuses(), Names(4, "完成"));
  EXPECT_EQ(Disk(), InFolder(first, first));
  EXPECT_EQ(app.messages.Count(), 0u);
}

TEST_F(InsertText, EveryRunInsertsAgainAndOneRestoreUndoesAll) {
  Load({"a.txt"});
  Page("X", "-", true);
  Rename();
  Rename();
  EXPECT_EQ(Current(), Names{"X-X-a.txt"});
  EXPECT_TRUE(app.fs.Exists("D:\\p\\X-X-a.txt"));
  Restore();
  EXPECT_EQ(Current(), Names{"a.txt"});
  EXPECT_EQ(Disk(), InFolder({"a.txt"}, {"a.txt"}));
}

TEST_F(InsertText, ColumnsAreRefittedAfterTheLastRow) {
  Load({"a.txt", "b.txt"});
  Page("longer-text", "-", true);
  Rename();
  const FileList& list = app.files();
  EXPECT_EQ(list.ColumnWidth(0), 80);
  EXPECT_EQ(list.ColumnWidth(1), 80);
  EXPECT_EQ(list.ColumnWidth(2),
            6 * static_cast<int>(std::string("longer-text-a.txt").size()) + 12);
  EXPECT_EQ(list.ColumnWidth(3), 6 * 4 + 12);  // the title "状态" and "完成" both hold 4 bytes
}

TEST_F(InsertText, AnEmptyTextDoesNothingAtAll) {
  Load({"a.txt"});
  Page("", "-", true);
  const std::uint64_t widths = Widths();
  Rename();
  EXPECT_EQ(Current(), Names{"a.txt"});
  EXPECT_EQ(Statuses(), Names{""});
  EXPECT_EQ(Widths(), widths);
  EXPECT_EQ(Disk(), InFolder({"a.txt"}, {"a.txt"}));
}

TEST_F(InsertText, AnEmptyListOnlyRefits) {
  Page("X", "-", true);
  for (const char* button : {"按钮1", "按钮2"}) {
    const std::uint64_t widths = Widths();
    app.Click(button);
    EXPECT_GT(Widths(), widths) << button;
    EXPECT_EQ(app.files().ColumnWidth(0), 80);
    EXPECT_EQ(app.files().RowCount(), 0u);
  }
  EXPECT_TRUE(Disk().empty());
}

// A failed rename leaves "现文件名" on the name the file really has, so the
// row can be renamed later and restored without a false failure.
TEST_F(InsertText, AFailedRenameKeepsTheNameTheFileHas) {
  Load({"a.txt", "b.txt"});
  app.fs.AddFile("D:\\p\\X-a.txt", "in the way");
  Page("X", "-", true);
  Rename();
  EXPECT_EQ(Current(), (Names{"a.txt", "X-b.txt"}));
  EXPECT_EQ(Statuses(), (Names{"失败", "完成"}));
  EXPECT_EQ(*app.fs.Content("D:\\p\\a.txt"), Bytes("a.txt"));
  EXPECT_EQ(*app.fs.Content("D:\\p\\X-a.txt"), "in the way");

  // Once the way is free, the same row renames: it started from the real name.
  app.fs.Remove("D:\\p\\X-a.txt");
  Rename();
  EXPECT_EQ(Current(), (Names{"X-a.txt", "X-X-b.txt"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "完成"}));

  Restore();
  EXPECT_EQ(Current(), (Names{"a.txt", "b.txt"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "完成"}));
  EXPECT_EQ(Disk(), InFolder({"a.txt", "b.txt"}, {"a.txt", "b.txt"}));
}

TEST_F(InsertText, AFailedRestoreKeepsTheCurrentName) {
  Load({"a.txt"});
  Page("X", "-", true);
  Rename();
  app.fs.AddFile("D:\\p\\a.txt", "a newcomer");
  Restore();
  EXPECT_EQ(Current(), Names{"X-a.txt"});
  EXPECT_EQ(Statuses(), Names{"失败"});
  EXPECT_EQ(*app.fs.Content("D:\\p\\X-a.txt"), Bytes("a.txt"));
  EXPECT_EQ(*app.fs.Content("D:\\p\\a.txt"), "a newcomer");
}

TEST_F(InsertText, EveryRowIsTriedWhateverItsStatus) {
  Load({"gone.txt", "b.txt"});
  app.fs.Remove("D:\\p\\gone.txt");
  Page("X", "-", true);
  Rename();
  EXPECT_EQ(Statuses(), (Names{"失败", "完成"}));
  app.fs.AddFile("D:\\p\\gone.txt", "back again");
  Rename();
  EXPECT_EQ(Current(), (Names{"X-gone.txt", "X-X-b.txt"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "完成"}));
}

TEST_F(InsertText, EqualNamesAreRestoredByTakingTheTextOff) {
  // Files listed after an earlier renaming show one name in both columns.
  Load({"X-X-a.txt", "plain.txt", "a-X-b.jpg", "X-.jpg"});
  Page("X", "-", true);
  Restore();
  EXPECT_EQ(Current(), (Names{"a.txt", "plain.txt", "a-X-b.jpg", "X-.jpg"}));
  // The platform lets a name stay as it is; a name that would lose all
  // before its extension is left alone.
  EXPECT_EQ(Statuses(), (Names{"完成", "完成", "完成", ""}));
  EXPECT_EQ(Disk(), InFolder({"a.txt", "plain.txt", "a-X-b.jpg", "X-.jpg"},
                             {"X-X-a.txt", "plain.txt", "a-X-b.jpg", "X-.jpg"}));
  // A second way back leaves every name where the first put it, until a
  // rename gives the row a name again.
  Restore();
  EXPECT_EQ(Current(), (Names{"a.txt", "plain.txt", "a-X-b.jpg", "X-.jpg"}));
  Page("Y", "-", true);
  Rename();
  Restore();
  EXPECT_EQ(Current(), (Names{"X-X-a.txt", "plain.txt", "a-X-b.jpg", "X-.jpg"}));

  Load({"b-X-X.txt"});
  Page("X", "-", false);  // the text to take off is now "-X"
  Restore();
  EXPECT_EQ(Current(), Names{"b.txt"});
  EXPECT_EQ(*app.fs.Content("D:\\p\\b.txt"), Bytes("b-X-X.txt"));
  Load({"DSC_1001.jpg", "IMG_1234_1.jpg"});
  Page("1", "_", false);
  Restore();  // "_1" inside a name stays
  EXPECT_EQ(Current(), (Names{"DSC_1001.jpg", "IMG_1234.jpg"}));
  // The text of the page at restore time counts, not that of the rename.
  Load({"Y-c.txt"});
  Page("X", "-", true);
  Restore();
  EXPECT_EQ(Current(), Names{"Y-c.txt"});
}

// Windows stores a new name without the dots and blanks at its end; the row
// shows the name the file then has, so that the next command and the
// export find it by its real name.
TEST_F(InsertText, ANameLeftEndingInDotsOrBlanksIsShownAsStored) {
  // Listed by their exact names, as a folder from a NAS holds them.
  const Names first{"T-ab ", "T-cd.", "T-ef. ."};
  for (const std::string& name : first) app.fs.AddFile("\\\\?\\D:\\p\\" + name, Bytes(name));
  app.DropOnWindow("D:\\p");
  Page("T", "-", true);
  Restore();
  EXPECT_EQ(Current(), (Names{"ab", "cd", "ef"}));
  EXPECT_EQ(Statuses(), Names(3, "完成"));
  EXPECT_EQ(Disk(), InFolder({"ab", "cd", "ef"}, first));
  for (const ShownRow& row : ShownRows(app.files())) {
    EXPECT_EQ(app.fs.StoredName(row.folder + row.currentName), row.currentName);
  }
  Page("X", "", true);
  Rename();
  EXPECT_EQ(Current(), (Names{"Xab", "Xcd", "Xef"}));
  EXPECT_EQ(Disk(), InFolder({"Xab", "Xcd", "Xef"}, first));
}

TEST_F(InsertText, ACaseOnlyDifferenceIsRestored) {
  Load({"A.txt"});
  ASSERT_TRUE(app.fs.RenameFile("D:\\p\\A.txt", "D:\\p\\a.txt"));
  app.files().SetCurrentName(0, "a.txt");
  Page("", "-", true);
  Restore();
  EXPECT_EQ(Statuses(), Names{"完成"});
  EXPECT_EQ(Current(), Names{"A.txt"});
  EXPECT_EQ(*app.fs.StoredName("D:\\p\\a.txt"), "A.txt");
}

// With no text on the page a row that shows one name twice has nothing to
// undo: it stays as it is, and the rows after it are still restored.
TEST_F(InsertText, RestoreWithoutTextGoesOnPastUnchangedRows) {
  Load({"a.txt", "b.txt", "c.txt"});
  app.fs.AddFile("D:\\p\\X-b.txt", "in the way");
  Page("X", "-", true);
  Rename();
  ASSERT_EQ(Current(), (Names{"X-a.txt", "b.txt", "X-c.txt"}));
  Page("", "-", true);
  const std::uint64_t widths = Widths();
  Restore();
  EXPECT_EQ(Current(), (Names{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(Statuses(), (Names{"完成", "失败", "完成"}));  // the middle row keeps its word
  EXPECT_GT(Widths(), widths);
  EXPECT_EQ(*app.fs.Content("D:\\p\\c.txt"), Bytes("c.txt"));
}

// A text that names another folder or a device renames nothing: the
// platform refuses every name that would leave the folder ("€" is a
// character of its own, not a lead byte that hides a "\"), and "nul.a.txt"
// names the device NUL.
TEST_F(InsertText, ATextWithABackslashOrADeviceNameMovesNoFile) {
  app.fs.AddFolder("D:\\p\\sub");
  app.fs.AddFolder("D:\\p\\2024\x80");
  Load({"a.txt", "b.txt"});
  const Files before = Disk();
  for (const std::string& t :
       {std::string("..\\"), std::string("sub\\"), std::string("\\"), std::string("2024\x80\\")}) {
    for (bool position : {true, false}) {
      Page(t, "", position);
      Rename();
      EXPECT_EQ(Statuses(), Names(2, "失败")) << t;
      EXPECT_EQ(Current(), (Names{"a.txt", "b.txt"})) << t;
      EXPECT_EQ(Disk(), before) << t;
    }
  }
  // Also through the separator, and on the way back.
  Page("X", "\\..\\", true);
  Rename();
  EXPECT_EQ(Disk(), before);
  Page("nul", ".", true);
  Rename();
  EXPECT_EQ(Statuses(), Names(2, "失败"));
  EXPECT_EQ(Disk(), before);
  // A typed character GBK lacks stops the command before any row, naming it.
  app.window.textBox("编辑框1").SetText("2024?", U'\u00F6');
  ASSERT_TRUE(app.Click("按钮1"));
  ASSERT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(app.messages.Last().text, "要加入的文本含有无法使用的字符：");
  EXPECT_EQ(app.messages.Last().character, U'\u00F6');
  EXPECT_EQ(Current(), (Names{"a.txt", "b.txt"}));
  EXPECT_EQ(Disk(), before);
}

TEST_F(InsertText, TrailBytesThatLookLikeBackslashesStayInTheName) {
  Load({k5C + ".txt"});
  Page(k5C, "-", false);
  Rename();
  EXPECT_EQ(Statuses(), Names{"完成"});
  EXPECT_EQ(Disk(), InFolder({k5C + "-" + k5C + ".txt"}, {k5C + ".txt"}));
  Page(k5C, "-", false);
  Restore();
  EXPECT_EQ(Disk(), InFolder({k5C + ".txt"}, {k5C + ".txt"}));
}

}  // namespace
}  // namespace renamora::testing
