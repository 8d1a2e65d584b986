#include "FileMonitor.h"

#include <atomic>

#include "FileTimes.h"
#include "Files.h"
#include "VolumeControl.h"

namespace {

// Serial numbers tell a monitor's notice from a later monitor that happens
// to get the same address.
std::atomic<uint64_t> LastSerial{0};

}  // namespace

TTCFileMonitor::TTCFileMonitor(char MountedLetter, HWND NoticeWindow)
    : TFSChangeMonitor(std::string(1, MountedLetter) + ":\\", {}, true),
      Serial(++LastSerial),
      NoticeWindow(NoticeWindow) {
  OnChange = [this](TFSChangeMonitor* Sender) { Changed(Sender); };
}

TTCFileMonitor::~TTCFileMonitor() {
  // The change handler reads members of this class: the thread must be
  // gone before they are.
  Stop();
  TerminateAndWait();
}

void TTCFileMonitor::Changed(TFSChangeMonitor*) {
  if (Terminated || Action == 0) return;
  // One notice at most; the thread ends and waits to be freed.
  Stop();
  PostMessageW(NoticeWindow, MonitorNoticeMessage, 0, static_cast<LPARAM>(Serial));
}

TMonitorNoticeWindow::TMonitorNoticeWindow(std::function<void(uint64_t Serial)> OnNotice,
                                           std::function<void()> OnRefresh)
    : OnNotice(std::move(OnNotice)), OnRefresh(std::move(OnRefresh)) {
  constexpr wchar_t ClassName[] = L"TCFileMonitorNotice";
  RegisterMinWindowClass(ClassName);
  Create(ClassName, 0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE);
}

LRESULT TMonitorNoticeWindow::HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == MonitorNoticeMessage)
    OnNotice(static_cast<uint64_t>(LParam));
  else if (Msg == RefreshNoticeMessage)
    OnRefresh();
  else
    return TMinWindow::HandleMessage(Msg, WParam, LParam);
  return 0;
}

void TVolumeControl::StartMonitor(TTCVolume& Entry) {
  if (Entry.FileSetModified != 1 || Entry.Monitor || !Entry.Mounted()) return;
  if (!FileExistsEx(Entry.File)) return;
  Entry.Monitor.reset(NewThread<TTCFileMonitor>(Entry.MountedLetter, NoticeWindow.Handle));
}

void TVolumeControl::StopMonitor(TTCVolume& Entry) {
  if (Entry.FileSetModified == 2) {
    Entry.FileSetModified = 1;
    if (FileExistsEx(Entry.File)) SetFileDateTime(Entry.File, LocalDateTimeNow());
  }
  Entry.Monitor.reset();
}

void TVolumeControl::StopFileMonitors() {
  for (TTCVolume& Entry : Volumes) StopMonitor(Entry);
}

// The monitor with this serial saw a change: its entry is marked and the
// monitor, whose thread is ending, is freed.
void TVolumeControl::MonitorNoticed(uint64_t Serial) {
  for (TTCVolume& Entry : Volumes) {
    if (Entry.Monitor && Entry.Monitor->Serial == Serial) {
      StopMonitor(Entry);
      Entry.FileSetModified = 2;
      return;
    }
  }
  // Not found: the entry went away or was stopped meanwhile, and its monitor
  // with it.
}
