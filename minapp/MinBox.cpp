#include "MinBox.h"

#include <algorithm>

#include "MinApp.h"
#include "MinDpi.h"
#include "Text.h"

namespace {

RECT WorkAreaOf(HMONITOR Monitor) {
  MONITORINFO Info{};
  Info.cbSize = sizeof Info;
  GetMonitorInfoW(Monitor, &Info);
  return Info.rcWork;
}

}  // namespace

// Here, not only in the window's base: the last messages must still reach
// this class, which lets the loop forget the box.
TMinBox::~TMinBox() { Destroy(); }

bool TMinBox::CreateBox(const wchar_t* ClassName, DWORD ExStyle, const std::string& Caption) {
  if (!RegisterMinWindowClass(ClassName, CS_HREDRAW | CS_VREDRAW, GetSysColorBrush(COLOR_BTNFACE))) return false;
  POINT Cursor{};
  GetCursorPos(&Cursor);
  const RECT Work = WorkAreaOf(MonitorFromPoint(Cursor, MONITOR_DEFAULTTOPRIMARY));
  return Create(ClassName, ExStyle, Utf8ToWide(Caption), WS_CAPTION | WS_SYSMENU, (Work.left + Work.right) / 2,
                (Work.top + Work.bottom) / 2, 0, 0);
}

HWND TMinBox::AddControl(const wchar_t* ClassName, const std::wstring& Text, DWORD Style, int Id) {
  const HWND Control =
      CreateWindowExW(0, ClassName, Text.c_str(), WS_CHILD | WS_VISIBLE | Style, 0, 0, 0, 0, Handle,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleW(nullptr), nullptr);
  if (Control) Controls.push_back(Control);
  return Control;
}

void TMinBox::Present() {
  ApplyFont(WindowDpi(Handle));
  Layout();
  const RECT Work = WorkArea();
  RECT Outer{};
  GetWindowRect(Handle, &Outer);
  const int Width = Outer.right - Outer.left, Height = Outer.bottom - Outer.top;
  SetWindowPos(Handle, nullptr, std::max(Work.left, (Work.left + Work.right - Width) / 2),
               std::max(Work.top, (Work.top + Work.bottom - Height) / 2), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (Application) Application->AddDialogWindow(Handle);
  BringToFront();
}

void TMinBox::ApplyFont(UINT Dpi) {
  LOGFONTW Spec{};
  if (!MessageFontForDpi(Spec, Dpi)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof Spec, &Spec);
  TFontHandle NewFont(CreateFontIndirectW(&Spec));
  for (HWND Control : Controls) SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(NewFont.get()), FALSE);
  // The old font goes once no control uses it.
  Font = std::move(NewFont);
}

void TMinBox::SetClientSize(int Width, int Height) {
  RECT Outer{}, Client{};
  GetWindowRect(Handle, &Outer);
  GetClientRect(Handle, &Client);
  SetWindowPos(Handle, nullptr, 0, 0, Width + (Outer.right - Outer.left - Client.right),
               Height + (Outer.bottom - Outer.top - Client.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// By the top-left corner, which stays where the box was created: a box
// wider than half its monitor still belongs to it.
RECT TMinBox::WorkArea() const {
  RECT Outer{};
  GetWindowRect(Handle, &Outer);
  return WorkAreaOf(MonitorFromPoint(POINT{Outer.left, Outer.top}, MONITOR_DEFAULTTONEAREST));
}

void TMinBox::BringToFront() {
  ShowWindow(Handle, SW_SHOWNORMAL);
  // Windows may keep the foreground for the window the user is typing in;
  // then the taskbar button flashes until the box is activated.
  if (!SetForegroundWindow(Handle)) {
    FLASHWINFO Flash{sizeof Flash, Handle, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&Flash);
  }
  SetFocus(FocusTarget());
}

LRESULT TMinBox::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_COMMAND:
      // Escape comes as IDCANCEL.
      if (LOWORD(WParam) == IDCANCEL && HIWORD(WParam) == BN_CLICKED) Cancel();
      return 0;
    case WM_CLOSE:
      Cancel();
      return 0;
    case WM_DPICHANGED: {
      const RECT* Suggested = reinterpret_cast<const RECT*>(LParam);
      SetWindowPos(Handle, nullptr, Suggested->left, Suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyFont(HIWORD(WParam));
      Layout();
      return 0;
    }
    case WM_DESTROY:
      if (Application) Application->RemoveDialogWindow(Handle);
      return 0;
  }
  return TMinWindow::HandleMessage(Message, WParam, LParam);
}

TMinBox::TFontDC::TFontDC(const TMinBox& Box) : DC(Box.Handle), OldFont(SelectObject(DC.get(), Box.Font.get())) {
  GetTextMetricsW(DC.get(), &FontMetrics);
}

TMinBox::TFontDC::~TFontDC() { SelectObject(DC.get(), OldFont); }
