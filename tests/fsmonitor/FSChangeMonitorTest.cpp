// The folder monitor on a drive letter mapped to a scratch folder, with real
// directory-change notifications. Under Wine, sub-folders are only reported
// when they were created after the watch started, so every test makes its
// sub-folders once the monitor is watching.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "FSChangeMonitor.h"
#include "Files.h"
#include "TestSupport.h"

namespace {

struct TNotice {
  int Action;
  std::string ChangedPath;
  std::string FileName;
  DWORD ThreadID;
};

// Collects the notices of a monitor; waits serve synchronised notices.
class TRecorder {
public:
  void Add(TFSChangeMonitor* Sender) {
    std::lock_guard<std::mutex> Lock(Mutex);
    Notices.push_back({Sender->Action, Sender->ChangedPath, Sender->FileName, GetCurrentThreadId()});
  }
  // True once Pred holds, false after about five seconds.
  template <class P>
  bool WaitUntil(P Pred, int Milliseconds = 5000) {
    for (DWORD Start = GetTickCount(); GetTickCount() - Start < DWORD(Milliseconds);) {
      {
        std::lock_guard<std::mutex> Lock(Mutex);
        if (Pred(Notices)) return true;
      }
      if (!TThread::CheckSynchronize(10)) Sleep(0);
    }
    return false;
  }
  bool WaitFor(int Action, const std::string& ChangedPath) {
    return WaitUntil([&](const std::vector<TNotice>& All) {
      for (const TNotice& N : All)
        if (N.Action == Action && N.ChangedPath == ChangedPath) return true;
      return false;
    });
  }
  std::vector<TNotice> Take() {
    std::lock_guard<std::mutex> Lock(Mutex);
    return std::exchange(Notices, {});
  }

private:
  std::mutex Mutex;
  std::vector<TNotice> Notices;
};

bool CreateFileWith(const std::string& Path, const std::string& Text) {
  HANDLE H = CreateFileW(Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (H == INVALID_HANDLE_VALUE) return false;
  DWORD Written = 0;
  bool Ok = WriteFile(H, Text.data(), DWORD(Text.size()), &Written, nullptr) != FALSE;
  CloseHandle(H);
  return Ok;
}

class FSChangeMonitor : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitThreadSynchronization(); }

  void SetUp() override {
    char Letter = UnusedDriveLetter();
    ASSERT_NE(Letter, 0);
    Drive = std::make_unique<TestDrive>(Letter, Scratch.Path());
    ASSERT_TRUE(Drive->Mapped());
    Root = Drive->Root();
  }

  void Watch(const std::string& Folder, bool SyncNotify = false) {
    Monitor.reset(NewThread<TFSChangeMonitor>(
        false, Folder, [this](TFSChangeMonitor* Sender) { Recorder.Add(Sender); }, true,
        SyncNotify, false));
  }

  // Touches a probe file in Folder until the monitor reports it, then
  // removes it again and forgets the probe's notices.
  void WaitUntilWatching(const std::string& Folder) {
    const std::string Probe = IncludeTrailingBackslash(Folder) + "probe.tmp";
    bool Seen = false;
    for (int i = 0; i < 50 && !Seen; ++i) {
      ASSERT_TRUE(CreateFileWith(Probe, "p"));
      Seen = Recorder.WaitUntil([](const std::vector<TNotice>& All) { return !All.empty(); }, 100);
    }
    ASSERT_TRUE(Seen) << "the monitor never reported anything";
    ASSERT_TRUE(DeleteFileW(Utf8ToWide(Probe).c_str()));
    ASSERT_TRUE(Recorder.WaitFor(2, Probe));
    Recorder.Take();
  }

  ScratchFolder Scratch{"fsmonitor"};
  std::unique_ptr<TestDrive> Drive;
  std::string Root;
  TRecorder Recorder;
  std::unique_ptr<TFSChangeMonitor> Monitor;  // goes before the drive
};

TEST_F(FSChangeMonitor, FileInSubFolderGivesFullPathAndBareName) {
  Watch(Root);
  WaitUntilWatching(Root);
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(Root + "sub").c_str(), nullptr));
  ASSERT_TRUE(Recorder.WaitFor(1, Root + "sub"));
  ASSERT_TRUE(CreateFileWith(Root + "sub\\a.txt", "hello"));
  ASSERT_TRUE(Recorder.WaitFor(1, Root + "sub\\a.txt"));

  for (const TNotice& N : Recorder.Take()) {
    if (N.ChangedPath == Root + "sub\\a.txt") EXPECT_EQ(N.FileName, "a.txt");
    if (N.ChangedPath == Root + "sub") EXPECT_EQ(N.FileName, "sub");
    EXPECT_TRUE(N.Action >= 1 && N.Action <= 5) << N.Action;
    EXPECT_NE(N.ThreadID, MainThreadID);
  }
  EXPECT_EQ(Monitor->FolderPath, Root);  // the root's "\" is not doubled
}

TEST_F(FSChangeMonitor, RenameGivesOldNameThenNewName) {
  Watch(Root);
  WaitUntilWatching(Root);
  ASSERT_TRUE(CreateFileWith(Root + "x", ""));
  ASSERT_TRUE(Recorder.WaitFor(1, Root + "x"));
  ASSERT_TRUE(MoveFileW(Utf8ToWide(Root + "x").c_str(), Utf8ToWide(Root + "y").c_str()));
  ASSERT_TRUE(Recorder.WaitFor(5, Root + "y"));

  std::vector<TNotice> Notices;
  for (const TNotice& N : Recorder.Take())
    if (N.Action == 4 || N.Action == 5) Notices.push_back(N);
  ASSERT_EQ(Notices.size(), 2u);
  EXPECT_EQ(Notices[0].Action, 4);
  EXPECT_EQ(Notices[0].FileName, "x");
  EXPECT_EQ(Notices[1].Action, 5);
  EXPECT_EQ(Notices[1].FileName, "y");
}

TEST_F(FSChangeMonitor, FolderWithoutTrailingDelimiter) {
  const std::string Folder = Root + "plain";
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(Folder).c_str(), nullptr));
  Watch(Folder);
  WaitUntilWatching(Folder);
  ASSERT_TRUE(CreateFileWith(Folder + "\\b.txt", "b"));
  EXPECT_TRUE(Recorder.WaitFor(1, Folder + "\\b.txt"));
  EXPECT_EQ(Monitor->FolderPath, Folder + "\\");
}

TEST_F(FSChangeMonitor, SyncNotifyRunsTheHandlerOnTheMainThread) {
  Watch(Root, true);
  WaitUntilWatching(Root);
  ASSERT_TRUE(CreateFileWith(Root + "m.txt", "m"));
  ASSERT_TRUE(Recorder.WaitFor(1, Root + "m.txt"));
  for (const TNotice& N : Recorder.Take()) EXPECT_EQ(N.ThreadID, MainThreadID);
}

// More changes than one read buffer holds while the handler is busy: one
// notice says that something changed and the details were lost.
TEST_F(FSChangeMonitor, OverflowGivesOneNoticeWithoutDetails) {
  HANDLE Release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  struct TReleaseOnExit {
    HANDLE Event;
    std::unique_ptr<TFSChangeMonitor>& Monitor;
    ~TReleaseOnExit() {
      SetEvent(Event);  // a failed assertion must not leave the handler blocked
      Monitor.reset();
      CloseHandle(Event);
    }
  } Guard{Release, Monitor};
  Monitor.reset(NewThread<TFSChangeMonitor>(
      false, Root,
      [&](TFSChangeMonitor* Sender) {
        Recorder.Add(Sender);
        WaitForSingleObject(Release, INFINITE);
      },
      true, false, false));
  SetEvent(Release);
  WaitUntilWatching(Root);
  ResetEvent(Release);
  ASSERT_TRUE(CreateFileWith(Root + "first", ""));
  ASSERT_TRUE(Recorder.WaitFor(1, Root + "first"));  // the handler now holds the thread
  const std::string LongName(100, 'n');
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(CreateFileWith(Root + LongName + std::to_string(i), ""));
  SetEvent(Release);
  EXPECT_TRUE(Recorder.WaitFor(0, ""));
  for (const TNotice& N : Recorder.Take())
    if (N.Action == 0) EXPECT_EQ(N.ChangedPath, "");
}

TEST_F(FSChangeMonitor, StopWithoutAnyChangeEndsTheThread) {
  Watch(Root);
  for (int i = 0; i < 5000 && !Monitor->Port; ++i) Sleep(1);
  Monitor->Stop();
  Monitor->WaitFor();
  EXPECT_TRUE(Monitor->Finished);
  EXPECT_EQ(Monitor->Port, nullptr);
  EXPECT_EQ(Monitor->DirHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Recorder.Take().empty());
}

TEST_F(FSChangeMonitor, StopOrDestroyRacingWithTheStartStillEndsTheThread) {
  for (int i = 0; i < 20; ++i) {
    Watch(Root);
    Monitor->Stop();
    Monitor->WaitFor();
    EXPECT_TRUE(Monitor->Finished);
    Watch(Root);
    Monitor.reset();
  }
}

TEST_F(FSChangeMonitor, MissingFolderEndsSilently) {
  Watch(Root + "missing");
  Monitor->WaitFor();  // ends on its own
  EXPECT_TRUE(Monitor->Finished);
  EXPECT_FALSE(Monitor->FatalException);
  EXPECT_TRUE(Recorder.Take().empty());
}

// The top-level window of a thread captioned Caption, or null.
HWND FindThreadWindow(DWORD ThreadID, const wchar_t* Caption) {
  struct TSearch {
    const wchar_t* Caption;
    HWND Found;
  } Search{Caption, nullptr};
  EnumThreadWindows(
      ThreadID,
      [](HWND Window, LPARAM Param) -> BOOL {
        auto* S = reinterpret_cast<TSearch*>(Param);
        wchar_t Text[64] = {};
        GetWindowTextW(Window, Text, 64);
        if (wcscmp(Text, S->Caption) != 0) return TRUE;
        S->Found = Window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&Search));
  return Search.Found;
}

// A file opens like a folder, but cannot be watched: the first watch request
// fails and its error is shown from the monitor thread.
TEST_F(FSChangeMonitor, FailedWatchRequestShowsTheErrorAndEnds) {
  ASSERT_TRUE(CreateFileWith(Root + "file.txt", "f"));
  Watch(Root + "file.txt");
  HWND Box = nullptr;
  for (int i = 0; i < 500 && !Box; ++i) {
    Box = FindThreadWindow(Monitor->ThreadID, L"Error");
    if (!Box) Sleep(10);
  }
  ASSERT_NE(Box, nullptr);
  PostMessageW(Box, WM_COMMAND, IDOK, 0);
  Monitor->WaitFor();
  EXPECT_EQ(Monitor->Port, nullptr);
  EXPECT_EQ(Monitor->DirHandle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Recorder.Take().empty());
}

// The way container monitors use it: stop from the handler on the monitor
// thread and let the thread free the object.
class TOneShotMonitor : public TFSChangeMonitor {
public:
  TOneShotMonitor(const std::string& Folder, std::atomic<bool>& Gone)
      : TFSChangeMonitor(false, Folder, [](TFSChangeMonitor* Sender) { Sender->Stop(); }, true,
                         true, true),
        Gone(Gone) {
    SyncNotify = false;
  }
  ~TOneShotMonitor() override { Gone = true; }

private:
  std::atomic<bool>& Gone;
};

TEST_F(FSChangeMonitor, HandlerStoppingAFreeOnTerminateMonitorFreesIt) {
  std::atomic<bool> Gone{false};
  NewThread<TOneShotMonitor>(Root, Gone);
  for (int i = 0; i < 100 && !Gone; ++i) {
    CreateFileWith(Root + "touch.tmp", "t");
    Sleep(50);
  }
  EXPECT_TRUE(Gone);
}

}  // namespace
