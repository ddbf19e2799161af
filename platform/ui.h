// The window-side operations the commands rely on: what a label, a drop hint,
// a radio button, a text box, a save dialog and a message box can do. The
// lists are not here: they are models held by the program (list_model.h).
#pragma once

#include <string>

namespace renamora {

class Label {
 public:
  virtual ~Label() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;
};

// A transparent label lying over a list: a hint that can be shown, hidden
// and painted again over what lies beneath it.
class DropHint {
 public:
  virtual ~DropHint() = default;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  virtual void Redraw() = 0;
};

class RadioButton {
 public:
  virtual ~RadioButton() = default;
  virtual bool IsChecked() const = 0;
};

// An edit box, or the edit field of a combo box.
class TextBox {
 public:
  virtual ~TextBox() = default;
  // The text in GBK, read once into `text`, where a character GBK has no
  // code for stands as "?"; returns the first such character, 0 when every
  // one has a code.
  virtual char32_t Read(std::string& text) const = 0;
  std::string Text() const {
    std::string text;
    Read(text);
    return text;
  }
};

class SaveDialog {
 public:
  virtual ~SaveDialog() = default;
  virtual void SetInitialFolder(const std::string& folder) = 0;
  // Modal. True when the user confirmed; the chosen full path is then the
  // dialog's file name. On cancel the file name keeps its previous value.
  virtual bool Show() = 0;
  virtual std::string FileName() const = 0;
  // The first character of the path the user last confirmed that GBK has
  // no code for, 0 when every one has one. Such a path is not the file
  // name: nothing may be written under a look-alike of what was chosen.
  virtual char32_t UnusableCharacter() const = 0;
};

enum class MessageButtons { kOk, kOkCancel, kYesNo };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

// The caption of every message box the program shows.
inline constexpr const char kMessageCaption[] = "信息：";

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal for the whole program, no owner window. A box with a Cancel
  // button answers kCancel also when it is closed without a button.
  virtual MessageAnswer Show(const std::string& text, MessageButtons buttons,
                             const std::string& caption) = 0;
  // A box with an OK button whose text is `text` followed by `character`,
  // which may be one that GBK lacks: it is shown as it is.
  virtual void ShowNaming(const std::string& text, char32_t character,
                          const std::string& caption) = 0;
};

// The text of a box the user types into, in `text`; false, after one
// message naming the character, when it holds one GBK has no code for: a
// name built from a look-alike or a "?" must never reach the disk. `what`
// names the box as its page labels it.
inline bool ReadUsableText(const TextBox& box, MessageBoxes& messages, const char* what,
                           std::string& text) {
  const char32_t unusable = box.Read(text);
  if (unusable != 0) {
    messages.ShowNaming(std::string(what) + "含有无法使用的字符：", unusable, kMessageCaption);
    return false;
  }
  return true;
}

}  // namespace renamora

namespace renamora {

// The platform's handle of a window, used only to bind drop objects.
using NativeHandle = void*;

// Turns a window into a target for dropped files; the window side raises
// the files-dropped event through the event table.
class DropObject {
 public:
  virtual ~DropObject() = default;
  // False when already bound or when the platform refuses.
  virtual bool Bind(NativeHandle window) = 0;
  virtual void SetAcceptFiles(bool accept) = 0;
};

}  // namespace renamora
