// Lock, sleep, a switch of user and idle dismount the volumes, also with a
// prompt open or a mount in flight; any return to the session ends a hold;
// session events end an open prompt as "not now".
#include <gtest/gtest.h>

#include "Files.h"
#include "TrayAppRun.h"

#include <wtsapi32.h>

namespace {

// "Data" on R: (default password "secret") and "Own" on S: (its own password
// "pw"), both "Auto": started with Data's mount started and Own's prompt open.
HWND StartWithOwnPromptOpen(TrayAppRun& App, const std::string& CommonLines) {
  App.WriteSettings(CommonLines);
  const std::string Data = App.AddContainer("data.hc", "secret"), Own = App.AddContainer("own.hc", "pw");
  WriteFileBytes(TrayAppRun::AppDataConfigPath(), "[Data]\r\nFile=" + Data +
                                                      "\r\nLetter=R\r\nAuto=1\r\n[Own]\r\nFile=" + Own +
                                                      "\r\nLetter=S\r\nAuto=1\r\nDefaultPass=0\r\n");
  if (!App.Start() || !App.AnswerPrompt("Default Password:", "secret")) return nullptr;
  return App.WaitForPrompt("Own Password:");
}

// The ways the user leaves, each with its option "DismountAllOn<Name>", its
// right-click entry (by down presses) and the ways back.
struct Leave {
  const char* Name;
  int Entry;
  UINT Message;
  WPARAM Event;
  std::vector<WPARAM> Returns;
};
const Leave Leaves[] = {
    {"Lock", 3, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, {WTS_SESSION_UNLOCK}},
    {"Sleep", 4, WM_POWERBROADCAST, PBT_APMSUSPEND, {PBT_APMRESUMEAUTOMATIC}},
    // Any way back into the session ends the hold.
    {"SwitchUser",
     2,
     WM_WTSSESSION_CHANGE,
     WTS_CONSOLE_DISCONNECT,
     {WTS_CONSOLE_CONNECT, WTS_REMOTE_CONNECT, WTS_SESSION_LOGON}},
};
void PrintTo(const Leave& L, std::ostream* Out) { *Out << L.Name; }

class TrayAppLeave : public testing::TestWithParam<Leave> {
 protected:
  // Sent as Windows sends it; false when the program did not answer.
  bool SendLeave(const TrayAppRun& App) const {
    DWORD_PTR Answer = 0;
    return App.Send(GetParam().Message, GetParam().Event, TrayAppRun::SessionId(), Answer);
  }
  void PostReturn(const TrayAppRun& App) const { PostReturn(App, GetParam().Returns[0]); }
  void PostReturn(const TrayAppRun& App, WPARAM Return) const {
    App.Post(GetParam().Message, Return, TrayAppRun::SessionId());
  }
  std::string Name(const char* Prefix) const { return std::string(Prefix) + GetParam().Name; }
  std::string Option(bool On) const {
    return "DismountAllOn" + std::string(GetParam().Name) + (On ? "=1\r\n" : "=0\r\n");
  }
};

}  // namespace

TEST_P(TrayAppLeave, DismountsOnlyWithItsOptionAndEachWayBackMountsAgain) {
  TrayAppRun App(Name("e2eleave"));
  ASSERT_FALSE(App.StartWithMountedVolume(Option(false)).empty());
  ASSERT_TRUE(SendLeave(App));
  PostReturn(App);
  Sleep(1000);
  EXPECT_EQ(App.Mounts().size(), 1u);

  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {GetParam().Entry}));
  for (const WPARAM Return : GetParam().Returns) {
    ASSERT_TRUE(SendLeave(App));
    EXPECT_EQ(App.Mounts().size(), 0u) << App.CommandLog();
    // Held until the return, whatever else runs a pass meanwhile.
    ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {3}));  // Mount All
    Sleep(1500);
    EXPECT_EQ(App.Mounts().size(), 0u);
    PostReturn(App, Return);
    ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  }
  EXPECT_EQ(App.WaitForWindow("InputBox", 300), nullptr);
}

// Dismounted before the message returns, a mount in flight once its volume
// appears; the prompt is closed as "not now" and asked again on the return.
TEST_P(TrayAppLeave, WithAPromptOpenAndAMountInFlightDismountsBeforeReturningAndClosesThePrompt) {
  TrayAppRun App(Name("e2eleaveprompt"));
  ASSERT_NE(StartWithOwnPromptOpen(App, Option(true)), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Has(App.CommandLog(), "/v "); }, 5000));
  ASSERT_TRUE(App.Mounts().empty());  // Data's mount still runs
  ASSERT_TRUE(SendLeave(App));
  EXPECT_EQ(App.Mounts().size(), 0u);
  EXPECT_TRUE(Has(App.CommandLog(), "/p secret\n/q /s /d R /f\n")) << App.CommandLog();
  EXPECT_TRUE(WaitUntil([&] { return !App.WaitForWindow("InputBox", 0); }, 5000));
  PostReturn(App);
  ASSERT_TRUE(App.AnswerPrompt("Own Password:", "pw"));
  EXPECT_TRUE(App.WaitForMountCount(2)) << App.CommandLog();
}

INSTANTIATE_TEST_SUITE_P(Events, TrayAppLeave, testing::ValuesIn(Leaves),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// With a prompt open, as when nobody is there to answer it.
TEST(TrayAppProtection, IdleDismountsAndTheVolumeIsNoLongerWanted) {
  TrayAppRun App("e2eidle");
  ASSERT_NE(StartWithOwnPromptOpen(App, "DismountIdleMin=1\r\n"), nullptr);
  ASSERT_NE(TrayAppRun::WaitForBalloon("Data (R:)"), nullptr);  // seen mounted
  // Nothing gives input under the test display: within a minute at most.
  ASSERT_TRUE(App.WaitForMountCount(0, 75000)) << App.CommandLog();
  EXPECT_TRUE(Has(App.CommandLog(), "/q /s /d R /f\n"));
  // The next pass (a return to the session runs one) leaves it alone.
  App.Post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, TrayAppRun::SessionId());
  Sleep(1500);
  EXPECT_EQ(App.Mounts().size(), 0u);
}

// Windows is never held up by a prompt: the query is answered after saving,
// and the end of the session closes the program and dismounts.
TEST(TrayAppOpenPrompt, TheEndOfTheSessionClosesItSavesAndDismounts) {
  TrayAppRun App("e2epromptend");
  ASSERT_NE(StartWithOwnPromptOpen(App, ""), nullptr);  // Data's mount is still in flight
  DWORD_PTR Answer = 0;
  ASSERT_TRUE(App.Send(WM_QUERYENDSESSION, 0, 0, Answer));
  EXPECT_EQ(Answer, 1u);
  EXPECT_TRUE(Has(ReadTextFile(App.SettingsPath()), "DismountAllOnLock=0"));
  EXPECT_TRUE(WaitUntil([&] { return App.WaitForWindow("InputBox", 0) == nullptr; }, 5000));
  EXPECT_TRUE(App.Running());
  App.Post(WM_ENDSESSION, TRUE);
  EXPECT_EQ(App.WaitForExit(), 0);
  EXPECT_TRUE(App.WaitForMountCount(0)) << App.CommandLog();
}
