// The standard file dialogs driven from inside their own loop.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include "Files.h"
#include "MinDialogs.h"
#include "TestSupport.h"
#include "Text.h"
#include "WindowTestHelpers.h"

TEST(FileDialogTest, FilterListIndexAndChosenPath) {
  ScratchFolder Folder{"dialog"};
  ASSERT_TRUE(WriteFileBytes(Folder / "TrueCrypt.exe", "MZ"));  // the library's writer: text first
  std::string Path = "stale";
  DelayedAction Choose(300, [] {
    const HWND Dialog = FindWindowW(L"#32770", L"Locate TrueCrypt"), Types = GetDlgItem(Dialog, cmb1);
    wchar_t Text[64] = {};
    SendMessageW(Types, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(Text));
    EXPECT_STREQ(Text, L"Programs(*.exe)");
    EXPECT_EQ(SendMessageW(Types, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(Types, CB_GETCURSEL, 0, 0), 1);
    SetWindowTextW(GetDlgItem(Dialog, GetDlgItem(Dialog, edt1) ? edt1 : cmb13), L"TrueCrypt.exe");
    SendMessageW(GetDlgItem(Dialog, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(FileDialog(true, "Locate TrueCrypt", Folder.Path(),
                       "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe", 2, Path),
            TFileDialogEnd::Chosen);
  EXPECT_EQ(lstrcmpiW(Utf8ToWide(Path).c_str(), Utf8ToWide(Folder / "TrueCrypt.exe").c_str()), 0) << Path;

  // Closed through its hook: "not now", not a cancel.
  DelayedAction PutOff(300, [] { CloseFileDialog(); });
  EXPECT_EQ(FileDialog(true, "Locate TrueCrypt", Folder.Path(), "Programs(*.exe)|*.exe", 1, Path),
            TFileDialogEnd::NotNow);
  EXPECT_TRUE(Path.empty() && !OpenFileDialogWindow());
}
