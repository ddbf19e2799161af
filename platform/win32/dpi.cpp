#include "platform/win32/dpi.h"

#include "platform/win32/fallbacks.h"

namespace renamora::win32::dpi {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);

// The frame around the client area at `dpi`: left + right, top + bottom.
SIZE FrameSize(DWORD style, DWORD exStyle, int dpi) {
  RECT rect{0, 0, 0, 0};
  static const SystemFunction<AdjustWindowRectExForDpiFn> adjustForDpi("user32.dll",
                                                                       "AdjustWindowRectExForDpi");
  if (auto adjust = adjustForDpi.get();
      adjust && adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    return {rect.right - rect.left, rect.bottom - rect.top};
  }
  // The system's own frame, drawn at its DPI. At another scale the borders
  // keep their width, as the system's own do at every scale, and only the
  // title bar grows with it: scaling the whole frame would make the client
  // area of a window started at 144 DPI 3 pixels too large.
  ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  const int caption = (style & WS_CAPTION) == WS_CAPTION ? ::GetSystemMetrics(SM_CYCAPTION) : 0;
  return {rect.right - rect.left,
          rect.bottom - rect.top - caption + ::MulDiv(caption, dpi, OfSystem())};
}

}  // namespace

RECT ScaleRect(int left, int top, int width, int height, int dpi) {
  return {Scale(left, dpi), Scale(top, dpi), Scale(left + width, dpi), Scale(top + height, dpi)};
}

int OfSystem() {
  // Fixed for the life of the process: the stock fonts do not change with it.
  static const int system = [] {
    HDC screen = ::GetDC(nullptr);
    const int found = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return found > 0 ? found : kBase;
  }();
  return system;
}

int ForWindow(HWND window) {
  static const SystemFunction<GetDpiForWindowFn> getDpi("user32.dll", "GetDpiForWindow");
  const auto get = getDpi.get();
  const int found = get && window ? static_cast<int>(get(window)) : 0;
  return found > 0 ? found : OfSystem();
}

HFONT CreateUiFont(int dpi) {
  HGDIOBJ stock = ::GetStockObject(DEFAULT_GUI_FONT);
  LOGFONTA font{};
  if (!::GetObjectA(stock, sizeof(font), &font)) {
    font.lfHeight = -::MulDiv(8, kBase, 72);
    font.lfCharSet = DEFAULT_CHARSET;
  }
  const int system = OfSystem();
  font.lfHeight = ::MulDiv(font.lfHeight, dpi, system);
  font.lfWidth = ::MulDiv(font.lfWidth, dpi, system);
  HFONT made = ::CreateFontIndirectA(&font);
  // A stock object may be deleted like any other: the call does nothing.
  return made ? made : static_cast<HFONT>(stock);
}

int SystemMetric(int index, int dpi) {
  static const SystemFunction<GetSystemMetricsForDpiFn> getMetric("user32.dll",
                                                                  "GetSystemMetricsForDpi");
  if (auto get = getMetric.get()) return get(index, static_cast<UINT>(dpi));
  return ::MulDiv(::GetSystemMetrics(index), dpi, OfSystem());
}

HICON LoadIconAt(HINSTANCE instance, int resource, int metric, int dpi) {
  const int size = SystemMetric(metric, dpi);
  return static_cast<HICON>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(resource), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

SIZE ScaledOuterSize(SIZE outerAtBase, DWORD style, DWORD exStyle, int dpi) {
  const SIZE base = FrameSize(style, exStyle, kBase);
  const SIZE frame = dpi == kBase ? base : FrameSize(style, exStyle, dpi);
  return {Scale(outerAtBase.cx - base.cx, dpi) + frame.cx,
          Scale(outerAtBase.cy - base.cy, dpi) + frame.cy};
}

void EnableNonClientScaling(HWND window) {
  static const SystemFunction<EnableNonClientDpiScalingFn> enableScaling(
      "user32.dll", "EnableNonClientDpiScaling");
  if (auto enable = enableScaling.get()) enable(window);
}

}  // namespace renamora::win32::dpi
