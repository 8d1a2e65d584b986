// Mounting and dismounting end to end with the stand-in program and driver.
#include "Files.h"
#include "Text.h"
#include "VolumeControlFixture.h"
#include <deque>
#include <optional>
#include <sstream>
#include "MinDialogs.h"
#include "Process.h"
#include "StandinControl.h"

namespace {
// Answers every input box that opens on this thread, from a thread timer
// inside the box's own loop. No answer (or none left) cancels.
struct {
  std::deque<std::optional<std::string>> Answers;
  std::vector<std::string> Prompts;
  bool AllMasked = true;
  std::function<void()> WhileOpen;
  HWND Last = nullptr;
} Box;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  const HWND Window = FindWindowW(L"InputBox", nullptr), Edit = GetDlgItem(Window, InputBoxEditId);
  if (!Window || Window == Box.Last || !IsWindowVisible(Window)) return;
  Box.Last = Window;
  wchar_t Prompt[256] = {};
  GetWindowTextW(FindWindowExW(Window, nullptr, L"Static", nullptr), Prompt, 256);
  Box.Prompts.push_back(WideToUtf8(Prompt));
  Box.AllMasked &= (GetWindowLongW(Edit, GWL_STYLE) & ES_PASSWORD) != 0;
  if (Box.WhileOpen) Box.WhileOpen();
  const std::optional<std::string> Answer = Box.Answers.empty() ? std::nullopt : Box.Answers.front();
  if (!Box.Answers.empty()) Box.Answers.pop_front();
  if (Answer) SetWindowTextW(Edit, Utf8ToWide(*Answer).c_str());
  SendMessageW(GetDlgItem(Window, Answer ? InputBoxOkId : InputBoxCancelId), BM_CLICK, 0, 0);
}

class MountCycleTest : public VolumeControlTest {
protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(StartStandinDriver() && ClearStandinMounts(StandinDevice::VeraCrypt));
    SetEnvironmentVariableW(L"STANDIN_LOG", Utf8ToWide(Log).c_str());
    CryptProgramPath.clear();
    RememberCryptProgram(Program);
    ASSERT_TRUE(InfoDrive.Mapped() && MountLetter);
    Box = {};
    Timer = SetTimer(nullptr, 0, 30, AnswerBox);
  }
  void TearDown() override {
    KillTimer(nullptr, Timer);
    if (DirExistsEx(std::string(1, MountLetter) + ":\\")) RunProcess(Program, DismountLine(), true);
    ClearStandinMounts(StandinDevice::VeraCrypt);
    for (const wchar_t* Name : {L"STANDIN_LOG", L"STANDIN_REFUSE"}) SetEnvironmentVariableW(Name, nullptr);
    VolumeControlTest::TearDown();
  }

  // Defines a container (password "secret") with "Auto"; gives its index.
  int Define(const std::string& Label, const std::string& Name, bool DefaultPass) {
    EXPECT_TRUE(WriteFileBytes(Store / Name, "container"));
    EXPECT_TRUE(WriteFileBytes(Store / (Name + ".password"), "secret"));
    Definitions << "[" << Label << "]\r\nFile=\\" << Name << "\r\nAuto=1\r\nDefaultPass=" << DefaultPass
                << "\r\nLetter=" << MountLetter << "\r\n";
    EXPECT_TRUE(WriteFileBytes(Store / ".tcvinfo.ini", Definitions.str()));
    SysVolumes.clear();  // re-read even within the file time's resolution
    RefreshVolumes();
    EXPECT_EQ(Volumes.empty() ? "" : Volumes.back().Label, Label);
    return int(Volumes.size()) - 1;
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
    return std::string("/q /s /v ") + InfoDrive.Letter() + ":\\" + Name + " /l " + MountLetter + " /m label=" +
           Label + " /p secret";
  }
  std::string DismountLine() const { return std::string("/q /s /d ") + MountLetter + " /f"; }

  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt121);
  ScratchFolder Work{"mountcycle"}, Store{"definitions"};
  const std::string Log = Work / "commands.log";
  TestDrive InfoDrive{UnusedDriveLetter('D'), Store.Path(), WineDriveType::Removable};
  const char MountLetter = UnusedDriveLetter(char(InfoDrive.Letter() + 1));
  std::ostringstream Definitions;
  UINT_PTR Timer = 0;
};

}  // namespace

TEST_F(MountCycleTest, AutoVolumeIsMountedByTheFirstPassNestedPassesReturnAndItIsDismounted) {
  const int I = Define("Data", "a.hc", false);
  // A pass nested in the password box's loop returns at once.
  bool Busy = false, Nested = false;
  Box.WhileOpen = [&] {
    if (!std::exchange(Nested, true)) Busy = AppFlags & afBusy, ProcessVolumes();
  };
  Box.Answers = {"secret"};
  ProcessVolumes();
  EXPECT_TRUE(Busy && !(AppFlags & afBusy) && Box.AllMasked && Volumes[I].MountPending && VolumeTimer->Enabled());
  EXPECT_EQ(Box.Prompts, std::vector<std::string>{"Data Password:"});

  // The timer's ticks refresh and pass until the driver lists the volume.
  ASSERT_TRUE(PumpUntil([&] { return !Results.empty(); }, 20000));
  EXPECT_EQ(Results, (std::vector<VolumeResult>{{I, "Volume Mounted", true}}));
  EXPECT_EQ(Logged(), std::vector<std::string>{MountLine("a.hc", "Data")});
  EXPECT_EQ(Volumes[I].MountedLetter, MountLetter);
  // Seen mounted on the following passes, nothing more reported.
  KeepPolling(1200);
  Pump(1500);
  EXPECT_TRUE(Results.size() == 1 && IsVolumeMounted(I));

  DismountVolume(I, false);
  EXPECT_FALSE(Volumes[I].Auto);
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 2; }, 20000));
  EXPECT_EQ(Results[1], (VolumeResult{I, "Volume Dismounted", true}));
  EXPECT_EQ(Logged().back(), DismountLine());
  EXPECT_FALSE(IsVolumeMounted(I) || DirExistsEx(std::string(1, MountLetter) + ":\\"));
  EXPECT_EQ(Box.Prompts.size(), 1u);  // the password was kept
}

TEST_F(MountCycleTest, DismountedFromOutsideWhileAutoIsMountedAgain) {
  const int I = Define("Shared", "b.hc", true);
  DefaultPassword = "secret";
  ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return !Results.empty(); }, 20000));
  KeepPolling(30000);
  ASSERT_EQ(RunProcess(Program, DismountLine(), true), 0);
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 2; }, 20000));
  EXPECT_EQ(Results[1], (VolumeResult{I, "Volume Mounted", true}));
  EXPECT_EQ(Logged(), (std::vector<std::string>{MountLine("b.hc", "Shared"), DismountLine(),
                                                MountLine("b.hc", "Shared")}));
  EXPECT_TRUE(Box.Prompts.empty());  // the default password was known
}

// A user switch dismounts with Auto kept; the timer still ticking (another
// pending volume, a recent "Settings...") must not mount again before the
// user is back.
TEST_F(MountCycleTest, VolumesDismountedForAUserSwitchWaitForTheReturn) {
  const int I = Define("Shared", "b.hc", true);
  DefaultPassword = "secret";
  ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return !Results.empty(); }, 20000));
  MountsHeld = true;
  DismountAll(true);
  KeepPolling(30000);
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 2; }, 20000));
  Pump(1500);
  EXPECT_TRUE(Volumes[I].Auto && !IsVolumeMounted(I));
  EXPECT_EQ(Logged(2).size(), 2u);
  MountsHeld = false;
  ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 3; }, 20000));
  EXPECT_EQ(Results[2], (VolumeResult{I, "Volume Mounted", true}));
}

TEST_F(MountCycleTest, RefusedMountFailsOnThePassThatExceedsTheTimeOut) {
  SetEnvironmentVariableW(L"STANDIN_REFUSE", L"mount");
  const int I = Define("Shared", "c.hc", true);
  DefaultPassword = "secret";
  Volumes[I].Password = "own";
  ProcessVolumes();
  ASSERT_TRUE(Volumes[I].MountPending);
  Logged(1, 5000);
  // Passes run directly: PendingTime grows by 300 a pass, 1 + 200 * 300 > 60000.
  int Passes = 0;
  for (; Results.empty() && Passes < 250; ++Passes) ProcessVolumes();
  EXPECT_EQ(Passes, 200);
  EXPECT_EQ(Results, (std::vector<VolumeResult>{{I, "Volume Mounted", false}}));
  const TTCVolume& V = Volumes[I];
  EXPECT_FALSE(V.MountPending || V.Auto || V.DefaultPass || V.PendingTime || PendingCount || VolumeTimer->Enabled());
  EXPECT_EQ(V.Password, "");
  EXPECT_EQ(DefaultPassword, "secret");
  ProcessVolumes();  // not tried again
  EXPECT_EQ(Logged(2).size(), 1u);
}

TEST_F(MountCycleTest, CancelSwitchesAutoOffAndAnEmptyPasswordAsksAgain) {
  const int Own = Define("Data", "a.hc", false), Shared = Define("Shared", "b.hc", true);
  ASSERT_LT(Own, Shared);
  Box.Answers = {"", std::nullopt};
  ProcessVolumes();
  EXPECT_EQ(Box.Prompts, (std::vector<std::string>{"Data Password:", "Default Password:"}));
  EXPECT_TRUE(Box.AllMasked && Volumes[Own].Auto);
  EXPECT_FALSE(Volumes[Shared].Auto || Volumes[Own].MountPending || Volumes[Shared].MountPending);
  ProcessVolumes();  // asks for Data again: cancelled
  EXPECT_FALSE(Volumes[Own].Auto);
  ProcessVolumes();
  EXPECT_EQ(Box.Prompts.size(), 3u);
  EXPECT_TRUE(Logged(1).empty());
}
