// How the program ends decides whether the volumes are dismounted.
#include <gtest/gtest.h>

#include "Files.h"
#include "Scoped.h"
#include "Text.h"
#include "TrayAppRun.h"

#include <wtsapi32.h>

namespace {

struct ExitCase {
  const char* Name;
  const char* Params;
  const std::vector<int>* Entry;
  bool Dismounted;
};

void PrintTo(const ExitCase& Case, std::ostream* Out) { *Out << Case.Name; }

class TrayAppExit : public testing::TestWithParam<ExitCase> {};

}  // namespace

TEST_P(TrayAppExit, FollowsTheMenuEntryAndTheSwitches) {
  const ExitCase& Case = GetParam();
  TrayAppRun App(std::string("e2eexit") + Case.Name);
  ASSERT_FALSE(App.StartWithMountedVolume("", Case.Params).empty());
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, *Case.Entry));
  EXPECT_EQ(App.WaitForExit(), 0);
  if (!Case.Dismounted) Sleep(1000);
  EXPECT_TRUE(App.WaitForMountCount(Case.Dismounted ? 0 : 1)) << App.CommandLog();
  EXPECT_EQ(Has(ReadTextFile(App.LogPath()), "Dismount all: exit"), Case.Dismounted);
}

INSTANTIATE_TEST_SUITE_P(Switches, TrayAppExit,
                         testing::Values(ExitCase{"nd", "-ND", &ExitAndDismount, false},
                                         ExitCase{"mnd", "-m:abc -nd", &ExitAndDismount, true},
                                         ExitCase{"ndm", "-nd -M", &ExitAndDismount, true},
                                         ExitCase{"keep", "", &ExitWithoutDismount, false}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// A cancelled shutdown and another session's logoff leave it running. The
// settings are written to a file beside them and swapped in; when that step
// fails (a program that shares only reading holds them, so they cannot be
// written in place either), the old file stays whole, nothing is left beside
// it, and the user is told.
TEST(TrayAppSessionEnd, OnlyLogoffOfThisSessionClosesItWithoutDismountAndASettingsWriteCutShortLeavesTheOldFile) {
  TrayAppRun App("e2elogoff");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  const std::string Old = ReadTextFile(App.SettingsPath());
  {
    const TFileHandle Reader(CreateFileW(Utf8ToWide(App.SettingsPath()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(Reader);
    DWORD_PTR Answer = 0;
    ASSERT_TRUE(App.Send(WM_QUERYENDSESSION, 0, 0, Answer));
    EXPECT_NE(TrayAppRun::WaitForBalloon(App.SettingsPath() + " could not be written"), nullptr);
  }
  EXPECT_EQ(ReadTextFile(App.SettingsPath()), Old);
  EXPECT_FALSE(FileExistsEx(App.SettingsPath() + ".new"));
  App.Post(WM_ENDSESSION, FALSE);
  App.Post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGOFF, TrayAppRun::SessionId() + 1);
  EXPECT_EQ(App.WaitForExit(1000), -1);
  EXPECT_EQ(App.Mounts().size(), 1u);
  App.Post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGOFF, TrayAppRun::SessionId());
  EXPECT_EQ(App.WaitForExit(), 0);
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 1u);
}
