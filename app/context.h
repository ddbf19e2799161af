// Where the commands meet the application: the named controls of the main
// window that the commands read and write, and the context every command
// runs in. The window of each platform fills them in from its own controls.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/list_model.h"
#include "platform/progress.h"
#include "platform/ui.h"

namespace renamora {

struct Controls {
  FileList& 超级列表框1;  // the File list
  RuleList& 超级列表框2;  // the Rule list
  DropHint& 透明标签1;
  DropHint& 透明标签2;
  Label& 标签4;
  Label& 标签6;
  Label& 标签7;
  TextBox& 编辑框1;
  TextBox& 组合框1;
  TextBox& 组合框2;
  RadioButton& 单选框1;
  RadioButton& 单选框2;
  RadioButton& 单选框3;
  RadioButton& 单选框4;
  RadioButton& 单选框5;
  RadioButton& 单选框6;
  RadioButton& 单选框7;
  SaveDialog& 通用对话框1;
  SaveDialog& 通用对话框2;
  DropObject& 拖放对象1;
  DropObject& 拖放对象2;
  NativeHandle mainWindow;      // what 拖放对象1 binds to
  NativeHandle ruleListWindow;  // what 拖放对象2 binds to
};

// A window's controls by their names in the layout table, each kind in the
// type its platform gives it: what both windows (the Win32 one and the
// in-memory one) hold and fill in from the table.
template <typename LabelType, typename HintType, typename RadioType, typename TextType,
          typename DialogType, typename DropType>
class NamedControls {
 public:
  LabelType& label(const std::string& name) { return *labels_.at(name); }
  HintType& hint(const std::string& name) { return *hints_.at(name); }
  RadioType& radio(const std::string& name) { return *radios_.at(name); }
  TextType& textBox(const std::string& name) { return *texts_.at(name); }
  DialogType& dialog(const std::string& name) { return *dialogs_.at(name); }
  DropType& dropObject(const std::string& name) { return *drops_.at(name); }

 protected:
  template <typename Control>
  using ByName = std::map<std::string, std::unique_ptr<Control>>;
  ByName<LabelType> labels_;
  ByName<HintType> hints_;
  ByName<RadioType> radios_;
  ByName<TextType> texts_;
  ByName<DialogType> dialogs_;
  ByName<DropType> drops_;
};

// The commands' view of a window with named controls and the two lists.
template <typename Window>
Controls ControlsOf(Window& window, NativeHandle mainWindow, NativeHandle ruleListWindow) {
  return Controls{
      window.fileList(),
      window.ruleList(),
      window.hint("透明标签1"),
      window.hint("透明标签2"),
      window.label("标签4"),
      window.label("标签6"),
      window.label("标签7"),
      window.textBox("编辑框1"),
      window.textBox("组合框1"),
      window.textBox("组合框2"),
      window.radio("单选框1"),
      window.radio("单选框2"),
      window.radio("单选框3"),
      window.radio("单选框4"),
      window.radio("单选框5"),
      window.radio("单选框6"),
      window.radio("单选框7"),
      window.dialog("通用对话框1"),
      window.dialog("通用对话框2"),
      window.dropObject("拖放对象1"),
      window.dropObject("拖放对象2"),
      mainWindow,
      ruleListWindow,
  };
}

struct Context {
  FileSystem& fs;
  MessageBoxes& messages;
  // Told after every row of a long command; says whether to go on.
  Progress& progress;
  Controls& ui;
  // Rule files in UTF-8 or UTF-16 are read into the ANSI code page.
  CodePage& codePage;
};

}  // namespace renamora
