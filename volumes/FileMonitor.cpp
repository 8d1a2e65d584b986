#include "FileMonitor.h"

#include <atomic>

#include "Files.h"
#include "FileTimes.h"
#include "MinApp.h"
#include "StrUtils.h"

namespace {

constexpr UINT NoticeMessage = WM_APP + 1;
constexpr wchar_t NoticeWindowClass[] = L"TCFileMonitorNotice";

// Serial numbers tell a monitor's notice from a later monitor that happens
// to get the same address.
std::atomic<uint64_t> LastSerial{0};

// The monitors post their notice to this message-only window of the main
// thread. The application's hidden window would not do: it answers nothing
// while an input box is open, and the notice would be lost.
HWND NoticeWindow = nullptr;

// On the main thread: the monitor with this serial saw a change. Its entry is
// marked and the monitor, whose thread is ending, is freed here.
void MonitorNoticed(uint64_t Serial) {
  for (TTCVolume& Entry : Volumes) {
    if (Entry.Monitor && Entry.Monitor->Serial == Serial) {
      Entry.FileSetModified = 2;
      TTCFileMonitor* Monitor = Entry.Monitor;
      Entry.Monitor = nullptr;
      delete Monitor;
      return;
    }
  }
  // Not found: the entry went away or was stopped meanwhile; whoever stopped
  // it freed the monitor.
}

LRESULT CALLBACK NoticeWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == NoticeMessage) {
    MonitorNoticed(static_cast<uint64_t>(LParam));
    return 0;
  }
  return DefWindowProcW(Window, Msg, WParam, LParam);
}

void EnsureNoticeWindow() {
  if (NoticeWindow) return;
  WNDCLASSEXW Class{};
  Class.cbSize = sizeof Class;
  Class.lpfnWndProc = NoticeWindowProc;
  Class.hInstance = GetModuleHandleW(nullptr);
  Class.lpszClassName = NoticeWindowClass;
  RegisterClassExW(&Class);  // a second registration fails harmlessly
  NoticeWindow = CreateWindowExW(0, NoticeWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
}

// The current local time as a day count since 30 December 1899.
double CurrentDateTime() {
  SYSTEMTIME Local;
  GetLocalTime(&Local);
  FILETIME Stamp;
  SystemTimeToFileTime(&Local, &Stamp);
  const uint64_t Ticks = (static_cast<uint64_t>(Stamp.dwHighDateTime) << 32) | Stamp.dwLowDateTime;
  constexpr double TicksPerDay = 864000000000.0;
  constexpr double DaysFrom1601To1899 = 109205.0;
  return static_cast<double>(Ticks) / TicksPerDay - DaysFrom1601To1899;
}

TTCVolume WithoutPassword(const TTCVolume& Entry) {
  TTCVolume Copy = Entry;
  WipeString(Copy.Password);
  return Copy;
}

}  // namespace

TTCFileMonitor::TTCFileMonitor(const TTCVolume& Entry)
    // Freed by the main thread, never by its own thread: only the main thread
    // touches the application's object list and the entries of Volumes.
    : TFSChangeMonitor(std::string(1, Entry.MountedLetter) + ":\\", {}, true),
      Volume(WithoutPassword(Entry)),
      Serial(++LastSerial) {
  OnChange = [this](TFSChangeMonitor* Sender) { Changed(Sender); };
  if (Application) Application->RegisterObject(this);
}

TTCFileMonitor::~TTCFileMonitor() {
  // The change handler reads members of this class: the thread must be
  // gone before they are.
  Stop();
  TerminateAndWait();
  if (Application) Application->UnregisterObject(this);
  // Freed by the application at exit: no entry may keep pointing here.
  for (TTCVolume& Entry : Volumes)
    if (Entry.Monitor == this) Entry.Monitor = nullptr;
}

void TTCFileMonitor::Changed(TFSChangeMonitor*) {
  if (Terminated || Action == 0) return;
  // One notice at most; the thread ends and waits to be freed.
  Stop();
  PostMessageW(NoticeWindow, NoticeMessage, 0, static_cast<LPARAM>(Serial));
}

void StartMonitor(TTCVolume& Entry) {
  if (Entry.FileSetModified != 1 || Entry.Monitor || Entry.MountedLetter == 0) return;
  if (!FileExistsEx(Entry.File)) return;
  EnsureNoticeWindow();
  Entry.Monitor = NewThread<TTCFileMonitor>(Entry);
}

void StopMonitor(TTCVolume& Entry) {
  if (Entry.FileSetModified == 2) {
    Entry.FileSetModified = 1;
    if (FileExistsEx(Entry.File)) SetFileDateTime(Entry.File, CurrentDateTime());
  }
  if (Entry.Monitor) {
    TTCFileMonitor* Monitor = Entry.Monitor;
    Entry.Monitor = nullptr;
    delete Monitor;
  }
}

void StopFileMonitors() {
  for (TTCVolume& Entry : Volumes) StopMonitor(Entry);
}

void ReleaseMonitorNotices() {
  if (NoticeWindow) DestroyWindow(NoticeWindow);
  NoticeWindow = nullptr;
}
