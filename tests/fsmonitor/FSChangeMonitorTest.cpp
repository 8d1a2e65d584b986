// The folder monitor on a drive letter mapped to a scratch folder, with real
// directory-change notifications. Under Wine, sub-folders are only reported
// when they were created after the watch started, so every test makes its
// sub-folders once the monitor is watching.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>

#include "FSChangeMonitor.h"
#include "Files.h"
#include "PathNames.h"
#include "TestSupport.h"
#include "Text.h"

namespace {

struct TNotice {
  int Action;
  std::string ChangedPath, FileName;
};

class FSChangeMonitor : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Drive.Mapped()); }

  TFSChangeEvent Record() {
    return [this](TFSChangeMonitor* M) {
      std::lock_guard<std::mutex> Lock(Mutex);
      Notices.push_back({M->Action, M->ChangedPath, M->FileName});
    };
  }
  void Watch(const std::string& Folder) { Monitor.reset(NewThread<TFSChangeMonitor>(Folder, Record(), true)); }
  // True once a notice of Action (-1: any) on Path came.
  bool WaitFor(int Action, const std::string& Path, int Milliseconds = 5000) {
    for (DWORD Start = GetTickCount(); GetTickCount() - Start < DWORD(Milliseconds);) {
      for (const TNotice& N : Take(false))
        if ((Action < 0 || N.Action == Action) && N.ChangedPath == Path) return true;
      Sleep(10);
    }
    return false;
  }
  std::vector<TNotice> Take(bool Clear = true) {
    std::lock_guard<std::mutex> Lock(Mutex);
    return Clear ? std::exchange(Notices, {}) : Notices;
  }
  // Touches a probe file until the monitor reports it, then forgets its notices.
  void WaitUntilWatching(const std::string& Folder) {
    const std::string Probe = IncludeTrailingBackslash(Folder) + "probe.tmp";
    bool Seen = false;
    for (int i = 0; i < 50 && !Seen; ++i) Seen = WriteFileBytes(Probe, "p") && WaitFor(-1, Probe, 100);
    ASSERT_TRUE(Seen) << "the monitor never reported anything";
    ASSERT_TRUE(FileDelete(Probe) && WaitFor(2, Probe));
    Take();
  }

  ScratchFolder Scratch{"fsmonitor"};
  TestDrive Drive{UnusedDriveLetter(), Scratch.Path()};
  std::string Root = Drive.Root();
  std::mutex Mutex;
  std::vector<TNotice> Notices;
  std::unique_ptr<TFSChangeMonitor> Monitor;  // goes before the drive
};

TEST_F(FSChangeMonitor, FileInSubFolderGivesFullPathAndBareNameThenRenameOldAndNew) {
  Watch(Root);
  WaitUntilWatching(Root);
  EXPECT_EQ(Monitor->FolderPath, Root);  // the root's "\" is not doubled
  ASSERT_TRUE(ForceDirsEx(Root + "sub") && WriteFileBytes(Root + "sub\\a.txt", "hello"));
  ASSERT_TRUE(WaitFor(1, Root + "sub\\a.txt"));
  for (const TNotice& N : Take())
    if (N.ChangedPath == Root + "sub\\a.txt") EXPECT_EQ(N.FileName, "a.txt");
  ASSERT_TRUE(MoveFileW(Utf8ToWide(Root + "sub\\a.txt").c_str(), Utf8ToWide(Root + "sub\\b.txt").c_str()));
  ASSERT_TRUE(WaitFor(5, Root + "sub\\b.txt"));
  std::string Renames;
  for (const TNotice& N : Take())
    if (N.Action == 4 || N.Action == 5) Renames += std::to_string(N.Action) + N.FileName + " ";
  EXPECT_EQ(Renames, "4a.txt 5b.txt ");
}

// More changes than one read buffer holds while the handler is busy: one
// notice with action 0 says the details were lost.
TEST_F(FSChangeMonitor, OverflowGivesOneNoticeWithoutDetails) {
  HANDLE Release = CreateEventW(nullptr, TRUE, TRUE, nullptr);  // no assertion may leave the handler blocked
  Monitor.reset(NewThread<TFSChangeMonitor>(
      Root,
      [Release, Add = Record()](TFSChangeMonitor* M) {
        Add(M);
        WaitForSingleObject(Release, INFINITE);
      },
      true));
  WaitUntilWatching(Root);
  ResetEvent(Release);
  EXPECT_TRUE(WriteFileBytes(Root + "first", "") && WaitFor(1, Root + "first"));  // handler holds the thread
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(WriteFileBytes(Root + std::string(100, 'n') + std::to_string(i), ""));
  SetEvent(Release);
  EXPECT_TRUE(WaitFor(0, ""));
  Monitor.reset();
  CloseHandle(Release);
}

TEST_F(FSChangeMonitor, StopEndsTheThreadPromptlyAlsoRacingWithTheStartAndAMissingFolderEndsSilently) {
  Watch(Root);
  for (int i = 0; i < 5000 && !Monitor->Port; ++i) Sleep(1);
  Monitor->Stop();
  EXPECT_EQ(Monitor->WaitFor(), 0);
  for (int i = 0; i < 20; ++i) {
    Watch(Root);
    Monitor->Stop();
    Monitor->WaitFor();
    Watch(Root);
    Monitor.reset();
  }
  Watch(Root + "missing");
  Monitor->WaitFor();
  EXPECT_FALSE(Monitor->FatalException);
  EXPECT_TRUE(Take().empty());
}

}  // namespace
