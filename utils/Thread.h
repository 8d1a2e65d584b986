// TThread: one operating-system thread running the virtual Execute of a
// derived class, plus the hand-over of calls to the main thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

// Failures of the thread class itself.
class EThread : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A call carried to the main thread by Synchronize.
using ThreadMethod = std::function<void()>;

class TThread;
using TThreadNotifyEvent = std::function<void(TThread* Sender)>;

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
  TThread(bool CreateSuspended, DWORD StackSize = 0);
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts the thread unless it was created suspended.
  void AfterConstruction();
  void Resume();
  void Start() { Resume(); }
  void Terminate() { Terminated = true; }
  // Blocks until the thread has ended; returns its exit code. On the main
  // thread it keeps serving synchronised calls and cross-thread sent messages.
  int WaitFor();

  // Runs Method on the main thread and returns when it has run; an exception
  // raised by Method is raised again here.
  void Synchronize(const ThreadMethod& Method) { Synchronize(this, Method); }
  static void Synchronize(TThread* Thread, const ThreadMethod& Method);
  // Main thread only: runs the pending synchronised call, if any; true when
  // one ran and completed. Timeout > 0 waits that long for a request.
  static bool CheckSynchronize(int Timeout = 0);

  HANDLE Handle = nullptr;
  std::atomic<bool> Terminated{false};
  std::atomic<bool> FreeOnTerminate{false};
  std::atomic<bool> Finished{false};
  bool Suspended;
  int ReturnValue = 0;
  TThreadNotifyEvent OnTerminate;      // runs on the main thread
  std::exception_ptr FatalException;   // what escaped Execute
  DWORD ThreadID = 0;
  const bool InitialSuspended;

protected:
  virtual void DoTerminate();
  virtual void Execute() = 0;
  // Stops the thread (Terminate, resume if never started) and waits for it,
  // also when Finished is already set: the thread may still be notifying.
  // Does nothing on the thread itself (a FreeOnTerminate thread freeing
  // itself).
  void TerminateAndWait();

private:
  static DWORD WINAPI ThreadProc(LPVOID Param);
  bool Started = false;  // AfterConstruction or Resume ran
};

// Builds a T and starts it (unless created suspended) once fully built.
template <class T, class... Args>
T* NewThread(Args&&... args) {
  T* Thread = new T(std::forward<Args>(args)...);
  Thread->AfterConstruction();
  return Thread;
}

// The thread that set up synchronisation (the program's main thread).
extern DWORD MainThreadID;
// Set while a synchronised call waits; a message loop may wait on it and
// then call TThread::CheckSynchronize.
extern HANDLE SynchronizeRequestEvent;

// Sets up the process-wide hand-over state; called once at start-up on the
// main thread before any thread is created. Further calls do nothing.
void InitThreadSynchronization();
