#include "AboutBox.h"

#include <algorithm>
#include <utility>

#include "MinApp.h"
#include "MinDpi.h"
#include "Text.h"

namespace {
constexpr wchar_t AboutBoxClassName[] = L"AboutBox";
}  // namespace

std::unique_ptr<TAboutBox> TAboutBox::Show(const std::string& Caption, const std::string& Text,
                                           std::function<void()> OnClosed) {
  if (!RegisterMinWindowClass(AboutBoxClassName, 0, GetSysColorBrush(COLOR_BTNFACE))) return nullptr;
  std::unique_ptr<TAboutBox> Box(new TAboutBox);
  if (!Box->Create(AboutBoxClassName, 0, Utf8ToWide(Caption), WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 0,
                   0))
    return nullptr;
  Box->OnClosed = std::move(OnClosed);
  // The field keeps Windows line ends.
  for (wchar_t C : Utf8ToWide(Text)) {
    if (C == L'\n') Box->Text += L'\r';
    Box->Text += C;
  }
  const HINSTANCE Instance = GetModuleHandleW(nullptr);
  Box->TextField =
      CreateWindowExW(0, L"EDIT", Box->Text.c_str(), WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, 0, 0, 0, 0,
                      Box->Handle, reinterpret_cast<HMENU>(INT_PTR(AboutTextId)), Instance, nullptr);
  Box->OkButton = CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0,
                                  0, Box->Handle, reinterpret_cast<HMENU>(INT_PTR(IDOK)), Instance, nullptr);
  Box->Layout(WindowDpi(Box->Handle));
  if (Application) Application->AddDialogWindow(Box->Handle);
  Box->BringToFront();
  return Box;
}

TAboutBox::~TAboutBox() { Destroy(); }

void TAboutBox::Layout(UINT Dpi) {
  LOGFONTW FontSpec{};
  if (!MessageFontForDpi(FontSpec, Dpi)) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof FontSpec, &FontSpec);
  TFontHandle NewFont(CreateFontIndirectW(&FontSpec));
  for (HWND Control : {TextField, OkButton})
    SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(NewFont.get()), FALSE);
  Font = std::move(NewFont);

  TWindowDC DC(Handle);
  const HGDIOBJ OldFont = SelectObject(DC.get(), Font.get());
  TEXTMETRICW Metrics{};
  GetTextMetricsW(DC.get(), &Metrics);
  MONITORINFO Monitor{};
  Monitor.cbSize = sizeof Monitor;
  GetMonitorInfoW(MonitorFromWindow(Handle, MONITOR_DEFAULTTOPRIMARY), &Monitor);
  const RECT Work = Monitor.rcWork;
  // Paths may be long: the text wraps at most at half the work area.
  RECT Area{0, 0, std::max(LONG(Metrics.tmAveCharWidth * 40), (Work.right - Work.left) / 2), 0};
  DrawTextW(DC.get(), Text.c_str(), -1, &Area, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
  SelectObject(DC.get(), OldFont);

  const int Margin = Metrics.tmHeight;
  const int ButtonWidth = Metrics.tmAveCharWidth * 12, ButtonHeight = Metrics.tmHeight * 7 / 4;
  // The field wraps a little earlier than DrawText: one more character each way.
  const int Width = Area.right + Metrics.tmAveCharWidth, Height = Area.bottom + Metrics.tmHeight;
  MoveWindow(TextField, Margin, Margin, Width, Height, TRUE);
  MoveWindow(OkButton, Margin + Width - ButtonWidth, 2 * Margin + Height, ButtonWidth, ButtonHeight, TRUE);

  RECT Outer{Work.left, Work.top, Work.left + Width + 2 * Margin, Work.top + Height + ButtonHeight + 3 * Margin};
  AdjustWindowRectEx(&Outer, WS_CAPTION | WS_SYSMENU, FALSE, 0);
  const int OuterWidth = Outer.right - Outer.left, OuterHeight = Outer.bottom - Outer.top;
  SetWindowPos(Handle, nullptr, std::max(Work.left, (Work.left + Work.right - OuterWidth) / 2),
               std::max(Work.top, (Work.top + Work.bottom - OuterHeight) / 2), OuterWidth, OuterHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TAboutBox::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_COMMAND:
      // OK, Enter (the default button) or Escape (IDCANCEL).
      if (LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL) Close();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DPICHANGED:
      Layout(HIWORD(WParam));
      return 0;
    case WM_DESTROY:
      if (Application) Application->RemoveDialogWindow(Handle);
      return 0;
  }
  return TMinWindow::HandleMessage(Message, WParam, LParam);
}

void TAboutBox::Close() {
  ShowWindow(Handle, SW_HIDE);
  // Last: the owner may free the box.
  if (const auto Handler = std::exchange(OnClosed, {})) Handler();
}

void TAboutBox::BringToFront() {
  ShowWindow(Handle, SW_SHOWNORMAL);
  SetForegroundWindow(Handle);
  SetFocus(OkButton);
}
