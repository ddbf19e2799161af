#include "platform/memory/memory_ui.h"

namespace renamora {

bool MemorySaveDialog::Show() {
  showings_.push_back({initialFolder_, fileName_});
  if (answers_.empty()) return false;
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  if (!answer) return false;
  fileName_ = std::move(*answer);
  return true;
}

MessageAnswer MemoryMessageBoxes::Show(const std::string& text, MessageButtons buttons,
                                       const std::string& caption) {
  MessageAnswer answer;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  } else {
    switch (buttons) {
      case MessageButtons::kOk:
        answer = MessageAnswer::kOk;
        break;
      case MessageButtons::kOkCancel:
        answer = MessageAnswer::kCancel;
        break;
      default:
        answer = MessageAnswer::kNo;
        break;
    }
  }
  shown_.push_back({text, buttons, caption, answer});
  return answer;
}

bool MemoryDropObject::Bind(NativeHandle window) {
  if (window_ != nullptr || refuse_ || window == nullptr) return false;
  window_ = window;
  return true;
}

}  // namespace renamora
