// The window-side operations on real Win32 controls, through the ANSI
// functions: every text crossing here is a GBK byte string.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/ui.h"

namespace renamora::win32 {

// The whole text of a window, however long: a label's caption, an edit
// box's text, or what the edit field of a combo box holds.
std::string WindowText(HWND window);

class Win32Label final : public Label {
 public:
  explicit Win32Label(HWND label) : label_(label) {}
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return WindowText(label_); }

 private:
  HWND label_;
};

class Win32RadioButton final : public RadioButton {
 public:
  explicit Win32RadioButton(HWND button) : button_(button) {}
  bool IsChecked() const override;

 private:
  HWND button_;
};

// An edit box, or a combo box (its edit field's text). The text is read
// through the Unicode functions: the ANSI ones would hand over a look-alike
// of a character GBK lacks without a word. The program makes these boxes
// Unicode windows, so that they keep such a character as typed.
class Win32TextBox final : public TextBox {
 public:
  explicit Win32TextBox(HWND box) : box_(box) {}
  char32_t Read(std::string& text) const override;

 private:
  HWND box_;
};

// The common save-as dialog, modal to its owner. It offers one filter entry
// named by the filter text, asks before replacing a file, wants an existing
// folder, and keeps the chosen file name from one showing to the next.
class Win32SaveDialog final : public SaveDialog {
 public:
  Win32SaveDialog(HWND owner, std::string fileName, std::string filterText,
                  std::string defaultExtension);
  void SetInitialFolder(const std::string& folder) override { initialFolder_ = folder; }
  bool Show() override;
  std::string FileName() const override { return fileName_; }
  char32_t UnusableCharacter() const override { return unusable_; }

 private:
  HWND owner_;
  std::string fileName_;
  std::string filter_;  // description, NUL, pattern, NUL, NUL
  std::string defaultExtension_;
  std::string initialFolder_;
  char32_t unusable_ = 0;
};

// Makes the save dialogs of a window. The program's own makes the common
// dialog; a caller that answers the dialogs itself (the benchmark, where a
// person's reaction must stay out of the figures) gives its own.
class SaveDialogFactory {
 public:
  virtual ~SaveDialogFactory() = default;
  // A dialog modal to `owner`, with the arguments of Win32SaveDialog.
  virtual std::unique_ptr<SaveDialog> Make(HWND owner, std::string fileName, std::string filterText,
                                           std::string defaultExtension) = 0;
};

class Win32SaveDialogFactory final : public SaveDialogFactory {
 public:
  std::unique_ptr<SaveDialog> Make(HWND owner, std::string fileName, std::string filterText,
                                   std::string defaultExtension) override {
    return std::make_unique<Win32SaveDialog>(owner, std::move(fileName), std::move(filterText),
                                             std::move(defaultExtension));
  }
};

// Message boxes without an owner, modal for every window of the thread.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  MessageAnswer Show(const std::string& text, MessageButtons buttons,
                     const std::string& caption) override;
  // Through the Unicode function, which shows any character.
  void ShowNaming(const std::string& text, char32_t character, const std::string& caption) override;
};

// The files-dropped text of a drop: the one path alone, or every path
// followed by CR LF, in the shell's order. Empty when nothing but files
// could be dropped and none were.
std::string DroppedText(HDROP drop);

// Makes a window a target for files dropped from the shell. The window's
// WM_DROPFILES goes to the sink, which decides what the drop means; the drop
// handle is released afterwards, whatever the sink did.
//
// A window of another class is subclassed to see its WM_DROPFILES. The
// program's own window (`ownWindow`) passes them to Deliver from its own
// procedure instead: a subclass would put every message of that window,
// each notification of the lists among them, through the subclass chain,
// which costs a property lookup per message (a server call under Wine).
class Win32DropObject final : public DropObject {
 public:
  using Sink = std::function<void(HWND window, HDROP drop)>;
  explicit Win32DropObject(Sink sink, HWND ownWindow = nullptr)
      : sink_(std::move(sink)), ownWindow_(ownWindow) {}
  ~Win32DropObject() override;
  Win32DropObject(const Win32DropObject&) = delete;
  Win32DropObject& operator=(const Win32DropObject&) = delete;

  bool Bind(NativeHandle window) override;
  void SetAcceptFiles(bool accept) override { accepting_ = accept; }

  HWND BoundWindow() const { return window_; }
  bool Accepting() const { return accepting_; }
  // Hands a drop that reached the bound window to the sink, if the object
  // accepts files, and releases it.
  void Deliver(HWND window, HDROP drop);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  Sink sink_;
  HWND ownWindow_;
  HWND window_ = nullptr;
  bool bound_ = false;
  bool subclassed_ = false;
  bool accepting_ = false;
};

}  // namespace renamora::win32
