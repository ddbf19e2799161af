// The main window and every control in it, stated once. The Win32 window is
// built from this table, and so are the in-memory controls of the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace renamora::layout {

enum class Kind {
  kListView,
  kTabControl,
  kTransparentLabel,
  kPushButton,
  kLabel,
  kEditBox,
  kComboBox,
  kRadioButton,
  kGroupBox,
  kSaveDialog,
  kDropObject,
};

enum class Align { kLeft, kCenter, kRight };

// A colour as Windows writes it (0x00BBGGRR); kDefaultColour leaves the
// system's own.
constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) {
  return r | (g << 8) | (b << 16);
}
constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;
constexpr std::uint32_t kHintColour = Rgb(255, 80, 128);

constexpr int kMainWindow = -1;  // page of a control that sits on the main window

struct Control {
  const char* name;
  Kind kind;
  // The control whose client area the coordinates are measured from:
  // nullptr for the main window, "选择夹1" for a page of the tab control
  // (measured from the tab control's own top left corner, tabs included),
  // or a group box.
  const char* parent;
  int page;  // kMainWindow, or the page of 选择夹1 the control shows on
  int left, top, width, height;
  // The caption; for an edit or combo box its starting text; for a save
  // dialog its starting file name.
  const char* caption;
  std::uint32_t textColour;
  Align align;
  bool whiteBackground;  // labels and group boxes draw on white
  bool checked;          // radio buttons: checked at start
  // Combo boxes: the one list item and whether it starts selected.
  const char* item;
  bool itemSelected;
  // Save dialogs.
  const char* filter;
  const char* defaultExtension;
};

struct Column {
  const char* list;
  const char* title;
  int width;
};

// Per list view: whether its column headers behave as buttons when clicked.
struct ListView {
  const char* name;
  bool clickableHeaders;
};

struct Window {
  const char* title;
  int width, height;  // outer size
};

extern const Window kMainWindowLayout;
extern const Control kControls[];
extern const std::size_t kControlCount;
extern const Column kColumns[];
extern const std::size_t kColumnCount;
extern const ListView kListViews[];
extern const std::size_t kListViewCount;
extern const char* const kTabCaptions[];
extern const std::size_t kTabCount;

// The table entry of a control; nullptr for an unknown name.
const Control* Find(std::string_view name);

// The radio buttons the user picks one of are those that follow one another
// in the table under one parent on one page; this gives the first of the
// group `radio` is in. Both windows group them by it.
const Control& FirstOfRadioGroup(const Control& radio);

// Position of a control in the main window's client area, adding up the
// offsets of its parents.
struct Point {
  int x, y;
};
Point PositionInMainWindow(const Control& control);

}  // namespace renamora::layout
