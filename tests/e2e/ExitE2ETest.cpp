// How the program ends decides whether the volumes are dismounted.
#include <gtest/gtest.h>

#include "TrayAppRun.h"

#include <wtsapi32.h>

namespace {

// Right-click menu from the bottom: "Exit Without Dismount", then
// "Exit And Dismount All".
const std::vector<int> ExitWithoutDismount = {-1};
const std::vector<int> ExitAndDismount = {-2};

struct ExitCase {
  const char* Name;
  const char* Params;
  bool Dismounted;
};

void PrintTo(const ExitCase& Case, std::ostream* Out) { *Out << '"' << Case.Params << '"'; }

class TrayAppExitAndDismount : public testing::TestWithParam<ExitCase> {};

}  // namespace

TEST_P(TrayAppExitAndDismount, FollowsTheSwitches) {
  TrayAppRun App(std::string("e2eexit") + GetParam().Name);
  ASSERT_FALSE(App.StartWithMountedVolume("", GetParam().Params).empty());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  EXPECT_EQ(App.WaitForExit(), 0);
  EXPECT_TRUE(App.WaitForMountCount(GetParam().Dismounted ? 0 : 1));
}

INSTANTIATE_TEST_SUITE_P(Switches, TrayAppExitAndDismount,
                         testing::Values(ExitCase{"plain", "", true}, ExitCase{"nd", "-ND", false},
                                         ExitCase{"mnd", "-m:abc -nd", true},
                                         ExitCase{"ndm", "-nd -M", true}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(TrayAppExit, WithoutDismountLeavesTheVolumeMounted) {
  TrayAppRun App("e2eexitkeep");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitWithoutDismount));
  EXPECT_EQ(App.WaitForExit(), 0);
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 1u);
  EXPECT_EQ(App.CommandLog().find("/d R"), std::string::npos);
}

TEST(TrayAppExit, LogoffOfThisSessionClosesWithoutDismount) {
  TrayAppRun App("e2elogoff");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  // Another session's logoff changes nothing.
  App.PostSessionChange(WTS_SESSION_LOGOFF, App.SessionId() + 1);
  EXPECT_EQ(App.WaitForExit(1000), -1);
  App.PostSessionChange(WTS_SESSION_LOGOFF, App.SessionId());
  EXPECT_EQ(App.WaitForExit(), 0);
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 1u);
}

TEST(TrayAppExit, EndOfTheWindowsSessionSavesThenClosesAndDismounts) {
  TrayAppRun App("e2eendsession");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  DWORD_PTR Answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(App.Window(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, &Answer));
  EXPECT_EQ(Answer, 1u);
  EXPECT_NE(App.ReadSettings().find("DismountAllOnSwitchUser=1"), std::string::npos);
  EXPECT_TRUE(App.Running());
  App.PostToWindow(WM_ENDSESSION, FALSE);
  EXPECT_EQ(App.WaitForExit(), 0);
  EXPECT_TRUE(App.WaitForMountCount(0)) << App.CommandLog();
}
