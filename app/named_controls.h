// How a window holds its controls by their names in the layout table, and
// how it hands them to the commands as the Controls they run on.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "command/context.h"

namespace renamora {

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

}  // namespace renamora
