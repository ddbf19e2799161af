// The end of every subclass procedure of the program.
#pragma once

#include <commctrl.h>
#include <windows.h>

namespace renamora::win32 {

// Hands the message on to the window's next procedure. The window's last
// message also takes this subclass off it: the subclass holds a pointer to
// an object of the program, which may be gone before the window is.
inline LRESULT PassToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            SUBCLASSPROC proc, UINT_PTR id) {
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, proc, id);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace renamora::win32
