// Names outside ASCII: a user's application-data folder, a container path
// and a definition saved as UTF-16, through the real program.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>

#include "Files.h"
#include "PasswordRecord.h"
#include "Text.h"
#include "TrayAppRun.h"

namespace {

// "Zoë" and "山田" in UTF-8.
const std::string Zoe = "Zo\xC3\xAB", Yamada = "\xE5\xB1\xB1\xE7\x94\xB0";

// Moves the application-data folder for the programs started meanwhile, as
// a user profile under such a name has it.
class AppDataMovedTo {
 public:
  explicit AppDataMovedTo(const std::string& Folder) {
    for (const wchar_t* Key : Keys) {
      Saved.push_back(Read(Key));
      Write(Key, Utf8ToWide(Folder));
    }
  }
  ~AppDataMovedTo() {
    for (std::size_t I = 0; I < std::size(Keys); ++I) Write(Keys[I], Saved[I]);
  }

 private:
  static constexpr const wchar_t* Keys[] = {
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
  static std::wstring Read(const wchar_t* Key) {
    wchar_t Value[MAX_PATH] = {};
    DWORD Size = sizeof Value;
    RegGetValueW(HKEY_CURRENT_USER, Key, L"AppData", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                 Value, &Size);
    return Value;
  }
  static void Write(const wchar_t* Key, const std::wstring& Value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, Key, L"AppData", REG_SZ, Value.c_str(), DWORD((Value.size() + 1) * 2));
  }
  std::vector<std::wstring> Saved;
};

// Picks the program in the open program dialog.
bool ChooseProgram(HWND Dialog, const std::string& Program) {
  if (!Dialog) return false;
  const HWND Edit = GetDlgItem(Dialog, edt1);
  SetWindowTextW(Edit ? Edit : GetDlgItem(Dialog, cmb13), Utf8ToWide(Program).c_str());
  SendMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
  return true;
}

// Waits for the volume, then ends the program with Exit And Dismount All.
void ExitAfterTheMount(TrayAppRun& App) {
  ASSERT_TRUE(App.WaitForMountCount(1));
  ASSERT_TRUE(App.ChooseFromMenu(WM_RBUTTONUP, ExitAndDismount));
  ASSERT_EQ(App.WaitForExit(), 0);
  ASSERT_TRUE(App.WaitForMountCount(0));
}

std::string Utf16Le(const std::string& Text) {
  const std::wstring Wide = Utf8ToWide(Text);
  return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2);
}

}  // namespace

// The default password is carried over to the next start through "1.d" only
// when it is saved, never through the log nor from a truncated file.
TEST(TrayAppUnicode, UserFolderWithNonAsciiNamesKeepsProgramPasswordAndVolumes) {
  ScratchFolder Profile("profile");
  const std::string AppData = Profile / (Zoe + "\\" + Yamada);
  ASSERT_TRUE(ForceDirsEx(AppData));
  const AppDataMovedTo Moved(AppData);
  TrayAppRun App("e2eappdata");
  ASSERT_TRUE(Has(App.SettingsPath(), Yamada)) << App.SettingsPath();
  const std::string Container = App.AddContainer(Zoe + " " + Yamada + ".hc", "secret");
  ASSERT_TRUE(WriteFileBytes(App.SettingsPath(), "[Common]\r\nSavePass=0\r\nRememberPassMin=5\r\n"));
  // Saved as Notepad's "Unicode" does.
  ASSERT_TRUE(WriteFileBytes(TrayAppRun::AppDataConfigPath(),
                             Utf16Le("[" + Zoe + "]\r\nFile=" + Container + "\r\nLetter=R\r\nAuto=1\r\n")));
  const auto MountWithThePromptAndExit = [&] {
    ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
    ExitAfterTheMount(App);
  };

  // First start: the program is asked for once, the volume mounts.
  ASSERT_TRUE(App.Start());
  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt121);
  ASSERT_TRUE(ChooseProgram(App.WaitForWindow("#32770"), Program));
  MountWithThePromptAndExit();
  const std::string Settings = ReadTextFile(App.SettingsPath()), Log = ReadTextFile(App.LogPath());
  EXPECT_TRUE(Has(Settings, "Path=" + Program));
  EXPECT_LE(ReadTextFile(App.PasswordFilePath()).size(), NoPasswordFile().size());
  EXPECT_TRUE(Has(Log, "Volume Mounted : OK - " + Zoe + " (R:)\r\n") && !Has(Log, "secret")) << Log;

  // Not saved: asked again; now saved.
  ASSERT_TRUE(
      WriteFileBytes(App.SettingsPath(), "[Common]\r\nPath=" + Program + "\r\nSavePass=1\r\nRememberPassMin=5\r\n"));
  ASSERT_TRUE(App.Start());
  MountWithThePromptAndExit();
  const std::string Saved = ReadTextFile(App.PasswordFilePath());
  EXPECT_GT(Saved.size(), NoPasswordFile().size());
  EXPECT_FALSE(Has(Saved, "secret"));

  // Neither the program nor the password is asked for.
  ASSERT_TRUE(App.Start());
  EXPECT_TRUE(App.WaitForMountCount(1));
  EXPECT_EQ(App.WaitForWindow("#32770", 500), nullptr);
  EXPECT_EQ(App.WaitForWindow("InputBox", 0), nullptr);
  const std::string Mount = "/q /s /v \"" + Container + "\" /l R /m label=" + Zoe + " /p secret\n";
  EXPECT_EQ(App.CommandLog(), Mount + "/q /s /d R /f\n" + Mount + "/q /s /d R /f\n" + Mount);

  ExitAfterTheMount(App);

  // A truncated file is not read.
  WriteFileBytes(App.PasswordFilePath(), Saved.substr(0, Saved.size() - 1));
  ASSERT_TRUE(App.Start());
  ASSERT_TRUE(App.AnswerPrompt("Default Password:", "secret"));
  EXPECT_TRUE(App.WaitForMountCount(1));
}
