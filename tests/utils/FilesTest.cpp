// Files, folders, file times, text conversion and the library's message
// boxes, on real files and real boxes under Wine.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "Files.h"
#include "StrUtils.h"
#include "TestSupport.h"
#include "UnitStartup.h"

using TBoxes = std::vector<std::string>;

// Runs Call while a second thread answers every message box of this thread
// with Button; returns "caption|text" of each box seen.
static TBoxes BoxesDuring(const std::function<void()>& Call, int Button = IDOK) {
  TBoxes Seen;
  std::atomic<bool> Done{false};
  const DWORD Caller = GetCurrentThreadId();
  std::thread Watcher([&] {
    auto TextOf = [](HWND Wnd) { wchar_t Buf[1024] = {}; GetWindowTextW(Wnd, Buf, 1024); return WideToUtf8(Buf); };
    for (bool Last = false; !Last; Sleep(20)) {
      Last = Done;
      for (HWND Box = nullptr; (Box = FindWindowExW(nullptr, Box, L"#32770", nullptr));) {
        if (GetWindowThreadProcessId(Box, nullptr) != Caller || !IsWindowVisible(Box)) continue;
        Seen.push_back(TextOf(Box) + "|" + TextOf(GetDlgItem(Box, 0xFFFF)));  // 0xFFFF: the message text
        PostMessageW(Box, WM_COMMAND, MAKEWPARAM(Button, BN_CLICKED), LPARAM(GetDlgItem(Box, Button)));
        for (int i = 0; i < 250 && IsWindow(Box); ++i) Sleep(20);
      }
    }
  });
  Call();
  Done = true;
  Watcher.join();
  return Seen;
}

TEST(UtilsMessageBoxes, ShowMsgShowsOneErrorBoxAndWithoutItNothing) {
  ScratchFolder Dir("utils");
  EXPECT_EQ(BoxesDuring([&] { EXPECT_EQ(FileOpenEx(Dir / "none", fmOpenRead, true), INVALID_HANDLE_VALUE); }),
            TBoxes{"Error|" + SystemErrorText(ERROR_FILE_NOT_FOUND)});
  EXPECT_EQ(BoxesDuring([&] {
    EXPECT_FALSE(FileExistsEx(Dir / "missing"));
    EXPECT_FALSE(FileDeleteEx(Dir / "missing"));
    EXPECT_EQ(FileCreateEx("bare.txt"), INVALID_HANDLE_VALUE);
    // These stay silent even when asked to report.
    EXPECT_FALSE(WriteTextFile("x", Dir / "no\\such\\f.txt", true));
  }), TBoxes{});
}

TEST(UtilsFiles, ForceDirsCreateAndOpenModes) {
  ScratchFolder Dir("utils");
  EXPECT_TRUE(ForceDirsEx(Dir / "a\\b/c\\") && DirExistsEx(Dir / "a\\b\\c"));
  ASSERT_TRUE(WriteTextFile("x", Dir / "f", false));
  EXPECT_FALSE(ForceDirsEx(Dir / "f\\g"));  // a file in the way

  const std::string F = Dir / "new\\dir\\f.bin";
  char Buf[8];
  EXPECT_EQ(FileOpenEx(F, fmOpenRead), INVALID_HANDLE_VALUE);
  FileCloseHandle(FileCreateEx(F));
  HANDLE H = FileOpenEx(F, fmOpenWrite | fmCreate);
  EXPECT_EQ(FileReadBuf(H, Buf, 8), -1);
  EXPECT_EQ(FileWriteBuf(H, "data", 4), 4);
  FileCloseHandle(H);
  H = FileOpenEx(F, fmOpenRead | fmCreate);  // existing: contents kept
  EXPECT_EQ(FileWriteBuf(H, "x", 1), -1);
  EXPECT_EQ(FileReadBuf(H, Buf, 8), 4);
  FileCloseHandle(H);
  struct { uint32_t First, Second; bool SecondOpens; } Cases[] = {
      {fmOpenRead | fmShareExclusive, fmOpenRead, false},  {fmOpenRead | fmShareDenyWrite, fmOpenRead, true},
      {fmOpenRead | fmShareDenyWrite, fmOpenWrite, false}, {fmOpenWrite | fmShareDenyRead, fmOpenRead, false},
  };
  for (const auto& C : Cases) {
    HANDLE A = FileOpenEx(F, C.First), B = FileOpenEx(F, C.Second | fmShareDenyNone);
    EXPECT_EQ(std::make_pair(A != INVALID_HANDLE_VALUE, B != INVALID_HANDLE_VALUE), std::make_pair(true, C.SecondOpens))
        << C.First << " then " << C.Second;
    FileCloseHandle(B); FileCloseHandle(A);
  }
  EXPECT_EQ(FileOpenEx(F, fmOpenRead | 0x50), INVALID_HANDLE_VALUE);  // no such sharing
}

TEST(UtilsFiles, WriteCopyAndDelete) {
  ScratchFolder Dir("utils");
  const std::string Src = Dir / "gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC.txt", Dst = Dir / "dst.txt", Deep = Dir / "x\\y\\d.txt";
  ASSERT_TRUE(WriteTextFile("line\r\nsecond \xC3\xA4", Src, false));
  EXPECT_NE(GetFileAttributesW((Utf8ToWide(Dir.Path()) + L"\\gr\u00FC\u00DF" L"e \u20AC.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(WriteTextFile("other", Dst, false));
  EXPECT_TRUE(FileCopy(Src, Dst));  // over an existing file
  EXPECT_EQ(ReadTextFile(Dst), "line\r\nsecond \xC3\xA4");
  EXPECT_FALSE(FileCopy(Src, Deep));
  EXPECT_TRUE(ForceDirsEx(ExtractDir(Deep)) && FileCopy(Src, Deep));

  // Files only: a folder stays.
  EXPECT_EQ(BoxesDuring([&] { EXPECT_FALSE(FileDeleteEx(Dir / "x", true)); }),
            TBoxes{"Error|Unable to delete file or folder \"" + (Dir / "x") + "\""});
  AppTitle = "Utils Test Title";
  EXPECT_EQ(BoxesDuring([&] { EXPECT_FALSE(FileDeleteEx(Deep, true, true)); }, IDCANCEL),
            TBoxes{"Utils Test Title|Delete \"" + Deep + "\"?"});
  EXPECT_TRUE(FileExistsEx(Deep));
  EXPECT_EQ(BoxesDuring([&] { EXPECT_TRUE(FileDeleteEx(Deep, true, true)); }).size(), 1u);
  EXPECT_FALSE(FileExistsEx(Deep));
}

TEST(UtilsFiles, TimesRoundTripWithinAMillisecond) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "t.txt";
  ASSERT_TRUE(WriteTextFile("x", F, false));
  // 15 June 2021 13:45:31 (summer time) falls to the even second.
  const double Stamp = 44362.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
  ASSERT_EQ(SetFileDateTime(F, Stamp + 1.0 / 86400), 0u);
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), Stamp));
  ASSERT_EQ(SetFileDateTime(F, 44197.25), 0u);  // winter time
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), 44197.25));
  // Outside the DOS range: refused, time kept.
  EXPECT_EQ(SetFileDateTime(F, 100.0), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), 44197.25));
}

TEST(UtilsFolders, StartupNamesAndText) {
  ProgramName.clear();
  AppTitle = "Title";  // kept when set
  InitUtilsUnit();
  EXPECT_EQ(ProgramName + "|" + AppTitle, "UtilsFilesTest|Title");
  const std::string Emoji = "A\xF0\x9F\x98\x80";  // a surrogate pair in UTF-16
  EXPECT_EQ(Utf8ToWide(Emoji), std::wstring(L"A\U0001F600"));
  EXPECT_TRUE(SameTextUtf8("\xC3\x84rger", "\xC3\xA4RGER"));
}
