// Locating the encryption program: remembered path, default locations, type and version level.
#include "Files.h"
#include "Text.h"
#include "VolumeControlFixture.h"
#include <commdlg.h>
#include <dlgs.h>
#include "StandinControl.h"

namespace {
// Acts once on the program's file dialog, from a thread timer inside its loop.
std::function<void(HWND Dialog)> Act;
int Shown = 0;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
  const HWND Dialog = FindWindowW(L"#32770", L"Select Crypt Application");
  if (Dialog && IsWindowVisible(Dialog) && Act && !Shown++) Act(Dialog);
}

void Cancel(HWND Dialog) { SendMessageW(GetDlgItem(Dialog, IDCANCEL), BM_CLICK, 0, 0); }

std::string ReadPath(const std::string& Settings) {
  TMinIniFile Reader(Settings, false);
  Reader.Section = "Common";
  return Reader.ReadWriteString("Path", "<absent>");
}

class CryptProgramTest : public VolumeControlTest {
protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    CryptProgramPath.clear();
    CryptVersionLevel = Shown = 0;
    Act = Cancel;
    Timer = SetTimer(nullptr, 0, 30, DriveDialog);
  }
  void TearDown() override {
    KillTimer(nullptr, Timer), Act = nullptr;
    VolumeControlTest::TearDown();
  }
  UINT_PTR Timer = 0;
};

TEST_F(CryptProgramTest, RememberedProgramGivesTypeAndVersionLevel) {
  ScratchFolder Folder("locator");
  ASSERT_TRUE(FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Folder / "truecrypt.exe"));
  using enum StandinBuild;
  for (const auto& [Program, Level, TrueCrypt] :
       {std::tuple{StandinProgramPath(VeraCrypt121), 119, false}, {StandinProgramPath(VeraCrypt116), 115, false},
        {StandinProgramPath(VeraCrypt113), 114, false}, {Folder / "truecrypt.exe", 114, true}}) {
    SCOPED_TRACE(Program);
    CryptProgramPath.clear();
    RememberCryptProgram(Program);
    std::string Path = "stale";
    EXPECT_TRUE(FindCryptProgram(Path));
    EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
    EXPECT_EQ(std::pair(CryptVersionLevel, CryptIsTrueCrypt), std::pair(Level, TrueCrypt));
  }
  EXPECT_EQ(Shown, 0);
}

TEST_F(CryptProgramTest, DialogOpensAtTheDefaultTrueCryptLocation) {
  for (const char* Root : {"C:\\Program Files", "C:\\Program Files (x86)"})
    ASSERT_FALSE(FileExistsEx(std::string(Root) + "\\VeraCrypt\\VeraCrypt.exe"));
  const std::string Folder = "C:\\Program Files (x86)\\TrueCrypt", Program = Folder + "\\TrueCrypt.exe";
  ASSERT_TRUE(ForceDirsEx(Folder) && FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Program));
  RememberCryptProgram("C:\\nowhere\\VeraCrypt.exe");  // stale
  wchar_t FolderShown[MAX_PATH] = {};
  LRESULT Filter = -1;
  Act = [&](HWND Dialog) {
    SendMessageW(Dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(FolderShown));
    Filter = SendMessageW(GetDlgItem(Dialog, cmb1), CB_GETCURSEL, 0, 0);
    Cancel(Dialog);
  };
  std::string Path = "stale";
  EXPECT_FALSE(FindCryptProgram(Path));
  EXPECT_EQ(Shown, 1);
  EXPECT_TRUE(SameTextUtf8(WideToUtf8(FolderShown), Folder)) << WideToUtf8(FolderShown);
  EXPECT_EQ(Filter, 1);  // the TrueCrypt pair
  // Cancel: nothing known, and the stale choice is forgotten.
  EXPECT_EQ(Path, "");
  EXPECT_EQ(ReadPath(UserSettings()), "");
  FileDelete(Program);
  RemoveDirectoryW(Utf8ToWide(Folder).c_str());
}

TEST_F(CryptProgramTest, ChoiceIsRememberedInThePerUserSettingsOnly) {
  const std::string Beside = ProgramFolderSettings();
  ASSERT_TRUE(WriteFileBytes(Beside, "[Common]\r\nIcon=\r\n"));
  ASSERT_EQ(SettingsFileName(), Beside);
  // Asked again while the dialog is open (a tick inside its loop): no
  // program and no second dialog.
  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt119);
  bool NestedFound = true;
  std::string NestedPath = "stale", Path;
  Act = [&](HWND Dialog) {
    NestedFound = FindCryptProgram(NestedPath);
    const HWND Edit = GetDlgItem(Dialog, edt1);
    SetWindowTextW(Edit ? Edit : GetDlgItem(Dialog, cmb13), Utf8ToWide(Program).c_str());
    SendMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
  };
  EXPECT_TRUE(FindCryptProgram(Path));
  EXPECT_EQ(Shown, 1);
  EXPECT_FALSE(NestedFound);
  EXPECT_EQ(NestedPath, "");
  EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
  EXPECT_TRUE(SameTextUtf8(ReadPath(UserSettings()), Program));
  EXPECT_EQ(ReadPath(Beside), "<absent>");
}

}  // namespace
