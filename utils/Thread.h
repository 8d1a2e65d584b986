// TThread: one operating-system thread running the virtual Execute of a
// derived class.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <stdexcept>
#include <utility>

#include "Scoped.h"

// Failures of the thread class itself.
class EThread : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// C++ has no after-construction hook, so the creator calls AfterConstruction
// once the most-derived constructor has returned (NewThread below does it).
// The operating-system thread is created suspended by the constructor and so
// never runs Execute on a half-built object.
//
// A derived class whose Execute uses its own members must call
// TerminateAndWait() first thing in its destructor: by the time ~TThread
// waits, those members are already gone.
class TThread {
 public:
  explicit TThread(DWORD StackSize = 0);
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts the thread.
  void AfterConstruction();
  void Terminate() { Terminated = true; }
  // Blocks until the thread has ended; returns its exit code. Meanwhile it
  // keeps serving messages that other threads send to this thread's windows.
  int WaitFor();

  TKernelHandle Handle;
  std::atomic<bool> Terminated{false};
  int ReturnValue = 0;
  std::exception_ptr FatalException;  // what escaped Execute
  DWORD ThreadID = 0;

 protected:
  virtual void Execute() = 0;
  // Stops the thread (Terminate, start if never started) and waits for it.
  void TerminateAndWait();

 private:
  static DWORD WINAPI ThreadProc(LPVOID Param);
  void Start();
  bool Started = false;
};

// Builds a T and starts it once fully built.
template <class T, class... Args>
T* NewThread(Args&&... args) {
  T* Thread = new T(std::forward<Args>(args)...);
  Thread->AfterConstruction();
  return Thread;
}
