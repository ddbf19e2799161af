// Answers the modal boxes that code under test shows on the test's thread.
//
// A message box or a save dialog does not return until someone answers it,
// so a test cannot answer it after the call. ModalAnswerer runs the code on
// the test's thread while a second thread waits for each box of this process
// (dialog class #32770: the message boxes captioned "信息：", the save dialog,
// and the save dialog's own question before it replaces a file), records
// what the box shows, and answers it as planned, in order:
//
//   ModalAnswerer answerer;
//   answerer.Press(IDOK);                   // first box: press OK
//   answerer.SaveAs("C:\\temp\\names");     // second: type a name, confirm
//   answerer.Run([&] { ClickButton("按钮8"); });
//   ASSERT_EQ(answerer.Boxes().size(), 2u);
//   EXPECT_EQ(answerer.Boxes()[0].text, "...");
//
// A box beyond the plan is closed without a button and recorded as
// unplanned, and a box that an answer did not close is freed with any
// button it has, so a wrong expectation fails the test instead of hanging it.
//
// A save dialog whose own question (replace the file?) is answered No stays
// open for another name: it is recorded again, marked `again`, and takes the
// next answer of the plan.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace renamora::testing {

class ModalAnswerer {
 public:
  enum class Kind { kMessageBox, kSaveDialog };

  struct Box {
    Kind kind;
    std::string caption;
    // A message box: its text (line breaks included). A save dialog: the
    // file name it proposed.
    std::string text;
    // A save dialog: the folder it opened in, with no trailing backslash.
    std::string folder;
    bool planned = true;   // false: more boxes came than were planned
    bool answered = true;  // false: the planned answer did not close it
    bool again = false;    // the same box, back after its question was turned down
  };

  // The next box: press the button with this id (IDOK, IDCANCEL, IDYES, IDNO).
  ModalAnswerer& Press(int buttonId);
  // The next box: close it without a button (the title bar's close box).
  ModalAnswerer& Close();
  // The next box, a save dialog: type `fileName` into its name field and
  // confirm. A name without a folder is taken in the dialog's folder.
  ModalAnswerer& SaveAs(std::string fileName);
  // The same, typed as Unicode: a name may hold a character GBK lacks.
  ModalAnswerer& SaveAs(std::wstring fileName);

  // Called on the watching thread for each box, before it is answered, to
  // look at the windows while the box is up.
  ModalAnswerer& OnEachBox(std::function<void(HWND box)> look) {
    look_ = std::move(look);
    return *this;
  }

  // Runs `action` on this thread while the boxes it shows are answered;
  // returns once it has ended.
  void Run(const std::function<void()>& action);

  const std::vector<Box>& Boxes() const { return boxes_; }
  // Planned answers that no box came for.
  std::size_t Unused() const { return plan_.size() - used_; }

  // How long a box may take to appear or to go away.
  static constexpr DWORD kPatienceMs = 10000;

 private:
  struct Step {
    enum Action { kPress, kClose, kSaveAs } action;
    int button;
    std::string fileName;
    std::wstring wideFileName;  // typed instead when not empty
  };
  void Watch(const std::atomic<bool>& done);
  void Answer(HWND box, const Step& step);

  std::function<void(HWND)> look_;
  std::vector<Step> plan_;
  std::size_t used_ = 0;
  std::vector<Box> boxes_;
};

// Runs an action that ought to show no box. A box that comes anyway is
// closed without a button and its text returned, so that the test fails
// instead of hanging.
std::vector<std::string> BoxesShownBy(const std::function<void()>& action);

}  // namespace renamora::testing
