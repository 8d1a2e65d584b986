#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "MinWait.h"
#include "Scoped.h"

// A started encryption program, watched from the message loop: OnEnd is
// called there once it has ended. Freeing the launch stops the watch, not
// the program.
struct TLaunch {
  // Starts Program with Params (which may hold a password); Started() tells
  // whether it runs.
  TLaunch(const std::string& Program, std::string_view Params, std::function<void()> OnEnd);

  bool Started() const { return bool(Process); }

  TKernelHandle Process;
  // Why the program could not be started (the system's code).
  DWORD StartError = 0;
  bool Ended = false;
  // Ended, or its process has ended and its notice is still on the way.
  bool HasEnded() const { return Ended || (Process && WaitForSingleObject(Process.get(), 0) == WAIT_OBJECT_0); }
  // A refresh has read the driver since the end: the outcome is known.
  bool EndSeen = false;

 private:
  std::unique_ptr<TMinWait> Watch;
};
