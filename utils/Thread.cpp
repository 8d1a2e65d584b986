#include "Thread.h"

#include "ErrorTexts.h"

TThread::TThread(DWORD StackSize) {
  // Always suspended: nothing of Execute may run before the most-derived
  // constructor has finished.
  Handle.reset(CreateThread(nullptr, StackSize, ThreadProc, this, CREATE_SUSPENDED, &ThreadID));
  if (!Handle) throw EThread("Thread creation error: " + LastErrorText());
}

TThread::~TThread() { TerminateAndWait(); }

void TThread::AfterConstruction() { Start(); }

void TThread::Start() {
  Started = true;
  ResumeThread(Handle.get());
}

void TThread::TerminateAndWait() {
  if (!Handle) return;
  Terminate();
  // A thread that never ran still has to pass through its procedure, which
  // skips Execute because Terminated is set.
  if (!Started) Start();
  WaitFor();
}

int TThread::WaitFor() {
  // Serve sent messages: the thread waited for may be inside a SendMessage
  // to one of this thread's windows.
  const HANDLE Waited = Handle.get();
  for (;;) {
    DWORD Result = MsgWaitForMultipleObjects(1, &Waited, FALSE, INFINITE, QS_SENDMESSAGE);
    if (Result != WAIT_OBJECT_0 + 1) break;  // the thread ended, or the wait failed: never spin
    MSG Msg;
    PeekMessageW(&Msg, nullptr, 0, 0, PM_NOREMOVE);
  }
  DWORD ExitCode = 0;
  GetExitCodeThread(Handle.get(), &ExitCode);
  return int(ExitCode);
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
  return DWORD(Thread->ReturnValue);
}
