// Watches for message boxes of this process from a second thread, records
// each one's caption and text, and answers it with a button.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

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
    if (FThread.joinable()) {
      FStop = true;
      FThread.join();
    }
    std::lock_guard<std::mutex> Lock(FMutex);
    return FSeen;
  }

private:
  static std::string Utf8(const std::wstring& W) {
    int n = WideCharToMultiByte(CP_UTF8, 0, W.data(), static_cast<int>(W.size()), nullptr, 0, nullptr, nullptr);
    std::string S(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, W.data(), static_cast<int>(W.size()), S.data(), n, nullptr, nullptr);
    return S;
  }

  static std::wstring TextOf(HWND Wnd) {
    wchar_t Buf[1024] = {};
    GetWindowTextW(Wnd, Buf, 1024);
    return Buf;
  }

  static std::wstring ClassOf(HWND Wnd) {
    wchar_t Buf[64] = {};
    GetClassNameW(Wnd, Buf, 64);
    return Buf;
  }

  // The message text is the one static control with text (the icon has none).
  static BOOL CALLBACK CollectStatic(HWND Child, LPARAM Param) {
    auto* Text = reinterpret_cast<std::wstring*>(Param);
    if (_wcsicmp(ClassOf(Child).c_str(), L"Static") == 0 && !TextOf(Child).empty()) *Text = TextOf(Child);
    return TRUE;
  }

  static BOOL CALLBACK CollectBox(HWND Wnd, LPARAM Param) {
    DWORD Pid = 0;
    GetWindowThreadProcessId(Wnd, &Pid);
    if (Pid == GetCurrentProcessId() && IsWindowVisible(Wnd) && ClassOf(Wnd) == L"#32770")
      reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
    return TRUE;
  }

  void Look() {
    std::vector<HWND> Boxes;
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&Boxes));
    for (HWND Box : Boxes) {
      if (!FHandled.insert(Box).second) continue;
      std::wstring Text;
      EnumChildWindows(Box, CollectStatic, reinterpret_cast<LPARAM>(&Text));
      {
        std::lock_guard<std::mutex> Lock(FMutex);
        FSeen.push_back({Utf8(TextOf(Box)), Utf8(Text)});
      }
      PostMessageW(Box, WM_COMMAND, MAKEWPARAM(FButton, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(Box, FButton)));
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
  std::mutex FMutex;
  std::vector<TSeenBox> FSeen;
  std::set<HWND> FHandled;
  std::thread FThread;
};
