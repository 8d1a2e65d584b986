// The left-click menu: the volume entry dismounts and mounts again, and the
// tip follows; "Mount All" and "Dismount All", also across a refresh and for
// a volume whose definition went.
#include <gtest/gtest.h>

#include "Files.h"
#include "TrayAppRun.h"

// The user's dismount leaves open files alone: a volume in use asks first,
// No keeps it, Yes forces it; chosen again, it mounts with the held password.
TEST(TrayAppVolumeMenu, ChoosingTheMountedVolumeDismountsItAskingBeforeItForcesAndAgainMountsIt) {
  TrayAppRun App("e2evolmenu");
  SetEnvironmentVariableW(L"STANDIN_IN_USE", L"R");
  const std::string Container = App.StartWithMountedVolume();
  ASSERT_FALSE(Container.empty());
  const auto TipListsData = [] { return TrayAppRun::HasTip("Mount: Data (R:)"); };
  EXPECT_TRUE(WaitUntil(TipListsData, 5000));
  const std::string InUse = "Data (R:) is in use. Force the dismount? Unsaved changes in open files may be lost.";
  for (const int Answer : {1003, 1002}) {  // No, then Yes
    ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {1}));
    const HWND Question = App.WaitForPrompt(InUse);
    ASSERT_NE(Question, nullptr);
    EXPECT_EQ(GetDlgItem(Question, 1001), nullptr);  // no field
    SendMessageW(GetDlgItem(Question, Answer), BM_CLICK, 0, 0);
  }
  ASSERT_TRUE(App.WaitForMountCount(0));
  EXPECT_NE(TrayAppRun::WaitForBalloon("Data (R:)"), nullptr);
  EXPECT_TRUE(WaitUntil([&] { return !TipListsData(); }, 5000));
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {1}));
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();
  const std::string Mount = "/q /s /v " + Container + " /l R /m label=Data /p secret\n";
  EXPECT_EQ(App.CommandLog(), Mount + "/q /s /d R\n/q /s /d R\n/q /s /d R /f\n" + Mount);
}

// The menu acts on the volume it shows, whatever a refresh did meanwhile.
TEST(TrayAppVolumeMenu, AMenuHeldOpenAcrossARefreshActsOnTheVolumeItShowsAndMountAllAndDismountAll) {
  TrayAppRun App("e2eall");
  App.WriteSettings();
  // One's letter is taken; once Two is mounted, the next free one is Other's,
  // whose mount runs beside One's: One goes further on.
  const char Free = UnusedDriveLetter();
  const std::string Volumes = "[One]\r\nFile=" + App.AddContainer("one.hc", "shared") +
                              "\r\nLetter=C\r\n[Two]\r\nFile=" + App.AddContainer("two.hc", "own") +
                              "\r\nLetter=" + Free + "\r\nDefaultPass=0\r\n";
  WriteFileBytes(TrayAppRun::AppDataConfigPath(), Volumes);
  ASSERT_TRUE(App.Start());
  EXPECT_EQ(App.WaitForWindow("InputBox", 1500), nullptr);  // nothing is "Auto"
  const auto PutAnotherFirst = [&] {
    WriteFileBytes(TrayAppRun::AppDataConfigPath(), "[Other]\r\nFile=" + App.AddContainer("other.hc", "shared") +
                                                        "\r\nLetter=" + UnusedDriveLetter(char(Free + 1)) + "\r\n" +
                                                        Volumes);
    Sleep(1500);
  };
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {2}, PutAnotherFirst));
  ASSERT_TRUE(App.AnswerPrompt("Two Password:", "own"));
  ASSERT_TRUE(App.WaitForMountCount(1)) << App.CommandLog();

  // Other, One, Two, separator, Dismount All, Mount All.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {5}));
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "shared"));
  ASSERT_TRUE(App.WaitForMountCount(3)) << App.CommandLog();
  const std::vector<StandinMount> Mounted = App.Mounts();
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {4}));
  ASSERT_TRUE(App.WaitForMountCount(0));
  for (const StandinMount& M : Mounted)  // a normal dismount each
    EXPECT_TRUE(Has(App.CommandLog(), std::string("/q /s /d ") + M.Letter + "\n")) << App.CommandLog();
}

// A volume outlives its definition while it is in use: no timer runs for it
// once its mount has ended, and Dismount All still reaches it.
TEST(TrayAppVolumeMenu, ADefinitionEditedAwayDuringItsMountLeavesNoTimerAndDismountAllReachesIt) {
  TrayAppRun App("e2eorphan");
  ASSERT_FALSE(App.StartWithAutoVolume().empty());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  ASSERT_TRUE(WaitUntil([&] { return Has(App.CommandLog(), "/v "); }, 5000));
  WriteFileBytes(TrayAppRun::AppDataConfigPath(), "");
  ASSERT_TRUE(App.WaitForMountCount(1));
  ASSERT_NE(TrayAppRun::WaitForBalloon("Data (R:)"), nullptr);  // seen mounted
  Sleep(1000);
  const long long Before = App.WakeUps();
  Sleep(3000);
  EXPECT_LT(App.WakeUps() - Before, 5);  // a 300 ms poll would wake it ten times
  // Data, separator, Dismount All.
  ASSERT_TRUE(App.ChooseFromMenu(WM_LBUTTONUP, {2}));
  EXPECT_TRUE(App.WaitForMountCount(0)) << App.CommandLog();
}
