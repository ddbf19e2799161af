#include "platform/win32/win32_ui.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/win32/subclass.h"
#include "platform/win32/win32_code_page.h"

namespace renamora::win32 {

namespace {

std::wstring WideWindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

}  // namespace

std::string WindowText(HWND window) {
  // The length may be an overestimate for double-byte text; the copy tells
  // how many bytes there really are.
  const int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

char32_t Win32TextBox::Read(std::string& text) const {
  return ToGbk(WideWindowText(box_), text);
}

void Win32Label::SetCaption(const std::string& caption) {
  ::SetWindowTextA(label_, caption.c_str());
}

bool Win32RadioButton::IsChecked() const {
  return ::SendMessageA(button_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

Win32SaveDialog::Win32SaveDialog(HWND owner, std::string fileName, std::string filterText,
                                 std::string defaultExtension)
    : owner_(owner),
      fileName_(std::move(fileName)),
      defaultExtension_(std::move(defaultExtension)) {
  // The filter text names the one entry; its pattern follows the default
  // extension so that the folder shows the files this dialog is about.
  filter_ = filterText;
  filter_ += '\0';
  filter_ += defaultExtension_.empty() ? "*.*" : "*." + defaultExtension_;
  filter_ += '\0';
  filter_ += '\0';
}

bool Win32SaveDialog::Show() {
  // Room for any path the dialog can produce, long ones included.
  constexpr DWORD kBufferSize = 32768;
  std::vector<wchar_t> buffer(kBufferSize, L'\0');
  const std::wstring proposed = FromGbk(fileName_);
  proposed.copy(buffer.data(), std::min<std::size_t>(proposed.size(), kBufferSize - 1));
  const std::wstring filter = FromGbk(filter_);
  const std::wstring folder = FromGbk(initialFolder_);
  const std::wstring extension = FromGbk(defaultExtension_);

  // The Unicode dialog: the ANSI one would turn a character GBK lacks into
  // a look-alike ("Koln.csv" for "Köln.csv") and write, or replace, a file
  // the user never named; its question before replacing is about the name
  // shown, not the one written.
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kBufferSize;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // No change of the working folder: the program would otherwise keep the
  // chosen folder open, so that the user could not delete or rename it.
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetSaveFileNameW(&dialog)) return false;
  std::string chosen;
  unusable_ = ToGbk(buffer.data(), chosen);
  // A path that cannot be written keeps the name proposed before.
  if (unusable_ == 0) fileName_ = std::move(chosen);
  return true;
}

MessageAnswer Win32MessageBoxes::Show(const std::string& text, MessageButtons buttons,
                                      const std::string& caption) {
  UINT type = MB_OK;
  if (buttons == MessageButtons::kOkCancel) type = MB_OKCANCEL;
  if (buttons == MessageButtons::kYesNo) type = MB_YESNO;
  // No owner: task-modal instead, the box disables every window of the
  // program, the main window and any box under it alike, without the
  // commands knowing which window is up; and it shows even where there is
  // no window yet or any more.
  const int pressed = ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), type | MB_TASKMODAL);
  // Whatever closed it (a button, Esc, the close box, or a box that could
  // not be shown), only the named button counts as that button.
  switch (buttons) {
    case MessageButtons::kOk:
      return MessageAnswer::kOk;
    case MessageButtons::kOkCancel:
      return pressed == IDOK ? MessageAnswer::kOk : MessageAnswer::kCancel;
    case MessageButtons::kYesNo:
      return pressed == IDYES ? MessageAnswer::kYes : MessageAnswer::kNo;
  }
  return MessageAnswer::kCancel;
}

void Win32MessageBoxes::ShowNaming(const std::string& text, char32_t character,
                                   const std::string& caption) {
  std::wstring wide = FromGbk(text);
  if (character > 0xFFFF) {
    wide += static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
    wide += static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
  } else {
    wide += static_cast<wchar_t>(character);
  }
  ::MessageBoxW(nullptr, wide.c_str(), FromGbk(caption).c_str(), MB_OK | MB_TASKMODAL);
}

std::string DroppedText(HDROP drop) {
  // Through the Unicode function, as the folder listing: a character GBK
  // lacks becomes "?", never a look-alike that names another file.
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::string text;
  std::string path;
  std::wstring wide;
  for (UINT i = 0; i < count; ++i) {
    // Asked item by item, so that no path is cut at some fixed length.
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    wide.assign(length + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, i, wide.data(), length + 1);
    wide.resize(copied);
    ToGbk(wide, path);
    if (count == 1) return path;
    text += path;
    text += "\r\n";
  }
  return text;
}

Win32DropObject::~Win32DropObject() {
  if (subclassed_ && window_ && ::IsWindow(window_)) {
    ::RemoveWindowSubclass(window_, SubclassProc, reinterpret_cast<UINT_PTR>(this));
  }
}

bool Win32DropObject::Bind(NativeHandle window) {
  HWND target = static_cast<HWND>(window);
  if (bound_ || !target || !::IsWindow(target)) return false;
  // Keyed by the object, so that two objects on one window stay apart.
  if (target != ownWindow_) {
    if (!::SetWindowSubclass(target, SubclassProc, reinterpret_cast<UINT_PTR>(this),
                             reinterpret_cast<DWORD_PTR>(this))) {
      return false;
    }
    subclassed_ = true;
  }
  ::DragAcceptFiles(target, TRUE);
  window_ = target;
  bound_ = true;
  return true;
}

void Win32DropObject::Deliver(HWND window, HDROP drop) {
  try {
    if (accepting_ && sink_) sink_(window, drop);
  } catch (...) {
    // Only reading the dropped names can fail here (a command catches its
    // own failures), and the list is replaced only once a load has all its
    // rows: the window stays as it was, and the program goes on.
  }
  ::DragFinish(drop);
}

LRESULT CALLBACK Win32DropObject::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
  auto* object = reinterpret_cast<Win32DropObject*>(self);
  if (message == WM_DROPFILES) {
    object->Deliver(window, reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    object->window_ = nullptr;
    object->subclassed_ = false;
  }
  return PassToWindow(window, message, wParam, lParam, SubclassProc, id);
}

}  // namespace renamora::win32
