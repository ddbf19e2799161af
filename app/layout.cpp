#include "app/layout.h"

#include "filelist/file_loading.h"

namespace renamora::layout {

namespace {
constexpr std::uint32_t D = kDefaultColour;
constexpr Align L = Align::kLeft;
constexpr Align C = Align::kCenter;
constexpr Align R = Align::kRight;
constexpr const char* Tab = "选择夹1";
}  // namespace

const Window kMainWindowLayout = {"Renamora", 657, 353};

// clang-format off
const Control kControls[] = {
  // name          kind                    parent     page  left top  w    h    caption                    colour            align white  checked item  sel    filter  ext
  {"超级列表框1",  Kind::kListView,        nullptr,   -1,   7,   9,   377, 304, "",                        D,                L, false, false, nullptr, false, nullptr, nullptr},
  {"选择夹1",      Kind::kTabControl,      nullptr,   -1,   392, 9,   256, 304, "",                        D,                L, false, false, nullptr, false, nullptr, nullptr},
  {"透明标签1",    Kind::kTransparentLabel, nullptr,  -1,   200, 280, 155, 24,  "请将修改文件拖入本区域",  kHintColour,      R, false, false, nullptr, false, nullptr, nullptr},

  // Page 0, "匹配改名".
  {"超级列表框2",  Kind::kListView,        Tab,       0,    6,   25,  242, 134, "",                        D,                L, false, false, nullptr, false, nullptr, nullptr},
  {"透明标签2",    Kind::kTransparentLabel, Tab,      0,    37,  126, 136, 24,  "请将匹配规则拖入本区域",  kHintColour,      L, false, false, nullptr, false, nullptr, nullptr},
  {"按钮11",       Kind::kPushButton,      Tab,       0,    182, 26,  64,  24,  "导出模板",                D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"分组框3",      Kind::kGroupBox,        Tab,       0,    8,   160, 240, 71,  "",                        D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"单选框3",      Kind::kRadioButton,     "分组框3", 0,    15,  16,  72,  16,  "文件名前",                D,                L, true,  true,  nullptr, false, nullptr, nullptr},
  {"单选框4",      Kind::kRadioButton,     "分组框3", 0,    92,  16,  72,  16,  "文件名后",                D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"单选框7",      Kind::kRadioButton,     "分组框3", 0,    172, 12,  60,  24,  "重命名",                  D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"标签5",        Kind::kLabel,           "分组框3", 0,    16,  40,  48,  18,  "分隔符",                  D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"组合框2",      Kind::kComboBox,        "分组框3", 0,    72,  39,  152, 20,  "-",                       D,                L, true,  false, "-",     false, nullptr, nullptr},
  {"按钮4",        Kind::kPushButton,      Tab,       0,    10,  239, 56,  24,  "修  改",                  D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"按钮5",        Kind::kPushButton,      Tab,       0,    78,  239, 56,  24,  "还  原",                  D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"标签6",        Kind::kLabel,           Tab,       0,    149, 242, 85,  24,  "成功 个",                 D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"按钮7",        Kind::kPushButton,      Tab,       0,    10,  268, 56,  24,  "清空匹配",                D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"按钮6",        Kind::kPushButton,      Tab,       0,    78,  268, 56,  24,  "清空文件",                D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"标签7",        Kind::kLabel,           Tab,       0,    149, 268, 85,  24,  "失败 个",                 D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"通用对话框2",  Kind::kSaveDialog,      Tab,       0,    0,   0,   0,   0,   "匹配代码示例",            D,                L, false, false, nullptr, false, "csv",   "csv"},
  {"拖放对象2",    Kind::kDropObject,      Tab,       0,    0,   0,   0,   0,   "",                        D,                L, false, false, nullptr, false, nullptr, nullptr},

  // Page 1, "常规改名".
  {"标签1",        Kind::kLabel,           Tab,       1,    16,  25,  112, 24,  "要加入的文本",            D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"编辑框1",      Kind::kEditBox,         Tab,       1,    16,  49,  232, 40,  "",                        D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"标签2",        Kind::kLabel,           Tab,       1,    16,  95,  96,  16,  "分隔符",                  D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"组合框1",      Kind::kComboBox,        Tab,       1,    16,  116, 232, 20,  "-",                       D,                L, true,  false, "-",     true,  nullptr, nullptr},
  {"分组框1",      Kind::kGroupBox,        Tab,       1,    15,  147, 233, 46,  "插入位置",                D,                C, true,  false, nullptr, false, nullptr, nullptr},
  {"单选框1",      Kind::kRadioButton,     "分组框1", 1,    11,  21,  72,  16,  "文件名前",                D,                L, true,  true,  nullptr, false, nullptr, nullptr},
  {"单选框2",      Kind::kRadioButton,     "分组框1", 1,    96,  18,  72,  21,  "文件名后",                D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"按钮1",        Kind::kPushButton,      Tab,       1,    15,  202, 75,  32,  "修改",                    D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"按钮2",        Kind::kPushButton,      Tab,       1,    92,  202, 75,  32,  "还原",                    D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"按钮3",        Kind::kPushButton,      Tab,       1,    170, 202, 75,  32,  "清空",                    D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"分组框2",      Kind::kGroupBox,        Tab,       1,    16,  238, 232, 56,  "",                        D,                L, true,  false, nullptr, false, nullptr, nullptr},
  {"标签3",        Kind::kLabel,           "分组框2", 1,    46,  10,  152, 23,  "拖入载入文件，或从新加载", kHintColour,     L, true,  false, nullptr, false, nullptr, nullptr},
  {"标签4",        Kind::kLabel,           "分组框2", 1,    16,  32,  198, 16,  kNothingLoadedYet,        Rgb(128, 128, 255), C, true, false, nullptr, false, nullptr, nullptr},
  {"拖放对象1",    Kind::kDropObject,      Tab,       1,    0,   0,   0,   0,   "",                        D,                L, false, false, nullptr, false, nullptr, nullptr},

  // Page 2, "导出设置".
  {"单选框5",      Kind::kRadioButton,     Tab,       2,    58,  47,  70,  16,  "现文件名",                D,                L, false, true,  nullptr, false, nullptr, nullptr},
  {"单选框6",      Kind::kRadioButton,     Tab,       2,    133, 47,  72,  16,  "原文件名",                D,                L, false, false, nullptr, false, nullptr, nullptr},
  {"按钮8",        Kind::kPushButton,      Tab,       2,    55,  77,  160, 24,  "导出列表所有文件名",      D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"按钮9",        Kind::kPushButton,      Tab,       2,    55,  107, 160, 24,  "导出修改成功文件名",      D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"按钮10",       Kind::kPushButton,      Tab,       2,    55,  138, 160, 24,  "导出失败文件名",          D,                C, false, false, nullptr, false, nullptr, nullptr},
  {"标签8",        Kind::kLabel,           Tab,       2,    55,  175, 160, 24,  "导出格式为cvs表格",       D,                C, true,  false, nullptr, false, nullptr, nullptr},
  {"通用对话框1",  Kind::kSaveDialog,      Tab,       2,    0,   0,   0,   0,   "",                        D,                L, false, false, nullptr, false, ".csv",  "csv"},
};
// clang-format on
const std::size_t kControlCount = sizeof(kControls) / sizeof(kControls[0]);

const Column kColumns[] = {
    {"超级列表框1", "文件路径", 50}, {"超级列表框1", "原名", 50},
    {"超级列表框1", "现文件名", 50}, {"超级列表框1", "状态", 50},
    {"超级列表框2", "匹配代码", 50}, {"超级列表框2", "插入内容", 50},
};
const std::size_t kColumnCount = sizeof(kColumns) / sizeof(kColumns[0]);

const ListView kListViews[] = {{"超级列表框1", true}, {"超级列表框2", false}};
const std::size_t kListViewCount = sizeof(kListViews) / sizeof(kListViews[0]);

const char* const kTabCaptions[] = {"匹配改名", "常规改名", "导出设置"};
const std::size_t kTabCount = sizeof(kTabCaptions) / sizeof(kTabCaptions[0]);

const Control* Find(std::string_view name) {
  for (std::size_t i = 0; i < kControlCount; ++i) {
    if (name == kControls[i].name) return &kControls[i];
  }
  return nullptr;
}

const Control& FirstOfRadioGroup(const Control& radio) {
  const Control* first = &radio;
  while (first != kControls && first[-1].kind == Kind::kRadioButton &&
         first[-1].page == radio.page &&
         std::string_view(first[-1].parent ? first[-1].parent : "") ==
             std::string_view(radio.parent ? radio.parent : "")) {
    --first;
  }
  return *first;
}

Point PositionInMainWindow(const Control& control) {
  Point p{control.left, control.top};
  for (const char* parent = control.parent; parent != nullptr;) {
    const Control* up = Find(parent);
    if (!up) break;
    p.x += up->left;
    p.y += up->top;
    parent = up->parent;
  }
  return p;
}

}  // namespace renamora::layout
