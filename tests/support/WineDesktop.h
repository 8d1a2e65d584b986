// The Wine desktop as a user changes it: key presses through the X server,
// and the display's DPI.
#pragma once
#include <windows.h>

#include <string>

// Starts "xdotool Args" (commands may be chained: "mousemove 10 10 key End 4
// 2 Return"; "type" takes the rest of the line as its text); the keys reach whichever window has the focus. Wine runs
// the Unix program without a process handle to wait for, so callers wait for the keys' effect.
inline bool StartXdoTool(const std::string& Args) {
  std::wstring CommandLine = L"Z:\\usr\\bin\\xdotool " + std::wstring(Args.begin(), Args.end());
  STARTUPINFOW Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  if (!CreateProcessW(nullptr, CommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process))
    return false;
  if (Process.hProcess) CloseHandle(Process.hProcess);
  if (Process.hThread) CloseHandle(Process.hThread);
  return true;
}

// Keys typed on the keyboard ("key End 4 2 Return"). Without a window
// manager the X server gives them to the window under the pointer, so the
// pointer is put on Over first; Wine hands them on to the focus of the
// foreground window, as Windows does.
inline bool StartTyping(HWND Over, const std::string& Keys) {
  RECT Rect{};
  GetWindowRect(Over, &Rect);
  return StartXdoTool("mousemove " + std::to_string((Rect.left + Rect.right) / 2) + " " +
                      std::to_string((Rect.top + Rect.bottom) / 2) + " " + Keys);
}

// The DPI (LogPixels) of every process started in this Wine session while the
// object lives; 96, a fresh session's, again afterwards.
class SessionDpi {
 public:
  explicit SessionDpi(DWORD Dpi) { Set(Dpi); }
  ~SessionDpi() { Set(96); }
  SessionDpi(const SessionDpi&) = delete;
  SessionDpi& operator=(const SessionDpi&) = delete;

 private:
  static void Set(DWORD Dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &Dpi, sizeof Dpi);
  }
};
