#include "MinWait.h"

#include <unordered_map>

#include "MinApp.h"

namespace {

// Live waits by key: a notice names a key, never a pointer that may be gone.
std::unordered_map<uint64_t, TMinWait*> LiveWaits;
uint64_t LastKey = 0;

}  // namespace

TMinWait::TMinWait(HANDLE Handle, std::function<void()> OnSignalled)
    : Target{Application ? Application->Handle : nullptr, ++LastKey}, OnSignalled(std::move(OnSignalled)) {
  if (!Target.Window) return;
  LiveWaits.emplace(Target.Key, this);
  if (!RegisterWaitForSingleObject(&WaitHandle, Handle, Signalled, &Target, INFINITE, WT_EXECUTEONLYONCE)) {
    WaitHandle = nullptr;
    LiveWaits.erase(Target.Key);
  }
}

TMinWait::~TMinWait() {
  if (!WaitHandle) return;
  // Returns once a running callback has finished with Target.
  UnregisterWaitEx(WaitHandle, INVALID_HANDLE_VALUE);
  LiveWaits.erase(Target.Key);
}

void CALLBACK TMinWait::Signalled(PVOID Context, BOOLEAN) {
  const auto* Target = static_cast<const TTarget*>(Context);
  PostMessageW(Target->Window, WM_MINWAIT, 0, static_cast<LPARAM>(Target->Key));
}

void TMinWait::Dispatch(uint64_t Key) {
  const auto Found = LiveWaits.find(Key);
  if (Found == LiveWaits.end()) return;
  // A copy: the handler may destroy this wait.
  if (std::function<void()> Handler = Found->second->OnSignalled) Handler();
}
