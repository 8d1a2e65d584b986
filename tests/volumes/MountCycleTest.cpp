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

}  // namespace
