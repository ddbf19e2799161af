// A command long enough to watch, through the real window on real files:
// 4,000 files (in folders of 1,000, which Wine handles faster than one large
// folder) take some seconds to rename under Wine. Meanwhile another
// thread acts as the user and the system do: it clicks again, drops a file,
// asks the window to answer, reads its title, presses Esc and the close box.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cstring>

#include "app/win32/busy_window.h"
#include "platform/win32/fallbacks.h"
#include "tests/support/scene.h"
#include "tests/support/shown_rows.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"
#include "tests/support/win32/thread.h"

namespace renamora::testing {
namespace {

constexpr int kFiles = 4000;

std::string NameOf(int i) {
  char name[32];
  std::snprintf(name, sizeof(name), "文件%04d.txt", i);
  return name;
}
// The folder of file i, below the dropped one, with a trailing backslash.
std::string SubfolderOf(int i) {
  return "\\第" + std::to_string(i / 1000 + 1) + "组\\";
}

// The title, asked as another program asks: the window must answer.
std::string TitleOf(HWND window) {
  char title[256] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof(title), reinterpret_cast<LPARAM>(title),
                        SMTO_NORMAL, 5000, &copied);
  return title;
}

bool Busy(HWND window) {
  return TitleOf(window).rfind("Renamora - ", 0) == 0;
}

// Waits, on the acting thread, until the window says a command runs.
bool WaitUntilBusy(HWND window) {
  for (int i = 0; i < 1000; ++i) {
    if (Busy(window)) return true;
    ::Sleep(10);
  }
  return false;
}

// A drop as the shell makes it: posted, so that it waits in the queue.
void PostDrop(HWND target, const std::string& path) {
  const std::string names = path + '\0' + '\0';
  HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
  auto* block = static_cast<DROPFILES*>(::GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->pt = {20, 20};
  std::memcpy(reinterpret_cast<char*>(block) + sizeof(DROPFILES), names.data(), names.size());
  ::GlobalUnlock(memory);
  ::PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

class LongRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scene_ = MakeScene().release();
    folder_ = scene_->root() + "长任务";
    scene_->AddFolder(folder_);
    for (int i = 0; i < kFiles; ++i) {
      if (i % 1000 == 0) scene_->AddFolder(folder_ + SubfolderOf(i));
      scene_->AddFile(folder_ + SubfolderOf(i) + NameOf(i));
    }
    rules_ = scene_->root() + "规则.csv";
    scene_->AddFile(rules_, "代码,内容\r\n文件,新\r\n");
  }
  static void TearDownTestSuite() {
    delete scene_;
    scene_ = nullptr;
  }

  void SetUp() override {
    DropFiles(app.Main(), {folder_}, RealWindow::Centre(app.Rect("超级列表框1")));
    ASSERT_EQ(app.window.fileList().RowCount(), static_cast<std::size_t>(kFiles));
    app.Type("编辑框1", "X");
  }
  void TearDown() override {
    // Every file back under its first name for the next test.
    app.Click("按钮2");
    for (int i = 0; i < kFiles; ++i) {
      EXPECT_TRUE(scene_->Exists(folder_ + SubfolderOf(i) + NameOf(i))) << NameOf(i);
    }
  }

  // A click as the user makes it: the button's mouse messages wait in the
  // queue, and the window takes them, and everything after, until the
  // queue is empty.
  void ClickAndRun(const char* button) {
    HWND handle = app.Handle(button);
    RECT rect;
    ::GetClientRect(handle, &rect);
    const LPARAM at = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    ::PostMessageA(handle, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(handle, WM_LBUTTONUP, 0, at);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }

  std::size_t RowsWithStatus(Status status) {
    const std::vector<ShownRow> rows = ShownRows(app.window.fileList());
    return static_cast<std::size_t>(std::count_if(
        rows.begin(), rows.end(), [&](const ShownRow& r) { return r.status == status; }));
  }

  static Scene* scene_;
  static std::string folder_;
  static std::string rules_;
  RealWindow app;
};

Scene* LongRun::scene_ = nullptr;
std::string LongRun::folder_;
std::string LongRun::rules_;

TEST_F(LongRun, TheWindowAnswersShowsHowFarAndTakesNoSecondClick) {
  std::atomic<bool> ended{false};
  std::atomic<bool> answered{false};
  std::vector<std::string> titles;
  bool clickedAgain = false;
  Thread user([&] {
    if (!WaitUntilBusy(app.Main())) return;
    // A second click, as a user makes it when nothing seems to happen, and
    // a rule file dropped on the Rule list.
    HWND button = app.Handle("按钮1");
    ::PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostDrop(app.Handle("超级列表框2"), rules_);
    clickedAgain = true;
  });
  Thread system([&] {
    while (!ended) {
      // How long the answer takes is make bench's figure; here it must come.
      DWORD_PTR result = 0;
      if (::SendMessageTimeoutA(app.Main(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) {
        answered = true;
      }
      const std::string title = TitleOf(app.Main());
      if (titles.empty() || titles.back() != title) titles.push_back(title);
      ::Sleep(20);
    }
  });
  const auto boxes = BoxesShownBy([&] { ClickAndRun("按钮1"); });
  ended = true;
  user.join();
  system.join();

  ASSERT_TRUE(clickedAgain) << "the run never showed its progress";
  EXPECT_EQ(boxes, std::vector<std::string>{});
  EXPECT_TRUE(answered);
  // Renamed once, every file: the second click ran nothing.
  EXPECT_EQ(RowsWithStatus(Status::kDone), static_cast<std::size_t>(kFiles));
  for (int i = 0; i < kFiles; i += 97) {
    EXPECT_TRUE(scene_->Exists(folder_ + SubfolderOf(i) + "X-" + NameOf(i))) << NameOf(i);
  }
  EXPECT_EQ(app.window.ruleList().RowCount(), 0u);
  // The title told how far the run had come, and is the program's again.
  const bool counted = std::any_of(titles.begin(), titles.end(), [](const std::string& title) {
    return title.rfind("Renamora - 修改 ", 0) == 0 && title.find("/4,000") != std::string::npos;
  });
  EXPECT_TRUE(counted) << (titles.empty() ? "" : titles.back());
  EXPECT_EQ(win32::WindowText(app.Main()), "Renamora");
}

TEST_F(LongRun, TheCloseBoxAndEscAskFirstAndAStopLeavesTheListTrue) {
  std::atomic<int> asked{0};
  ModalAnswerer answerer;
  answerer.Press(IDNO).Press(IDYES).OnEachBox([&](HWND) { ++asked; });
  Thread user([&] {
    if (!WaitUntilBusy(app.Main())) return;
    ::PostMessageA(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    while (asked < 1) ::Sleep(5);
    ::Sleep(300);  // No: the run goes on
    ::PostMessageA(app.Handle("按钮1"), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  answerer.Run([&] { ClickAndRun("按钮1"); });
  user.join();

  ASSERT_EQ(answerer.Boxes().size(), 2u);
  for (const auto& box : answerer.Boxes()) {
    EXPECT_EQ(box.caption, "信息：");
    EXPECT_EQ(box.text.rfind("正在处理（", 0), 0u) << box.text;
  }
  EXPECT_TRUE(::IsWindow(app.Main()));
  EXPECT_EQ(win32::WindowText(app.Main()), "Renamora");
  // The rows it reached say what happened, the others are as they were,
  // and every row names the file as the disk has it.
  const std::size_t reached = RowsWithStatus(Status::kDone);
  EXPECT_GT(reached, 0u);
  EXPECT_LT(reached, static_cast<std::size_t>(kFiles));
  const std::vector<ShownRow> rows = ShownRows(app.window.fileList());
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (r < reached) {
      EXPECT_EQ(rows[r].status, Status::kDone) << r;
      EXPECT_EQ(rows[r].currentName, "X-" + rows[r].originalName) << r;
    } else {
      EXPECT_EQ(rows[r].status, Status::kNone) << r;
      EXPECT_EQ(rows[r].currentName, rows[r].originalName) << r;
    }
    if (r % 53 == 0) {
      EXPECT_TRUE(scene_->Exists(rows[r].folder + rows[r].currentName)) << r;
    }
  }
  // TearDown restores every file with 按钮2.
}

// Where the system offers no taskbar interface (XP, Vista), the title alone
// tells how far a command has come.
TEST(LongRunWithoutTaskbar, TheTitleAloneShowsHowFar) {
  RealWindow app;
  win32::ForceFallbacks(true);
  win32::BusyWindow busy(app.Main(), app.systemMessages);
  win32::ForceFallbacks(false);
  busy.Begin("修改");
  std::string title;
  for (std::size_t done = 0; done < 400 && title.find("/100,000") == std::string::npos; ++done) {
    busy.Step(done, 100000);
    title = win32::WindowText(app.Main());
    ::Sleep(5);
  }
  busy.End();
  EXPECT_EQ(title.rfind("Renamora - 修改 ", 0), 0u) << title;
  EXPECT_EQ(win32::WindowText(app.Main()), "Renamora");
}

}  // namespace
}  // namespace renamora::testing
