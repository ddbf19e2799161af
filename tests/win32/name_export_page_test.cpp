// The page "导出设置" through the real window on real files: after a rename,
// the names exported with the real buttons into the file picked in the real
// save dialog, and the bytes of that file.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "platform/win32/file_system_seams.h"
#include "tests/support/scene.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

using Names = std::vector<std::string>;

class NameExportPage : public ::testing::Test {
 protected:
  // Four rows in the order dropped: a Chinese name, a name with a ",", a
  // name without a dot, and a name with double quotes, which no file on
  // Windows can have, so that its rename fails.
  void SetUp() override {
    folder = scene->root() + "文件\\";
    scene->AddFolder(folder);
    scene->AddFile(folder + "照片.jpg", "照片");
    scene->AddFile(folder + "a,b.txt", "逗号");
    scene->AddFile(folder + "README", "没有点");
    DropFiles(app.Main(),
              {folder + "照片.jpg", folder + "a,b.txt", folder + "README", folder + "说\"明\".txt"},
              RealWindow::Centre(app.Rect("超级列表框1")));
    app.Type("编辑框1", "新");
    EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮1"); }), Names{});
    EXPECT_EQ(ListColumnTexts(app.Handle("超级列表框1"), 3),
              (Names{"完成", "完成", "完成", "失败"}));
  }
  // One click on an export button with its dialog answered as planned; the
  // boxes that came, each checked to have taken its answer.
  std::vector<ModalAnswerer::Box> Export(const std::string& button, ModalAnswerer& answerer) {
    answerer.Run([&] { app.Click(button); });
    EXPECT_EQ(answerer.Unused(), 0u);
    for (const auto& box : answerer.Boxes()) {
      EXPECT_TRUE(box.planned) << box.text;
      EXPECT_TRUE(box.answered) << box.text;
    }
    return answerer.Boxes();
  }
  std::string Written(const std::string& path) {
    return scene->Content(path).value_or("<no file>");
  }

  std::unique_ptr<Scene> scene = MakeScene();
  RealWindow app;
  std::string folder;
};

const std::string kAllCurrent =
    "新-照片,完成\r\n"
    "\"新-a,b\",完成\r\n"
    ",完成\r\n"
    "\"说\"\"明\"\"\",失败\r\n";
const std::string kSucceededCurrent =
    "新-照片\r\n"
    "\"新-a,b\"\r\n"
    "\r\n";

TEST_F(NameExportPage, ExportsGoWhereTheDialogSaysAndReplaceOnlyWhenTheUserAgrees) {
  // All rows, current names, into a name typed without its extension.
  const std::string list = scene->root() + "名单";
  ModalAnswerer first;
  first.SaveAs(list);
  auto boxes = Export("按钮8", first);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].kind, ModalAnswerer::Kind::kSaveDialog);
  EXPECT_EQ(boxes[0].text, "");  // no name at the first export
  EXPECT_EQ(boxes[0].folder + "\\", app.fs.DesktopFolder());
  EXPECT_EQ(Written(list + ".csv"), kAllCurrent);
  EXPECT_FALSE(scene->Exists(list));

  // The succeeded rows into the same file: turned down once at the dialog's
  // question, which leaves the file alone and the dialog open; then agreed.
  std::string whileBack;
  int seen = 0;
  ModalAnswerer second;
  second.SaveAs(list).Press(IDNO).SaveAs(list).Press(IDYES);
  second.OnEachBox([&](HWND) {
    if (++seen == 3) whileBack = Written(list + ".csv");
  });
  boxes = Export("按钮9", second);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_NE(boxes[0].text.find("名单.csv"), std::string::npos);  // the last file proposed
  EXPECT_EQ(boxes[1].kind, ModalAnswerer::Kind::kMessageBox);
  EXPECT_NE(boxes[1].caption, "信息：");  // the dialog's own question
  EXPECT_EQ(boxes[2].kind, ModalAnswerer::Kind::kSaveDialog);
  EXPECT_TRUE(boxes[2].again);
  EXPECT_EQ(whileBack, kAllCurrent);
  EXPECT_EQ(boxes[3].kind, ModalAnswerer::Kind::kMessageBox);
  EXPECT_EQ(Written(list + ".csv"), kSucceededCurrent);

  // The failed rows. Then an export cancelled in the dialog writes nothing.
  const std::string failed = scene->root() + "失败名单.csv";
  ModalAnswerer third;
  third.SaveAs(failed);
  Export("按钮10", third);
  EXPECT_EQ(Written(failed), "\"说\"\"明\"\"\"\r\n");
  ModalAnswerer cancel;
  cancel.Press(IDCANCEL);
  Export("按钮8", cancel);
  EXPECT_EQ(Written(failed), "\"说\"\"明\"\"\"\r\n");
  EXPECT_EQ(Written(list + ".csv"), kSucceededCurrent);
}

TEST_F(NameExportPage, TheOtherRadioButtonExportsTheNamesAsListed) {
  app.Click("单选框6");  // "原文件名"
  EXPECT_FALSE(app.IsChecked("单选框5"));
  const std::string original = scene->root() + "原名单.csv";
  ModalAnswerer all;
  all.SaveAs(original);
  Export("按钮8", all);
  EXPECT_EQ(Written(original),
            "照片,完成\r\n"
            "\"a,b\",完成\r\n"
            ",完成\r\n"
            "\"说\"\"明\"\"\",失败\r\n");

  app.Click("单选框5");
  ModalAnswerer again;
  again.SaveAs(original).Press(IDYES);
  Export("按钮9", again);
  EXPECT_EQ(Written(original), kSucceededCurrent);
}

TEST_F(NameExportPage, AFileThatCannotBeWrittenIsReportedAndKeptAsItWas) {
  const std::string path = scene->root() + "只读.csv";
  scene->AddFile(path, "旧的", attr::kReadOnly | attr::kArchive);
  ModalAnswerer answerer;
  answerer.SaveAs(path).Press(IDYES).Press(IDOK);
  const auto boxes = Export("按钮8", answerer);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].kind, ModalAnswerer::Kind::kMessageBox);
  EXPECT_EQ(boxes[2].caption, "信息：");
  EXPECT_EQ(boxes[2].text, "文件无法写入：\r\n" + path);
  EXPECT_EQ(Written(path), "旧的");

  // The program goes on: the next export is written.
  const std::string other = scene->root() + "另一个.csv";
  ModalAnswerer next;
  next.SaveAs(other);
  Export("按钮8", next);
  EXPECT_EQ(Written(other), kAllCurrent);
}

// A disk that fills up part-way through replacing a CSV: the old file stays
// byte for byte, and nothing else is left beside it.
TEST_F(NameExportPage, AWriteThatFailsPartWayLeavesTheOldFileAsItWas) {
  const std::string path = scene->root() + "out.csv";
  const std::string old(3200, 'o');
  scene->AddFile(path, old);
  const auto entries = scene->Walk(scene->root()).size();
  win32::seams::FailNextWriteAfter(10);
  ModalAnswerer answerer;
  answerer.SaveAs(path).Press(IDYES).Press(IDOK);
  const auto boxes = Export("按钮8", answerer);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].text, "文件无法写入：\r\n" + path);
  EXPECT_EQ(Written(path), old);
  EXPECT_EQ(scene->Walk(scene->root()).size(), entries);
}

}  // namespace
}  // namespace renamora::testing
