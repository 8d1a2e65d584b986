#pragma once
#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "MinWindow.h"

// The one application object of the process: a hidden tool window that gets
// the messages of menus, tray icon, timers and session notices, and the
// message loop. Its Handle is nullptr when the window could not be created.
// A derived application handles its own messages in its HandleMessage and
// passes the rest on to this one's.
class TMinApplication : public TMinWindow {
 public:
  // Creates the hidden window; the messages of its creation stay with this
  // class.
  explicit TMinApplication(const std::string& Title);
  ~TMinApplication() override;

  // Told what an event's handling threw; the loop goes on.
  std::function<void(const std::string& What)> OnEventFailed;
  const std::string Title;

  // Runs the message loop until the hidden window is destroyed: the one loop
  // of the program. Keys for the modeless dialogs (AddDialogWindow) are
  // handled as a dialog handles them.
  void Run();
  // A modeless dialog whose keys the loop hands to IsDialogMessageW, from
  // its creation until it is removed before it goes.
  void AddDialogWindow(HWND Dialog) { DialogWindows.push_back(Dialog); }
  void RemoveDialogWindow(HWND Dialog) { std::erase(DialogWindows, Dialog); }
  // Asks the hidden window to close (posted); Run then returns.
  void Terminate();

 protected:
  LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override;

 private:
  std::vector<HWND> DialogWindows;
};

// Class name of the hidden window.
inline constexpr wchar_t MinApplicationClassName[] = L"PelmoMinApplicationClass";
// Message the tray icons send to the hidden window (version 4): the low word
// of lParam is the event, the high word the icon's Id; wParam holds the
// anchor's screen coordinates.
inline constexpr UINT WM_MINTRAYICON = WM_APP + 0x3008;
// wParam of the WM_EXITMENULOOP the framework posts after a popup menu closed.
inline constexpr WPARAM MenuCleanupNotice = 111;
// What a signalled TMinWait posts to the hidden window: lParam is its key.
inline constexpr UINT WM_MINWAIT = WM_APP + 0x3009;

// Runs Handle, the handling of one event from Windows, and hands what it
// throws to the application's OnEventFailed: nothing is thrown back through
// Windows, and the program keeps running. A failed handling gives the
// result's default (0 for a message).
template <class Handler>
auto HandleEvent(Handler&& Handle) -> decltype(Handle());

// Process-wide state of the framework, used on the main thread only.
extern TMinApplication* Application;
// Number of the registered message "TaskbarCreated" (0 until a tray icon
// registered it).
extern UINT TaskbarCreatedMessage;

void TellEventFailure(const char* What);

template <class Handler>
auto HandleEvent(Handler&& Handle) -> decltype(Handle()) {
  try {
    return Handle();
  } catch (const std::exception& Error) {
    TellEventFailure(Error.what());
  } catch (...) {
    TellEventFailure("unknown exception");
  }
  return decltype(Handle())();
}
