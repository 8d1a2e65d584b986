// Keyfiles, PIM and mount options in definitions, the notice of a skipped
// section, and the "Start With Windows" item.
#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>

#include "Files.h"
#include "Identity.h"
#include "Text.h"
#include "TrayAppRun.h"

namespace {

std::string FolderOf(const std::string& Path) { return Path.substr(0, Path.find_last_of('\\') + 1); }

// Per-user definitions for volumes of this run's containers.
void WriteDefinitions(const std::string& Text) { WriteFileBytes(TrayAppRun::AppDataConfigPath(), Text); }

}  // namespace

TEST(TrayAppKeys, KeyfileOnlyVolumeMountsWithoutAPrompt) {
  TrayAppRun App("e2ekeyfile");
  App.WriteSettings();
  const std::string Container = App.AddContainer("keyed.hc", "");
  const std::string Key = FolderOf(Container) + "a.key";
  WriteFileBytes(Key, "key");
  WriteFileBytes(Container + ".keyfiles", Key);
  WriteDefinitions("[Keyed]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\nKeyfiles=" + Key +
                   "\r\nNoPassword=1\r\n");
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_NE(TrayAppRun::WaitForBalloon("Keyed"), nullptr);
  EXPECT_EQ(App.WaitForWindow("InputBox", 500), nullptr);
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Keyed /k " + Key + "\n");
}

// Yes and no are read strictly. On a stick, a NUL in a name, which would cut
// the command line, or a device as a keyfile skips the section before
// anything reaches the program.
TEST(TrayAppKeys, ReadOnlyVolumeMountsWithItsOptionAndBadValuesReachNothing) {
  TrayAppRun App("e2ereadonly");
  App.WriteSettings();
  const std::string Container = App.AddContainer("archive.hc", "secret");
  const std::string Wanted = "\r\nAuto=1\r\nDefaultPass=0\r\n";
  WriteDefinitions("[Maybe]\r\nFile=" + Container + Wanted + "ReadOnly=maybe\r\n[Archive]\r\nFile=" + Container +
                   Wanted + "Letter=R\r\nReadOnly=yes\r\n");
  ASSERT_TRUE(App.Start());
  EXPECT_NE(TrayAppRun::WaitForBalloon(TrayAppRun::AppDataConfigPath() + " [Maybe]: ReadOnly: must be yes or no"),
            nullptr);
  ASSERT_TRUE(App.AnswerPrompt("Archive Password:", "secret"));
  ASSERT_TRUE(App.WaitForMountCount(1));

  ScratchFolder StickFolder("e2ereadonly-stick");
  WriteFileBytes(StickFolder / "s.hc", "container");
  WriteFileBytes(StickFolder / ".tcvinfo.ini", std::string("[Vault\0x]", 9) + "\r\nFile=\\s.hc" + Wanted +
                                                   "[Device]\r\nFile=\\s.hc" + Wanted + "Keyfiles=\\keys\\nul.key\r\n");
  TestDrive Stick(UnusedDriveLetter('D'), StickFolder.Path(), WineDriveType::Removable);
  ASSERT_TRUE(Stick.Mapped());
  ASSERT_TRUE(App.SendDeviceChange(DBT_DEVICEARRIVAL, Stick.Letter()));
  const std::string Info = Stick.Root() + ".tcvinfo.ini";
  EXPECT_NE(TrayAppRun::WaitForBalloon(Info + " [Vault?x]: the name holds a control character\n" + Info +
                                       " [Device]: Keyfiles: a device name is not a file"),
            nullptr);
  EXPECT_EQ(App.WaitForWindow("InputBox", 500), nullptr);
  EXPECT_EQ(App.CommandLog(), "/q /s /v " + Container + " /l R /m label=Archive /m ro /p secret\n");
}

// The PIM goes on the line; a PIM the volume does not take fails like a
// wrong password: after the time-out of 200 passes of 300 ms.
TEST(TrayAppKeys, PimVolumeMountsAndAWrongPimFailsAfterTheTimeOut) {
  TrayAppRun App("e2epim");
  App.WriteSettings();
  const std::string Good = App.AddContainer("pim.hc", "secret");
  const std::string Wrong = App.AddContainer("wrongpim.hc", "secret");
  WriteFileBytes(Good + ".pim", "500");
  WriteFileBytes(Wrong + ".pim", "501");
  WriteDefinitions("[Pim]\r\nFile=" + Good + "\r\nLetter=R\r\nAuto=1\r\nPIM=500\r\n[WrongPim]\r\nFile=" + Wrong +
                   "\r\nLetter=S\r\nAuto=1\r\nPIM=500\r\n");
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  ASSERT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.Mounts()[0].Letter, 'R');
  EXPECT_EQ(TrayAppRun::WaitForBalloon("WrongPim", nullptr, 50000), nullptr);
  EXPECT_NE(TrayAppRun::WaitForBalloon("WrongPim", nullptr, 50000), nullptr);
  EXPECT_EQ(App.Mounts().size(), 1u);
  const std::string Log = App.CommandLog();
  EXPECT_TRUE(Has(Log, "/q /s /v " + Good + " /l R /m label=Pim /pim 500 /p secret\n") &&
              Has(Log, "/q /s /v " + Wrong + " /l S /m label=WrongPim /pim 500 /p secret\n") &&
              std::count(Log.begin(), Log.end(), '\n') == 2)
      << Log;
}

// TrueCrypt has no PIM: the section is skipped and the user told once, not
// again when another drive's arrival makes every file be read again.
TEST(TrayAppKeys, PimSectionWithTrueCryptIsSkippedAndToldOnce) {
  TrayAppRun App("e2etcpim");
  WriteFileBytes(App.SettingsPath(), "[Common]\r\nPath=" + StandinProgramPath(StandinBuild::TrueCrypt71a) + "\r\n");
  const std::string Container = App.AddContainer("backup.hc", "secret");
  WriteDefinitions("[Backup]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\nPIM=500\r\n");
  ASSERT_TRUE(App.Start());
  HWND Told = TrayAppRun::WaitForBalloon(TrayAppRun::AppDataConfigPath() + " [Backup]: TrueCrypt has no PIM");
  ASSERT_NE(Told, nullptr);

  ScratchFolder StickFolder("e2etcpim-stick");
  WriteFileBytes(StickFolder / ".tcvinfo.ini", "[Late]\r\nPartition=1\r\nPIM=x\r\n");
  TestDrive Stick(UnusedDriveLetter('D'), StickFolder.Path(), WineDriveType::Removable);
  ASSERT_TRUE(Stick.Mapped());
  // The options menu refreshes as it opens.
  App.PostTrayMouse(WM_RBUTTONUP);
  HWND Menu = App.WaitForWindow("#32768", 5000);
  ASSERT_NE(Menu, nullptr);
  PostMessageW(Menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_NE(TrayAppRun::WaitForBalloon(
                Stick.Root() + ".tcvinfo.ini [Late]: PIM: must be a whole number from 1 to 2147468", Told),
            nullptr);
  EXPECT_EQ(App.CommandLog(), "");
  EXPECT_EQ(App.WaitForWindow("InputBox", 500), nullptr);
}

// Checked only when the value names this program; each choice writes or
// deletes it.
TEST(TrayAppKeys, StartWithWindowsOnOffOn) {
  const std::wstring RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::wstring Title = Utf8ToWide(UnscrambleString(ScrambledAppTitle, true, IdentityScrambleOffset));
  auto RunValue = [&]() -> std::string {
    wchar_t Data[1024] = {};
    DWORD Size = sizeof Data;
    if (RegGetValueW(HKEY_CURRENT_USER, RunKey.c_str(), Title.c_str(), RRF_RT_REG_SZ, nullptr, Data, &Size) !=
        ERROR_SUCCESS)
      return "(none)";
    return WideToUtf8(Data);
  };
  const std::wstring Stale = L"\"C:\\Old\\trayvm.exe\"";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, RunKey.c_str(), Title.c_str(), REG_SZ, Stale.c_str(),
                            DWORD((Stale.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  TrayAppRun App("e2estartup");
  App.WriteSettings();
  ASSERT_TRUE(App.Start());
  const std::string Own = "\"" + App.ProgramPath() + "\"";
  // Entries by down presses: Run VeraCrypt.exe, Dismount All On Switch User,
  // On Lock, On Sleep, Save Default Password, Start With Windows.
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {6}));  // unchecked: the stale value is replaced
  EXPECT_TRUE(WaitUntil([&] { return SameTextUtf8(RunValue(), Own); }, 3000)) << RunValue();
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {6}));
  EXPECT_TRUE(WaitUntil([&] { return RunValue() == "(none)"; }, 3000)) << RunValue();
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, {6}));
  EXPECT_TRUE(WaitUntil([&] { return SameTextUtf8(RunValue(), Own); }, 3000)) << RunValue();
  RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey.c_str(), Title.c_str());
}
