// Message boxes and the save dialog, shown for real and answered by a user
// on another thread: what each answer gives the command that asked.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <dlgs.h>
// clang-format on

#include <functional>

#include "platform/ui.h"
#include "platform/win32/win32_code_page.h"
#include "tests/support/scene.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

struct Reply {
  const char* what;
  MessageButtons buttons;
  std::function<void(ModalAnswerer&)> plan;
  MessageAnswer expected;
};

TEST(MessageBoxes, EveryWayOfClosingABoxGivesTheCommandItsAnswer) {
  const std::vector<Reply> replies = {
      {"OK pressed", MessageButtons::kOk, [](ModalAnswerer& a) { a.Press(IDOK); },
       MessageAnswer::kOk},
      {"OK box closed", MessageButtons::kOk, [](ModalAnswerer& a) { a.Close(); },
       MessageAnswer::kOk},
      {"OK of OK/Cancel", MessageButtons::kOkCancel, [](ModalAnswerer& a) { a.Press(IDOK); },
       MessageAnswer::kOk},
      {"Cancel pressed", MessageButtons::kOkCancel, [](ModalAnswerer& a) { a.Press(IDCANCEL); },
       MessageAnswer::kCancel},
      {"OK/Cancel closed", MessageButtons::kOkCancel, [](ModalAnswerer& a) { a.Close(); },
       MessageAnswer::kCancel},
      {"Yes pressed", MessageButtons::kYesNo, [](ModalAnswerer& a) { a.Press(IDYES); },
       MessageAnswer::kYes},
      {"No pressed", MessageButtons::kYesNo, [](ModalAnswerer& a) { a.Press(IDNO); },
       MessageAnswer::kNo},
  };
  win32::Win32MessageBoxes boxes;
  for (const Reply& reply : replies) {
    SCOPED_TRACE(reply.what);
    ModalAnswerer answerer;
    reply.plan(answerer);
    MessageAnswer answer{};
    answerer.Run(
        [&] { answer = boxes.Show("是否跳过表头 ？\r\n第二行", reply.buttons, kMessageCaption); });
    EXPECT_EQ(answer, reply.expected);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    const ModalAnswerer::Box& box = answerer.Boxes()[0];
    EXPECT_EQ(box.kind, ModalAnswerer::Kind::kMessageBox);
    EXPECT_EQ(box.caption, "信息：");
    EXPECT_EQ(box.text, "是否跳过表头 ？\r\n第二行");
    EXPECT_TRUE(box.planned);
    EXPECT_TRUE(box.answered);
  }
}

TEST(MessageBoxes, ABoxHasNoOwnerAndKeepsTheWholeProgramWaiting) {
  RealWindow app;
  HWND owner = reinterpret_cast<HWND>(1);
  BOOL mainEnabled = TRUE;
  ModalAnswerer answerer;
  answerer.Press(IDOK).OnEachBox([&](HWND box) {
    owner = ::GetWindow(box, GW_OWNER);
    mainEnabled = ::IsWindowEnabled(app.Main());
  });
  answerer.Run(
      [&] { app.window.context().messages.Show("完成", MessageButtons::kOk, kMessageCaption); });
  EXPECT_EQ(owner, nullptr);
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(::IsWindowEnabled(app.Main()));
}

TEST(MessageBoxes, BoxesBeyondThePlanAreClosedAndReported) {
  win32::Win32MessageBoxes boxes;
  ModalAnswerer answerer;
  answerer.Press(IDOK);
  MessageAnswer second{};
  answerer.Run([&] {
    boxes.Show("一", MessageButtons::kOk, kMessageCaption);
    second = boxes.Show("二", MessageButtons::kOkCancel, kMessageCaption);
  });
  ASSERT_EQ(answerer.Boxes().size(), 2u);
  EXPECT_TRUE(answerer.Boxes()[0].planned);
  EXPECT_FALSE(answerer.Boxes()[1].planned);
  EXPECT_EQ(second, MessageAnswer::kCancel);
  EXPECT_EQ(answerer.Unused(), 0u);
}

class SaveDialogTest : public ::testing::Test {
 protected:
  SaveDialog& dialog() { return app.window.controls().通用对话框2; }
  RealWindow app;
  std::unique_ptr<Scene> scene = MakeScene();
};

TEST_F(SaveDialogTest, ProposesItsNameInTheGivenFolderAndKeepsTheChosenPath) {
  dialog().SetInitialFolder(scene->root());
  HWND owner = nullptr;
  std::string filter;
  ModalAnswerer answerer;
  answerer.SaveAs(scene->root() + "模板").OnEachBox([&](HWND box) {
    owner = ::GetWindow(box, GW_OWNER);
    filter = win32::WindowText(::GetDlgItem(box, cmb1));  // the file type entry
  });
  bool confirmed = false;
  answerer.Run([&] { confirmed = dialog().Show(); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  const ModalAnswerer::Box& box = answerer.Boxes()[0];
  EXPECT_EQ(box.kind, ModalAnswerer::Kind::kSaveDialog);
  EXPECT_EQ(box.text, "匹配代码示例");
  EXPECT_EQ(box.folder + "\\", scene->root());
  EXPECT_EQ(owner, app.Main());  // modal to the program's window
  EXPECT_EQ(filter, "csv");      // one entry, named by the filter text
  EXPECT_TRUE(confirmed);
  // The default extension is added to a name typed without one.
  EXPECT_EQ(dialog().FileName(), scene->root() + "模板.csv");

  // Cancelled, it keeps the name it had; shown again, it proposes it.
  ModalAnswerer cancel;
  cancel.Press(IDCANCEL);
  cancel.Run([&] { confirmed = dialog().Show(); });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(dialog().FileName(), scene->root() + "模板.csv");
  ASSERT_EQ(cancel.Boxes().size(), 1u);
  EXPECT_NE(cancel.Boxes()[0].text.find("模板.csv"), std::string::npos);
}

TEST_F(SaveDialogTest, AStopAskedWhileItIsUpIsAskedOnceItIsGone) {
  for (const bool byEsc : {false, true}) {
    const std::string path = scene->root() + (byEsc ? "esc.csv" : "close.csv");
    ModalAnswerer answerer;
    answerer.SaveAs(path).Press(IDYES).OnEachBox([&](HWND) {
      if (!answerer.Boxes().empty()) return;  // the dialog only
      ::PostMessageA(byEsc ? app.Handle("按钮1") : app.Main(), byEsc ? WM_KEYDOWN : WM_CLOSE,
                     byEsc ? VK_ESCAPE : 0, 0);
      ::Sleep(300);  // taken by the dialog's own message loop
    });
    answerer.Run([&] { app.Click("按钮11"); });
    ASSERT_EQ(answerer.Boxes().size(), 2u) << byEsc;
    EXPECT_EQ(answerer.Boxes()[1].text.rfind("正在处理（", 0), 0u) << answerer.Boxes()[1].text;
    EXPECT_FALSE(scene->Exists(path)) << "stopped: nothing written";
  }
}

TEST_F(SaveDialogTest, AsksBeforeReplacingAFile) {
  scene->AddFile(scene->root() + "已有.csv", "old");
  dialog().SetInitialFolder(scene->root());
  ModalAnswerer answerer;
  answerer.SaveAs(scene->root() + "已有.csv").Press(IDYES);
  bool confirmed = false;
  answerer.Run([&] { confirmed = dialog().Show(); });
  EXPECT_TRUE(confirmed);
  ASSERT_EQ(answerer.Boxes().size(), 2u);
  EXPECT_EQ(answerer.Boxes()[1].kind, ModalAnswerer::Kind::kMessageBox);
  // The dialog's own question (its wording is the system's), not one of ours.
  EXPECT_NE(answerer.Boxes()[1].caption, kMessageCaption);
  EXPECT_TRUE(answerer.Boxes()[1].answered);
  EXPECT_EQ(dialog().FileName(), scene->root() + "已有.csv");
  EXPECT_EQ(scene->Content(scene->root() + "已有.csv"), "old");  // the dialog writes nothing
}

TEST_F(SaveDialogTest, ANameWithACharacterGbkLacksWritesNothing) {
  // An ANSI dialog would hand back "Koln.csv" for "Köln.csv": a file the
  // user never named, replaced without a question.
  scene->AddFile(scene->root() + "Koln.csv", "old");
  ModalAnswerer answerer;
  answerer.SaveAs(win32::FromGbk(scene->root()) + L"K\u00f6ln.csv").Press(IDOK);
  answerer.Run([&] { app.Click("按钮11"); });
  ASSERT_EQ(answerer.Boxes().size(), 2u);
  EXPECT_EQ(answerer.Boxes()[1].text.rfind("文件名含有无法使用的字符：", 0), 0u)
      << answerer.Boxes()[1].text;
  EXPECT_EQ(scene->Content(scene->root() + "Koln.csv"), "old");
}

TEST_F(SaveDialogTest, TheExportDialogStartsWithNoName) {
  SaveDialog& exportDialog = app.window.controls().通用对话框1;
  exportDialog.SetInitialFolder(scene->root());
  std::string filter;
  ModalAnswerer answerer;
  answerer.SaveAs("名单").OnEachBox(  // no folder: the dialog's own
      [&](HWND box) { filter = win32::WindowText(::GetDlgItem(box, cmb1)); });
  bool confirmed = false;
  answerer.Run([&] { confirmed = exportDialog.Show(); });
  ASSERT_EQ(answerer.Boxes().size(), 1u);
  EXPECT_EQ(answerer.Boxes()[0].text, "");
  EXPECT_EQ(filter, ".csv");
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(exportDialog.FileName(), scene->root() + "名单.csv");
}

}  // namespace
}  // namespace renamora::testing
