#include "export/name_export.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/list_models.h"
#include "command/save_as.h"
#include "platform/gbk_text.h"
#include "platform/name_parts.h"
#include "tests/support/memory_app.h"

namespace renamora::testing {
namespace {

const char kAll[] = "按钮8";
const char kSucceeded[] = "按钮9";
const char kFailed[] = "按钮10";
const std::string kTarget = "C:\\users\\renamora\\Desktop\\names.csv";

// The status whose word is `word`.
Status StatusOf(const std::string& word) {
  for (Status status : {Status::kNone, Status::kDone, Status::kFailed, Status::kSucceeded,
                        Status::kSucceededWithSuffix, Status::kNoCode}) {
    if (StatusText(status) == word) return status;
  }
  ADD_FAILURE() << "no status reads " << word;
  return Status::kNone;
}

// A field as the export writes it: the line of a row whose name has that
// base, without the row's empty status and the line end.
std::string CsvField(const std::string& field) {
  FileList list = MakeFileList();
  list.Add("D:\\f\\", field + ".txt");
  NoProgress progress;
  const std::string line = NameListText(list, ExportSelection::kAll, true, progress).value();
  EXPECT_EQ(line.substr(line.size() - 3), ",\r\n");
  return line.substr(0, line.size() - 3);
}

class NameExport : public ::testing::Test {
 protected:
  NameExport() { app.fs.AddFolder("D:\\"); }
  void Row(const std::string& name, const std::string& status) { Row(name, name, status); }
  void Row(const std::string& original, const std::string& current, const std::string& status) {
    FileList& files = app.files();
    files.Add("D:\\f\\", original);
    files.SetCurrentName(files.RowCount() - 1, current);
    files.SetStatus(files.RowCount() - 1, StatusOf(status));
  }
  MemorySaveDialog& dialog() { return app.window.dialog("通用对话框1"); }

  // Clicks the button, confirms the dialog with `path` and returns what the
  // file then holds (nothing when there is no file).
  std::optional<std::string> Export(const char* button, const std::string& path = kTarget) {
    dialog().Answer(path);
    EXPECT_TRUE(app.Click(button)) << button;
    return app.fs.Content(path);
  }

  MemoryApp app;
};

TEST_F(NameExport, SelectionsTakeExactStatusWordsOnly) {
  Row("s.txt", "成功");
  Row("d.txt", "完成");
  Row("f.txt", "失败");
  Row("m.txt", "失败！未找到代码");
  Row("a.txt", "成功_自动避错");
  Row("u.txt", "");
  // Near misses of the words (a trailing blank, an ASCII "!", a lone
  // prefix) cannot stand in a row: a status is one of the six.

  EXPECT_EQ(Export(kSucceeded), "s\r\nd\r\n");
  EXPECT_EQ(Export(kFailed), "f\r\nm\r\n");
  EXPECT_EQ(Export(kAll),
            "s,成功\r\nd,完成\r\nf,失败\r\nm,失败！未找到代码\r\na,成功_自动避错\r\n"
            "u,\r\n");
  EXPECT_EQ(app.messages.Count(), 0u);
  // The export only reads the list.
  EXPECT_EQ(app.files().RowCount(), 6u);
  EXPECT_EQ(app.files().StatusOf(0), Status::kSucceeded);
}

TEST_F(NameExport, WritesGbkBytesWithoutMarkOrHeader) {
  Row("照片.jpg", "成功");
  Row("notes.txt", "失败");
  // 照片 = D5 D5 C6 AC, 成功 = B3 C9 B9 A6, 失败 = CA A7 B0 DC in GBK.
  EXPECT_EQ(Export(kAll), "\xD5\xD5\xC6\xAC,\xB3\xC9\xB9\xA6\r\nnotes,\xCA\xA7\xB0\xDC\r\n");
  EXPECT_EQ(Export(kSucceeded), "\xD5\xD5\xC6\xAC\r\n");
  EXPECT_EQ(Export(kFailed), "notes\r\n");
}

TEST_F(NameExport, TheRadioButtonChoosesTheColumn) {
  Row("IMG_001.jpg", "X-IMG_001.jpg", "完成");
  Row("IMG_002.jpg", "IMG_002.jpg", "失败");
  EXPECT_EQ(Export(kAll), "X-IMG_001,完成\r\nIMG_002,失败\r\n");

  app.window.radio("单选框6").Check();
  EXPECT_EQ(Export(kSucceeded), "IMG_001\r\n");
  EXPECT_EQ(Export(kAll), "IMG_001,完成\r\nIMG_002,失败\r\n");

  app.window.radio("单选框5").Check();
  EXPECT_EQ(Export(kSucceeded), "X-IMG_001\r\n");
}

TEST_F(NameExport, TheNameIsWhatComesBeforeTheLastDot) {
  Row("archive.tar.gz", "完成");
  Row("README", "完成");
  Row(".profile", "完成");
  Row("notes.", "完成");
  Row("", "完成");
  EXPECT_EQ(Export(kSucceeded), "archive.tar\r\n\r\n\r\nnotes\r\n\r\n");
  EXPECT_EQ(Export(kAll), "archive.tar,完成\r\n,完成\r\n,完成\r\nnotes,完成\r\n,完成\r\n");
}

TEST_F(NameExport, NamesWithCommasOrQuotesAreQuotedAsCsvFields) {
  Row("a,b.txt", "完成");
  Row("say \"hi\".txt", "完成");
  Row("x,\"y\".txt", "失败");
  Row("\"", "完成");  // no dot: an empty name, nothing to quote
  Row("\"q\".", "完成");
  Row("名,字.txt", "完成");
  Row("a.b,c", "完成");  // the comma is in the extension, not in the name
  Row("plain.txt", "完成");

  EXPECT_EQ(Export(kSucceeded),
            "\"a,b\"\r\n\"say \"\"hi\"\"\"\r\n\r\n\"\"\"q\"\"\"\r\n\"名,字\"\r\na\r\nplain\r\n");
  EXPECT_EQ(Export(kFailed), "\"x,\"\"y\"\"\"\r\n");
  EXPECT_EQ(Export(kAll),
            "\"a,b\",完成\r\n\"say \"\"hi\"\"\",完成\r\n\"x,\"\"y\"\"\",失败\r\n,完成\r\n"
            "\"\"\"q\"\"\",完成\r\n\"名,字\",完成\r\na,完成\r\nplain,完成\r\n");
}

TEST_F(NameExport, CsvFieldLeavesOtherTextsAlone) {
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("a;b 'c'"), "a;b 'c'");
  EXPECT_EQ(CsvField(","), "\",\"");
  EXPECT_EQ(CsvField("\"\""), "\"\"\"\"\"\"");
  // "\x81\x2C" is no real character pair in GBK, but a lead byte swallows
  // the byte after it in every scan, so that comma is not one of its own.
  EXPECT_EQ(CsvField("\x81,"), "\x81,");
  // "€" (80) and FF are characters of their own: the comma after one is real.
  EXPECT_EQ(CsvField("\x80,\xFF\""), "\"\x80,\xFF\"\"\"");
}

// The field rule stepped through character by character, as a reader of
// the file applies it.
std::string QuotedByCharacters(std::string_view field) {
  bool plain = true;
  for (std::size_t pos = 0; pos < field.size(); pos += text::CharLength(field, pos)) {
    plain = plain && field[pos] != ',' && field[pos] != '"';
  }
  if (plain) return std::string(field);
  std::string out = "\"";
  for (std::size_t pos = 0; pos < field.size();) {
    const std::size_t length = text::CharLength(field, pos);
    if (length == 1 && field[pos] == '"') out += '"';
    out.append(field.substr(pos, length));
    pos += length;
  }
  return out + "\"";
}

TEST_F(NameExport, QuotingFindsEveryRealCommaAndQuoteWhereverItLies) {
  // A comma or quote at every place of names up to three words of eight
  // bytes long, alone, after a lead byte that swallows it, and among
  // double-byte characters; every row quoted, so that the text outgrows
  // the room taken for it again and again.
  std::string expected;
  std::size_t cases = 0;
  for (std::size_t length = 1; length <= 24; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const char special : {',', '"'}) {
        for (int variant = 0; variant < 3; ++variant) {
          std::string base(length, 'a');
          if (variant == 2) {
            for (std::size_t i = 0; i + 1 < length; i += 2) base.replace(i, 2, "名");
          }
          base[at] = special;
          if (variant == 1 && at > 0) base[at - 1] = '\x81';
          // A lone trail byte at the end swallows the dot: then the name
          // has no base.
          const std::string name = base + ".txt";
          const std::string field(SplitAtLastDot(name).base);
          Row(name, "完成");
          expected += QuotedByCharacters(field) + ",完成\r\n";
          ++cases;
          SCOPED_TRACE(base);
          EXPECT_EQ(CsvField(field), QuotedByCharacters(field));
        }
      }
    }
  }
  EXPECT_EQ(cases, 3u * 2u * (24u * 25u / 2u));
  EXPECT_EQ(Export(kAll), expected);
}

TEST_F(NameExport, NoSelectedRowGivesAZeroByteFile) {
  EXPECT_EQ(Export(kAll), "");  // an empty list
  Row("a.txt", "");
  Row("b.txt", "成功_自动避错");
  EXPECT_EQ(Export(kSucceeded, "D:\\s.csv"), "");
  EXPECT_EQ(Export(kFailed, "D:\\f.csv"), "");
  EXPECT_EQ(dialog().Showings().size(), 3u);
}

TEST_F(NameExport, CancellingWritesNothing) {
  Row("a.txt", "完成");
  dialog().Answer(std::nullopt);
  app.Click(kAll);
  EXPECT_FALSE(app.fs.Exists(kTarget));

  ASSERT_EQ(Export(kAll), "a,完成\r\n");
  Row("b.txt", "完成");
  dialog().Answer(std::nullopt);
  app.Click(kAll);
  EXPECT_EQ(app.fs.Content(kTarget), "a,完成\r\n");
  EXPECT_EQ(app.messages.Count(), 0u);
}

TEST_F(NameExport, ASecondExportToTheSameFileReplacesTheFirst) {
  Row("long-name-one.txt", "完成");
  Row("long-name-two.txt", "失败");
  ASSERT_EQ(Export(kAll), "long-name-one,完成\r\nlong-name-two,失败\r\n");
  EXPECT_EQ(Export(kFailed), "long-name-two\r\n");
  // An existing file is written over as it is, also one that started out
  // with other content.
  app.fs.AddFile("D:\\old.csv", "something else entirely\r\n");
  EXPECT_EQ(Export(kSucceeded, "D:\\old.csv"), "long-name-one\r\n");
}

TEST_F(NameExport, TheDialogStartsOnTheDesktopAndProposesTheLastFile) {
  Row("a.txt", "完成");
  ASSERT_TRUE(Export(kAll, "D:\\first.csv"));
  app.fs.SetDesktopFolder("E:\\desk\\");
  dialog().SetInitialFolder("D:\\");  // wherever the last showing ended
  dialog().Answer(std::nullopt);
  app.Click(kSucceeded);
  app.fs.SetDesktopFolder("");
  ASSERT_TRUE(Export(kFailed, "D:\\second.csv"));
  Export(kAll, "D:\\third.csv");

  const auto& showings = dialog().Showings();
  ASSERT_EQ(showings.size(), 4u);
  EXPECT_EQ(showings[0].initialFolder, "C:\\users\\renamora\\Desktop\\");
  EXPECT_EQ(showings[1].initialFolder, "E:\\desk\\");
  EXPECT_EQ(showings[2].initialFolder, "");
  EXPECT_EQ(showings[3].initialFolder, "");
  // Empty at first, then the last confirmed path; a cancel changes nothing.
  EXPECT_EQ(showings[0].fileName, "");
  EXPECT_EQ(showings[1].fileName, "D:\\first.csv");
  EXPECT_EQ(showings[2].fileName, "D:\\first.csv");
  EXPECT_EQ(showings[3].fileName, "D:\\second.csv");
}

TEST_F(NameExport, AFailedWriteIsReportedAndLeavesTheFile) {
  Row("a.txt", "完成");
  const std::string readOnly = "D:\\ro.csv";
  app.fs.AddFile(readOnly, "kept\r\n", attr::kReadOnly | attr::kArchive);
  EXPECT_EQ(Export(kAll, readOnly), "kept\r\n");
  ASSERT_EQ(app.messages.Count(), 1u);
  EXPECT_EQ(app.messages.Last().text, WriteFailedMessage(readOnly));
  EXPECT_EQ(app.messages.Last().caption, "信息：");
  EXPECT_EQ(app.messages.Last().buttons, MessageButtons::kOk);
  EXPECT_EQ(app.fs.Attributes(readOnly), attr::kReadOnly | attr::kArchive);

  // A file open elsewhere and a folder that does not exist fail alike.
  app.fs.AddFile("D:\\busy.csv", "busy");
  app.fs.SetLocked("D:\\busy.csv", true);
  Export(kAll, "D:\\busy.csv");
  Export(kAll, "D:\\missing\\x.csv");
  ASSERT_EQ(app.messages.Count(), 3u);
  EXPECT_EQ(app.messages.All()[1].text, WriteFailedMessage("D:\\busy.csv"));
  EXPECT_EQ(app.messages.All()[2].text, WriteFailedMessage("D:\\missing\\x.csv"));
  EXPECT_FALSE(app.fs.Exists("D:\\missing\\x.csv"));
  app.fs.SetLocked("D:\\busy.csv", false);
  EXPECT_EQ(app.fs.Content("D:\\busy.csv"), "busy");

  // The program goes on: the next export writes, and says nothing.
  EXPECT_EQ(Export(kAll), "a,完成\r\n");
  EXPECT_EQ(app.messages.Count(), 3u);
}

}  // namespace
}  // namespace renamora::testing
