// The real main window against the layout table: every control where the
// table puts it, as what it says, in the state it says; and the start-up.
#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <map>
#include <stdexcept>

#include "app/layout.h"
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

class MainWindowLayout : public ::testing::Test {
 protected:
  RealWindow app;
};

TEST_F(MainWindowLayout, TheWindowIsFixedSizedTitledAndCentred) {
  HWND main = app.Main();
  ASSERT_TRUE(::IsWindow(main));
  EXPECT_EQ(win32::WindowText(main), "Renamora");
  RECT outer;
  ::GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, 657);
  EXPECT_EQ(outer.bottom - outer.top, 353);

  const LONG_PTR style = StyleOf(main);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);  // the user cannot resize it

  RECT work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
  EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1);
}

TEST_F(MainWindowLayout, EveryControlIsWhereTheTableSaysAsWhatItSays) {
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

    const layout::Point at = layout::PositionInMainWindow(c);
    const RECT rect = app.Rect(c.name);
    EXPECT_EQ(rect.left, at.x);
    EXPECT_EQ(rect.top, at.y);
    EXPECT_EQ(rect.right - rect.left, c.width);
    EXPECT_EQ(rect.bottom - rect.top, c.height);

    EXPECT_EQ(::SendMessageA(control, WM_GETFONT, 0, 0),
              reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT)));
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

TEST_F(MainWindowLayout, ListsStartEmptyWithTheirColumnsFittedToTheTitles) {
  HWND files = app.Handle("超级列表框1");
  HWND rules = app.Handle("超级列表框2");
  EXPECT_EQ(ListRowCount(files), 0);
  EXPECT_EQ(ListRowCount(rules), 0);
  const std::vector<std::pair<std::string, int>> fileColumns = {
      {"文件路径", 60}, {"原名", 36}, {"现文件名", 60}, {"状态", 36}};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(ListColumnTitle(files, c), fileColumns[c].first);
    EXPECT_EQ(ListColumnWidth(files, c), fileColumns[c].second) << c;
  }
  EXPECT_EQ(ListColumnTitle(files, 4), "?");  // exactly four
  EXPECT_EQ(ListColumnTitle(rules, 0), "匹配代码");
  EXPECT_EQ(ListColumnTitle(rules, 1), "插入内容");
  EXPECT_EQ(ListColumnTitle(rules, 2), "?");
  EXPECT_EQ(ListColumnWidth(rules, 0), 60);
  EXPECT_EQ(ListColumnWidth(rules, 1), 60);
}

TEST_F(MainWindowLayout, HintsArePaintedByTheListsTheyLieOver) {
  for (const char* name : {"透明标签1", "透明标签2"}) {
    SCOPED_TRACE(name);
    const layout::Control& c = *layout::Find(name);
    win32::ListHint& hint = app.window.hint(name);
    EXPECT_TRUE(hint.Visible());
    EXPECT_EQ(hint.Text(), c.caption);
    // Where the table puts it, measured in the main window.
    RECT area = hint.Area();
    ::MapWindowPoints(hint.List(), app.Main(), reinterpret_cast<POINT*>(&area), 2);
    const layout::Point at = layout::PositionInMainWindow(c);
    EXPECT_EQ(area.left, at.x);
    EXPECT_EQ(area.top, at.y);
    EXPECT_EQ(area.right - area.left, c.width);
    EXPECT_EQ(area.bottom - area.top, c.height);
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
