// Locating the encryption program: the remembered path, the default install
// locations offered in the file dialog, the program type and version level,
// and where the choice is remembered.
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

void Choose(HWND Dialog, const std::string& Path) {
  HWND Edit = GetDlgItem(Dialog, edt1);
  if (!Edit) Edit = GetDlgItem(Dialog, cmb13);
  SetWindowTextW(Edit, Utf8ToWide(Path).c_str());
  SendMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
}

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
    CryptVersionLevel = 0;
    Shown = 0;
    Act = Cancel;
    Timer = SetTimer(nullptr, 0, 30, DriveDialog);
  }
  void TearDown() override {
    KillTimer(nullptr, Timer);
    Act = nullptr;
    VolumeControlTest::TearDown();
  }

  // Located through the remembered path; the dialog must not open.
  static void Locate(const std::string& Program) {
    CryptProgramPath.clear();
    RememberCryptProgram(Program);
    std::string Path = "stale";
    EXPECT_TRUE(FindCryptProgram(Path));
    EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
    EXPECT_EQ(Shown, 0);
  }

  UINT_PTR Timer = 0;
};

TEST_F(CryptProgramTest, RememberedProgramGivesTypeAndVersionLevel) {
  const std::pair<StandinBuild, int32_t> Cases[] = {{StandinBuild::VeraCrypt121, 119}, {StandinBuild::VeraCrypt119, 119},
                                                    {StandinBuild::VeraCrypt116, 115}, {StandinBuild::VeraCrypt115, 115},
                                                    {StandinBuild::VeraCrypt113, 114}};
  for (auto [Build, Level] : Cases) {
    SCOPED_TRACE(StandinProgramPath(Build));
    Locate(StandinProgramPath(Build));
    EXPECT_FALSE(CryptIsTrueCrypt);
    EXPECT_EQ(CryptVersionLevel, Level);
  }
  // A known path is only tested for existence: another remembered one does not matter.
  RememberCryptProgram(StandinProgramPath(StandinBuild::VeraCrypt121));
  std::string Path;
  EXPECT_TRUE(FindCryptProgram(Path));
  EXPECT_TRUE(SameTextUtf8(Path, StandinProgramPath(StandinBuild::VeraCrypt113)));

  // TrueCrypt is known by the file name, whatever its case; the level is left alone.
  ScratchFolder Folder("locator");
  ASSERT_TRUE(FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Folder / "truecrypt.exe"));
  Locate(Folder / "truecrypt.exe");
  EXPECT_TRUE(CryptIsTrueCrypt);
  EXPECT_EQ(CryptVersionLevel, 114);
}

TEST_F(CryptProgramTest, DialogOpensAtTheDefaultTrueCryptLocation) {
  for (const char* Root : {"C:\\Program Files", "C:\\Program Files (x86)"})
    ASSERT_FALSE(FileExistsEx(std::string(Root) + "\\VeraCrypt\\VeraCrypt.exe"));
  const std::string Folder = "C:\\Program Files (x86)\\TrueCrypt", Program = Folder + "\\TrueCrypt.exe";
  ASSERT_TRUE(ForceDirsEx(Folder));
  ASSERT_TRUE(FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Program));
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
  // A settings file next to the program is the one SettingsFileName names.
  const std::string Beside = GetProgramFolder() + ProgramName + ".ini";
  ASSERT_TRUE(WriteTextFile("[Common]\r\nIcon=\r\n", Beside, false));
  ASSERT_EQ(SettingsFileName(), Beside);

  // Asked again while the dialog is open (a tick or a menu inside its
  // loop): no program and no second dialog.
  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt119);
  bool NestedFound = true;
  std::string NestedPath = "stale";
  Act = [&](HWND Dialog) {
    NestedFound = FindCryptProgram(NestedPath);
    Choose(Dialog, Program);
  };
  std::string Path;
  EXPECT_TRUE(FindCryptProgram(Path));
  EXPECT_EQ(Shown, 1);
  EXPECT_FALSE(NestedFound);
  EXPECT_EQ(NestedPath, "");
  EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
  EXPECT_EQ(CryptVersionLevel, 119);
  EXPECT_TRUE(SameTextUtf8(ReadPath(UserSettings()), Program));
  EXPECT_EQ(ReadPath(Beside), "<absent>");
}

}  // namespace
