// Mounting and dismounting end to end with the stand-in program and driver.
#include "Files.h"
#include "Text.h"
#include "VolumeControlFixture.h"
#include <deque>
#include <optional>
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
    for (const wchar_t* Name : {L"STANDIN_LOG", L"STANDIN_REFUSE"}) SetEnvironmentVariableW(Name, nullptr);
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

TEST_F(MountCycleTest, AutoVolumeIsMountedByTheFirstPassNestedPassesReturnAndItIsDismounted) {
  const TVolumeIdentity Data = Define("Data", "a.hc", false);
  // A pass nested in the password question returns at once.
  bool Busy = false;
  Host.WhileAsked = [&] { Busy = Control.Busy(), Control.ProcessVolumes(); };
  Host.Answers = {"secret"};
  Control.ProcessVolumes();
  EXPECT_TRUE(Busy && !Control.Busy() && Entry(Data).MountPending && Control.Timer.Enabled());
  EXPECT_EQ(Host.Prompts, std::vector<std::string>{"Data Password:"});

  // The timer's ticks refresh and pass until the driver lists the volume.
  ASSERT_TRUE(PumpUntil([&] { return !Host.Results.empty(); }, 20000));
  EXPECT_EQ(Host.Results, (std::vector<ReportedResult>{{"Data", "Volume Mounted", true}}));
  EXPECT_EQ(Logged(), std::vector<std::string>{MountLine("a.hc", "Data")});
  EXPECT_EQ(Entry(Data).MountedLetter, MountLetter);
  // Seen mounted on the following passes, nothing more reported.
  Control.Timer.KeepPolling(1200);
  Pump(1500);
  EXPECT_TRUE(Host.Results.size() == 1 && Entry(Data).Mounted());

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

// A user switch dismounts with Auto kept; the timer still ticking (another
// pending volume, a recent "Settings...") must not mount again before the
// user is back.
TEST_F(MountCycleTest, VolumesDismountedForAUserSwitchWaitForTheReturn) {
  const TVolumeIdentity Shared = Define("Shared", "b.hc", true);
  Control.DefaultPassword = "secret";
  Control.ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return !Host.Results.empty(); }, 20000));
  Control.MountsHeld = true;
  Control.DismountAll(true);
  Control.Timer.KeepPolling(30000);
  ASSERT_TRUE(PumpUntil([&] { return Host.Results.size() == 2; }, 20000));
  Pump(1500);
  EXPECT_TRUE(Entry(Shared).Auto && !Entry(Shared).Mounted());
  EXPECT_EQ(Logged(2).size(), 2u);
  Control.MountsHeld = false;
  Control.ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return Host.Results.size() == 3; }, 20000));
  EXPECT_EQ(Host.Results[2], (ReportedResult{"Shared", "Volume Mounted", true}));
}

TEST_F(MountCycleTest, RefusedMountFailsOnThePassThatExceedsTheTimeOut) {
  SetEnvironmentVariableW(L"STANDIN_REFUSE", L"mount");
  const TVolumeIdentity Shared = Define("Shared", "c.hc", true);
  Control.DefaultPassword = "secret";
  Entry(Shared).Password = "own";
  Control.ProcessVolumes();
  ASSERT_TRUE(Entry(Shared).MountPending);
  Logged(1, 5000);
  // Passes run directly: PendingTime grows by 300 a pass, 1 + 200 * 300 > 60000.
  int Passes = 0;
  for (; Host.Results.empty() && Passes < 250; ++Passes) Control.ProcessVolumes();
  EXPECT_EQ(Passes, 200);
  EXPECT_EQ(Host.Results, (std::vector<ReportedResult>{{"Shared", "Volume Mounted", false}}));
  const TTCVolume& V = Entry(Shared);
  EXPECT_FALSE(V.MountPending || V.Auto || V.DefaultPass || V.PendingTime || Control.Timer.PendingCount ||
               Control.Timer.Enabled());
  EXPECT_TRUE(V.Password.empty());
  EXPECT_EQ(Control.DefaultPassword.view(), "secret");
  Control.ProcessVolumes();  // not tried again
  EXPECT_EQ(Logged(2).size(), 1u);
}

TEST_F(MountCycleTest, CancelSwitchesAutoOffAndAnEmptyPasswordAsksAgain) {
  const TVolumeIdentity Own = Define("Data", "a.hc", false), Shared = Define("Shared", "b.hc", true);
  Host.Answers = {"", std::nullopt};
  Control.ProcessVolumes();
  EXPECT_EQ(Host.Prompts, (std::vector<std::string>{"Data Password:", "Default Password:"}));
  EXPECT_TRUE(Entry(Own).Auto);
  EXPECT_FALSE(Entry(Shared).Auto || Entry(Own).MountPending || Entry(Shared).MountPending);
  Control.ProcessVolumes();  // asks for Data again: cancelled
  EXPECT_FALSE(Entry(Own).Auto);
  Control.ProcessVolumes();
  EXPECT_EQ(Host.Prompts.size(), 3u);
  EXPECT_TRUE(Logged(1).empty());
}

// The program question runs a loop in which a refresh may replace the list:
// the dismount chosen before it must reach the volume that was chosen, not
// whatever now stands at its old position.
TEST_F(MountCycleTest, DismountChosenBeforeTheProgramQuestionHitsTheChosenVolume) {
  const char SecondLetter = UnusedDriveLetter(char(MountLetter + 1));
  const TVolumeIdentity First = Define("First", "a.hc", true), Second = Define("Second", "b.hc", true, SecondLetter);
  Control.DefaultPassword = "secret";
  Control.ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return Host.Results.size() == 2; }, 20000));
  ASSERT_EQ(Entry(Second).MountedLetter, SecondLetter);
  // The program is forgotten; while it is asked for, the two sections swap
  // places in the file and the list is replaced.
  Control.CryptProgram = {};
  RememberCryptProgram("C:\\nowhere\\VeraCrypt.exe");
  Host.ChosenProgram = Program;
  Host.WhileAsked = [&] {
    WriteFileBytes(Store / ".tcvinfo.ini",
                   Section("Second", "b.hc", true, SecondLetter) + Section("First", "a.hc", true));
    Control.SysVolumes.clear();
    Control.RefreshVolumes();
  };
  Control.DismountVolume(Second, false);
  ASSERT_EQ(Labels(), (std::vector<std::string>{"Second", "First"}));
  EXPECT_TRUE(Entry(Second).DismountPending && !Entry(First).DismountPending);
  EXPECT_EQ(Logged(3).back(), std::string("/q /s /d ") + SecondLetter + " /f");
}

}  // namespace

// A session event while the password is asked: "not now" mounts nothing,
// asks nothing more in that pass and leaves the volumes wanted.
TEST_F(MountCycleTest, APostponedQuestionEndsThePassAndKeepsAuto) {
  const TVolumeIdentity First = Define("First", "a.hc", false);
  const TVolumeIdentity Second = Define("Second", "b.hc", false, char(MountLetter + 1));
  Host.WhileAsked = [&] { Control.PostponeQuestion(); };
  Host.Answers = {"secret"};
  Control.ProcessVolumes();
  EXPECT_EQ(Host.Prompts, std::vector<std::string>{"First Password:"});
  EXPECT_TRUE(Entry(First).Auto && Entry(Second).Auto && !Entry(First).MountPending);
  EXPECT_TRUE(Logged(0, 300).empty());

  Host.WhileAsked = nullptr;
  Host.Answers = {"secret", std::nullopt};
  Control.ProcessVolumes();
  EXPECT_EQ(Host.Prompts, (std::vector<std::string>{"First Password:", "First Password:", "Second Password:"}));
  EXPECT_TRUE(Entry(First).MountPending && !Entry(Second).Auto);
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
  EXPECT_TRUE(!Entry(Data).Mounted() && !Entry(Data).DismountPending && Entry(Data).Auto);
  EXPECT_EQ(Control.Timer.PendingCount, 0);
  EXPECT_EQ(Logged(2).back(), DismountLine());
}
