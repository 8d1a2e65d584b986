// Mounting and dismounting end to end: the stand-in program launched with the
// command line, the stand-in driver's mount list read back by the refresh,
// the volume timer driving the passes, and the passwords asked for in the
// masked input box.
#include "VolumeControlFixture.h"

#include <deque>
#include <optional>
#include <sstream>

#include "MinDialogs.h"
#include "Process.h"
#include "StandinControl.h"

namespace {

// Answers every input box that opens on this thread, from a thread timer
// that runs inside the box's own loop. An empty answer cancels, as does
// running out of answers.
struct {
  std::deque<std::optional<std::string>> Answers;
  std::vector<std::string> Prompts;
  bool AllMasked = true;
  std::function<void()> WhileOpen;  // runs inside the box's loop before it is answered
  HWND Last = nullptr;
} Box;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  const HWND Window = FindWindowW(L"InputBox", nullptr);
  if (!Window || Window == Box.Last || !IsWindowVisible(Window)) return;
  Box.Last = Window;
  const HWND Edit = GetDlgItem(Window, InputBoxEditId);
  wchar_t Prompt[256] = {};
  GetWindowTextW(FindWindowExW(Window, nullptr, L"Static", nullptr), Prompt, 256);
  Box.Prompts.push_back(WideToUtf8(Prompt));
  Box.AllMasked &= (GetWindowLongW(Edit, GWL_STYLE) & ES_PASSWORD) != 0;
  if (Box.WhileOpen) Box.WhileOpen();
  std::optional<std::string> Answer;
  if (!Box.Answers.empty()) {
    Answer = Box.Answers.front();
    Box.Answers.pop_front();
  }
  if (Answer) SetWindowTextW(Edit, Utf8ToWide(*Answer).c_str());
  SendMessageW(GetDlgItem(Window, Answer ? InputBoxOkId : InputBoxCancelId), BM_CLICK, 0, 0);
}

class MountCycleTest : public VolumeControlTest {
protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    ASSERT_TRUE(StartStandinDriver());
    ASSERT_TRUE(ClearStandinMounts(StandinDevice::VeraCrypt));
    SetEnvironmentVariableW(L"STANDIN_LOG", Utf8ToWide(Log).c_str());
    CryptProgramPath.clear();
    RememberCryptProgram(Program);
    ASSERT_TRUE(InfoDrive.Mapped());
    ASSERT_NE(MountLetter, 0);
    Box = {};
    Timer = SetTimer(nullptr, 0, 30, AnswerBox);
  }

  void TearDown() override {
    KillTimer(nullptr, Timer);
    Box = {};
    if (DirExistsEx(std::string(1, MountLetter) + ":\\")) RunProcess(Program, DismountLine(), true);
    ClearStandinMounts(StandinDevice::VeraCrypt);
    SetEnvironmentVariableW(L"STANDIN_LOG", nullptr);
    SetEnvironmentVariableW(L"STANDIN_REFUSE", nullptr);
    VolumeControlTest::TearDown();
  }

  // A container with its password on the definitions drive, and its section.
  void DefineVolume(const std::string& Label, const std::string& Name, bool DefaultPass) {
    ASSERT_TRUE(WriteTextFile("container", Store / Name, false));
    ASSERT_TRUE(WriteTextFile("secret", Store / (Name + ".password"), false));
    Definitions << "[" << Label << "]\r\nFile=\\" << Name << "\r\nAuto=1\r\nDefaultPass=" << DefaultPass
                << "\r\nLetter=" << MountLetter << "\r\n";
    ASSERT_TRUE(WriteTextFile(Definitions.str(), Store / ".tcvinfo.ini", false));
  }

  // Reads the definitions; the index of the volume with this label.
  static int Refresh(const std::string& Label) {
    RefreshVolumes();
    for (size_t I = 0; I < Volumes.size(); ++I)
      if (Volumes[I].Label == Label) return int(I);
    ADD_FAILURE() << "no volume " << Label;
    return 0;
  }

  // The command lines the stand-in received; first lets a launched one run,
  // without dispatching any tick, until it has logged Count of them.
  std::vector<std::string> LoggedCommands(size_t Count = 0, int Ms = 1000) const {
    std::vector<std::string> Lines;
    for (int Waited = 0;; Waited += 25) {
      Lines.clear();
      std::istringstream Text(ReadTextFile(Log));
      for (std::string Line; std::getline(Text, Line);) Lines.push_back(Line);
      if (Lines.size() >= Count || Waited >= Ms) return Lines;
      Sleep(25);
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
  DefineVolume("Data", "a.hc", false);
  const int I = Refresh("Data");
  // A pass nested in the password box's loop returns at once.
  bool Busy = false, Nested = false;
  Box.WhileOpen = [&] {
    if (std::exchange(Nested, true)) return;
    Busy = AppFlags & afBusy;
    ProcessVolumes();
  };
  Box.Answers = {"secret"};
  ProcessVolumes();
  EXPECT_TRUE(Busy);
  EXPECT_FALSE(AppFlags & afBusy);
  EXPECT_EQ(Box.Prompts, std::vector<std::string>{"Data Password:"});
  EXPECT_TRUE(Box.AllMasked);
  EXPECT_TRUE(Volumes[I].MountPending);
  EXPECT_EQ(PendingCount, 1);
  EXPECT_TRUE(VolumeTimer->Enabled());

  // The timer's ticks refresh and pass until the driver lists the volume.
  ASSERT_TRUE(PumpUntil([&] { return !Results.empty(); }, 20000));
  EXPECT_EQ(Results, (std::vector<VolumeResult>{{I, "Volume Mounted", true}}));
  EXPECT_EQ(LoggedCommands(), std::vector<std::string>{MountLine("a.hc", "Data")});
  EXPECT_EQ(Volumes[I].MountedLetter, MountLetter);
  EXPECT_EQ(PendingCount, 0);

  // Seen mounted on the following passes, nothing more reported.
  KeepPolling(1200);
  Pump(1500);
  EXPECT_EQ(Results.size(), 1u);
  EXPECT_TRUE(IsVolumeMounted(I));

  DismountVolume(I, false);
  EXPECT_FALSE(Volumes[I].Auto);
  EXPECT_TRUE(Volumes[I].DismountPending);
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 2; }, 20000));
  EXPECT_EQ(Results[1], (VolumeResult{I, "Volume Dismounted", true}));
  EXPECT_EQ(LoggedCommands().back(), DismountLine());
  EXPECT_FALSE(IsVolumeMounted(I));
  EXPECT_FALSE(DirExistsEx(std::string(1, MountLetter) + ":\\"));
  EXPECT_EQ(Box.Prompts.size(), 1u);  // the password was kept
}

TEST_F(MountCycleTest, DismountedFromOutsideWhileAutoIsMountedAgain) {
  DefineVolume("Shared", "b.hc", true);
  const int I = Refresh("Shared");
  DefaultPassword = "secret";
  ProcessVolumes();
  ASSERT_TRUE(PumpUntil([&] { return !Results.empty(); }, 20000));
  ASSERT_TRUE(IsVolumeMounted(I));

  KeepPolling(30000);
  ASSERT_EQ(RunProcess(Program, DismountLine(), true), 0);
  ASSERT_TRUE(PumpUntil([&] { return Results.size() == 2; }, 20000));
  EXPECT_EQ(Results[1], (VolumeResult{I, "Volume Mounted", true}));
  EXPECT_EQ(LoggedCommands(), (std::vector<std::string>{MountLine("b.hc", "Shared"), DismountLine(),
                                                        MountLine("b.hc", "Shared")}));
  EXPECT_TRUE(Box.Prompts.empty());  // the default password was known
}

TEST_F(MountCycleTest, RefusedMountFailsOnThePassThatExceedsTheTimeOut) {
  SetEnvironmentVariableW(L"STANDIN_REFUSE", L"mount");
  DefineVolume("Shared", "c.hc", true);
  const int I = Refresh("Shared");
  DefaultPassword = "secret";
  Volumes[I].Password = "own";
  ProcessVolumes();
  ASSERT_TRUE(Volumes[I].MountPending);
  EXPECT_EQ(Volumes[I].PendingTime, 1u);
  LoggedCommands(1, 5000);

  // Passes run directly: PendingTime grows by 300 a pass, 1 + 200 * 300 > 60000.
  int Passes = 0;
  for (; Results.empty() && Passes < 250; ++Passes) ProcessVolumes();
  EXPECT_EQ(Passes, 200);
  EXPECT_EQ(Results, (std::vector<VolumeResult>{{I, "Volume Mounted", false}}));
  const TTCVolume& V = Volumes[I];
  EXPECT_FALSE(V.MountPending || V.Auto || V.DefaultPass);
  EXPECT_EQ(V.PendingTime, 0u);
  EXPECT_EQ(V.Password, "");
  EXPECT_EQ(DefaultPassword, "secret");
  EXPECT_EQ(PendingCount, 0);
  EXPECT_FALSE(VolumeTimer->Enabled());

  // Not tried again.
  ProcessVolumes();
  EXPECT_EQ(LoggedCommands(2).size(), 1u);
}

TEST_F(MountCycleTest, CancelSwitchesAutoOffAndAnEmptyPasswordAsksAgain) {
  DefineVolume("Data", "a.hc", false);
  DefineVolume("Shared", "b.hc", true);
  const int Own = Refresh("Data"), Shared = Refresh("Shared");
  ASSERT_LT(Own, Shared);
  Box.Answers = {"", std::nullopt};
  ProcessVolumes();
  EXPECT_EQ(Box.Prompts, (std::vector<std::string>{"Data Password:", "Default Password:"}));
  EXPECT_TRUE(Box.AllMasked);
  EXPECT_TRUE(Volumes[Own].Auto);
  EXPECT_FALSE(Volumes[Shared].Auto);
  EXPECT_FALSE(Volumes[Own].MountPending || Volumes[Shared].MountPending);
  EXPECT_EQ(PendingCount, 0);

  ProcessVolumes();  // asks for Data again: cancelled
  EXPECT_FALSE(Volumes[Own].Auto);
  ProcessVolumes();
  EXPECT_EQ(Box.Prompts.size(), 3u);
  EXPECT_TRUE(LoggedCommands(1).empty());
}
