#include "FSChangeMonitor.h"

#include <cstring>

#include "ChangeRecords.h"
#include "Text.h"
#include "PathNames.h"
#include "Scoped.h"

namespace {

constexpr DWORD MonitorStackSize = 4 * 1024 * 1024;
constexpr DWORD ReadBufferSize = 4096;
constexpr DWORD NotifyFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                               FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                               FILE_NOTIFY_CHANGE_SECURITY;

}  // namespace

TFSChangeMonitor::TFSChangeMonitor(const std::string& Folder, TFSChangeEvent OnChange, bool WatchSubtree)
    : TThread(MonitorStackSize), Folder(Folder), OnChange(std::move(OnChange)), WatchSubtree(WatchSubtree) {}

TFSChangeMonitor::~TFSChangeMonitor() {
  // Terminated before Wake: a thread that has not created its port yet then
  // sees the flag before its first wait.
  Terminate();
  Wake();
  TerminateAndWait();
}

void TFSChangeMonitor::Stop() {
  Terminate();
  Wake();
}

void TFSChangeMonitor::Wake() {
  std::lock_guard<std::mutex> Lock(PortLock);
  if (Port) PostQueuedCompletionStatus(Port, 0, 0, nullptr);
}

void TFSChangeMonitor::DoChange() {
  if (OnChange) OnChange(this);
}

void TFSChangeMonitor::Execute() {
  FolderPath = IncludeTrailingBackslash(Folder);
  TFileHandle Dir(CreateFileW(Utf8ToWide(Folder).c_str(), GENERIC_READ | FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  if (!Dir) return;  // missing folder: end silently
  {
    std::lock_guard<std::mutex> Lock(PortLock);
    Port = CreateIoCompletionPort(Dir.get(), nullptr, reinterpret_cast<ULONG_PTR>(this), 0);
  }

  alignas(DWORD) uint8_t Buffer[ReadBufferSize];
  OVERLAPPED Overlapped;
  DWORD Bytes;
  auto Arm = [&] {
    std::memset(&Overlapped, 0, sizeof Overlapped);
    std::memset(Buffer, 0, sizeof Buffer);
    Bytes = 0;
    return ReadDirectoryChangesW(Dir.get(), Buffer, sizeof Buffer, WatchSubtree, NotifyFilter, &Bytes, &Overlapped,
                                 nullptr) != FALSE;
  };

  // Closes both handles on every way out, after the outstanding read has
  // let go of Buffer and Overlapped, which live on this stack.
  OVERLAPPED* Pending = nullptr;
  ScopeExit Cleanup([&] {
    DWORD Transferred;
    if (Pending) {
      CancelIoEx(Dir.get(), Pending);
      GetOverlappedResult(Dir.get(), Pending, &Transferred, TRUE);
    }
    Dir.reset();
    std::lock_guard<std::mutex> Lock(PortLock);
    if (Port) CloseHandle(Port);
    Port = nullptr;
  });

  if (!Port) return;
  if (!Arm()) {
    WatchError = GetLastError();
    return;
  }
  Pending = &Overlapped;
  while (!Terminated) {
    ULONG_PTR Key = 0;
    LPOVERLAPPED Completed = nullptr;
    GetQueuedCompletionStatus(Port, &Bytes, &Key, &Completed, INFINITE);
    if (Key == 0) break;  // Wake
    ReportRecords(Buffer, sizeof Buffer);
    Arm();
  }
}

void TFSChangeMonitor::ReportRecords(const uint8_t* Buffer, size_t Size) {
  // The buffer was zeroed before the read, so a completion without records
  // (overflow, error) reads as one record with action 0: details were lost.
  for (const TChangeRecord& Record : DecodeChangeRecords(Buffer, Size)) {
    if (Record.Action >= fsaAdded && Record.Action <= fsaRenamedNew) {
      Action = uint8_t(Record.Action);
      const std::string Relative = WideToUtf8(std::wstring(Record.Name.begin(), Record.Name.end()));
      ChangedPath = FolderPath + Relative;
      FileName = ExtractName(Relative);
    } else {
      Action = 0;
      ChangedPath.clear();
    }
    DoChange();
  }
}
