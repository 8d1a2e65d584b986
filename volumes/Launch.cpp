#include "Launch.h"

#include "Process.h"

TLaunch::TLaunch(const std::string& Program, std::string_view Params, std::function<void()> OnEnd)
    : Process(StartProcess(Program, Params)) {
  if (!Process) {
    StartError = GetLastError();
    Ended = true;
    return;
  }
  Watch = std::make_unique<TMinWait>(Process.get(), [this, OnEnd = std::move(OnEnd)] {
    Ended = true;
    OnEnd();
  });
}
