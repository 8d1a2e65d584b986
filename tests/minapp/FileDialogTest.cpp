// The standard file dialog driven from inside its own loop. A path chosen in
// it is covered by the program's first start with a non-ASCII user folder.
#include <gtest/gtest.h>
#include <windows.h>

#include "MinDialogs.h"
#include "WindowTestHelpers.h"

// Closed through its hook: "not now", not a cancel.
TEST(FileDialogTest, ClosedItIsNotNow) {
  std::string Path = "stale";
  DelayedAction Close(300, [] { CloseFileDialog(); });
  EXPECT_EQ(FileDialog(true, "Locate TrueCrypt", "C:\\",
                       "VeraCrypt|VeraCrypt.exe|TrueCrypt|TrueCrypt.exe|Programs(*.exe)|*.exe", 2, Path),
            TFileDialogEnd::NotNow);
  EXPECT_TRUE(Close.Ran() && Path.empty() && !OpenFileDialogWindow());
}
