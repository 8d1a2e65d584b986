// The folder monitor on a drive letter mapped to a scratch folder, with real
// directory-change notifications.
#include <gtest/gtest.h>

#include "FSChangeMonitor.h"
#include "Files.h"
#include "TestSupport.h"
#include "Text.h"

// More changes than one read buffer holds before they are taken: one record
// with action 0 says the details were lost; the watch goes on.
TEST(FSChangeMonitor, OverflowGivesOneRecordWithoutDetailsAndTheWatchGoesOn) {
  ScratchFolder Scratch{"fsmonitor"};
  TestDrive Drive{UnusedDriveLetter(), Scratch.Path()};
  const std::string Root = Drive.Root();
  TFSChangeMonitor Monitor{Root, true};  // goes before the drive
  ASSERT_TRUE(Drive.Mapped() && Monitor.Watching());
  // "action name " of the records read until one names Last, or none came for 5 s.
  const auto Changes = [&](const std::string& Last) {
    std::string Seen;
    bool Done = false;
    while (!Done && WaitForSingleObject(Monitor.Event(), 5000) == WAIT_OBJECT_0)
      for (const TChangeRecord& R : Monitor.TakeChanges()) {
        const std::string Name = WideToUtf8(std::wstring(R.Name.begin(), R.Name.end()));
        Seen += std::to_string(R.Action) + Name + " ";
        Done = Done || Name == Last;
      }
    return Seen;
  };
  ASSERT_TRUE(WriteFileBytes(Root + "first", ""));
  ASSERT_EQ(WaitForSingleObject(Monitor.Event(), 5000), WAIT_OBJECT_0);
  Sleep(100);
  Monitor.TakeChanges();
  for (int i = 0; i < 100; ++i) EXPECT_TRUE(WriteFileBytes(Root + std::string(100, 'n') + std::to_string(i), ""));
  Sleep(300);
  EXPECT_NE((" " + Changes("")).find(" 0 "), std::string::npos);
  ASSERT_TRUE(WriteFileBytes(Root + "last", ""));
  EXPECT_NE(Changes("last").find("1last "), std::string::npos);
}
