#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "MinWindow.h"

// Sees every message of the hidden window before the framework does, also
// while an input box is open (ModalLevel > 0); a non-zero result is the
// window's answer and ends the handling.
using TMinMessageHook = std::function<LRESULT(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)>;

// The one application object of the process: a hidden tool window that gets
// the messages of menus, tray icon, timers and session notices, and the
// message loop. Its Handle is nullptr when the window could not be created.
class TMinApplication : public TMinWindow {
 public:
  // Creates the hidden window. A hook given here already sees the messages
  // sent while the window is created (it must not rely on members of a
  // derived class, which are not constructed yet).
  explicit TMinApplication(const std::string& Title, TMinMessageHook OnMessage = {});
  ~TMinApplication() override;

  TMinMessageHook OnMessage;
  const std::string Title;

  // Runs the message loop until the hidden window is destroyed.
  void Run();
  // Asks the hidden window to close (posted); Run then returns.
  void Terminate();

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override;
};

// Class name of the hidden window.
inline constexpr wchar_t MinApplicationClassName[] = L"PelmoMinApplicationClass";
// Message the tray icons send to the hidden window (version 4): the low word
// of lParam is the event, the high word the icon's Id; wParam holds the
// anchor's screen coordinates.
inline constexpr UINT WM_MINTRAYICON = WM_APP + 0x3008;
// wParam of the WM_EXITMENULOOP the framework posts after a popup menu closed.
inline constexpr WPARAM MenuCleanupNotice = 111;

// Process-wide state of the framework, used on the main thread only.
extern TMinApplication* Application;
// Number of input boxes open; while above 0 the framework answers 0 to
// everything but WM_EXITMENULOOP, leaving the answer to the hook.
extern int ModalLevel;
// A popup menu of the framework is open.
extern bool InMenuLoop;
// Number of the registered message "TaskbarCreated" (0 until a tray icon
// registered it).
extern UINT TaskbarCreatedMessage;
