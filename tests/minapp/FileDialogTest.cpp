// The standard file dialog driven from inside its own loop. A path chosen in
// it is covered by the program's first start with a non-ASCII user folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include "MinDialogs.h"
#include "WindowTestHelpers.h"

// Closed through its hook: "not now", not a cancel.
TEST(FileDialogTest, ShowsTheFilterListAtItsIndexAndClosedItIsNotNow) {
  std::string Path = "stale";
  DelayedAction Close(300, [] {
    const HWND Types = GetDlgItem(FindWindowW(L"#32770", L"Locate TrueCrypt"), cmb1);
    wchar_t Text[64] = {};
    SendMessageW(Types, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(Text));
    EXPECT_STREQ(Text, L"Programs(*.exe)");
    EXPECT_EQ(SendMessageW(Types, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(Types, CB_GETCURSEL, 0, 0), 1);
    CloseFileDialog();
  });
  EXPECT_EQ(FileDialog(true, "Locate TrueCrypt", "C:\\",
                       "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe", 2, Path),
            TFileDialogEnd::NotNow);
  EXPECT_TRUE(Close.Ran() && Path.empty() && !OpenFileDialogWindow());
}
