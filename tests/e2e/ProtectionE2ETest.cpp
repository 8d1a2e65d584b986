// Lock, sleep and idle dismount the volumes; any return to the session ends
// a hold; session events end an open prompt as "not now".
#include <gtest/gtest.h>

#include "TrayAppRun.h"

#include <wtsapi32.h>

// Right-click entries by down presses: Run VeraCrypt.exe, Dismount All On
// Switch User, On Lock, On Sleep.
namespace {
const std::vector<int> DismountOnLock{3}, DismountOnSleep{4};
}

TEST(TrayAppProtection, LockDismountsOnlyWithTheOptionAndUnlockMountsAgain) {
  TrayAppRun App("e2elock");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  const DWORD Session = TrayAppRun::SessionId();
  App.Post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, Session);
  Sleep(1500);
  EXPECT_EQ(App.Mounts().size(), 1u);
  App.Post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, Session);

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, DismountOnLock));
  App.Post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, Session);
  ASSERT_TRUE(App.WaitForMountCount(0)) << App.CommandLog();
  App.Post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, Session);
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);
}

TEST(TrayAppProtection, SuspendDismountsOnlyWithTheOptionAndResumeMountsAgain) {
  TrayAppRun App("e2esleep");
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  DWORD_PTR Answer = 0;
  ASSERT_TRUE(App.Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0, Answer));
  App.Post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 1u);

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, DismountOnSleep));
  ASSERT_TRUE(App.Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0, Answer));
  EXPECT_EQ(Answer, unsigned(TRUE));
  ASSERT_TRUE(App.WaitForMountCount(0)) << App.CommandLog();
  // Held while asleep, whatever else runs a pass meanwhile.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {3}));  // Mount All
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 0u);
  App.Post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);
}

TEST(TrayAppProtection, IdleDismountsAndTheVolumeIsNoLongerWanted) {
  TrayAppRun App("e2eidle");
  ASSERT_FALSE(App.StartWithMountedVolume("DismountIdleMin=1\r\n").empty());
  // Nothing gives input under the test display: within a minute at most.
  ASSERT_TRUE(App.WaitForMountCount(0, 75000)) << App.CommandLog();
  EXPECT_TRUE(Has(App.CommandLog(), "/q /s /d R /f\n"));
  // The next pass (a return to the session runs one) leaves it alone.
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, TrayAppRun::SessionId());
  Sleep(1500);
  EXPECT_EQ(App.Mounts().size(), 0u);
}

class TrayAppReturn : public testing::TestWithParam<WPARAM> {};

TEST_P(TrayAppReturn, AnyReturnToTheSessionEndsTheHold) {
  TrayAppRun App("e2ereturn" + std::to_string(GetParam()));
  ASSERT_FALSE(App.StartWithMountedVolume().empty());
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, TrayAppRun::SessionId());
  ASSERT_TRUE(App.WaitForMountCount(0));
  App.Post(WM_WTSSESSION_CHANGE, GetParam(), TrayAppRun::SessionId());
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Events, TrayAppReturn,
                         testing::Values(WTS_REMOTE_CONNECT, WTS_SESSION_UNLOCK, WTS_SESSION_LOGON),
                         [](const auto& Info) {
                           return Info.param == WTS_REMOTE_CONNECT   ? "RemoteConnect"
                                  : Info.param == WTS_SESSION_UNLOCK ? "Unlock"
                                                                     : "Logon";
                         });

TEST(TrayAppOpenPrompt, ADisconnectClosesItAsNotNowAndTheReturnAsksAgain) {
  TrayAppRun App("e2epromptswitch");
  const std::string Container = App.StartWithAutoVolume();
  ASSERT_FALSE(Container.empty());
  ASSERT_NE(App.WaitForWindow("InputBox"), nullptr);
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, TrayAppRun::SessionId());
  ASSERT_TRUE(WaitUntil([&] { return App.WaitForWindow("InputBox", 0) == nullptr; }, 5000));
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, TrayAppRun::SessionId());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Data /p secret\n");
}

TEST(TrayAppOpenPrompt, TheEndOfSessionQueryIsAnsweredAfterSaving) {
  TrayAppRun App("e2epromptend");
  ASSERT_FALSE(App.StartWithAutoVolume().empty());
  ASSERT_NE(App.WaitForWindow("InputBox"), nullptr);
  DWORD_PTR Answer = 0;
  ASSERT_TRUE(App.Send(WM_QUERYENDSESSION, 0, 0, Answer));
  EXPECT_EQ(Answer, 1u);
  EXPECT_TRUE(Has(ReadTextFile(App.SettingsPath()), "DismountAllOnLock=0"));
  EXPECT_TRUE(WaitUntil([&] { return App.WaitForWindow("InputBox", 0) == nullptr; }, 5000));
  App.Post(WM_ENDSESSION, TRUE);
  EXPECT_EQ(App.WaitForExit(), 0);
  EXPECT_EQ(App.CommandLog(), "");
}
