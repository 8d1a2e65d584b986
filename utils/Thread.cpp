#include "Thread.h"

#include <cstdio>

#include "Files.h"

DWORD MainThreadID = 0;
HANDLE SynchronizeRequestEvent = nullptr;

namespace {

// One hand-over at a time: a worker holds SynchronizeLock from posting its
// call until it has collected the outcome.
CRITICAL_SECTION SynchronizeLock;
HANDLE SynchronizeDoneEvent = nullptr;
ThreadMethod SynchronizeMethod;
std::atomic<bool> SynchronizePending{false};
std::exception_ptr SynchronizeException;
// No hand-over can be pending before a second thread exists.
std::atomic<bool> ThreadsCreated{false};

}  // namespace

void InitThreadSynchronization() {
  if (SynchronizeRequestEvent) return;
  MainThreadID = GetCurrentThreadId();
  InitializeCriticalSection(&SynchronizeLock);
  SynchronizeRequestEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  SynchronizeDoneEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

TThread::TThread(bool CreateSuspended, DWORD StackSize)
    : Suspended(CreateSuspended), InitialSuspended(CreateSuspended) {
  // Always suspended: nothing of Execute may run before the most-derived
  // constructor has finished.
  Handle = CreateThread(nullptr, StackSize, ThreadProc, this, CREATE_SUSPENDED, &ThreadID);
  if (!Handle) throw EThread("Thread creation error: " + LastErrorText());
  ThreadsCreated = true;
}

TThread::~TThread() {
  TerminateAndWait();
  if (Handle) CloseHandle(Handle);
}

void TThread::AfterConstruction() {
  Started = true;
  if (!InitialSuspended) Resume();
}

void TThread::Resume() {
  Started = true;
  if (ResumeThread(Handle) == 1) Suspended = false;
}

void TThread::TerminateAndWait() {
  // A thread freeing itself (FreeOnTerminate) must not wait for itself.
  if (!Handle || GetCurrentThreadId() == ThreadID) return;
  if (!Finished) Terminate();
  // A thread that never ran still has to pass through its procedure, which
  // skips Execute because Terminated is set.
  if (InitialSuspended || !Started) Resume();
  WaitFor();
}

int TThread::WaitFor() {
  if (GetCurrentThreadId() == MainThreadID) {
    // Keep serving synchronised calls and sent messages: the thread waited
    // for may itself be inside Synchronize.
    HANDLE Handles[2] = {Handle, SynchronizeRequestEvent};
    for (;;) {
      DWORD Result = MsgWaitForMultipleObjects(2, Handles, FALSE, INFINITE, QS_SENDMESSAGE);
      if (Result == WAIT_OBJECT_0 + 1) {
        CheckSynchronize(0);
      } else if (Result == WAIT_OBJECT_0 + 2) {
        MSG Msg;
        PeekMessageW(&Msg, nullptr, 0, 0, PM_NOREMOVE);
      } else {
        break;  // the thread ended, or the wait failed: never spin
      }
    }
  } else {
    WaitForSingleObject(Handle, INFINITE);
  }
  DWORD ExitCode = 0;
  GetExitCodeThread(Handle, &ExitCode);
  return int(ExitCode);
}

void TThread::Synchronize(TThread*, const ThreadMethod& Method) {
  if (GetCurrentThreadId() == MainThreadID) {
    Method();
    return;
  }
  if (!SynchronizeRequestEvent) throw EThread("Thread synchronization is not set up");
  EnterCriticalSection(&SynchronizeLock);
  SynchronizeException = nullptr;
  SynchronizeMethod = Method;
  SynchronizePending = true;
  SetEvent(SynchronizeRequestEvent);
  WaitForSingleObject(SynchronizeDoneEvent, INFINITE);
  std::exception_ptr Raised = std::exchange(SynchronizeException, nullptr);
  SynchronizeMethod = nullptr;
  LeaveCriticalSection(&SynchronizeLock);
  if (Raised) std::rethrow_exception(Raised);
}

bool TThread::CheckSynchronize(int Timeout) {
  if (!ThreadsCreated) return false;
  if (GetCurrentThreadId() != MainThreadID) {
    char Text[64];
    std::snprintf(Text, sizeof Text, "CheckSynchronize called from non-main thread \"$%lx\"",
                  static_cast<unsigned long>(GetCurrentThreadId()));
    throw EThread(Text);
  }
  if (Timeout > 0)
    WaitForSingleObject(SynchronizeRequestEvent, DWORD(Timeout));
  else
    ResetEvent(SynchronizeRequestEvent);
  if (!SynchronizePending.exchange(false)) return false;
  bool Ran = false;
  try {
    SynchronizeMethod();
    Ran = true;
  } catch (...) {
    SynchronizeException = std::current_exception();  // the worker raises it again
  }
  SetEvent(SynchronizeDoneEvent);
  return Ran;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

DWORD WINAPI TThread::ThreadProc(LPVOID Param) {
  auto* Thread = static_cast<TThread*>(Param);
  if (!Thread->Terminated) {
    try {
      Thread->Execute();
    } catch (...) {
      Thread->FatalException = std::current_exception();
    }
  }
  // Taken before the notification: what OnTerminate changes has no effect.
  const bool FreeThread = Thread->FreeOnTerminate;
  const DWORD ExitCode = DWORD(Thread->ReturnValue);
  Thread->Finished = true;
  try {
    Thread->DoTerminate();
  } catch (...) {
    // OnTerminate raised on the main thread; nothing may escape a thread.
    if (!Thread->FatalException) Thread->FatalException = std::current_exception();
  }
  if (FreeThread) delete Thread;
  return ExitCode;
}
