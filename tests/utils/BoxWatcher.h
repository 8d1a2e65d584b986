// Watches for message boxes of this process from a second thread, records
// each one's caption and text, and answers it with a button.
#pragma once

#include <windows.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Files.h"

struct TSeenBox {
  std::string Caption;
  std::string Text;
};

class TBoxWatcher {
public:
  explicit TBoxWatcher(int Button = IDOK) : FButton(Button), FThread([this] { Watch(); }) {}
  ~TBoxWatcher() { Stop(); }

  // Ends the watch (after a last look) and returns every box seen.
  std::vector<TSeenBox> Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
    return FSeen;
  }

private:
  static std::string TextOf(HWND Wnd) {
    wchar_t Buf[1024] = {};
    GetWindowTextW(Wnd, Buf, 1024);
    return WideToUtf8(Buf);
  }

  static bool HasClass(HWND Wnd, const wchar_t* Class) {
    wchar_t Buf[64] = {};
    GetClassNameW(Wnd, Buf, 64);
    return _wcsicmp(Buf, Class) == 0;
  }

  // The message text is the one static control with text (the icon has none).
  static BOOL CALLBACK CollectText(HWND Child, LPARAM Param) {
    if (HasClass(Child, L"Static") && !TextOf(Child).empty()) *reinterpret_cast<std::string*>(Param) = TextOf(Child);
    return TRUE;
  }

  static BOOL CALLBACK CollectBox(HWND Wnd, LPARAM Param) {
    DWORD Pid = 0;
    GetWindowThreadProcessId(Wnd, &Pid);
    if (Pid == GetCurrentProcessId() && IsWindowVisible(Wnd) && HasClass(Wnd, L"#32770"))
      reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
    return TRUE;
  }

  void Look() {
    std::vector<HWND> Boxes;
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&Boxes));
    for (HWND Box : Boxes) {
      if (!FHandled.insert(Box).second) continue;
      TSeenBox Seen{TextOf(Box), ""};
      EnumChildWindows(Box, CollectText, reinterpret_cast<LPARAM>(&Seen.Text));
      FSeen.push_back(Seen);
      PostMessageW(Box, WM_COMMAND, MAKEWPARAM(FButton, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(Box, FButton)));
    }
  }

  void Watch() {
    while (!FStop) {
      Look();
      Sleep(20);
    }
    Look();
  }

  int FButton;
  std::atomic<bool> FStop{false};
  std::vector<TSeenBox> FSeen;  // the watching thread's until Stop joins it
  std::set<HWND> FHandled;
  std::thread FThread;
};
