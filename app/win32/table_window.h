// A window built from the layout table: every control of the table created
// in order under its parent, laid out at the window's display scale and laid
// out afresh when the scale changes, stacked so that a control over another
// stays on top, coloured as the table says, and the tabs of 选择夹1 showing
// their pages. Controls inside a tab control or a group box notify that
// container; it passes their notifications on to this window, so that one
// window procedure sees them all.
//
// What the window does with its controls is its subclass's: it sees every
// message first (OnMessage) and may take the list views' scaling over.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/layout.h"
#include "platform/win32/dpi.h"

namespace renamora::win32 {

class TableWindow {
 public:
  TableWindow(const TableWindow&) = delete;
  TableWindow& operator=(const TableWindow&) = delete;

  HWND Handle() const { return window_; }
  // The scale the window is laid out at, and the one font of its controls.
  int Dpi() const { return dpi_; }
  HFONT Font() const { return font_; }
  // The window of a control; nullptr for a name without one (the save
  // dialogs, drop objects and the hints that the lists paint).
  HWND Handle(std::string_view control) const;
  const layout::Control* ControlOf(HWND control) const;

  int CurrentPage() const;
  // Selects a page of 选择夹1 and shows only that page's controls.
  void ShowPage(int page);

 protected:
  explicit TableWindow(HINSTANCE instance) : instance_(instance) {}
  virtual ~TableWindow();

  // Creates the window, hidden, with every control of the table at the
  // scale of the monitor it starts on. False when the system refuses to
  // create the window.
  bool CreateFromTable();
  // Destroys the window and its controls while the subclass is whole.
  void Destroy();

  // Sees every message before the table's own handling; true when it
  // answered the message with `result`.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // Gives a control the window's font at its scale. A list view that keeps
  // its own font and row sizes takes this over.
  virtual void SetControlFont(HWND control);
  // Every control has been moved to a new scale.
  virtual void OnRescaled() {}

  // Where a control of the table lies at the window's scale, in the client
  // area of its parent; a hint in the client area of its list.
  RECT ControlRect(const layout::Control& control) const;
  RECT HintArea(const layout::Control& hint, HWND list) const;
  RECT RectInWindow(HWND control) const;
  void CentreOnScreen();
  HWND FirstTabStop() const;

  HINSTANCE instance_;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnControlColour(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  HWND CreateControl(const layout::Control& control, HWND parent, bool startsGroup);
  SIZE OuterSize(int dpi) const;
  // The window moved to a monitor of another scale, or the scale changed:
  // every control moved, sized and given the font of the new scale, none
  // made anew, so each keeps its state.
  void OnDpiChanged(int dpi, const RECT& suggested);
  void LayOut();
  void SetIcons();
  void StackOverlappingControls();

  HWND window_ = nullptr;
  int dpi_ = dpi::kBase;
  HFONT font_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HWND tab_ = nullptr;
  HWND lastFocus_ = nullptr;
  std::map<std::string, HWND, std::less<>> handles_;
  std::unordered_map<HWND, const layout::Control*> controlsByHandle_;
};

}  // namespace renamora::win32
