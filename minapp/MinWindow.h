#pragma once
#include <windows.h>

#include <string>

// Registers a window class whose windows are TMinWindows, with the standard
// application icon and arrow cursor. Registering a name again does nothing
// and succeeds, so every creator may call it.
bool RegisterMinWindowClass(const wchar_t* Name, UINT Style = 0, HBRUSH Background = nullptr);

// A window bound to one object: from WM_NCCREATE to WM_NCDESTROY every
// message goes to that object's HandleMessage. The object owns the window and
// destroys it when it goes first.
class TMinWindow {
 public:
  TMinWindow() = default;
  virtual ~TMinWindow();
  TMinWindow(const TMinWindow&) = delete;
  TMinWindow& operator=(const TMinWindow&) = delete;

  // The window as created, nullptr when creation failed. It keeps its value
  // once the window is destroyed: the shell still knows tray icons by it.
  HWND Handle = nullptr;

  // Creates the window of a class registered by RegisterMinWindowClass.
  // Parent HWND_MESSAGE gives a message-only window. During creation the
  // messages reach the HandleMessage of the class whose constructor is
  // running, not of one derived from it.
  bool Create(const wchar_t* ClassName, DWORD ExStyle, const std::wstring& Title, DWORD Style, int X, int Y, int Width,
              int Height, HWND Parent = nullptr);
  // Destroys the window if it still exists.
  void Destroy();

 protected:
  // Called for every message of the window; the default answer is
  // DefWindowProcW's.
  virtual LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam);

 private:
  friend bool RegisterMinWindowClass(const wchar_t* Name, UINT Style, HBRUSH Background);
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

  bool Alive = false;
};
