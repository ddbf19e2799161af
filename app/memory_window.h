// The main window's controls in memory, in the starting state the layout
// table gives them. Native tests and the native tools run the commands on it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/list_models.h"
#include "platform/controls.h"
#include "platform/memory/memory_ui.h"

namespace renamora {

class MemoryMainWindow {
 public:
  MemoryMainWindow();
  MemoryMainWindow(const MemoryMainWindow&) = delete;
  MemoryMainWindow& operator=(const MemoryMainWindow&) = delete;

  Controls& controls() { return *controls_; }
  FileList& fileList() { return fileList_; }
  RuleList& ruleList() { return ruleList_; }

  // Typed access by control name, for what a user would do and see.
  MemoryLabel& label(const std::string& name) { return *labels_.at(name); }
  MemoryDropHint& hint(const std::string& name) { return *hints_.at(name); }
  MemoryRadioButton& radio(const std::string& name) { return *radios_.at(name); }
  MemoryTextBox& textBox(const std::string& name) { return *texts_.at(name); }
  MemorySaveDialog& dialog(const std::string& name) { return *dialogs_.at(name); }
  MemoryDropObject& dropObject(const std::string& name) { return *drops_.at(name); }

 private:
  FileList fileList_;
  RuleList ruleList_;
  std::map<std::string, std::unique_ptr<MemoryLabel>> labels_;
  std::map<std::string, std::unique_ptr<MemoryDropHint>> hints_;
  std::map<std::string, std::unique_ptr<MemoryRadioButton>> radios_;
  std::map<std::string, std::unique_ptr<MemoryTextBox>> texts_;
  std::map<std::string, std::unique_ptr<MemorySaveDialog>> dialogs_;
  std::map<std::string, std::unique_ptr<MemoryDropObject>> drops_;
  std::map<std::string, std::unique_ptr<std::vector<MemoryRadioButton*>>> radioGroups_;
  int mainWindowToken_ = 0;
  int ruleListToken_ = 0;
  std::unique_ptr<Controls> controls_;
};

}  // namespace renamora
