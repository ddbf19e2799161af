// A File list cell cut off by its 80-pixel column shows its whole text in a
// tooltip where the pointer rests, and a cell that fits shows none.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <string>

#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

BOOL CALLBACK ShownTooltip(HWND window, LPARAM found) {
  char name[32] = {};
  ::GetClassNameA(window, name, sizeof(name));
  if (std::string(name) != TOOLTIPS_CLASSA || !::IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Rests the pointer on a cell as a user does, then waits up to `ms` for a
// tooltip of this thread to show; its text, or "<none>".
std::string TipAfterResting(HWND list, int row, int column, DWORD ms) {
  RECT cell{LVIR_LABEL, column, 0, 0};
  ::SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
  const POINT at = RealWindow::Centre(cell);
  POINT screen = at;
  ::ClientToScreen(list, &screen);
  ::SetCursorPos(screen.x, screen.y);
  ::SendMessageA(list, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < ms; ::Sleep(20)) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    HWND shown = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), ShownTooltip, reinterpret_cast<LPARAM>(&shown));
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!shown || !::SendMessageA(shown, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
      continue;
    }
    std::string text(4096, '\0');
    tool.lpszText = text.data();
    ::SendMessageA(shown, TTM_GETTEXTA, text.size(), reinterpret_cast<LPARAM>(&tool));
    return text.c_str();
  }
  return "<none>";
}

TEST(CellTips, ACutCellShowsItsWholeTextWhereThePointerRests) {
  RealWindow app;
  const std::string folder = "C:\\照片\\二〇二四年夏天在海边拍的照片\\";
  HWND files = app.Handle("超级列表框1");
  DropFiles(app.Main(), {folder + "a.jpg", "C:\\b.jpg"},
            RealWindow::Centre(app.Rect("超级列表框1")));
  ASSERT_EQ(ListCell(files, 0, 0), folder);

  EXPECT_EQ(TipAfterResting(files, 0, 0, 5000), folder);
  // "C:\" fits its column: the tip goes and none comes.
  EXPECT_EQ(TipAfterResting(files, 1, 0, 1500), "<none>");
}

}  // namespace
}  // namespace renamora::testing
