// What reacting to Windows costs the tray program, run for real under Wine:
// - the time from a drive's arrival message to the password prompt on the
//   screen, against one refresh that finds nothing changed plus the creation
//   of an input box (target: within 2x of their sum);
// - the program's wake-ups (voluntary context switches of all its threads,
//   from /proc) over 30 s idle: with nothing mounted (target 0), and with one
//   volume mounted and "DismountIdleMin" on (target at most 2);
// - the time from a wrong password to its failure notice, beside the
//   program's own run time.
#include <windows.h>

#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Files.h"
#include "MinDialogs.h"
#include "Process.h"
#include "Text.h"
#include "TrayAppRun.h"
#include "UnitStartup.h"
#include "SilentHost.h"
#include "VolumeControl.h"

namespace {

double Now() {
  static const LARGE_INTEGER Frequency = [] {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return F;
  }();
  LARGE_INTEGER C;
  QueryPerformanceCounter(&C);
  return double(C.QuadPart) * 1000.0 / double(Frequency.QuadPart);
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values.empty() ? 0 : Values[Values.size() / 2];
}

// Input now, so the idle limit is a whole period away.
void GiveInput() {
  INPUT Move{};
  Move.type = INPUT_MOUSE;
  Move.mi.dwFlags = MOUSEEVENTF_MOVE;
  SendInput(1, &Move, sizeof Move);
}

long long WakeUpsOver30s(const TrayAppRun& Run) {
  Sleep(2000);  // settled after start-up or the mount
  const long long Before = Run.WakeUps();
  Sleep(30000);
  return Before < 0 ? -1 : Run.WakeUps() - Before;
}

// Milliseconds from asking with the input box to the loop running with the
// box shown, measured by a message posted just before it is asked.
double BoxCreation() {
  constexpr UINT Probe = WM_APP + 50;
  // Notes when the probe comes through the loop.
  class TProbedApplication : public TMinApplication {
   public:
    TProbedApplication() : TMinApplication("Input box timing") {}
    double Shown = 0;

   protected:
    LRESULT HandleMessage(UINT Msg, WPARAM WParam, LPARAM LParam) override {
      if (Msg == Probe) Shown = Now();
      return TMinApplication::HandleMessage(Msg, WParam, LParam);
    }
  } App;
  double& Shown = App.Shown;
  std::vector<double> Times;
  for (int I = 0; I < 15; ++I) {
    Shown = 0;
    const double Start = Now();
    PostMessageW(App.Handle, Probe, 0, 0);
    const std::unique_ptr<TInputBox> Box = TInputBox::Show("", "Stick Password:", "", true, [](bool, SecretText) {});
    for (MSG Msg; Shown == 0 && GetMessageW(&Msg, nullptr, 0, 0);) DispatchMessageW(&Msg);
    Times.push_back(Shown - Start);
  }
  return Median(Times);
}

}  // namespace

int main() {
  InitUtilsUnit();
  VendorName = "LiveBench";

  // The stick: a removable drive with one "Auto" volume.
  ScratchFolder StickFolder("livebench-stick");
  WriteFileBytes(StickFolder / "stick.hc", "container");
  WriteFileBytes(StickFolder / "stick.hc.password", "pw");
  WriteFileBytes(StickFolder / ".tcvinfo.ini", "[Stick]\r\nFile=\\stick.hc\r\nLetter=S\r\nAuto=1\r\nDefaultPass=0\r\n");
  const char Letter = UnusedDriveLetter('J');

  std::vector<double> Arrivals;
  {
    TrayAppRun Run("livebencharrival");
    Run.WriteSettings();
    if (!Run.Start()) return std::printf("the program did not start\n"), 1;
    Sleep(1000);
    for (int I = 0; I < 15; ++I) {
      {
        TestDrive Stick(Letter, StickFolder.Path(), WineDriveType::Removable);
        const double Start = Now();
        Run.SendDeviceChange(DBT_DEVICEARRIVAL, Letter);
        HWND Box = nullptr;
        while (!(Box = Run.WaitForWindow("InputBox", 0)) && Now() - Start < 5000) Sleep(1);
        if (!Box) return std::printf("no prompt after an arrival\n"), 1;
        Arrivals.push_back(Now() - Start);
        PostMessageW(Box, WM_CLOSE, 0, 0);  // cancelled; the next arrival defines it anew
        WaitUntil([&] { return !Run.WaitForWindow("InputBox", 0); }, 5000);
      }
      // Gone again, so the next arrival finds a change.
      Run.SendDeviceChange(DBT_DEVICEREMOVECOMPLETE, Letter);
      Sleep(300);
    }
  }

  // One refresh that finds nothing changed, with the same drives mapped.
  double Refresh = 0, Changed = 0;
  {
    TestDrive Stick(Letter, StickFolder.Path(), WineDriveType::Removable);
    TMinApplication App("Refresh timing");
    TSilentHost Host;
    TVolumeControl Control(Host);
    Control.CryptProgram = {StandinProgramPath(StandinBuild::VeraCrypt121), false, 119};
    Control.RefreshVolumes();
    std::vector<double> Times;
    for (int I = 0; I < 50; ++I) {
      const double Start = Now();
      Control.RefreshVolumes();
      Times.push_back(Now() - Start);
    }
    Refresh = Median(Times);
    Times.clear();
    for (int I = 0; I < 15; ++I) {
      Control.SysVolumes.clear();  // as after an arrival: the stick's definitions are read
      const double Start = Now();
      Control.RefreshVolumes();
      Times.push_back(Now() - Start);
    }
    Changed = Median(Times);
  }
  const double Box = BoxCreation();
  const double Arrival = Median(Arrivals);
  std::printf("arrival to prompt:               %8.2f ms (median of %zu)\n", Arrival, Arrivals.size());
  std::printf("refresh, nothing changed:        %8.2f ms\n", Refresh);
  std::printf("refresh reading the stick:        %8.2f ms\n", Changed);
  std::printf("input box creation:              %8.2f ms\n", Box);
  std::printf("arrival against refresh + box:   %8.2fx (target 2x)\n", Arrival / (Refresh + Box));

  {
    // From a wrong password's answer to its notice, against the program's
    // own run: the stand-in takes a second to mount.
    TrayAppRun Run("livebenchwrong");
    const std::string Container = Run.StartWithAutoVolume();
    if (Container.empty()) return std::printf("the program did not start\n"), 1;
    std::vector<double> Failures;
    std::string Prompt = "Default Password:";
    // Told in the log as it is shown: the shell may hold a balloon back
    // while another is up.
    const auto Told = [&] {
      const std::string Log = ReadTextFile(Run.LogPath());
      std::size_t Count = 0;
      for (std::size_t At = 0; (At = Log.find("wrong password", At)) != std::string::npos; ++At) ++Count;
      return Count;
    };
    for (std::size_t I = 0; I < 5; ++I) {
      const HWND Asking = Run.WaitForPrompt(Prompt);
      if (!Asking) return std::printf("no prompt\n"), 1;
      const double Start = Now();
      TrayAppRun::AnswerInputBox(Asking, "wrong");
      if (!WaitUntil([&] { return Told() > I; }, 70000)) return std::printf("no failure told\n"), 1;
      Failures.push_back(Now() - Start);
      Prompt = "Wrong password, PIM or keyfile for Data.\nDefault Password:";
    }
    // The program's own run for the same line, started and waited for here.
    std::vector<double> Runs;
    for (int I = 0; I < 5; ++I) {
      const double Start = Now();
      RunProcess(StandinProgramPath(StandinBuild::VeraCrypt121), "/q /s /v " + Container + " /l R /p wrong", true);
      Runs.push_back(Now() - Start);
    }
    std::printf("wrong password to its notice:    %8.2f ms (median of %zu, polled every 50 ms)\n", Median(Failures),
                Failures.size());
    std::printf("the program's own run:           %8.2f ms (a second of it the stand-in's key derivation)\n",
                Median(Runs));
  }

  {
    TrayAppRun Run("livebenchidle");
    Run.WriteSettings();
    if (!Run.Start()) return std::printf("the program did not start\n"), 1;
    std::printf("wake-ups over 30 s, nothing mounted:              %lld (target 0)\n", WakeUpsOver30s(Run));
  }
  {
    TrayAppRun Run("livebenchidlemin");
    GiveInput();
    if (Run.StartWithMountedVolume("DismountIdleMin=5\r\n").empty()) return std::printf("no mount\n"), 1;
    std::printf("wake-ups over 30 s, one mounted, idle check on:   %lld (target at most 2)\n", WakeUpsOver30s(Run));
    std::printf("still mounted after it: %zu volume(s)\n", TrayAppRun::Mounts().size());
  }
  return 0;
}
