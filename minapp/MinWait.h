#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

// Calls OnSignalled from the application's message loop, once, when Handle
// is signalled. The system's wait thread only posts to the hidden window, so
// the handler runs on the main thread, also while a menu, a message box or
// the file dialog runs its loop. Destroying the object cancels the wait; a
// notice already posted for it is then dropped.
class TMinWait {
 public:
  // Handle must stay open while the object lives.
  TMinWait(HANDLE Handle, std::function<void()> OnSignalled);
  ~TMinWait();
  TMinWait(const TMinWait&) = delete;
  TMinWait& operator=(const TMinWait&) = delete;

  // False when the wait could not be registered (no application window).
  bool Armed() const { return WaitHandle != nullptr; }

  // Called by the hidden window for its wait notice.
  static void Dispatch(uint64_t Key);

 private:
  static void CALLBACK Signalled(PVOID Context, BOOLEAN TimedOut);

  // What the wait thread reads: fixed for the object's life.
  struct TTarget {
    HWND Window;
    uint64_t Key;
  };
  TTarget Target;
  std::function<void()> OnSignalled;
  HANDLE WaitHandle = nullptr;
};
