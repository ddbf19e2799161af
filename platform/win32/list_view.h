// A report-view list control over rows the program holds once. The control is
// owner-data: it keeps no copy of any cell and asks for the texts of the rows
// it paints, so 100,000 rows cost no more than the rows themselves.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/list_model.h"
#include "platform/ui.h"

namespace renamora::win32 {

class OwnerDataListView {
 public:
  // `list` must have been created with LVS_REPORT | LVS_OWNERDATA. Adds the
  // model's columns with their titles and widths. The model's widths are
  // pixels at 96 DPI, whatever the scale: the list shows them at `dpi`.
  OwnerDataListView(HWND list, const ListModel& model, int dpi);
  ~OwnerDataListView();
  OwnerDataListView(const OwnerDataListView&) = delete;
  OwnerDataListView& operator=(const OwnerDataListView&) = delete;

  HWND Handle() const { return list_; }

  // Answers what the list asks of its parent: the text of a cell, and the
  // type-ahead search, which never finds anything (the first column holds
  // folders, not what a user would type). True when `header` was for it.
  bool HandleNotify(NMHDR& header, LRESULT& result);

  // Brings the control up to date after the model changed: the row count,
  // every shown cell, and the column widths when the model set new ones.
  void Update();

  // Shows the list at another scale in `font`: the same rows, selection and
  // scroll position, every column as wide at the new scale as it was.
  void SetDpi(int dpi, HFONT font);
  int Dpi() const { return dpi_; }

 private:
  int HeaderWidth(std::size_t column) const;  // -1 when unknown

  // A cell whose text is cut off shows it whole in a tooltip when the
  // pointer rests on it. The list view does that itself where it knows label
  // tips; where it does not, these give its tooltip one tool over the list
  // that answers with the text of the cell under the pointer.
  void AddCellTips();
  bool IsCut(int row, int column, const std::string& text) const;
  void AnswerTip(NMHDR& request);
  void HideTip();
  static LRESULT CALLBACK CellTipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);

  HWND list_;
  HWND header_;  // holds the widths the columns have now
  const ListModel& model_;
  int dpi_;
  std::size_t shownRows_ = 0;
  std::uint64_t shownWidths_;
  HWND tips_ = nullptr;    // set only while the tool is this object's
  POINT tipCell_{-1, -1};  // the cell (column, row) under the pointer
  std::string tipText_;
  std::wstring tipWide_;
};

// A hint that a list paints over itself after its own painting: no window of
// its own, so it neither hides what lies beneath it nor takes a drop meant for
// the list. One line, vertically centred in `area` (client coordinates of
// the list), transparent background.
class ListHint final : public DropHint {
 public:
  ListHint(HWND list, const RECT& area, std::string text, COLORREF colour, UINT alignment);
  ~ListHint() override;
  ListHint(const ListHint&) = delete;
  ListHint& operator=(const ListHint&) = delete;

  void SetVisible(bool visible) override;
  bool Visible() const override { return visible_; }
  void Redraw() override;
  // Moves the hint, as when the list is laid out at another scale.
  void SetArea(const RECT& area);

  HWND List() const { return list_; }
  const RECT& Area() const { return area_; }
  const std::string& Text() const { return text_; }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  void Paint(HDC dc) const;

  HWND list_;
  RECT area_;
  std::string text_;
  COLORREF colour_;
  UINT alignment_;
  bool visible_ = true;
  bool subclassed_ = false;
};

}  // namespace renamora::win32
