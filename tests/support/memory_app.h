// The whole program in memory: a file system, the main window's controls in
// their starting state, scripted message boxes, and events raised through
// the event table exactly as the real window raises them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/event_table.h"
#include "app/memory/memory_window.h"
#include "platform/memory/memory_code_page.h"
#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_ui.h"

namespace renamora {

// A status in a failed expectation reads as its word.
inline void PrintTo(Status status, std::ostream* out) {
  *out << static_cast<int>(status) << " \"" << StatusText(status) << "\"";
}

}  // namespace renamora

namespace renamora::testing {

class MemoryApp {
 public:
  MemoryApp() : ctx{fs, messages, progress, window.controls(), codePage} {
    RaiseEvent(ctx, kMainWindowName, Event::kWindowCreated);
  }

  // What a user does.
  void DropOnWindow(const std::string& text) {
    RaiseEvent(ctx, "拖放对象1", Event::kFilesDropped, text);
  }
  void DropOnRuleList(const std::string& text) {
    RaiseEvent(ctx, "拖放对象2", Event::kFilesDropped, text);
  }
  // Several items at once: every path followed by CR LF, as the shell gives them.
  static std::string DropText(const std::vector<std::string>& paths) {
    if (paths.size() == 1) return paths[0];
    std::string text;
    for (const auto& p : paths) text += p + "\r\n";
    return text;
  }
  bool Click(const std::string& button) { return RaiseEvent(ctx, button, Event::kClick); }

  // What a user sees.
  FileList& files() { return window.fileList(); }
  RuleList& rules() { return window.ruleList(); }
  std::string Caption(const std::string& label) { return window.label(label).Caption(); }

  MemoryFileSystem fs;
  MemoryMainWindow window;
  MemoryMessageBoxes messages;
  MemoryProgress progress;
  MemoryCodePage codePage;
  Context ctx;
};

}  // namespace renamora::testing
