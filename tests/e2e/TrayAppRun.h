// Runs the real program under Wine and drives it only from outside, as
// Windows and a user would: messages posted to its hidden window, keys
// pressed in its popup menus, the input box answered through its controls,
// and the files, stand-in log and driver table it leaves behind.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Scoped.h"
#include "StandinControl.h"
#include "TestSupport.h"

// Right-click menu entries counted from the bottom.
inline const std::vector<int> ExitWithoutDismount{-1}, ExitAndDismount{-2};

bool WaitUntil(const std::function<bool()>& Condition, DWORD TimeoutMs);
// The desktop's top-level windows, front to back.
std::vector<HWND> TopLevelWindows();
std::string ClassOf(HWND Window);
// The first top-level window of the process with the class, or nullptr.
HWND WindowOf(DWORD ProcessId, const std::string& Class, bool VisibleOnly);
// The exit code, or -1 while the process runs on after TimeoutMs.
int ExitCodeWithin(HANDLE Process, DWORD TimeoutMs);
inline bool Has(const std::string& Text, const std::string& Part) { return Text.find(Part) != std::string::npos; }

class TrayAppRun {
 public:
  // Name becomes the program's file name, so settings, per-user folder and
  // password file are this test's own.
  explicit TrayAppRun(const std::string& Name);
  ~TrayAppRun();
  TrayAppRun(const TrayAppRun&) = delete;
  TrayAppRun& operator=(const TrayAppRun&) = delete;

  // The program's own copy, as Windows names it.
  const std::string& ProgramPath() const { return FProgram; }
  // The next starts run a copy in Folder (without a final backslash).
  void MoveProgramTo(const std::string& Folder);
  std::string SettingsPath() const;
  // The settings file beside the program, which wins when it exists.
  std::string SettingsBesideProgramPath() const { return FFolder / (FName + ".ini"); }
  std::string PasswordFilePath() const;
  std::string LogPath() const;
  // The per-user ".tcvinfo.ini", shared by all runs.
  static std::string AppDataConfigPath();

  // Settings naming the stand-in, plus lines of "Common".
  void WriteSettings(const std::string& CommonLines = "");
  // A stand-in container with its password; returns its path.
  std::string AddContainer(const std::string& FileName, const std::string& Password);
  // Settings and an "Auto" volume "Data" on R: with the default password
  // "secret", started; returns the container, empty on failure.
  std::string StartWithAutoVolume(const std::string& CommonLines = "", const std::string& Params = "");
  // The same with the prompt answered, mounted and announced.
  std::string StartWithMountedVolume(const std::string& CommonLines = "", const std::string& Params = "");

  bool Start(const std::string& Params = "");
  bool Running() const { return FProcess && WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT; }
  // The most memory the program has held at once, in bytes.
  SIZE_T PeakMemory() const;
  // The exit code, or -1 on time-out.
  int WaitForExit(DWORD TimeoutMs = 10000);
  // The hidden window of class "PelmoMinApplicationClass".
  HWND Window() const;
  void Post(UINT Msg, WPARAM WParam, LPARAM LParam = 0) const { PostMessageW(Window(), Msg, WParam, LParam); }
  // What the shell sends (version 4) for a click released with ButtonUp
  // (WM_LBUTTONUP or WM_RBUTTONUP) on the icon: the release, then the select
  // or context-menu notice, anchored at the cursor.
  void PostTrayMouse(UINT ButtonUp) const;
  // Sends as Windows does and waits for the answer; false when none came.
  bool Send(UINT Msg, WPARAM WParam, LPARAM LParam, DWORD_PTR& Answer) const;
  // The arrival or removal (DBT_...) of the volume on Letter, sent as Windows
  // sends it; false when the program did not answer at once.
  bool SendDeviceChange(WPARAM Event, char Letter) const;
  static DWORD SessionId();

  // A visible window of the program ("InputBox", or "#32768" for a menu).
  HWND WaitForWindow(const char* Class, DWORD TimeoutMs = 10000) const;
  static void AnswerInputBox(HWND Box, const std::string& Text);
  // Waits for the input box asking Prompt, or nullptr after 10 s.
  HWND WaitForPrompt(const std::string& Prompt) const;
  // Waits for the input box asking Prompt and answers it.
  bool AnswerPrompt(const std::string& Prompt, const std::string& Text) const;
  // The same on the keyboard: types Text (letters and digits) and presses
  // Enter.
  bool TypeIntoPrompt(const std::string& Prompt, const std::string& Text) const;
  // Opens a tray menu and picks an entry by keyboard: Path[0] down presses
  // (up when negative; separators are skipped), each further level after a
  // right press, then Return. WhileOpen runs once the menu is shown.
  bool ChooseFromMenu(UINT MouseMessage, const std::vector<int>& Path, const std::function<void()>& WhileOpen = {});
  // Voluntary context switches of all the program's threads so far, from
  // /proc; -1 when unknown.
  long long WakeUps() const;

  // The balloon shown now (a tooltip window, new for each balloon). Wine's
  // tooltip does not give its title away, so scenarios check its text.
  static HWND VisibleBalloon();
  // A balloon other than Previous showing Text, or nullptr.
  static HWND WaitForBalloon(const std::string& Text, HWND Previous = nullptr, DWORD TimeoutMs = 10000);
  // Some tray icon's tip (a tooltip window, shown or not) reads Text.
  static bool HasTip(const std::string& Text);

  std::string CommandLog() const { return ReadTextFile(FFolder / "commands.log"); }
  static std::vector<StandinMount> Mounts();
  static bool WaitForMountCount(std::size_t Count, DWORD TimeoutMs = 10000);

 private:
  std::string FName;
  ScratchFolder FFolder;
  std::string FProgram;
  TKernelHandle FProcess;
  DWORD FProcessId = 0;
};
