// The rules of the page "匹配改名" through the real window on real files: a
// rule file dropped on the Rule list, the header question and the refusals
// answered in the real message boxes, and the template written where the
// real save dialog is told.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <functional>

#include "tests/support/scene.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

using Names = std::vector<std::string>;

// The template as a user receives it, written out here on its own: line 2
// holds a lone LF inside its quotes, line 3 a "," inside quotes and the
// full-width “，”.
const std::string kTemplate =
    "匹配代码,加入名字,,备注：\r\n"
    "aaa,333,,\"会查找需要修改的文件名中是否包含这个代码文字\n"
    "有就将加入名字按要求添加进去或者重命名\"\r\n"
    "sss,333,,\"只支持csv,或者文本以\xA1\xB0\xA3\xAC\xA1\xB1分隔的文件\"\r\n"
    "333,520,,\r\n"
    "22,trd,,\r\n"
    "33,rer,,\r\n";

const char kFormatMessage[] = "文件格式不正确，只支持txt,或csv格式，以','为分隔符";
const char kMalformedMessage[] = "匹配文件不规范，请检查从新提交";
const char kHeaderQuestion[] = "是否跳过表头 ？";

class RuleLoading : public ::testing::Test {
 protected:
  HWND Rules() const { return app.Handle("超级列表框2"); }
  HWND Files() const { return app.Handle("超级列表框1"); }
  // A drop on the Rule list as the shell delivers it, its boxes answered as
  // planned.
  std::vector<ModalAnswerer::Box> DropRules(const Names& paths, ModalAnswerer& answerer) {
    answerer.Run([&] { DropFiles(Rules(), paths, {20, 60}); });
    EXPECT_EQ(answerer.Unused(), 0u);
    for (const auto& box : answerer.Boxes()) {
      EXPECT_TRUE(box.planned) << box.text;
      EXPECT_TRUE(box.answered) << box.text;
      EXPECT_EQ(box.caption, "信息：") << box.text;
    }
    return answerer.Boxes();
  }
  std::vector<std::pair<std::string, std::string>> ShownRules() const {
    std::vector<std::pair<std::string, std::string>> rules;
    for (int row = 0; row < ListRowCount(Rules()); ++row) {
      rules.emplace_back(ListCell(Rules(), row, 0), ListCell(Rules(), row, 1));
    }
    return rules;
  }
  std::vector<Names> ShownFiles() const {
    std::vector<Names> rows;
    for (int row = 0; row < ListRowCount(Files()); ++row) {
      Names cells;
      for (int column = 0; column < 4; ++column) cells.push_back(ListCell(Files(), row, column));
      rows.push_back(cells);
    }
    return rows;
  }
  static std::vector<std::string> Texts(const std::vector<ModalAnswerer::Box>& boxes) {
    Names texts;
    for (const auto& box : boxes) texts.push_back(box.text);
    return texts;
  }

  std::unique_ptr<Scene> scene = MakeScene();
  RealWindow app;
};

using RulePairs = std::vector<std::pair<std::string, std::string>>;
const RulePairs kTemplateRules = {
    {"aaa", "333"}, {"sss", "333"}, {"333", "520"}, {"22", "trd"}, {"33", "rer"}};

TEST_F(RuleLoading, ARuleFileDroppedOnTheRuleListWithItsHeaderSkipped) {
  // Files in the File list first: the rule drop must leave them alone.
  scene->AddFile(scene->root() + "照片.jpg");
  scene->AddFile(scene->root() + "文档.txt");
  DropFiles(app.Main(), {scene->root() + "照片.jpg", scene->root() + "文档.txt"},
            RealWindow::Centre(app.Rect("超级列表框1")));
  const auto files = ShownFiles();
  ASSERT_EQ(files.size(), 2u);
  const int width = ListColumnWidth(Files(), 2);

  // In a folder whose name holds a ",": the whole dropped text is the path.
  const std::string folder = scene->root() + "规则,备份";
  scene->AddFolder(folder);
  scene->AddFile(folder + "\\模板.csv", kTemplate);
  ModalAnswerer answerer;
  answerer.Press(IDOK);
  const auto boxes = DropRules({folder + "\\模板.csv"}, answerer);
  EXPECT_EQ(Texts(boxes), Names{kHeaderQuestion});

  EXPECT_EQ(ShownRules(), kTemplateRules);
  EXPECT_FALSE(app.window.hint("透明标签2").Visible());
  // The Rule list keeps the widths it started with.
  EXPECT_EQ(ListColumnWidth(Rules(), 0), 60);
  EXPECT_EQ(ListColumnWidth(Rules(), 1), 60);
  EXPECT_EQ(ShownFiles(), files);
  EXPECT_EQ(app.Text("标签4"), "载入2个文件");
  EXPECT_EQ(ListColumnWidth(Files(), 2), width);
  for (const auto& drop : app.DropEvents()) {
    if (drop.text == folder + "\\模板.csv") {
      EXPECT_EQ(drop.control, "拖放对象2");
    }
  }
  EXPECT_EQ(scene->Content(folder + "\\模板.csv"), kTemplate);  // read, not changed
}

// UTF-8 without a mark, as Notepad saves it: every byte reads as GBK too.
TEST_F(RuleLoading, Utf8AsNotepadSavesItIsReadAsUtf8) {
  const std::string path = scene->root() + "记事本.csv";
  scene->AddFile(path, u8"IMG,风景\r\nDSC,café\r\n");
  ModalAnswerer answerer;
  answerer.Press(IDCANCEL);
  EXPECT_EQ(Texts(DropRules({path}, answerer)), Names{kHeaderQuestion});
  EXPECT_EQ(ShownRules(), (RulePairs{{"IMG", "风景"}, {"DSC", "café"}}));
}

TEST_F(RuleLoading, CancelOrTheCloseBoxKeepsTheFirstLineAsARule) {
  const std::string path = scene->root() + "模板.txt";
  scene->AddFile(path, kTemplate);
  RulePairs withHeader = {{"匹配代码", "加入名字"}};
  withHeader.insert(withHeader.end(), kTemplateRules.begin(), kTemplateRules.end());

  ModalAnswerer cancel;
  cancel.Press(IDCANCEL);
  EXPECT_EQ(Texts(DropRules({path}, cancel)), Names{kHeaderQuestion});
  EXPECT_EQ(ShownRules(), withHeader);

  EXPECT_EQ(BoxesShownBy([&] { app.Click("按钮7"); }), Names{});  // "清空匹配"
  EXPECT_EQ(ListRowCount(Rules()), 0);
  EXPECT_TRUE(app.window.hint("透明标签2").Visible());

  ModalAnswerer close;
  close.Close();
  EXPECT_EQ(Texts(DropRules({path}, close)), Names{kHeaderQuestion});
  EXPECT_EQ(ShownRules(), withHeader);
  EXPECT_FALSE(app.window.hint("透明标签2").Visible());
}

TEST_F(RuleLoading, RefusedFilesShowTheirMessageAndLeaveTheRuleListEmpty) {
  const std::string good = scene->root() + "好.csv";
  scene->AddFile(good, "a,1\r\nb,2\r\n");
  auto loadGood = [&] {
    ModalAnswerer answerer;
    answerer.Press(IDCANCEL);
    DropRules({good}, answerer);
    ASSERT_EQ(ListRowCount(Rules()), 2);
  };
  struct Refusal {
    const char* what;
    Names drop;
    std::function<void(ModalAnswerer&)> plan;
    Names messages;
    int rulesAfter = 0;  // the rules before stay when the file cannot be read at all
  };
  const std::string upper = scene->root() + "规则.TXT";
  scene->AddFile(upper, "a,1\r\n");
  const std::string oneField = scene->root() + "一个字段.csv";
  scene->AddFile(oneField, "只有一个字段\r\nb,2\r\n");
  const std::string shortLater = scene->root() + "后面短.txt";
  scene->AddFile(shortLater, "a,1\r\n\r\nb\r\nc,3\r\n");
  const std::string headerOnly = scene->root() + "只有表头.csv";
  scene->AddFile(headerOnly, "匹配代码,插入内容\r\n");
  // UTF-8 as Notepad saves it, with a character GBK cannot hold on line 3.
  const std::string emoji = scene->root() + "表情.csv";
  scene->AddFile(emoji, u8"代码,内容\r\nIMG,海滩\r\nDSC,海滩😀한\r\n");  // no GBK: 9C before CR
  const std::string locked = scene->root() + "打开着.csv";
  scene->AddFile(locked, "a,1\r\n");
  scene->Lock(locked);
  const std::string gone = scene->root() + "不在了.csv";
  const std::vector<Refusal> refusals = {
      {"an upper-case extension",
       {upper},
       [](ModalAnswerer& a) { a.Press(IDOK); },
       {kFormatMessage}},
      {"two files at once",
       {good, good},
       [](ModalAnswerer& a) { a.Press(IDOK); },
       {kFormatMessage}},
      {"a first line of one field",
       {oneField},
       [](ModalAnswerer& a) { a.Press(IDCANCEL).Press(IDOK); },
       {kHeaderQuestion, kMalformedMessage}},
      // The blank line 2 is passed over; line 3 refuses the whole file.
      {"a later line of one field",
       {shortLater},
       [](ModalAnswerer& a) { a.Press(IDCANCEL).Press(IDOK); },
       {kHeaderQuestion, std::string(kMalformedMessage) + "\r\n第3行少于两个字段"}},
      {"a header and nothing else",
       {headerOnly},
       [](ModalAnswerer& a) { a.Press(IDOK).Press(IDOK); },
       {kHeaderQuestion, kMalformedMessage}},
      {"a character GBK cannot hold",
       {emoji},
       [](ModalAnswerer& a) { a.Press(IDOK); },
       {std::string(kMalformedMessage) + "\r\n第3行含有无法使用的字符"}},
      {"a file another program holds",
       {locked},
       [](ModalAnswerer& a) { a.Press(IDOK); },
       {"规则文件无法读取：" + locked},
       2},
      {"a file gone since the drop",
       {gone},
       [](ModalAnswerer& a) { a.Press(IDOK); },
       {"规则文件无法读取：" + gone},
       2},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    loadGood();
    ModalAnswerer answerer;
    refusal.plan(answerer);
    EXPECT_EQ(Texts(DropRules(refusal.drop, answerer)), refusal.messages);
    EXPECT_EQ(ListRowCount(Rules()), refusal.rulesAfter);
    EXPECT_FALSE(app.window.hint("透明标签2").Visible());  // an earlier load hid it
  }
}

TEST_F(RuleLoading, TheTemplateIsWrittenWhereTheSaveDialogIsTold) {
  ModalAnswerer answerer;
  answerer.SaveAs(scene->root() + "我的模板");
  answerer.Run([&] { app.Click("按钮11"); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  const ModalAnswerer::Box& dialog = answerer.Boxes()[0];
  EXPECT_EQ(dialog.kind, ModalAnswerer::Kind::kSaveDialog);
  EXPECT_EQ(dialog.text, "匹配代码示例");
  ASSERT_FALSE(app.fs.DesktopFolder().empty());
  EXPECT_EQ(dialog.folder + "\\", app.fs.DesktopFolder());
  // The default extension goes on a name typed without one.
  const auto written = scene->Content(scene->root() + "我的模板.csv");
  ASSERT_TRUE(written);
  EXPECT_EQ(written->size(), 203u);
  EXPECT_EQ(*written, kTemplate);

  // The next use proposes the file just written; cancelled, it writes nothing.
  scene->Remove(scene->root() + "我的模板.csv");
  ModalAnswerer cancel;
  cancel.Press(IDCANCEL);
  cancel.Run([&] { app.Click("按钮11"); });
  ASSERT_EQ(cancel.Boxes().size(), 1u);
  EXPECT_NE(cancel.Boxes()[0].text.find("我的模板.csv"), std::string::npos);
  EXPECT_TRUE(scene->Walk(scene->root()).empty());
}

TEST_F(RuleLoading, ATemplateThatCannotBeWrittenIsReported) {
  const std::string path = scene->root() + "只读.csv";
  scene->AddFile(path, "旧的", attr::kReadOnly | attr::kArchive);
  ModalAnswerer answerer;
  // Type the name, agree to replace the file, then read the report.
  answerer.SaveAs(path).Press(IDYES).Press(IDOK);
  answerer.Run([&] { app.Click("按钮11"); });
  ASSERT_EQ(answerer.Boxes().size(), 3u);
  EXPECT_EQ(answerer.Boxes()[1].kind, ModalAnswerer::Kind::kMessageBox);  // the dialog's question
  EXPECT_NE(answerer.Boxes()[1].caption, "信息：");
  const ModalAnswerer::Box& report = answerer.Boxes()[2];
  EXPECT_EQ(report.kind, ModalAnswerer::Kind::kMessageBox);
  EXPECT_EQ(report.caption, "信息：");
  EXPECT_EQ(report.text, "文件无法写入：\r\n" + path);
  EXPECT_TRUE(report.answered);
  EXPECT_EQ(scene->Content(path), "旧的");
  EXPECT_TRUE(::IsWindowEnabled(app.Main()));  // and the program goes on
}

}  // namespace
}  // namespace renamora::testing
