// Sizes at the DPI a window is drawn at. The per-DPI calls of Windows 10
// (1607) are looked up at run time so that the program still starts on older
// Windows, where one DPI holds for the whole session and the plain calls
// answer for it.
#pragma once
#include <windows.h>

#include "Scoped.h"

namespace MinDpiDetail {

template <class Function>
Function User32Function(const char* Name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), Name)));
}

}  // namespace MinDpiDetail

// The DPI Window is drawn at; the session's without GetDpiForWindow.
inline UINT WindowDpi(HWND Window) {
  static const auto ForWindow = MinDpiDetail::User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (ForWindow) return ForWindow(Window);
  TWindowDC Screen(nullptr);
  return static_cast<UINT>(GetDeviceCaps(Screen.get(), LOGPIXELSY));
}

// GetSystemMetrics(Index) at Dpi.
inline int SystemMetricForDpi(int Index, UINT Dpi) {
  static const auto ForDpi = MinDpiDetail::User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return ForDpi ? ForDpi(Index, Dpi) : GetSystemMetrics(Index);
}

// The font of message boxes at Dpi.
inline bool MessageFontForDpi(LOGFONTW& Font, UINT Dpi) {
  static const auto ForDpi =
      MinDpiDetail::User32Function<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW Metrics{};
  Metrics.cbSize = sizeof Metrics;
  const BOOL Got = ForDpi ? ForDpi(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0, Dpi)
                          : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0);
  if (Got) Font = Metrics.lfMessageFont;
  return Got;
}
