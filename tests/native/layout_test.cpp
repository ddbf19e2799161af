// The layout table must hang together: the window is built from it in one
// loop, so a control whose parent is missing, that lies outside its parent,
// or a hint that lies over no list would be built wrong without a word.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace renamora::layout {
namespace {

bool Inside(const Control& child, const Control& parent) {
  return child.left >= 0 && child.top >= 0 && child.left + child.width <= parent.width &&
         child.top + child.height <= parent.height;
}

bool HasPlace(const Control& c) {
  return c.kind != Kind::kSaveDialog && c.kind != Kind::kDropObject;
}

TEST(LayoutTable, NamesAreUniqueAndParentsComeFirst) {
  std::set<std::string> seen;
  for (std::size_t i = 0; i < kControlCount; ++i) {
    const Control& c = kControls[i];
    EXPECT_TRUE(seen.insert(c.name).second) << c.name << " twice";
    if (!c.parent) {
      EXPECT_EQ(c.page, kMainWindow) << c.name;
      continue;
    }
    // Created in table order, a parent must exist before its children.
    EXPECT_TRUE(seen.count(c.parent)) << c.name << " before its parent " << c.parent;
    const Control* parent = Find(c.parent);
    ASSERT_NE(parent, nullptr) << c.name;
    EXPECT_TRUE(parent->kind == Kind::kTabControl || parent->kind == Kind::kGroupBox) << c.name;
    if (parent->kind == Kind::kGroupBox) {
      EXPECT_EQ(c.page, parent->page) << c.name << " on another page than its group box";
    } else {
      EXPECT_GE(c.page, 0) << c.name;
      EXPECT_LT(static_cast<std::size_t>(c.page), kTabCount) << c.name;
    }
  }
}

TEST(LayoutTable, EveryControlLiesWithinItsParent) {
  // The main window's outer size bounds its client area.
  Control window{};
  window.width = kMainWindowLayout.width;
  window.height = kMainWindowLayout.height;
  const Control* main = &window;
  for (std::size_t i = 0; i < kControlCount; ++i) {
    const Control& c = kControls[i];
    if (!HasPlace(c)) continue;
    const Control* parent = c.parent ? Find(c.parent) : main;
    ASSERT_NE(parent, nullptr);
    EXPECT_TRUE(Inside(c, *parent)) << c.name << " reaches out of " << (c.parent ? c.parent : "");
  }
}

TEST(LayoutTable, EachHintLiesOverAListOfItsOwnPage) {
  for (std::size_t i = 0; i < kControlCount; ++i) {
    const Control& hint = kControls[i];
    if (hint.kind != Kind::kTransparentLabel) continue;
    const Point at = PositionInMainWindow(hint);
    int lists = 0;
    for (std::size_t l = 0; l < kControlCount; ++l) {
      const Control& list = kControls[l];
      if (list.kind != Kind::kListView || list.page != hint.page) continue;
      const Point listAt = PositionInMainWindow(list);
      if (at.x >= listAt.x && at.y >= listAt.y && at.x + hint.width <= listAt.x + list.width &&
          at.y + hint.height <= listAt.y + list.height) {
        ++lists;
      }
    }
    EXPECT_EQ(lists, 1) << hint.name << " must lie wholly over exactly one list";
  }
}

TEST(LayoutTable, ListsHaveTheirColumnsAndHeaderBehaviour) {
  std::map<std::string, int> columns;
  for (std::size_t i = 0; i < kColumnCount; ++i) ++columns[kColumns[i].list];
  std::set<std::string> described;
  for (std::size_t i = 0; i < kListViewCount; ++i) described.insert(kListViews[i].name);
  for (std::size_t i = 0; i < kControlCount; ++i) {
    const Control& c = kControls[i];
    if (c.kind != Kind::kListView) continue;
    EXPECT_TRUE(described.count(c.name)) << c.name;
    EXPECT_GT(columns[c.name], 0) << c.name;
  }
  EXPECT_EQ(columns["超级列表框1"], 4);
  EXPECT_EQ(columns["超级列表框2"], 2);
}

TEST(LayoutTable, PositionsAddUpThroughTabAndGroupBox) {
  // 标签4 sits in 分组框2 on a page of 选择夹1, centred at x 115 of the group
  // box.
  const Control& load = *Find("标签4");
  const Point label = PositionInMainWindow(load);
  EXPECT_EQ(label.x, 392 + 16 + 16);
  EXPECT_EQ(label.y, 9 + 238 + 32);
  EXPECT_EQ(load.left * 2 + load.width, 2 * 115);
  const Point list = PositionInMainWindow(*Find("超级列表框1"));
  EXPECT_EQ(list.x, 7);
  EXPECT_EQ(list.y, 9);
}

}  // namespace
}  // namespace renamora::layout
