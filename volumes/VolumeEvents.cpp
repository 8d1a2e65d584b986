// Volume control's answers to what happens around it: drives arriving, and
// the user going idle.
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "IdleRule.h"
#include "VolumeControl.h"

namespace {

// A message box or the file dialog of this thread is open.
bool DialogOpen() {
  bool Found = false;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND Window, LPARAM Found) -> BOOL {
        wchar_t Class[8] = {};
        GetClassNameW(Window, Class, 8);
        if (!IsWindowVisible(Window) || std::wstring_view(Class) != L"#32770") return TRUE;
        *reinterpret_cast<bool*>(Found) = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&Found));
  return Found;
}

}  // namespace

void TVolumeControl::RefreshSoon() {
  if (RefreshWaiting) return;
  RefreshWaiting = true;
  // Posted: the rest of a burst is already queued before it is handled.
  PostMessageW(NoticeWindow.Handle, RefreshNoticeMessage, 0, 0);
}

bool TVolumeControl::ModalLoopRunning() const {
  return ModalLevel > 0 || InMenuLoop || PassRunning || AskingForProgram || DialogOpen();
}

void TVolumeControl::RefreshWhenFree() {
  if (!RefreshWaiting) return;
  // Inside a loop the pass could not ask, or a refresh would replace the
  // list under a waiting pass: the retry timer, whose ticks are dropped
  // while an input box or menu is open, looks again after the loop.
  if (ModalLoopRunning()) {
    RefreshRetry.SetEnabled(true);
    return;
  }
  RefreshRetry.SetEnabled(false);
  RefreshWaiting = false;
  RefreshVolumes();
  ProcessVolumes();
}

void TVolumeControl::SetIdleMinutes(int32_t Minutes) {
  if (Minutes == IdleMinutes) return;
  IdleMinutes = Minutes;
  IdleTimer.SetEnabled(false);
  UpdateIdleCheck();
}

void TVolumeControl::UpdateIdleCheck() {
  const bool AnyMounted = std::any_of(Volumes.begin(), Volumes.end(), [](const TTCVolume& V) { return V.Mounted(); });
  if (IdleMinutes <= 0 || !AnyMounted)
    IdleTimer.SetEnabled(false);
  else if (!IdleTimer.Enabled())
    ArmIdleCheck(std::max<uint32_t>(IdleDelay(IdleMinutes), 1));
}

uint32_t TVolumeControl::IdleDelay(int32_t Minutes) {
  LASTINPUTINFO Input{sizeof Input, 0};
  GetLastInputInfo(&Input);
  return IdleDismountDelay(GetTickCount(), Input.dwTime, Minutes);
}

void TVolumeControl::ArmIdleCheck(uint32_t Delay) {
  // The timer wakes the program once, when the limit would be reached.
  IdleTimer.SetEnabled(false);
  IdleTimer.Interval = Delay;
  IdleTimer.SetEnabled(true);
}

void TVolumeControl::IdleCheck() {
  uint32_t Delay = IdleDelay(IdleMinutes);
  if (Delay == 0) {
    DismountAll(false);
    // Looked at again a whole period later, should a dismount fail.
    Delay = IdleDismountDelay(0, 0, IdleMinutes);
  }
  ArmIdleCheck(Delay);
}
