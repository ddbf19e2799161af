// The main window's controls in memory, in the starting state the layout
// table gives them; each is reached by its name (label, radio, ...), for
// what a user would do and see. Native tests, fuzzers and the native
// benchmark run the commands on it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/list_models.h"
#include "app/named_controls.h"
#include "platform/memory/memory_ui.h"

namespace renamora {

class MemoryMainWindow final
    : public NamedControls<MemoryLabel, MemoryDropHint, MemoryRadioButton, MemoryTextBox,
                           MemorySaveDialog, MemoryDropObject> {
 public:
  MemoryMainWindow();
  MemoryMainWindow(const MemoryMainWindow&) = delete;
  MemoryMainWindow& operator=(const MemoryMainWindow&) = delete;

  Controls& controls() { return *controls_; }
  FileList& fileList() { return fileList_; }
  RuleList& ruleList() { return ruleList_; }

 private:
  FileList fileList_;
  RuleList ruleList_;
  std::map<std::string, std::unique_ptr<std::vector<MemoryRadioButton*>>> radioGroups_;
  int mainWindowToken_ = 0;
  int ruleListToken_ = 0;
  std::unique_ptr<Controls> controls_;
};

}  // namespace renamora
