// What every command runs in: the named controls of the main window that the
// commands read and write, the file system, the message boxes, the progress
// of a long run and the code page. The window of each platform fills them in
// from its own controls; the commands never see the window itself.
#pragma once

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
