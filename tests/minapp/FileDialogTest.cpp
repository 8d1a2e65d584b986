#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <functional>
#include <memory>

#include "Files.h"
#include "MinApp.h"
#include "MinDialogs.h"
#include "TestSupport.h"

namespace {

// Acts on the open dialog from a thread timer, i.e. from inside its loop.
std::function<void(HWND Dialog)> Driver;
const wchar_t* DialogTitle = L"";
UINT_PTR DriverTimer = 0;

void CALLBACK DriveOpenDialog(HWND, UINT, UINT_PTR, DWORD) {
  const HWND Dialog = FindWindowW(L"#32770", DialogTitle);
  if (!Dialog || !IsWindowVisible(Dialog)) return;
  KillTimer(nullptr, DriverTimer);
  Driver(Dialog);
}

bool RunFileDialog(bool Open, const wchar_t* Title, const std::string& Folder, const std::string& Filter,
                   UINT FilterIndex, std::vector<std::string>& Files, std::function<void(HWND Dialog)> Drive) {
  Driver = std::move(Drive);
  DialogTitle = Title;
  DriverTimer = SetTimer(nullptr, 0, 50, DriveOpenDialog);
  const bool Chosen = FileDialog(Open, WideToUtf8(Title), Folder, Filter, FilterIndex, Files);
  KillTimer(nullptr, DriverTimer);
  return Chosen;
}

std::wstring ItemText(HWND Combo, int Index) {
  wchar_t Buffer[256] = {};
  SendMessageW(Combo, CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(Buffer));
  return Buffer;
}

void ChooseFile(HWND Dialog, const wchar_t* Name) {
  HWND Edit = GetDlgItem(Dialog, edt1);
  if (!Edit) Edit = GetDlgItem(Dialog, cmb13);
  ASSERT_NE(Edit, nullptr);
  SetWindowTextW(Edit, Name);
  SendMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
}

bool SamePath(const std::string& A, const std::string& B) { return lstrcmpiW(Utf8ToWide(A).c_str(), Utf8ToWide(B).c_str()) == 0; }

class FileDialogTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { App = std::make_unique<TMinApplication>("File Dialog Test"); }
  static void TearDownTestSuite() { App.reset(); }
  static std::unique_ptr<TMinApplication> App;
  ScratchFolder Folder{"dialog"};
  const std::string Filter = "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe";
};
std::unique_ptr<TMinApplication> FileDialogTest::App;

}  // namespace

TEST_F(FileDialogTest, OpenShowsTheFilterListAndReturnsTheChosenPath) {
  // The library's writer (text first): the test helper of the same name takes the path first.
  ASSERT_TRUE(WriteTextFile("MZ", Folder / "TrueCrypt.exe", false));
  std::vector<std::string> Files{"stale"};
  const bool Chosen = RunFileDialog(true, L"Locate TrueCrypt", Folder.Path(), Filter, 2, Files, [](HWND Dialog) {
    const HWND Types = GetDlgItem(Dialog, cmb1);
    EXPECT_EQ(SendMessageW(Types, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(Types, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ItemText(Types, 0), L"VeraCrypt");
    EXPECT_EQ(ItemText(Types, 2), L"Programs(*.exe)");
    ChooseFile(Dialog, L"TrueCrypt.exe");
  });
  EXPECT_TRUE(Chosen);
  ASSERT_EQ(Files.size(), 1u);
  EXPECT_TRUE(SamePath(Files[0], Folder / "TrueCrypt.exe")) << Files[0];
}

TEST_F(FileDialogTest, SaveReturnsANewPath) {
  std::vector<std::string> Files;
  const bool Chosen = RunFileDialog(false, L"Save Config", Folder.Path(), "", 0, Files, [](HWND Dialog) {
    const HWND Types = GetDlgItem(Dialog, cmb1);
    EXPECT_TRUE(!Types || SendMessageW(Types, CB_GETCOUNT, 0, 0) == 0) << "a type list without a filter";
    ChooseFile(Dialog, L"new \u00E4.ini");
  });
  EXPECT_TRUE(Chosen);
  ASSERT_EQ(Files.size(), 1u);
  EXPECT_TRUE(SamePath(Files[0], Folder / "new \xC3\xA4.ini")) << Files[0];
}

TEST_F(FileDialogTest, CancelGivesNoFile) {
  std::vector<std::string> Files{"stale"};
  const bool Chosen = RunFileDialog(true, L"Locate VeraCrypt", Folder.Path(), Filter, 1, Files, [](HWND Dialog) {
    SendMessageW(GetDlgItem(Dialog, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_FALSE(Chosen);
  EXPECT_TRUE(Files.empty());
}
