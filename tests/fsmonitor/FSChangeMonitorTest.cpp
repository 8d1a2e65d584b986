// The folder monitor on a drive letter mapped to a scratch folder, with real
// directory-change notifications. Under Wine, sub-folders are only reported
// when they were created after the watch started, so every test makes its
// sub-folders once the monitor is watching.
#include <gtest/gtest.h>

#include "FSChangeMonitor.h"
#include "Files.h"
#include "TestSupport.h"
#include "Text.h"

namespace {

class FSChangeMonitor : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Drive.Mapped() && Monitor.Watching()); }
  // "action name" of each record of the reads within Ms, until one names Last.
  std::string Changes(const std::string& Last, DWORD Ms = 5000) {
    std::string Seen;
    for (const ULONGLONG End = GetTickCount64() + Ms; GetTickCount64() < End;) {
      if (WaitForSingleObject(Monitor.Event(), DWORD(End - GetTickCount64())) != WAIT_OBJECT_0) break;
      bool Done = false;
      for (const TChangeRecord& R : Monitor.TakeChanges()) {
        const std::string Name = WideToUtf8(std::wstring(R.Name.begin(), R.Name.end()));
        Seen += std::to_string(R.Action) + Name + " ";
        Done = Done || Name == Last;
      }
      if (Done) break;
    }
    return Seen;
  }

  ScratchFolder Scratch{"fsmonitor"};
  TestDrive Drive{UnusedDriveLetter(), Scratch.Path()};
  std::string Root = Drive.Root();
  TFSChangeMonitor Monitor{Root, true};  // goes before the drive
};

TEST_F(FSChangeMonitor, FileInSubFolderGivesItsRelativeNameThenRenameOldAndNew) {
  ASSERT_TRUE(ForceDirsEx(Root + "sub") && WriteFileBytes(Root + "sub\\a.txt", "hello"));
  EXPECT_NE(Changes("sub\\a.txt").find("1sub\\a.txt "), std::string::npos);
  ASSERT_TRUE(MoveFileW(Utf8ToWide(Root + "sub\\a.txt").c_str(), Utf8ToWide(Root + "sub\\b.txt").c_str()));
  EXPECT_NE(Changes("sub\\b.txt").find("4sub\\a.txt 5sub\\b.txt "), std::string::npos);
}

// More changes than one read buffer holds before they are taken: one record
// with action 0 says the details were lost; the watch goes on.
TEST_F(FSChangeMonitor, OverflowGivesOneRecordWithoutDetails) {
  ASSERT_TRUE(WriteFileBytes(Root + "first", ""));
  ASSERT_EQ(WaitForSingleObject(Monitor.Event(), 5000), WAIT_OBJECT_0);
  Sleep(100);
  Monitor.TakeChanges();
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(WriteFileBytes(Root + std::string(100, 'n') + std::to_string(i), ""));
  Sleep(300);
  EXPECT_NE((" " + Changes("")).find(" 0 "), std::string::npos);
  ASSERT_TRUE(WriteFileBytes(Root + "last", ""));
  EXPECT_NE(Changes("last").find("last"), std::string::npos);
}

TEST(FSChangeMonitorFolder, AMissingFolderIsNotWatched) {
  TFSChangeMonitor Missing("C:\\missing-folder-of-the-monitor-test", false);
  EXPECT_FALSE(Missing.Watching());
  EXPECT_NE(Missing.WatchError, 0u);
}

}  // namespace
