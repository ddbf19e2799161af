// The real main window against the layout table: every control where the
// table puts it at the display scale of the run, as what it says, in the
// state it says; a change of scale while it is open; and the start-up.
// scripts/test.sh runs the window's cases again at 144 and 192 DPI and says
// so in RENAMORA_TEST_DPI.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

#include "app/layout.h"
#include "platform/win32/fallbacks.h"
#include "tests/support/scene.h"
#include "tests/support/win32/modal_answerer.h"
#include "tests/support/win32/real_window.h"

namespace renamora::testing {
namespace {

using layout::Kind;

bool HasWindow(Kind kind) {
  return kind != Kind::kSaveDialog && kind != Kind::kDropObject && kind != Kind::kTransparentLabel;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof(name));
  return name;
}

const char* ExpectedClass(Kind kind) {
  switch (kind) {
    case Kind::kListView:
      return "SysListView32";
    case Kind::kTabControl:
      return "SysTabControl32";
    case Kind::kLabel:
      return "Static";
    case Kind::kEditBox:
      return "Edit";
    case Kind::kComboBox:
      return "ComboBox";
    default:
      return "Button";
  }
}

LONG_PTR StyleOf(HWND window) {
  return ::GetWindowLongPtrA(window, GWL_STYLE);
}

constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE, Windows 10 1703 on

// The display scale Wine was started at for this run.
int RunDpi() {
  const char* set = std::getenv("RENAMORA_TEST_DPI");
  return set && std::atoi(set) > 0 ? std::atoi(set) : 96;
}

// The rounding rule: to the nearest pixel, halves up. A rectangle scales its
// edges, so what meets at 96 DPI still meets.
int Scaled(int value, int dpi) {
  return (value * dpi + 48) / 96;
}
RECT ScaledRect(const layout::Control& c, int dpi) {
  return {Scaled(c.left, dpi), Scaled(c.top, dpi), Scaled(c.left + c.width, dpi),
          Scaled(c.top + c.height, dpi)};
}

RECT RectIn(HWND window, HWND of) {
  RECT rect;
  ::GetWindowRect(of, &rect);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what) {
  EXPECT_EQ(actual.left, expected.left) << what;
  EXPECT_EQ(actual.top, expected.top) << what;
  EXPECT_EQ(actual.right, expected.right) << what;
  EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

// What user32 has from Windows 10 on; the tests ask Wine's.
template <typename Function>
Function User32(const char* name) {
  FARPROC found = ::GetProcAddress(::GetModuleHandleA("user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}
int SystemMetricAt(int index, int dpi) {
  return User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi")(index, dpi);
}

// The client area of a window 657 x 353 outside at 96 DPI.
SIZE ClientAtBase(HWND main) {
  RECT frame{0, 0, 0, 0};
  const auto adjust =
      User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  adjust(&frame, static_cast<DWORD>(StyleOf(main)), FALSE,
         static_cast<DWORD>(::GetWindowLongPtrA(main, GWL_EXSTYLE)), 96);
  return {657 - (frame.right - frame.left), 353 - (frame.bottom - frame.top)};
}

LOGFONTA FontOf(HGDIOBJ font) {
  LOGFONTA info{};
  ::GetObjectA(font, sizeof(info), &info);
  return info;
}

// Whether the system let the window have the size it asked for: no window
// grows beyond the screen and its frame, and Wine's test screen is 1024 x 768.
bool FitsOnScreen(HWND main) {
  RECT outer;
  ::GetWindowRect(main, &outer);
  return outer.right - outer.left < ::GetSystemMetrics(SM_CXMAXTRACK) &&
         outer.bottom - outer.top < ::GetSystemMetrics(SM_CYMAXTRACK);
}

// Every control and hint of the table at `dpi`, each in its parent, in the
// window's one font; the client area scaled too.
void ExpectLaidOutAt(RealWindow& app, int dpi) {
  SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
  EXPECT_EQ(app.window.Dpi(), dpi);
  // Wine draws the frame at the scale it started with, whatever a test tells
  // the window; the client area is the window's own only at that scale.
  if (dpi == RunDpi() && FitsOnScreen(app.Main())) {
    RECT client;
    ::GetClientRect(app.Main(), &client);
    const SIZE base = ClientAtBase(app.Main());
    EXPECT_EQ(client.right, Scaled(base.cx, dpi));
    EXPECT_EQ(client.bottom, Scaled(base.cy, dpi));
  }
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    HWND parent = c.parent ? app.Handle(c.parent) : app.Main();
    if (c.kind == Kind::kTransparentLabel) {
      win32::ListHint& hint = app.window.hint(c.name);
      RECT area = hint.Area();
      ::MapWindowPoints(hint.List(), parent, reinterpret_cast<POINT*>(&area), 2);
      ExpectRect(area, ScaledRect(c, dpi), c.name);
    }
    HWND control = app.Handle(c.name);
    if (!control) continue;
    ExpectRect(RectIn(parent, control), ScaledRect(c, dpi), c.name);
    EXPECT_EQ(::SendMessageA(control, WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(app.window.Font()))
        << c.name;
  }
  // At the system's scale exactly the default GUI font, at 96 DPI as before.
  const LOGFONTA stock = FontOf(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA font = FontOf(app.window.Font());
  EXPECT_EQ(font.lfHeight, ::MulDiv(stock.lfHeight, dpi, RunDpi()));
  font.lfHeight = stock.lfHeight;
  EXPECT_EQ(std::memcmp(&font, &stock, sizeof(font)), 0);
  // The title bar and the task bar get the icon sizes of the scale.
  for (const auto& [which, metric] :
       {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
    ICONINFO info{};
    HICON icon = reinterpret_cast<HICON>(::SendMessageA(app.Main(), WM_GETICON, which, 0));
    ASSERT_TRUE(icon && ::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, SystemMetricAt(metric, dpi)) << "icon " << which;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
  }
}

class MainWindowLayout : public ::testing::Test {
 protected:
  RealWindow app;
};

TEST_F(MainWindowLayout, TheWindowIsFixedSizedTitledAndCentred) {
  HWND main = app.Main();
  ASSERT_TRUE(::IsWindow(main));
  EXPECT_EQ(win32::WindowText(main), "Renamora");
  // The manifest makes the program aware of the scale: the system does not
  // stretch a 96-DPI picture of it.
  EXPECT_EQ(User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow")(main), static_cast<UINT>(RunDpi()));
  EXPECT_EQ(app.window.Dpi(), RunDpi());
  RECT outer;
  ::GetWindowRect(main, &outer);
  if (RunDpi() == 96) {
    EXPECT_EQ(outer.right - outer.left, 657);
    EXPECT_EQ(outer.bottom - outer.top, 353);
  }

  const LONG_PTR style = StyleOf(main);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);  // the user cannot resize it

  // Centred; a window larger than the screen (192 DPI on Wine's 1024 x 768
  // test screen) starts at its top left corner.
  RECT work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  if (outer.right - outer.left <= work.right - work.left) {
    EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
  } else {
    EXPECT_EQ(outer.left, work.left);
  }
  if (outer.bottom - outer.top <= work.bottom - work.top) {
    EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1);
  } else {
    EXPECT_EQ(outer.top, work.top);
  }
}

TEST_F(MainWindowLayout, EveryControlIsWhereTheTableSaysAsWhatItSays) {
  const int dpi = RunDpi();
  ExpectLaidOutAt(app, dpi);
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    SCOPED_TRACE(c.name);
    HWND control = app.Handle(c.name);
    if (!HasWindow(c.kind)) {
      EXPECT_EQ(control, nullptr) << "drawn or used without a window of its own";
      continue;
    }
    ASSERT_NE(control, nullptr);
    EXPECT_STRCASEEQ(ClassOf(control).c_str(), ExpectedClass(c.kind));
    EXPECT_EQ(::GetParent(control), c.parent ? app.Handle(c.parent) : app.Main());

    // In the main window each parent's offset is rounded on its own.
    const layout::Point at = layout::PositionInMainWindow(c);
    const RECT rect = app.Rect(c.name);
    EXPECT_NEAR(rect.left, at.x * dpi / 96.0, 1.5);
    EXPECT_NEAR(rect.top, at.y * dpi / 96.0, 1.5);
    EXPECT_NEAR(rect.right - rect.left, c.width * dpi / 96.0, 1);
    EXPECT_NEAR(rect.bottom - rect.top, c.height * dpi / 96.0, 1);
    if (dpi == 96) {
      EXPECT_EQ(rect.left, at.x);
      EXPECT_EQ(rect.top, at.y);
    }

    if (c.kind != Kind::kListView && c.kind != Kind::kTabControl) {
      EXPECT_EQ(app.Text(c.name), c.caption);
    }

    // Focus order: what the user types into, picks or presses, nothing else.
    // A radio group is one stop, at its checked button, as in any dialog;
    // the arrow keys move within it.
    const bool tabStop = c.kind == Kind::kComboBox || c.kind == Kind::kEditBox ||
                         c.kind == Kind::kListView || c.kind == Kind::kPushButton ||
                         (c.kind == Kind::kRadioButton && c.checked);
    EXPECT_EQ((StyleOf(control) & WS_TABSTOP) != 0, tabStop);
  }
}

TEST_F(MainWindowLayout, KindsCarryTheStylesTheirBehaviourNeeds) {
  for (std::size_t i = 0; i < layout::kControlCount; ++i) {
    const layout::Control& c = layout::kControls[i];
    SCOPED_TRACE(c.name);
    HWND control = app.Handle(c.name);
    if (!control) continue;
    const LONG_PTR style = StyleOf(control);
    switch (c.kind) {
      case Kind::kListView: {
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(style & LVS_OWNERDATA);
        EXPECT_TRUE(style & LVS_SINGLESEL);
        EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING));
        const LRESULT extended = ::SendMessageA(control, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_FALSE(extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES));
        break;
      }
      case Kind::kComboBox:
        EXPECT_EQ(style & 3, CBS_DROPDOWN);  // editable, with a list to pick from
        break;
      case Kind::kRadioButton:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
        break;
      case Kind::kGroupBox:
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        break;
      case Kind::kPushButton:
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
        break;
      case Kind::kEditBox:
        EXPECT_TRUE(style & ES_AUTOHSCROLL);  // text longer than the box can be typed
        EXPECT_FALSE(style & ES_MULTILINE);
        EXPECT_GT(::SendMessageA(control, EM_GETLIMITTEXT, 0, 0), 0x7FFF0000);
        break;
      default:
        break;
    }
  }
  // The Rule list's headers do not react to clicks; the File list's do.
  EXPECT_TRUE(StyleOf(app.Handle("超级列表框2")) & LVS_NOSORTHEADER);
  EXPECT_FALSE(StyleOf(app.Handle("超级列表框1")) & LVS_NOSORTHEADER);
  EXPECT_TRUE(StyleOf(app.Handle("标签4")) & SS_CENTER);
  EXPECT_TRUE(StyleOf(app.Handle("标签8")) & SS_CENTER);
  EXPECT_EQ(StyleOf(app.Handle("分组框1")) & BS_CENTER, BS_CENTER);
}

TEST_F(MainWindowLayout, EachRadioGroupHasExactlyOneCheckedAndKeepsItToItself) {
  const std::vector<std::vector<std::string>> groups = {
      {"单选框1", "单选框2"}, {"单选框3", "单选框4", "单选框7"}, {"单选框5", "单选框6"}};
  auto checked = [&](const std::string& name) {
    return ::SendMessageA(app.Handle(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
  };
  auto expectOnly = [&](const std::vector<std::string>& group, const std::string& on) {
    for (const std::string& name : group) EXPECT_EQ(checked(name), name == on) << name;
  };
  expectOnly(groups[0], "单选框1");
  expectOnly(groups[1], "单选框3");
  expectOnly(groups[2], "单选框5");
  for (const auto& group : groups) {
    // A group starts at its first button and the next control starts another.
    EXPECT_TRUE(StyleOf(app.Handle(group.front())) & WS_GROUP) << group.front();
    for (std::size_t i = 1; i < group.size(); ++i) {
      EXPECT_FALSE(StyleOf(app.Handle(group[i])) & WS_GROUP) << group[i];
    }
  }

  // A click checks one button and unchecks the others of its group only.
  app.window.ShowPage(0);
  ::SendMessageA(app.Handle("单选框7"), BM_CLICK, 0, 0);
  expectOnly(groups[1], "单选框7");
  expectOnly(groups[0], "单选框1");
  expectOnly(groups[2], "单选框5");
  app.window.ShowPage(2);
  ::SendMessageA(app.Handle("单选框6"), BM_CLICK, 0, 0);
  expectOnly(groups[2], "单选框6");
  expectOnly(groups[1], "单选框7");

  // What the commands read is what the buttons show.
  Controls& ui = app.window.controls();
  EXPECT_TRUE(ui.单选框7.IsChecked());
  EXPECT_FALSE(ui.单选框3.IsChecked());
  EXPECT_TRUE(ui.单选框1.IsChecked());
  EXPECT_TRUE(ui.单选框6.IsChecked());
  EXPECT_FALSE(ui.单选框5.IsChecked());
}

TEST_F(MainWindowLayout, CombosShowADashButOnlyTheFirstHasItSelected) {
  for (const char* name : {"组合框1", "组合框2"}) {
    HWND combo = app.Handle(name);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 1) << name;
    char item[8] = {};
    ::SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "-") << name;
    EXPECT_EQ(app.Text(name), "-") << name;
  }
  EXPECT_EQ(::SendMessageA(app.Handle("组合框1"), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(::SendMessageA(app.Handle("组合框2"), CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(app.window.controls().组合框1.Text(), "-");
  EXPECT_EQ(app.window.controls().组合框2.Text(), "-");
}

TEST_F(MainWindowLayout, TextBoxesGiveTheWholeTextTheUserEntered) {
  Controls& ui = app.window.controls();
  EXPECT_EQ(ui.编辑框1.Text(), "");
  // Far beyond any fixed buffer, and double-byte throughout.
  std::string longText;
  for (int i = 0; i < 20000; ++i) longText += "文";
  ::SetWindowTextA(app.Handle("编辑框1"), longText.c_str());
  EXPECT_EQ(ui.编辑框1.Text(), longText);
  // A combo box gives what its edit field holds, typed or picked.
  ::SetWindowTextA(app.Handle("组合框2"), "＿下划线_");
  EXPECT_EQ(ui.组合框2.Text(), "＿下划线_");
  ::SendMessageA(app.Handle("组合框1"), CB_SETCURSEL, 0, 0);
  EXPECT_EQ(ui.组合框1.Text(), "-");
}

TEST_F(MainWindowLayout, TabsAndPagesShowOnlyTheSelectedPagesControls) {
  HWND tab = app.Handle("选择夹1");
  ASSERT_EQ(::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 3);
  for (int t = 0; t < 3; ++t) {
    char caption[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = sizeof(caption);
    ::SendMessageA(tab, TCM_GETITEMA, t, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(caption, layout::kTabCaptions[t]);
  }
  EXPECT_EQ(::SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);  // "匹配改名" at start

  auto expectPageShown = [&](int page) {
    for (std::size_t i = 0; i < layout::kControlCount; ++i) {
      const layout::Control& c = layout::kControls[i];
      if (c.page == layout::kMainWindow || !app.Handle(c.name)) continue;
      EXPECT_EQ(::IsWindowVisible(app.Handle(c.name)) != 0, c.page == page)
          << c.name << " with page " << page << " selected";
    }
  };
  expectPageShown(0);
  // As the tab control reports a click on a tab.
  for (int page : {1, 2, 0}) {
    ::SendMessageA(tab, TCM_SETCURSEL, page, 0);
    NMHDR header{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)), TCN_SELCHANGE};
    ::SendMessageA(app.Main(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    expectPageShown(page);
    EXPECT_EQ(app.window.CurrentPage(), page);
  }
  EXPECT_TRUE(::IsWindowVisible(app.Handle("超级列表框1")));
}

TEST_F(MainWindowLayout, TheLoadCountFitsItsLabelUpToAMillionFiles) {
  // 标签4 is centred: the count reads whole from both ends.
  const std::string text = "载入1000000个文件";
  HDC dc = ::GetDC(app.Handle("标签4"));
  HGDIOBJ old = ::SelectObject(dc, app.window.Font());
  SIZE extent{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(app.Handle("标签4"), dc);
  RECT label;
  ::GetClientRect(app.Handle("标签4"), &label);
  EXPECT_LE(extent.cx, label.right);
  const RECT inBox = RectIn(app.Handle("分组框2"), app.Handle("标签4"));
  EXPECT_NEAR((inBox.left + inBox.right) / 2.0, 115 * RunDpi() / 96.0, 1);
}

TEST_F(MainWindowLayout, ListsStartEmptyWithTheirColumnsFittedToTheTitles) {
  HWND files = app.Handle("超级列表框1");
  HWND rules = app.Handle("超级列表框2");
  EXPECT_EQ(ListRowCount(files), 0);
  EXPECT_EQ(ListRowCount(rules), 0);
  const std::vector<std::pair<std::string, int>> fileColumns = {
      {"文件路径", 60}, {"原名", 36}, {"现文件名", 60}, {"状态", 36}};
  const int dpi = RunDpi();
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(ListColumnTitle(files, c), fileColumns[c].first);
    EXPECT_EQ(ListColumnWidth(files, c), Scaled(fileColumns[c].second, dpi)) << c;
    // The rules keep their own figures whatever the scale.
    EXPECT_EQ(app.window.fileList().ColumnWidth(c), fileColumns[c].second) << c;
  }
  EXPECT_EQ(ListColumnTitle(files, 4), "?");  // exactly four
  EXPECT_EQ(ListColumnTitle(rules, 0), "匹配代码");
  EXPECT_EQ(ListColumnTitle(rules, 1), "插入内容");
  EXPECT_EQ(ListColumnTitle(rules, 2), "?");
  EXPECT_EQ(ListColumnWidth(rules, 0), Scaled(60, dpi));
  EXPECT_EQ(ListColumnWidth(rules, 1), Scaled(60, dpi));
}

TEST_F(MainWindowLayout, AfterALoadBothListsShowTheRulesWidthsAtTheScale) {
  const int dpi = RunDpi();
  auto scene = MakeScene();
  const std::string name = "a_long_file_name_for_the_width.txt";
  scene->AddFile(scene->root() + name);
  DropFiles(app.Main(), {scene->root() + name}, RealWindow::Centre(app.Rect("超级列表框1")));
  HWND files = app.Handle("超级列表框1");
  ASSERT_EQ(ListRowCount(files), 1);
  const int fileWidths[] = {80, 80, static_cast<int>(6 * name.size() + 12), 36};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(ListColumnWidth(files, c), Scaled(fileWidths[c], dpi)) << c;
    EXPECT_EQ(app.window.fileList().ColumnWidth(c), fileWidths[c]) << c;
  }

  // A drop on the main window where the hint 透明标签2 lies at this scale is
  // a drop on the Rule list.
  scene->AddFile(scene->root() + "rules.csv", "code,text\r\naaa,333\r\n");
  const layout::Control& hint = *layout::Find("透明标签2");
  RECT at = ScaledRect(hint, dpi);
  ::MapWindowPoints(app.Handle("选择夹1"), app.Main(), reinterpret_cast<POINT*>(&at), 2);
  ModalAnswerer answerer;
  answerer.Press(IDOK);  // skip the header line
  answerer.Run(
      [&] { DropFiles(app.Main(), {scene->root() + "rules.csv"}, RealWindow::Centre(at)); });
  EXPECT_EQ(answerer.Boxes().size(), 1u);
  EXPECT_EQ(app.DropEvents().back().control, "拖放对象2");
  HWND rules = app.Handle("超级列表框2");
  ASSERT_EQ(ListRowCount(rules), 1);
  EXPECT_EQ(ListCell(rules, 0, 0), "aaa");
  EXPECT_EQ(ListColumnWidth(rules, 0), Scaled(60, dpi));
  EXPECT_EQ(ListColumnWidth(rules, 1), Scaled(60, dpi));
  EXPECT_EQ(ListRowCount(files), 1);
}

TEST_F(MainWindowLayout, AnotherScaleLaysEverythingOutAgainAndEveryControlKeepsItsState) {
  // Rows enough to scroll, one selected, a column the user dragged, and
  // something in every kind of control.
  std::vector<std::string> paths;
  for (int i = 0; i < 300; ++i) paths.push_back("C:\\f\\" + std::to_string(i) + ".txt");
  DropFiles(app.Main(), paths, RealWindow::Centre(app.Rect("超级列表框1")));
  HWND files = app.Handle("超级列表框1");
  LVITEMA select{};
  select.state = select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(files, LVM_SETITEMSTATE, 120, reinterpret_cast<LPARAM>(&select));
  RECT row{};
  row.left = LVIR_BOUNDS;
  ::SendMessageA(files, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  // The focus may have scrolled the list already.
  const LRESULT top = ::SendMessageA(files, LVM_GETTOPINDEX, 0, 0);
  ::SendMessageA(files, LVM_SCROLL, 0, (100 - top) * (row.bottom - row.top));
  ASSERT_EQ(::SendMessageA(files, LVM_GETTOPINDEX, 0, 0), 100);
  const int start = RunDpi();
  ::SendMessageA(files, LVM_SETCOLUMNWIDTH, 3, Scaled(100, start));  // dragged
  app.Type("编辑框1", "文本");
  app.Type("组合框2", "_");
  app.Click("单选框7");
  app.SelectPage(1);
  app.window.controls().透明标签2.SetVisible(false);

  for (int dpi : {144, 192, 120, start}) {
    // As Windows moves the window to a monitor of that scale: first it asks
    // which size the window wants there.
    SIZE size{};
    ASSERT_TRUE(
        ::SendMessageA(app.Main(), kGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size)));
    RECT outer;
    ::GetWindowRect(app.Main(), &outer);
    const RECT suggested{outer.left + 10, outer.top + 20, outer.left + 10 + size.cx,
                         outer.top + 20 + size.cy};
    ::SendMessageA(app.Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    ExpectLaidOutAt(app, dpi);
    if (FitsOnScreen(app.Main()))
      ExpectRect(RectIn(HWND_DESKTOP, app.Main()), suggested, "the window");

    EXPECT_EQ(ListRowCount(files), 300);
    EXPECT_EQ(::SendMessageA(files, LVM_GETTOPINDEX, 0, 0), 100);
    EXPECT_EQ(::SendMessageA(files, LVM_GETNEXTITEM, -1, LVNI_SELECTED), 120);
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(ListColumnWidth(files, c), Scaled(app.window.fileList().ColumnWidth(c), dpi));
    }
    EXPECT_NEAR(ListColumnWidth(files, 3), 100 * dpi / 96.0, 1);
    EXPECT_EQ(app.Text("编辑框1"), "文本");
    EXPECT_EQ(app.Text("组合框2"), "_");
    EXPECT_TRUE(app.IsChecked("单选框7"));
    EXPECT_FALSE(app.IsChecked("单选框3"));
    EXPECT_EQ(app.window.CurrentPage(), 1);
    EXPECT_TRUE(::IsWindowVisible(app.Handle("编辑框1")));
    EXPECT_FALSE(::IsWindowVisible(app.Handle("超级列表框2")));
    EXPECT_FALSE(app.window.hint("透明标签2").Visible());
    EXPECT_FALSE(app.window.hint("透明标签1").Visible());
    EXPECT_EQ(app.Text("标签4"), "载入300个文件");
  }
}

TEST_F(MainWindowLayout, HintsArePaintedByTheListsTheyLieOver) {
  for (const char* name : {"透明标签1", "透明标签2"}) {
    SCOPED_TRACE(name);
    const layout::Control& c = *layout::Find(name);
    win32::ListHint& hint = app.window.hint(name);
    EXPECT_TRUE(hint.Visible());
    EXPECT_EQ(hint.Text(), c.caption);
    // Where the table puts it, measured in the main window: exactly at 96
    // DPI; elsewhere each parent's offset is rounded on its own.
    RECT area = hint.Area();
    ::MapWindowPoints(hint.List(), app.Main(), reinterpret_cast<POINT*>(&area), 2);
    const layout::Point at = layout::PositionInMainWindow(c);
    const double scale = RunDpi() / 96.0;
    const double slack = RunDpi() == 96 ? 0 : 1.5;
    EXPECT_NEAR(area.left, at.x * scale, slack);
    EXPECT_NEAR(area.top, at.y * scale, slack);
    EXPECT_NEAR(area.right - area.left, c.width * scale, slack);
    EXPECT_NEAR(area.bottom - area.top, c.height * scale, slack);
  }
  EXPECT_EQ(app.window.hint("透明标签1").List(), app.Handle("超级列表框1"));
  EXPECT_EQ(app.window.hint("透明标签2").List(), app.Handle("超级列表框2"));
}

TEST_F(MainWindowLayout, LabelsAndBoxesGetTheirColoursThroughWhateverParentTheyHave) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  auto colour = [&](const char* name, COLORREF& text, COLORREF& back) {
    HWND control = app.Handle(name);
    const LRESULT brush =
        ::SendMessageA(::GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(control));
    text = ::GetTextColor(dc);
    back = ::GetBkColor(dc);
    return brush;
  };
  COLORREF text = 0;
  COLORREF back = 0;
  const LRESULT white = reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(colour("标签4", text, back), white);  // inside a group box
  EXPECT_EQ(text, RGB(128, 128, 255));
  EXPECT_EQ(back, RGB(255, 255, 255));
  EXPECT_EQ(colour("标签3", text, back), white);
  EXPECT_EQ(text, RGB(255, 80, 128));
  EXPECT_EQ(colour("标签6", text, back), white);  // on a page
  EXPECT_EQ(text, ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(colour("单选框3", text, back), white);
  EXPECT_EQ(colour("分组框1", text, back), white);
  // The export page's radio buttons keep the window's own background.
  EXPECT_NE(colour("单选框5", text, back), white);
  EXPECT_EQ(back, ::GetSysColor(COLOR_BTNFACE));
  ::DeleteDC(dc);
}

TEST_F(MainWindowLayout, AButtonLyingOverTheRuleListIsAboveIt) {
  // The corner where 按钮11 covers the Rule list belongs to the button.
  RECT button = app.Rect("按钮11");
  RECT list = app.Rect("超级列表框2");
  RECT overlap;
  ASSERT_TRUE(::IntersectRect(&overlap, &button, &list));
  POINT inTab = RealWindow::Centre(overlap);
  ::MapWindowPoints(app.Main(), app.Handle("选择夹1"), &inTab, 1);
  EXPECT_EQ(::ChildWindowFromPointEx(app.Handle("选择夹1"), inTab, CWP_SKIPINVISIBLE),
            app.Handle("按钮11"));
}

TEST_F(MainWindowLayout, StartUpRaisesTheCreatedEventOnceAndBindsBothDropTargets) {
  ASSERT_FALSE(app.Events().empty());
  EXPECT_EQ(app.Events()[0].control, kMainWindowName);
  EXPECT_EQ(app.Events()[0].event, Event::kWindowCreated);
  int created = 0;
  for (const auto& raised : app.Events()) created += raised.event == Event::kWindowCreated;
  EXPECT_EQ(created, 1);

  EXPECT_EQ(app.window.dropObject("拖放对象1").BoundWindow(), app.Main());
  EXPECT_EQ(app.window.dropObject("拖放对象2").BoundWindow(), app.Handle("超级列表框2"));
  EXPECT_TRUE(::GetWindowLongPtrA(app.Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_TRUE(::GetWindowLongPtrA(app.Handle("超级列表框2"), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  // Nothing else takes drops of its own.
  EXPECT_FALSE(::GetWindowLongPtrA(app.Handle("超级列表框1"), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  // A drop object binds once.
  EXPECT_FALSE(app.window.dropObject("拖放对象1").Bind(app.Main()));
}

// Windows 7 and 8 offer the system's one scale, its metrics and the frame
// of AdjustWindowRectEx, and nothing per window: through those alone the
// window must be laid out as the Windows 10 functions lay it out, at the
// run's scale and moved to another. No system without those functions asks
// the window for its size first: the size it suggests is the Windows 10 one.
class MainWindowFallbacks : public ::testing::TestWithParam<int> {
  void TearDown() override { win32::ForceFallbacks(false); }
};

TEST_P(MainWindowFallbacks, LayOutAsTheWindows10FunctionsDo) {
  const int dpi = GetParam();
  win32::ForceFallbacks(true);
  RealWindow app;
  if (dpi != app.window.Dpi()) {
    SIZE size{};
    win32::ForceFallbacks(false);
    ::SendMessageA(app.Main(), kGetDpiScaledSize, dpi, reinterpret_cast<LPARAM>(&size));
    win32::ForceFallbacks(true);
    RECT at;
    ::GetWindowRect(app.Main(), &at);
    at = {at.left, at.top, at.left + size.cx, at.top + size.cy};
    ::SendMessageA(app.Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&at));
  }
  ExpectLaidOutAt(app, dpi);
}

INSTANTIATE_TEST_SUITE_P(MainWindowAtEachScale, MainWindowFallbacks,
                         ::testing::Values(96, 120, 144, 192));

TEST(MainWindowLife, AFailingEventLeavesTheWindowWorking) {
  RealWindow app;
  int seen = 0;
  app.window.ObserveEvents([&](std::string_view, Event, const std::string&) {
    ++seen;
    throw std::runtime_error("failure inside an event");
  });
  app.window.ShowPage(1);
  ::SendMessageA(app.Handle("按钮3"), BM_CLICK, 0, 0);
  DropFiles(app.Main(), {"C:\\nothing\\here.txt"}, RealWindow::Centre(app.Rect("超级列表框1")));
  EXPECT_EQ(seen, 2);
  EXPECT_TRUE(::IsWindow(app.Main()));
  // And the next event runs normally.
  app.window.ObserveEvents(nullptr);
  DropFiles(app.Main(), {"C:\\nothing\\here.txt"}, RealWindow::Centre(app.Rect("超级列表框1")));
  EXPECT_EQ(app.Text("标签4"), "载入1个文件");
}

TEST(MainWindowLife, ClosingEndsTheLoopWithExitCodeZeroAndAsksNothing) {
  RealWindow app;
  app.window.EndProgramOnClose();
  ::PostMessageA(app.Main(), WM_CLOSE, 0, 0);
  EXPECT_EQ(win32::RunMessageLoop(app.Main()), 0);
  EXPECT_FALSE(::IsWindow(app.Main()));
}

TEST(MainWindowLife, ClosingAWindowThatIsNotTheProgramsLeavesTheLoopAlone) {
  {
    RealWindow app;
    ::SendMessageA(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(app.Main()));
  }
  MSG message;
  EXPECT_FALSE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace renamora::testing
