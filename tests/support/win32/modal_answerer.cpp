#include "tests/support/win32/modal_answerer.h"

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_ui.h"
#include "tests/support/win32/thread.h"

namespace renamora::testing {

namespace {

struct Search {
  DWORD process;
  const std::map<HWND, std::size_t>* known;
  HWND found;
};

BOOL CALLBACK FindNewBox(HWND window, LPARAM lParam) {
  auto& search = *reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != search.process || !::IsWindowVisible(window) || search.known->count(window)) {
    return TRUE;
  }
  char name[16] = {};
  ::GetClassNameA(window, name, sizeof(name));
  if (std::strcmp(name, "#32770") != 0) return TRUE;
  search.found = window;
  return FALSE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
  char name[16] = {};
  ::GetClassNameA(child, name, sizeof(name));
  if (::lstrcmpiA(name, "Static") != 0) return TRUE;
  const std::string text = win32::WindowText(child);
  auto& all = *reinterpret_cast<std::string*>(lParam);
  if (!text.empty()) all += all.empty() ? text : "\n" + text;
  return TRUE;
}

// The file name field: a combo box in the explorer-style dialog, an edit
// box in the older one (and in Wine's).
HWND NameField(HWND dialog) {
  HWND field = ::GetDlgItem(dialog, cmb13);
  return field ? field : ::GetDlgItem(dialog, edt1);
}

void PressButton(HWND box, int id) {
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

// Any button that ends the box, the most harmless first.
void Free(HWND box) {
  for (int id : {IDCANCEL, IDNO, IDOK, IDYES}) {
    if (::GetDlgItem(box, id)) {
      PressButton(box, id);
      return;
    }
  }
  ::PostMessageA(box, WM_CLOSE, 0, 0);
}

}  // namespace

ModalAnswerer& ModalAnswerer::Press(int buttonId) {
  plan_.push_back({Step::kPress, buttonId, {}, {}});
  return *this;
}

ModalAnswerer& ModalAnswerer::Close() {
  plan_.push_back({Step::kClose, 0, {}, {}});
  return *this;
}

ModalAnswerer& ModalAnswerer::SaveAs(std::string fileName) {
  plan_.push_back({Step::kSaveAs, 0, std::move(fileName), {}});
  return *this;
}

ModalAnswerer& ModalAnswerer::SaveAs(std::wstring fileName) {
  plan_.push_back({Step::kSaveAs, 0, {}, std::move(fileName)});
  return *this;
}

void ModalAnswerer::Run(const std::function<void()>& action) {
  std::atomic<bool> done{false};
  Thread watcher([&] { Watch(done); });
  action();
  done = true;
  watcher.join();
}

std::vector<std::string> BoxesShownBy(const std::function<void()>& action) {
  ModalAnswerer answerer;
  answerer.Run(action);
  std::vector<std::string> texts;
  for (const ModalAnswerer::Box& box : answerer.Boxes()) texts.push_back(box.text);
  return texts;
}

void ModalAnswerer::Answer(HWND box, const Step& step) {
  switch (step.action) {
    case Step::kPress:
      PressButton(box, step.button);
      break;
    case Step::kClose:
      // What the close box of the title bar does; a box without a Cancel
      // button may refuse it.
      ::PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case Step::kSaveAs:
      if (HWND field = NameField(box)) {
        if (step.wideFileName.empty()) {
          ::SetWindowTextA(field, step.fileName.c_str());
        } else {
          ::SetWindowTextW(field, step.wideFileName.c_str());
        }
        PressButton(box, IDOK);
      } else {
        Free(box);
      }
      break;
  }
}

void ModalAnswerer::Watch(const std::atomic<bool>& done) {
  // Boxes answered and still on screen, with the index of their record; a
  // box stays here until it has gone, so that a box opened over it (the
  // save dialog's question) is told apart from it.
  std::map<HWND, std::size_t> answered;
  std::map<HWND, DWORD> answeredAt;
  // Every box answered so far, and the boxes that a turned-down question
  // hands back to the user once it has gone.
  std::set<HWND> seenBefore;
  std::set<HWND> comingBack;
  while (!done) {
    for (auto it = answered.begin(); it != answered.end();) {
      if (!::IsWindow(it->first) || !::IsWindowVisible(it->first)) {
        answeredAt.erase(it->first);
        it = answered.erase(it);
      } else {
        ++it;
      }
    }
    for (auto it = comingBack.begin(); it != comingBack.end();) {
      HWND back = *it;
      const bool questionUp = std::any_of(answered.begin(), answered.end(), [&](const auto& entry) {
        return ::GetWindow(entry.first, GW_OWNER) == back;
      });
      if (!::IsWindow(back) || !::IsWindowVisible(back)) {
        it = comingBack.erase(it);
      } else if (!questionUp && ::IsWindowEnabled(back)) {
        // Waiting for the user again: found anew below.
        answered.erase(back);
        answeredAt.erase(back);
        it = comingBack.erase(it);
      } else {
        ++it;
      }
    }

    Search search{::GetCurrentProcessId(), &answered, nullptr};
    ::EnumWindows(FindNewBox, reinterpret_cast<LPARAM>(&search));
    if (HWND box = search.found) {
      ::Sleep(30);  // let it finish filling itself in
      Box seen{};
      seen.caption = win32::WindowText(box);
      seen.again = seenBefore.count(box) != 0;
      if (HWND field = NameField(box)) {
        seen.kind = Kind::kSaveDialog;
        seen.text = win32::WindowText(field);
        // The program's dialogs are Unicode ones: they answer in UTF-16.
        wchar_t folder[MAX_PATH * 2] = {};
        ::SendMessageW(box, CDM_GETFOLDERPATH, MAX_PATH * 2, reinterpret_cast<LPARAM>(folder));
        win32::ToGbk(folder, seen.folder);
      } else {
        seen.kind = Kind::kMessageBox;
        ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&seen.text));
      }
      if (look_) look_(box);
      Step step{Step::kClose, 0, {}, {}};
      if (used_ < plan_.size()) {
        step = plan_[used_++];
      } else {
        seen.planned = false;
      }
      boxes_.push_back(seen);
      answered[box] = boxes_.size() - 1;
      answeredAt[box] = ::GetTickCount();
      seenBefore.insert(box);
      // A question of one of these boxes turned down leaves its owner open.
      HWND owner = ::GetWindow(box, GW_OWNER);
      const bool turnedDown =
          step.action == Step::kClose ||
          (step.action == Step::kPress && (step.button == IDNO || step.button == IDCANCEL));
      if (owner && answered.count(owner) && turnedDown) comingBack.insert(owner);
      Answer(box, step);
      continue;
    }

    // A box still there long after its answer, and not merely waiting for a
    // box above it, did not take the answer.
    for (auto& [box, at] : answeredAt) {
      if (::GetTickCount() - at > kPatienceMs && ::IsWindowEnabled(box)) {
        boxes_[answered[box]].answered = false;
        Free(box);
        at = ::GetTickCount();
      }
    }
    ::Sleep(5);
  }
}

}  // namespace renamora::testing
