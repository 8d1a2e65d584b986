#include "FSChangeMonitor.h"

#include <cstring>

#include "Text.h"

namespace {

constexpr DWORD NotifyFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                               FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                               FILE_NOTIFY_CHANGE_SECURITY;

}  // namespace

TFSChangeMonitor::TFSChangeMonitor(const std::string& Folder, bool WatchSubtree)
    : Folder(Folder),
      WatchSubtree(WatchSubtree),
      Done(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      Dir(CreateFileW(Utf8ToWide(Folder).c_str(), FILE_LIST_DIRECTORY,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr)) {
  if (Dir && Done) Arm();
}

TFSChangeMonitor::~TFSChangeMonitor() {
  if (!Pending) return;
  DWORD Transferred;
  CancelIoEx(Dir.get(), &Overlapped);
  GetOverlappedResult(Dir.get(), &Overlapped, &Transferred, TRUE);
}

void TFSChangeMonitor::Arm() {
  std::memset(&Overlapped, 0, sizeof Overlapped);
  // Zeroed, so a completion without records reads as one with action 0.
  std::memset(Buffer, 0, sizeof Buffer);
  Overlapped.hEvent = Done.get();
  ResetEvent(Done.get());
  Pending = ReadDirectoryChangesW(Dir.get(), Buffer, sizeof Buffer, WatchSubtree, NotifyFilter, nullptr, &Overlapped,
                                  nullptr) != FALSE;
}

std::vector<TChangeRecord> TFSChangeMonitor::TakeChanges() {
  DWORD Transferred = 0;
  // An overflow fails the read but leaves the buffer zeroed: one record
  // without details, and the watch goes on.
  if (!Pending ||
      (!GetOverlappedResult(Dir.get(), &Overlapped, &Transferred, FALSE) && GetLastError() != ERROR_NOTIFY_ENUM_DIR)) {
    if (Pending && GetLastError() == ERROR_IO_INCOMPLETE) return {};
    Pending = false;
    return {};
  }
  std::vector<TChangeRecord> Records = DecodeChangeRecords(Buffer, sizeof Buffer);
  Arm();
  return Records;
}
