// Mounting and dismounting end to end with the stand-in program and driver.
#include "Files.h"
#include "Text.h"
#include "VolumeControlFixture.h"
#include <sstream>
#include "Process.h"
#include "StandinControl.h"

namespace {

class MountCycleTest : public VolumeControlTest {
 protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(StartStandinDriver() && ClearStandinMounts(StandinDevice::VeraCrypt));
    SetEnvironmentVariableW(L"STANDIN_LOG", Utf8ToWide(Log).c_str());
    Control.CryptProgram = {};
    RememberCryptProgram(Program);
    ASSERT_TRUE(InfoDrive.Mapped() && MountLetter);
  }
  void TearDown() override {
    for (const TTCVolume& V : Volumes)
      if (V.Mounted()) RunProcess(Program, std::string("/q /s /d ") + V.MountedLetter + " /f", true);
    if (DirExistsEx(std::string(1, MountLetter) + ":\\")) RunProcess(Program, DismountLine(), true);
    ClearStandinMounts(StandinDevice::VeraCrypt);
    for (const wchar_t* Name : {L"STANDIN_LOG", L"STANDIN_REFUSE", L"STANDIN_DELAY_MS"})
      SetEnvironmentVariableW(Name, nullptr);
    VolumeControlTest::TearDown();
  }

  // Defines a container (password "secret") with "Auto"; gives its identity.
  TVolumeIdentity Define(const std::string& Label, const std::string& Name, bool DefaultPass, char Letter = 0) {
    EXPECT_TRUE(WriteFileBytes(Store / Name, "container"));
    EXPECT_TRUE(WriteFileBytes(Store / (Name + ".password"), "secret"));
    Definitions << Section(Label, Name, DefaultPass, Letter);
    EXPECT_TRUE(WriteFileBytes(Store / ".tcvinfo.ini", Definitions.str()));
    Control.SysVolumes.clear();  // re-read even within the file time's resolution
    Control.RefreshVolumes();
    EXPECT_EQ(Volumes.empty() ? "" : Volumes.back().Label, Label);
    return Volumes.empty() ? TVolumeIdentity{} : Volumes.back().Identity();
  }
  std::string Section(const std::string& Label, const std::string& Name, bool DefaultPass, char Letter = 0) const {
    return "[" + Label + "]\r\nFile=\\" + Name + "\r\nAuto=1\r\nDefaultPass=" + (DefaultPass ? "1" : "0") +
           "\r\nLetter=" + (Letter ? Letter : MountLetter) + "\r\n";
  }
  TTCVolume& Entry(const TVolumeIdentity& Identity) {
    TTCVolume* Found = FindVolume(Identity, Volumes);
    EXPECT_NE(Found, nullptr);
    return Found ? *Found : Volumes.front();
  }

  // The command lines the stand-in logged, once Count are there (no tick dispatched).
  std::vector<std::string> Logged(size_t Count = 0, int Ms = 1000) const {
    for (int Waited = 0;; Waited += 25, Sleep(25)) {
      std::vector<std::string> Lines;
      std::istringstream Text(ReadTextFile(Log));
      for (std::string Line; std::getline(Text, Line);) Lines.push_back(Line);
      if (Lines.size() >= Count || Waited >= Ms) return Lines;
    }
  }

  std::string MountLine(const std::string& Name, const std::string& Label) const {
    return std::string("/q /s /v ") + InfoDrive.Letter() + ":\\" + Name + " /l " + MountLetter + " /m label=" + Label +
           " /p secret";
  }
  std::string DismountLine() const { return std::string("/q /s /d ") + MountLetter + " /f"; }

  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt121);
  ScratchFolder Work{"mountcycle"}, Store{"definitions"};
  const std::string Log = Work / "commands.log";
  TestDrive InfoDrive{UnusedDriveLetter('D'), Store.Path(), WineDriveType::Removable};
  const char MountLetter = UnusedDriveLetter(char(InfoDrive.Letter() + 1));
  std::ostringstream Definitions;
};

TEST_F(MountCycleTest, OwnPasswordIsAskedThenTheVolumeIsMountedAndDismounted) {
  const TVolumeIdentity Data = Define("Data", "a.hc", false);
  Control.ProcessVolumes();
  EXPECT_EQ(Host.Prompts, std::vector<std::string>{"Data Password:"});
  EXPECT_EQ(Entry(Data).State, TVolumeState::AwaitingPassword);
  Control.ProcessVolumes();  // asked once
  Answer(TAnswer::Submitted, "secret");
  EXPECT_TRUE(Entry(Data).State == TVolumeState::Mounting && Control.Timer.Enabled());

  ASSERT_TRUE(PumpUntil([&] { return !Host.Results.empty(); }, 20000));
  EXPECT_EQ(Host.Results, (std::vector<ReportedResult>{{"Data", "Volume Mounted", true}}));
  EXPECT_EQ(Logged(), std::vector<std::string>{MountLine("a.hc", "Data")});
  EXPECT_EQ(Entry(Data).MountedLetter, MountLetter);
  EXPECT_FALSE(Control.Timer.Enabled());

  Control.DismountVolume(Data, false);
  EXPECT_FALSE(Entry(Data).Auto);
  ASSERT_TRUE(PumpUntil([&] { return Host.Results.size() == 2; }, 20000));
  EXPECT_EQ(Host.Results[1], (ReportedResult{"Data", "Volume Dismounted", true}));
  EXPECT_EQ(Logged().back(), DismountLine());
  EXPECT_FALSE(Entry(Data).Mounted() || DirExistsEx(std::string(1, MountLetter) + ":\\"));
  EXPECT_EQ(Host.Prompts.size(), 1u);  // the password was kept
}

TEST_F(MountCycleTest, DismountedFromOutsideWhileAutoIsMountedAgain) {
  Define("Shared", "b.hc", true);
  Control.DefaultPassword = "secret";
  Control.ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return !Host.Results.empty(); }, 20000));
  Control.Timer.KeepPolling(30000);
  ASSERT_EQ(RunProcess(Program, DismountLine(), true), 0);
  ASSERT_TRUE(PumpUntil([&] { return Host.Results.size() == 2; }, 20000));
  EXPECT_EQ(Host.Results[1], (ReportedResult{"Shared", "Volume Mounted", true}));
  EXPECT_EQ(Logged(),
            (std::vector<std::string>{MountLine("b.hc", "Shared"), DismountLine(), MountLine("b.hc", "Shared")}));
  EXPECT_TRUE(Host.Prompts.empty());  // the default password was known
}

// One question at a time, in list order; the default password is asked
// once for every volume waiting for it.
TEST_F(MountCycleTest, QuestionsComeOneAtATimeCancelUnwantsAndAnEmptyPasswordAsksAgain) {
  const TVolumeIdentity Own = Define("Data", "a.hc", false);
  const TVolumeIdentity First = Define("First", "b.hc", true, char(MountLetter + 1));
  const TVolumeIdentity Second = Define("Second", "c.hc", true, char(MountLetter + 2));
  Control.ProcessVolumes();
  Answer(TAnswer::Submitted, "");
  Answer(TAnswer::Cancelled);
  EXPECT_FALSE(Entry(Own).Auto);
  EXPECT_EQ(Host.Prompts, (std::vector<std::string>{"Data Password:", "Data Password:", "Default Password:"}));
  Answer(TAnswer::Submitted, "secret");
  EXPECT_TRUE(Entry(First).State == TVolumeState::Mounting && Entry(Second).State == TVolumeState::Mounting);
  EXPECT_EQ(Host.Prompts.size(), 3u);
  EXPECT_FALSE(Host.QuestionOpen);
  ASSERT_TRUE(PumpUntil([&] { return Host.Results.size() == 2; }, 20000));
}

TEST_F(MountCycleTest, ARefusedMountFailsOnceTheProgramHasEnded) {
  SetEnvironmentVariableW(L"STANDIN_REFUSE", L"mount");
  const TVolumeIdentity Shared = Define("Shared", "c.hc", true);
  Control.DefaultPassword = "secret";
  Entry(Shared).Password = "own";
  Control.ProcessVolumes();
  ASSERT_EQ(Entry(Shared).State, TVolumeState::Mounting);
  // Well before the time-out.
  ASSERT_TRUE(PumpUntil([&] { return !Host.Results.empty(); }, 10000));
  EXPECT_EQ(Host.Results, (std::vector<ReportedResult>{{"Shared", "Volume Mounted", false}}));
  const TTCVolume& V = Entry(Shared);
  EXPECT_FALSE(V.State != TVolumeState::Idle || V.Auto || V.DefaultPass || V.Launch || Control.Timer.Enabled());
  EXPECT_TRUE(V.Password.empty());
  EXPECT_EQ(Control.DefaultPassword.view(), "secret");
  Control.ProcessVolumes();  // not tried again
  EXPECT_EQ(Logged(2, 300).size(), 1u);
}

// A hold (lock, sleep, switch of user) that meets a mount in flight waits
// for it, dismounts it once it appears, and keeps it wanted for the return.
TEST_F(MountCycleTest, AHoldDuringAMountDismountsItOnceItAppearsAndTheReturnMountsItAgain) {
  SetEnvironmentVariableW(L"STANDIN_DELAY_MS", L"1000");
  const TVolumeIdentity Shared = Define("Shared", "b.hc", true);
  Control.DefaultPassword = "secret";
  Control.ProcessVolumes();
  Control.Hold();
  ASSERT_TRUE(PumpUntil([&] { return Logged(2, 0).size() == 2 && Entry(Shared).State == TVolumeState::Idle; }, 20000));
  EXPECT_EQ(Logged(), (std::vector<std::string>{MountLine("b.hc", "Shared"), DismountLine()}));
  EXPECT_TRUE(Entry(Shared).Auto && !Entry(Shared).Mounted() && !Control.Timer.Enabled());
  SetEnvironmentVariableW(L"STANDIN_DELAY_MS", nullptr);
  Control.ReleaseHold();
  ASSERT_TRUE(PumpUntil([&] { return Entry(Shared).State == TVolumeState::Mounted; }, 20000));
}

// A volume in use outlives its definition: it stays in the list, a dismount
// still reaches it, and the timer stops once its mount has ended.
TEST_F(MountCycleTest, AVolumeWhoseDefinitionWentStaysUntilItIsDismounted) {
  SetEnvironmentVariableW(L"STANDIN_DELAY_MS", L"500");
  const TVolumeIdentity Shared = Define("Shared", "b.hc", true);
  Control.DefaultPassword = "secret";
  Control.ProcessVolumes();
  ASSERT_TRUE(WriteFileBytes(Store / ".tcvinfo.ini", "; nothing\r\n"));
  Control.SysVolumes.clear();
  Control.RefreshVolumes();
  ASSERT_EQ(Labels(), std::vector<std::string>{"Shared"});
  EXPECT_FALSE(Entry(Shared).Defined);
  ASSERT_TRUE(PumpUntil([&] { return Entry(Shared).State == TVolumeState::Mounted; }, 20000));
  Pump(400);
  EXPECT_FALSE(Control.Timer.Enabled());
  Control.DismountAll(false);
  ASSERT_TRUE(PumpUntil([&] { return Volumes.empty(); }, 20000));
  EXPECT_EQ(Logged().back(), DismountLine());
}

// A pulled stick: the volume whose container was on it is dismounted by
// force at once, reported as removed and still wanted; others stay.
TEST_F(MountCycleTest, ARemovedDriveTakesOnlyItsOwnVolumesAtOnce) {
  const TVolumeIdentity Data = Define("Data", "a.hc", true);
  Control.DefaultPassword = "secret";
  Control.ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return !Host.Results.empty(); }, 20000));
  ASSERT_TRUE(Entry(Data).Mounted());

  Control.DrivesRemoved(1u << (char(InfoDrive.Letter() + 1) - 'A'));
  EXPECT_TRUE(Entry(Data).Mounted());
  Control.DrivesRemoved(1u << (InfoDrive.Letter() - 'A'));
  EXPECT_EQ(Host.Results.back(), (ReportedResult{"Data (drive removed)", "Volume Dismounted", true}));
  EXPECT_TRUE(!Entry(Data).Mounted() && Entry(Data).State == TVolumeState::Idle && Entry(Data).Auto);
  EXPECT_EQ(Logged(2).back(), DismountLine());
}

}  // namespace
