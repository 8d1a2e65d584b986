// Runs the real program under Wine and drives it only from outside, as
// Windows and a user would: messages posted to its hidden window, keys
// pressed in its popup menus, the input box answered through its controls,
// and the files, stand-in log and driver table it leaves behind.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "StandinControl.h"
#include "TestSupport.h"

// The tray callback and the tray icon's identifier (the program has one).
constexpr UINT TrayCallbackMessage = WM_APP + 0x3008;
constexpr WPARAM TrayIconId = 1;

bool WaitUntil(const std::function<bool()>& Condition, DWORD TimeoutMs);

class TrayAppRun {
public:
  // Name becomes the program's file name, so settings, per-user folder and
  // password file are this test's own.
  explicit TrayAppRun(const std::string& Name);
  ~TrayAppRun();
  TrayAppRun(const TrayAppRun&) = delete;
  TrayAppRun& operator=(const TrayAppRun&) = delete;

  // %APPDATA%\Vaultline\<Name>\ and the files in it.
  std::string UserDir() const;
  std::string SettingsPath() const;
  std::string PasswordFilePath() const;
  // The per-user ".tcvinfo.ini" (shared by all runs: written and removed
  // by each test).
  static std::string AppDataConfigPath();

  // The settings file with the stand-in's path and the given lines of "Common".
  void WriteSettings(const std::string& CommonLines = "");
  std::string ReadSettings() const;
  // A stand-in container with its password; returns its path.
  std::string AddContainer(const std::string& FileName, const std::string& Password);
  void WriteVolumeConfig(const std::string& Text);

  bool Start(const std::string& Params = "");
  bool Running() const;
  // Waits for the program to end; its exit code, or -1 on time-out.
  int WaitForExit(DWORD TimeoutMs = 10000);
  // The hidden window of class "PelmoMinApplicationClass".
  HWND Window() const;

  // The open input box, its prompt and the answer through its controls.
  HWND WaitForInputBox(DWORD TimeoutMs = 10000) const;
  std::string InputBoxPrompt(HWND Box) const;
  void AnswerInputBox(HWND Box, const std::string& Text, bool Ok = true) const;

  void PostTrayMouse(UINT MouseMessage) const;
  void PostSessionChange(WPARAM Code, DWORD Session) const;
  void PostToWindow(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const;
  // The visible popup menu window of the program, or nullptr.
  HWND MenuWindow() const;
  HWND WaitForMenu(DWORD TimeoutMs = 5000) const;
  // Opens a tray menu and picks an entry by keyboard: Downs presses of the
  // down key (separators are skipped), then Return; Path continues into
  // sub-menus (right key, then the given downs, ups when negative).
  bool ChooseFromMenu(UINT MouseMessage, std::vector<int> Path);

  // The balloon the shell shows now (a tooltip window; each balloon is a new
  // one), and its text read out of it. Wine's tooltip does not give its
  // title away, so scenarios check the text and the outcome.
  static HWND VisibleBalloon();
  static std::string BalloonText(HWND Tip);
  // A balloon other than Previous showing Text, or nullptr.
  static HWND WaitForBalloon(const std::string& Text, HWND Previous = nullptr, DWORD TimeoutMs = 10000);

  std::string CommandLog() const;
  std::vector<StandinMount> Mounts() const;
  bool WaitForMountCount(std::size_t Count, DWORD TimeoutMs = 10000);
  // Settings with the stand-in, one "Auto" container volume "Data" on R:
  // with the default password "secret", started and mounted.
  std::string StartWithMountedVolume(const std::string& CommonLines = "",
                                     const std::string& Params = "");
  // The stand-in program the settings name.
  static std::string CryptProgram();

  DWORD SessionId() const;

private:
  void PressMenuKey(HWND Menu, WORD Key) const;
  void DismountLeftovers() const;
  std::string FName;
  ScratchFolder FFolder;
  std::string FProgram;
  PROCESS_INFORMATION FProcess{};
};
