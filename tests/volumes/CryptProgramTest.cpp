// Locating the encryption program: the remembered path, the default install
// locations offered in the file dialog, the program type and version level,
// and where the choice is remembered.
#include "VolumeControlFixture.h"

#include <commdlg.h>
#include <dlgs.h>

#include "ConfigFiles.h"
#include "Files.h"
#include "MinIniFile.h"
#include "StandinControl.h"
#include "TestSupport.h"

namespace {

// Acts on the program's file dialog from a thread timer, inside its loop.
struct DialogDriver {
  std::function<void(HWND Dialog)> Act;
  int Shown = 0;
};
DialogDriver* Driver = nullptr;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR, DWORD) {
  const HWND Dialog = FindWindowW(L"#32770", L"Select Crypt Application");
  if (!Dialog || !IsWindowVisible(Dialog) || !Driver || Driver->Shown) return;
  ++Driver->Shown;
  Driver->Act(Dialog);
}

std::wstring FolderShown(HWND Dialog) {
  wchar_t Buffer[MAX_PATH] = {};
  SendMessageW(Dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(Buffer));
  return Buffer;
}

void Cancel(HWND Dialog) { SendMessageW(GetDlgItem(Dialog, IDCANCEL), BM_CLICK, 0, 0); }

void Choose(HWND Dialog, const std::string& Path) {
  HWND Edit = GetDlgItem(Dialog, edt1);
  if (!Edit) Edit = GetDlgItem(Dialog, cmb13);
  SetWindowTextW(Edit, Utf8ToWide(Path).c_str());
  SendMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
}

class CryptProgramTest : public VolumeControlTest {
protected:
  void SetUp() override {
    VolumeControlTest::SetUp();
    FileDelete(UserSettings());
    CryptIsTrueCrypt = false;
    CryptVersionLevel = 0;
    Driver = &Dialogs;
    Dialogs.Act = [](HWND Dialog) { Cancel(Dialog); };
    Timer = SetTimer(nullptr, 0, 30, DriveDialog);
  }
  void TearDown() override {
    KillTimer(nullptr, Timer);
    Driver = nullptr;
    VolumeControlTest::TearDown();
  }

  static std::string ReadPath(const std::string& Settings) {
    TMinIniFile Reader(Settings, false);
    Reader.Section = "Common";
    return Reader.ReadWriteString("Path", "<absent>");
  }

  // Located through the remembered path; the dialog must not open.
  void Locate(const std::string& Program) {
    CryptProgramPath.clear();
    RememberCryptProgram(Program);
    std::string Path = "stale";
    EXPECT_TRUE(FindCryptProgram(Path));
    EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
    EXPECT_EQ(Dialogs.Shown, 0);
  }

  DialogDriver Dialogs;
  UINT_PTR Timer = 0;
};

}  // namespace

TEST_F(CryptProgramTest, RememberedVeraCryptGivesItsVersionLevel) {
  const struct {
    StandinBuild Build;
    int32_t Level;
  } Cases[] = {{StandinBuild::VeraCrypt121, 119}, {StandinBuild::VeraCrypt119, 119},
               {StandinBuild::VeraCrypt116, 115}, {StandinBuild::VeraCrypt115, 115},
               {StandinBuild::VeraCrypt113, 114}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(StandinProgramPath(Case.Build));
    Locate(StandinProgramPath(Case.Build));
    EXPECT_FALSE(CryptIsTrueCrypt);
    EXPECT_EQ(CryptVersionLevel, Case.Level);
  }
}

TEST_F(CryptProgramTest, TrueCryptByFileNameLeavesTheLevelAlone) {
  CryptVersionLevel = 115;
  Locate(StandinProgramPath(StandinBuild::TrueCrypt71a));
  EXPECT_TRUE(CryptIsTrueCrypt);
  EXPECT_EQ(CryptVersionLevel, 115);

  ScratchFolder Folder("locator");
  ASSERT_TRUE(FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Folder / "truecrypt.exe"));
  CryptIsTrueCrypt = false;
  Locate(Folder / "truecrypt.exe");
  EXPECT_TRUE(CryptIsTrueCrypt);
}

TEST_F(CryptProgramTest, KnownPathIsOnlyTestedForExistence) {
  Locate(StandinProgramPath(StandinBuild::VeraCrypt116));
  // Another remembered path does not matter while the known file exists.
  RememberCryptProgram(StandinProgramPath(StandinBuild::VeraCrypt121));
  std::string Path;
  EXPECT_TRUE(FindCryptProgram(Path));
  EXPECT_TRUE(SameTextUtf8(Path, StandinProgramPath(StandinBuild::VeraCrypt116)));
  EXPECT_EQ(CryptVersionLevel, 115);
}

TEST_F(CryptProgramTest, DialogOpensAtTheDefaultTrueCryptLocation) {
  for (const char* Root : {"C:\\Program Files", "C:\\Program Files (x86)"})
    ASSERT_FALSE(FileExistsEx(std::string(Root) + "\\VeraCrypt\\VeraCrypt.exe"));
  const std::string Folder = "C:\\Program Files (x86)\\TrueCrypt";
  const std::string Program = Folder + "\\TrueCrypt.exe";
  ASSERT_TRUE(ForceDirsEx(Folder));
  ASSERT_TRUE(FileCopy(StandinProgramPath(StandinBuild::TrueCrypt71a), Program));

  std::string InitialDir;
  uint32_t FilterIndex = 1;
  FindDefaultCryptProgram(InitialDir, FilterIndex);
  EXPECT_EQ(InitialDir, Folder);
  EXPECT_EQ(FilterIndex, 2u);

  std::wstring Shown;
  LRESULT Filter = -1;
  Dialogs.Act = [&](HWND Dialog) {
    Shown = FolderShown(Dialog);
    Filter = SendMessageW(GetDlgItem(Dialog, cmb1), CB_GETCURSEL, 0, 0);
    Cancel(Dialog);
  };
  std::string Path = "stale";
  EXPECT_FALSE(FindCryptProgram(Path));
  EXPECT_EQ(Dialogs.Shown, 1);
  EXPECT_TRUE(SameTextUtf8(WideToUtf8(Shown), Folder)) << WideToUtf8(Shown);
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
  RememberCryptProgram("C:\\nowhere\\VeraCrypt.exe");  // stale

  const std::string Program = StandinProgramPath(StandinBuild::VeraCrypt119);
  Dialogs.Act = [&](HWND Dialog) { Choose(Dialog, Program); };
  std::string Path;
  EXPECT_TRUE(FindCryptProgram(Path));
  EXPECT_EQ(Dialogs.Shown, 1);
  EXPECT_TRUE(SameTextUtf8(Path, Program)) << Path;
  EXPECT_EQ(CryptVersionLevel, 119);
  EXPECT_TRUE(SameTextUtf8(ReadPath(UserSettings()), Program));
  EXPECT_EQ(ReadPath(Beside), "<absent>");
  FileDelete(Beside);
}

TEST_F(CryptProgramTest, AskedAgainWhileTheDialogIsOpenGivesNothing) {
  // A tick or a menu inside the dialog's loop must not open a second one.
  bool NestedFound = true;
  std::string NestedPath = "stale";
  Dialogs.Act = [&](HWND Dialog) {
    NestedFound = FindCryptProgram(NestedPath);
    Choose(Dialog, StandinProgramPath(StandinBuild::VeraCrypt121));
  };
  std::string Path;
  EXPECT_TRUE(FindCryptProgram(Path));
  EXPECT_EQ(Dialogs.Shown, 1);
  EXPECT_FALSE(NestedFound);
  EXPECT_EQ(NestedPath, "");
}
