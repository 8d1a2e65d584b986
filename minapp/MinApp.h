#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Base of the framework objects owned by the application (menus, tray icon,
// timers): constructing one registers it, so the application frees it at exit
// unless its owner frees it first.
class TMinObject {
public:
  TMinObject();
  virtual ~TMinObject();
  TMinObject(const TMinObject&) = delete;
  TMinObject& operator=(const TMinObject&) = delete;
};

// Sees every message of the hidden window before the framework does; a
// non-zero result is the window's answer and ends the handling.
using TMinMessageHook = std::function<LRESULT(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)>;

// One object registered with the application and how to free it.
struct TMinRegisteredObject {
  const void* Object;
  std::function<void()> Free;
};

// The one application object of the process: a hidden tool window that gets
// the messages of menus, tray icon, timers and session notices, the message
// loop, and the objects it frees when it goes.
class TMinApplication {
public:
  // Creates the hidden window. A hook given here already sees the messages
  // sent while the window is created (it must not rely on members of a
  // derived class, which are not constructed yet).
  explicit TMinApplication(const std::string& Title, TMinMessageHook OnMessage = {});
  // Frees the objects still registered, in registration order.
  virtual ~TMinApplication();
  TMinApplication(const TMinApplication&) = delete;
  TMinApplication& operator=(const TMinApplication&) = delete;

  TMinMessageHook OnMessage;
  const std::string Title;
  // The hidden window; nullptr when it could not be created.
  HWND Handle = nullptr;

  // Runs the message loop until the hidden window is destroyed.
  void Run();
  // Asks the hidden window to close (posted); Run then returns.
  void Terminate();

  // Objects that are not TMinObjects (e.g. a thread that frees itself) may
  // register too; they must unregister before they go away on their own.
  // Safe to call from any thread. Once the destructor has begun, unregistering
  // does nothing: the application frees every object it still listed.
  template <class T>
  void RegisterObject(T* Object) {
    AddObject({Object, [Object] { delete Object; }});
  }
  void UnregisterObject(const void* Object);
  // The registered objects in registration order.
  std::vector<const void*> RegisteredObjects() const;

private:
  void AddObject(TMinRegisteredObject Entry);

  mutable std::mutex ObjectsLock;
  std::vector<TMinRegisteredObject> Objects;
  bool Destroying = false;
};

// Class name of the hidden window.
inline constexpr wchar_t MinApplicationClassName[] = L"PelmoMinApplicationClass";
// Message the tray icons send to the hidden window: wParam is the icon's Id,
// lParam the mouse message.
inline constexpr UINT WM_MINTRAYICON = WM_APP + 0x3008;
// wParam of the WM_EXITMENULOOP the framework posts after a popup menu closed.
inline constexpr WPARAM MenuCleanupNotice = 111;

// Process-wide state of the framework, used on the main thread only.
extern TMinApplication* Application;
// Number of input boxes open; while above 0 the hidden window answers 0 to
// everything but WM_EXITMENULOOP.
extern int ModalLevel;
// A popup menu of the framework is open.
extern bool InMenuLoop;
// Number of the registered message "TaskbarCreated" (0 until a tray icon
// registered it).
extern UINT TaskbarCreatedMessage;
