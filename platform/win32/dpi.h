// Display scale. The window is stated in pixels at 96 DPI (the layout table,
// the column widths the lists are given) and shown at the DPI of the monitor
// it is on. What only newer Windows versions offer (everything per monitor)
// is looked up at run time (platform/win32/fallbacks.h), so the program
// still starts on XP, Vista, 7 and 8, where the system's one DPI stands in.
#pragma once

#include <windows.h>

namespace renamora::win32::dpi {

constexpr int kBase = 96;

// One rounding rule for every coordinate: to the nearest pixel, halves up.
// Rectangles scale their edges, not their sizes, so controls that meet at 96
// DPI still meet and none overlaps another that it did not overlap there.
constexpr int Scale(int value, int dpi) {
  const long long n = static_cast<long long>(value) * dpi + kBase / 2;
  return static_cast<int>(n >= 0 ? n / kBase : -((kBase - 1 - n) / kBase));
}
// The rectangle given at 96 DPI by left, top, width and height.
RECT ScaleRect(int left, int top, int width, int height, int dpi);

// The DPI `window` is shown at.
int ForWindow(HWND window);
// The DPI the system's stock objects were made for.
int OfSystem();

// The face and point size of the system's default GUI font at `dpi`: at the
// system's DPI exactly what that font draws. The caller deletes it.
HFONT CreateUiFont(int dpi);
// A system metric (icon sizes) at `dpi`.
int SystemMetric(int index, int dpi);
// The program's icon resource at the size `metric` (SM_CXICON, SM_CXSMICON)
// asks for at `dpi`. The caller destroys it.
HICON LoadIconAt(HINSTANCE instance, int resource, int metric, int dpi);
// The outer size of a window of this style at `dpi` whose client area is the
// one it has at 96 DPI with the outer size `outerAtBase`, scaled.
SIZE ScaledOuterSize(SIZE outerAtBase, DWORD style, DWORD exStyle, int dpi);
// Asks the system to scale the title bar too, where only this call gets that
// (per-monitor awareness of Windows 10 before 1703). From WM_NCCREATE.
void EnableNonClientScaling(HWND window);

}  // namespace renamora::win32::dpi
