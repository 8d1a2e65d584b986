#include "MinApp.h"

#include <windowsx.h>

#include <algorithm>

#include "MinMenu.h"
#include "MinTrayIcon.h"
#include "MinWait.h"

TMinApplication* Application = nullptr;
UINT TaskbarCreatedMessage = 0;

void TellEventFailure(const char* What) {
  if (Application && Application->OnEventFailed) Application->OnEventFailed(What);
}

TMinApplication::TMinApplication(const std::string& Title) : Title(Title) {
  Application = this;
  RegisterMinWindowClass(MinApplicationClassName, CS_HREDRAW | CS_VREDRAW, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
  // A 1x1 tool window off screen: no taskbar button, never seen.
  Create(MinApplicationClassName, WS_EX_TOOLWINDOW, L"", WS_OVERLAPPEDWINDOW, -100, -100, 1, 1);
}

// Normally the window is gone through Terminate already; otherwise the base
// destroys it without reaching this object any more.
TMinApplication::~TMinApplication() { Application = nullptr; }

LRESULT TMinApplication::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == TaskbarCreatedMessage) TMinTrayIcon::RestoreAll();
  switch (Msg) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_MENUCOMMAND:
      DispatchMenuCommand(reinterpret_cast<HMENU>(LParam), WParam);
      break;
    case WM_MINWAIT:
      TMinWait::Dispatch(static_cast<uint64_t>(LParam));
      return 0;
    case WM_EXITMENULOOP:
      if (WParam == MenuCleanupNotice && LParam > 0) {
        EndMenuPopup(LParam);
        return 0;
      }
      break;
    case WM_MINTRAYICON:
      // Version 4: lParam holds the event and the icon's Id, wParam the anchor.
      if (TMinTrayIcon* Icon = TMinTrayIcon::FindById(HIWORD(LParam)))
        Icon->Notify(LOWORD(LParam), POINT{GET_X_LPARAM(WParam), GET_Y_LPARAM(WParam)});
      break;
  }
  return TMinWindow::HandleMessage(Msg, WParam, LParam);
}

void TMinApplication::Run() {
  if (!Handle) return;
  ShowWindow(Handle, SW_SHOWNORMAL);
  MSG Msg;
  // -1 (an error) is treated like a message.
  while (GetMessageW(&Msg, nullptr, 0, 0)) {
    // Each dialog takes only the messages of its own windows.
    const auto IsDialogKey = [&Msg](HWND Dialog) { return IsDialogMessageW(Dialog, &Msg) != FALSE; };
    if (std::any_of(DialogWindows.begin(), DialogWindows.end(), IsDialogKey)) continue;
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

void TMinApplication::Terminate() { PostMessageW(Handle, WM_CLOSE, 0, 0); }
