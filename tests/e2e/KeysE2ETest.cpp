// Keyfiles, PIM and mount options in definitions, and the notice of a
// skipped section.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "Files.h"
#include "Text.h"
#include "TrayAppRun.h"

// Keyfiles, read-only and the PIM go on the line; a keyfile-only volume
// needs no prompt; a PIM the volume does not take fails like a wrong password, once
// the program has ended.
TEST(TrayAppKeys, KeyfilesReadOnlyAndPimGoOnTheLineAndAWrongPimFails) {
  TrayAppRun App("e2ekeys");
  App.WriteSettings();
  const std::string Keyed = App.AddContainer("keyed.hc", ""), Key = Keyed.substr(0, Keyed.rfind('\\') + 1) + "a.key";
  WriteFileBytes(Key, "key");
  WriteFileBytes(Keyed + ".keyfiles", Key);
  const std::string Archive = App.AddContainer("archive.hc", "secret");
  const std::string Good = App.AddContainer("pim.hc", "secret"), Wrong = App.AddContainer("wrongpim.hc", "secret");
  WriteFileBytes(Good + ".pim", "500");
  WriteFileBytes(Wrong + ".pim", "501");
  WriteFileBytes(TrayAppRun::AppDataConfigPath(),
                 "[Keyed]\r\nFile=" + Keyed + "\r\nLetter=R\r\nAuto=1\r\nKeyfiles=" + Key +
                     "\r\nNoPassword=1\r\n[Archive]\r\nFile=" + Archive +
                     "\r\nLetter=K\r\nAuto=1\r\nReadOnly=yes\r\n[Pim]\r\nFile=" + Good +
                     "\r\nLetter=L\r\nAuto=1\r\nPIM=500\r\n[WrongPim]\r\nFile=" + Wrong +
                     "\r\nLetter=M\r\nAuto=1\r\nPIM=500\r\n");
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_NE(TrayAppRun::WaitForBalloon("Keyed (R:)"), nullptr);
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  ASSERT_TRUE(App.WaitForMountCount(3));
  EXPECT_NE(
      TrayAppRun::WaitForBalloon("WrongPim (M:): wrong password, PIM or keyfile. Enter it again.", nullptr, 10000),
      nullptr);
  EXPECT_EQ(App.Mounts().size(), 3u);
  // The three mounts of one pass run side by side: their lines in any order.
  const std::string Log = App.CommandLog();
  for (const std::string& Line : {"/q /s /v " + Keyed + " /l R /m label=Keyed /k " + Key + " /p \"\"\n",
                                  "/q /s /v " + Archive + " /l K /m label=Archive /m ro /p secret\n",
                                  "/q /s /v " + Good + " /l L /m label=Pim /pim 500 /p secret\n",
                                  "/q /s /v " + Wrong + " /l M /m label=WrongPim /pim 500 /p secret\n"})
    EXPECT_TRUE(Has(Log, Line)) << Line;
  EXPECT_EQ(std::count(Log.begin(), Log.end(), '\n'), 4) << Log;
}

TEST(TrayAppKeys, PimSectionWithTrueCryptIsSkippedAndToldOnce) {
  TrayAppRun App("e2etcpim");
  WriteFileBytes(App.SettingsPath(), "[Common]\r\nPath=" + StandinProgramPath(StandinBuild::TrueCrypt71a) + "\r\n");
  const std::string Container = App.AddContainer("backup.hc", "secret");
  // Yes and no are read strictly.
  WriteFileBytes(TrayAppRun::AppDataConfigPath(),
                 "[Backup]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\nPIM=500\r\n[Maybe]\r\nFile=" + Container +
                     "\r\nAuto=1\r\nReadOnly=maybe\r\n");
  ASSERT_TRUE(App.Start());
  const std::string Own = TrayAppRun::AppDataConfigPath();
  HWND Told = TrayAppRun::WaitForBalloon(Own + " [Backup]: TrueCrypt has no PIM\n" + Own +
                                         " [Maybe]: ReadOnly: must be yes or no");
  ASSERT_NE(Told, nullptr);

  ScratchFolder StickFolder("e2etcpim-stick");
  // A NUL in a name would cut the command line; a device is no keyfile.
  WriteFileBytes(StickFolder / "s.hc", "container");
  const std::string Wanted = "\r\nFile=\\s.hc\r\nAuto=1\r\nDefaultPass=0\r\n";
  WriteFileBytes(StickFolder / ".tcvinfo.ini", "[Late]\r\nPartition=1\r\nPIM=x\r\n" + std::string("[Vault\0x]", 9) +
                                                   Wanted + "[Device]" + Wanted + "Keyfiles=\\keys\\nul.key\r\n");
  TestDrive Stick(UnusedDriveLetter('D'), StickFolder.Path(), WineDriveType::Removable);
  ASSERT_TRUE(Stick.Mapped());
  // The options menu refreshes as it opens.
  App.PostTrayMouse(WM_RBUTTONUP);
  HWND Menu = App.WaitForWindow("#32768", 5000);
  ASSERT_NE(Menu, nullptr);
  PostMessageW(Menu, WM_KEYDOWN, VK_ESCAPE, 0);
  const std::string Info = Stick.Root() + ".tcvinfo.ini";
  EXPECT_NE(TrayAppRun::WaitForBalloon(Info + " [Late]: PIM: must be a whole number from 1 to 2147468\n" + Info +
                                           " [Vault?x]: the name holds a control character\n" + Info +
                                           " [Device]: Keyfiles: a device name is not a file",
                                       Told),
            nullptr);
  EXPECT_EQ(App.CommandLog(), "");
  EXPECT_EQ(App.WaitForWindow("InputBox", 500), nullptr);
}
