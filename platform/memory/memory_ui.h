// Controls and boxes held in memory: what a test sets is what a command
// reads, and what a command shows is recorded with the answers a test scripted.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/progress.h"
#include "platform/ui.h"

namespace renamora {

class MemoryLabel final : public Label {
 public:
  explicit MemoryLabel(std::string caption = {}) : caption_(std::move(caption)) {}
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  std::string Caption() const override { return caption_; }

 private:
  std::string caption_;
};

class MemoryDropHint final : public DropHint {
 public:
  explicit MemoryDropHint(bool visible = true) : visible_(visible) {}
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Visible() const override { return visible_; }
  void Redraw() override { ++redraws_; }
  int Redraws() const { return redraws_; }

 private:
  bool visible_;
  int redraws_ = 0;
};

// Radio buttons that share a group: checking one unchecks the others.
class MemoryRadioButton final : public RadioButton {
 public:
  explicit MemoryRadioButton(bool checked = false) : checked_(checked) {}
  bool IsChecked() const override { return checked_; }
  void JoinGroup(std::vector<MemoryRadioButton*>* group) {
    group_ = group;
    group->push_back(this);
  }
  void Check() {
    if (group_) {
      for (MemoryRadioButton* other : *group_) other->checked_ = false;
    }
    checked_ = true;
  }

 private:
  bool checked_;
  std::vector<MemoryRadioButton*>* group_ = nullptr;
};

class MemoryTextBox final : public TextBox {
 public:
  explicit MemoryTextBox(std::string text = {}) : text_(std::move(text)) {}
  char32_t Read(std::string& text) const override {
    text = text_;
    return unusable_;
  }
  // A text typed with a character GBK lacks holds "?" in its place, and
  // `unusable` names the first.
  void SetText(std::string text, char32_t unusable = 0) {
    text_ = std::move(text);
    unusable_ = unusable;
  }

 private:
  std::string text_;
  char32_t unusable_ = 0;
};

// A save dialog whose user is a script: each showing takes the next answer,
// a full path to confirm or nothing to cancel. Without a scripted answer it
// cancels.
class MemorySaveDialog final : public SaveDialog {
 public:
  explicit MemorySaveDialog(std::string fileName = {}) : fileName_(std::move(fileName)) {}
  void SetInitialFolder(const std::string& folder) override { initialFolder_ = folder; }
  bool Show() override;
  std::string FileName() const override { return fileName_; }
  // Paths in the program's code page have none.
  char32_t UnusableCharacter() const override { return 0; }

  void Answer(std::optional<std::string> path) { answers_.push_back(std::move(path)); }
  void ClearAnswers() { answers_.clear(); }
  struct Showing {
    std::string initialFolder;
    std::string fileName;  // what the dialog proposed
  };
  const std::vector<Showing>& Showings() const { return showings_; }

 private:
  std::string fileName_;
  std::string initialFolder_;
  std::deque<std::optional<std::string>> answers_;
  std::vector<Showing> showings_;
};

// Message boxes answered by a script. An unscripted box is answered as if
// closed without a button (Cancel, No for Yes/No, OK for OK alone).
class MemoryMessageBoxes final : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageButtons buttons,
                     const std::string& caption) override;
  void ShowNaming(const std::string& text, char32_t character,
                  const std::string& caption) override {
    Show(text, MessageButtons::kOk, caption);
    shown_.back().character = character;
  }

  void Answer(MessageAnswer answer) { answers_.push_back(answer); }
  void ClearAnswers() { answers_.clear(); }
  struct Shown {
    std::string text;
    MessageButtons buttons;
    std::string caption;
    MessageAnswer answer;
    char32_t character = 0;  // the one a ShowNaming box names
  };
  const std::vector<Shown>& All() const { return shown_; }
  std::size_t Count() const { return shown_.size(); }
  const Shown& Last() const { return shown_.back(); }
  void Forget() { shown_.clear(); }
  std::size_t UnusedAnswers() const { return answers_.size(); }

 private:
  std::deque<MessageAnswer> answers_;
  std::vector<Shown> shown_;
};

// A user watching a command: lets it run, or says stop at a chosen step (the
// k-th from now: after k rows, or k files found), and from then on until
// told otherwise.
class MemoryProgress final : public Progress {
 public:
  bool Step(std::size_t done, std::size_t total) override {
    ++steps_;
    done_ = done;
    total_ = total;
    if (stopAt_ == 0 || steps_ < stopAt_) return true;
    if (steps_ == stopAt_) doneAtStop_ = done;
    return false;
  }
  void StopAt(std::size_t step) {
    steps_ = 0;
    stopAt_ = step;
  }
  void LetRun() { stopAt_ = 0; }
  // Whether the last command was told to stop, and how far it had come then.
  bool Stopped() const { return stopAt_ != 0 && steps_ >= stopAt_; }
  std::size_t DoneAtStop() const { return doneAtStop_; }
  std::size_t Steps() const { return steps_; }
  std::size_t Done() const { return done_; }
  std::size_t Total() const { return total_; }

 private:
  std::size_t steps_ = 0;
  std::size_t stopAt_ = 0;
  std::size_t done_ = 0;
  std::size_t total_ = 0;
  std::size_t doneAtStop_ = 0;
};

class MemoryDropObject final : public DropObject {
 public:
  bool Bind(NativeHandle window) override;
  void SetAcceptFiles(bool accept) override { accepting_ = accept; }
  NativeHandle BoundTo() const { return window_; }
  bool Accepting() const { return accepting_; }
  void RefuseBinding() { refuse_ = true; }

 private:
  NativeHandle window_ = nullptr;
  bool accepting_ = false;
  bool refuse_ = false;
};

}  // namespace renamora
