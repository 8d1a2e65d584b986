// Files, folders, file times, text conversion and the library's message
// boxes, on real files and real boxes under Wine.
#include <gtest/gtest.h>

#include "BoxWatcher.h"
#include "Files.h"
#include "StrUtils.h"
#include "TestSupport.h"
#include "UnitStartup.h"

namespace {

// Runs Call while a watcher answers boxes with Button; the boxes seen.
template <class F>
std::vector<TSeenBox> BoxesDuring(F Call, int Button = IDOK) {
  TBoxWatcher Watcher(Button);
  Call();
  return Watcher.Stop();
}

void ExpectOneErrorBox(const std::vector<TSeenBox>& Boxes, const std::string& Text) {
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Caption, "Error");
  EXPECT_EQ(Boxes[0].Text, Text);
}

}  // namespace

TEST(UtilsMessageBoxes, ShowMsgShowsOneErrorBoxWithTheText) {
  ScratchFolder Dir("utils");
  ASSERT_TRUE(WriteTextFile("x", Dir / "f.txt", false));
  ExpectOneErrorBox(BoxesDuring([] { EXPECT_FALSE(FileExistsEx("", true)); }), "File or folder \"\" is not exists");
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_FALSE(DirExistsEx(Dir / "f.txt", true)); }),
                    "File or folder \"" + (Dir / "f.txt") + "\" is not exists");
  // Files only: a folder is not deleted.
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_FALSE(FileDeleteEx(Dir.Path(), true)); }),
                    "Unable to delete file or folder \"" + Dir.Path() + "\"");
  EXPECT_TRUE(DirExistsEx(Dir.Path()));
  // A failed open reports the system's reason.
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_EQ(FileOpenEx(Dir / "none", fmOpenRead, true), INVALID_HANDLE_VALUE); }),
                    SystemErrorText(ERROR_FILE_NOT_FOUND));
}

TEST(UtilsMessageBoxes, WithoutShowMsgNothingIsShown) {
  ScratchFolder Dir("utils");
  ASSERT_TRUE(WriteTextFile("x", Dir / "f.txt", false));
  auto Boxes = BoxesDuring([&] {
    EXPECT_FALSE(FileExistsEx(Dir / "missing"));
    EXPECT_FALSE(DirExistsEx(Dir / "f.txt"));
    EXPECT_FALSE(ForceDirsEx(""));
    EXPECT_FALSE(FileDeleteEx(Dir / "missing"));
    EXPECT_EQ(FileOpenEx(Dir / "missing", fmOpenRead), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileCreateEx("bare.txt"), INVALID_HANDLE_VALUE);
    // These stay silent even when asked to report.
    EXPECT_FALSE(WriteTextFile("x", Dir / "no\\such\\f.txt", true));
    EXPECT_FALSE(FileCopyEx(Dir / "f.txt", Dir / "f.txt", cfNoOverwrite | cfShowError));
    EXPECT_FALSE(FileCopyEx(Dir / "missing", Dir / "g.txt", cfShowError));
  });
  EXPECT_TRUE(Boxes.empty()) << Boxes[0].Text;
}

TEST(UtilsMessageBoxes, LastErrorConfirmationAndFormattedText) {
  const std::string NotFound = SystemErrorText(ERROR_FILE_NOT_FOUND);
  ASSERT_FALSE(NotFound.empty());
  EXPECT_NE(NotFound.back(), '\n');
  ExpectOneErrorBox(BoxesDuring([] {
                      SetLastError(ERROR_FILE_NOT_FOUND);
                      ShowLastError();
                    }),
                    NotFound);
  ExpectOneErrorBox(BoxesDuring([] { ShowErrorFmt("%s: %s", {"a", "\xC3\xA9t\xC3\xA9"}); }), "a: \xC3\xA9t\xC3\xA9");

  AppTitle = "Utils Test Title";
  auto Boxes = BoxesDuring([] { EXPECT_TRUE(ConfirmBox("Go on?", true)); }, IDYES);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Caption, "Utils Test Title");
  EXPECT_EQ(Boxes[0].Text, "Go on?");
  BoxesDuring([] { EXPECT_FALSE(ConfirmBox("Go on?", false)); }, IDCANCEL);
}

TEST(UtilsFiles, ForceDirsCreatesEveryLevelOrNothing) {
  ScratchFolder Dir("utils");
  EXPECT_TRUE(ForceDirsEx(Dir / "a\\b\\c\\"));
  EXPECT_TRUE(DirExistsEx(Dir / "a\\b\\c"));
  EXPECT_TRUE(ForceDirsEx(Dir / "s/t/u"));
  EXPECT_TRUE(DirExistsEx(Dir / "s\\t\\u"));
  EXPECT_TRUE(ForceDirsEx(Dir.Path()));
  ASSERT_TRUE(WriteTextFile("x", Dir / "f", false));
  EXPECT_FALSE(ForceDirsEx(Dir / "f\\g"));  // a file in the way
  char Letter = UnusedDriveLetter('M');
  ASSERT_NE(Letter, 0);
  const std::string OnMissingDrive = std::string(1, Letter) + ":\\x\\y\\z";
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_FALSE(ForceDirsEx(OnMissingDrive, true)); }),
                    "Cannot create directory \"" + OnMissingDrive + "\"");
}

TEST(UtilsFiles, CreateMakesFolderAndBareNameFails) {
  ScratchFolder Dir("utils");
  HANDLE H = FileCreateEx(Dir / "new\\dir\\f.bin");
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileWriteBuf(H, "abc", 3), 3);
  SetFilePointer(H, 0, nullptr, FILE_BEGIN);
  char Buf[8] = {};
  EXPECT_EQ(FileReadBuf(H, Buf, 8), 3);
  EXPECT_TRUE(FileCloseHandle(H));
  H = FileCreateEx(Dir / "new\\dir\\f.bin");  // empties it
  FileCloseHandle(H);
  EXPECT_EQ(ReadTextFile(Dir / "new\\dir\\f.bin"), "");
  ExpectOneErrorBox(BoxesDuring([] { EXPECT_EQ(FileCreateEx("bare.txt", true), INVALID_HANDLE_VALUE); }),
                    "Cannot create directory \"\"");
}

TEST(UtilsFiles, OpenModesSelectAccessSharingAndCreation) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "f.txt";
  char Buf[8];
  EXPECT_EQ(FileOpenEx(F, fmOpenRead), INVALID_HANDLE_VALUE);
  HANDLE H = FileOpenEx(F, fmOpenWrite | fmCreate);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileReadBuf(H, Buf, 8), -1);
  EXPECT_EQ(FileWriteBuf(H, "data", 4), 4);
  FileCloseHandle(H);
  H = FileOpenEx(F, fmOpenRead | fmCreate);  // existing: contents kept
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileWriteBuf(H, "x", 1), -1);
  EXPECT_EQ(FileReadBuf(H, Buf, 8), 4);
  FileCloseHandle(H);

  auto SecondOpens = [&](uint32_t First, uint32_t Second) {
    HANDLE A = FileOpenEx(F, First);
    EXPECT_NE(A, INVALID_HANDLE_VALUE);
    HANDLE B = FileOpenEx(F, Second | fmShareDenyNone);
    if (B != INVALID_HANDLE_VALUE) FileCloseHandle(B);
    FileCloseHandle(A);
    return B != INVALID_HANDLE_VALUE;
  };
  EXPECT_FALSE(SecondOpens(fmOpenRead | fmShareExclusive, fmOpenRead));
  EXPECT_TRUE(SecondOpens(fmOpenRead | fmShareDenyWrite, fmOpenRead));
  EXPECT_FALSE(SecondOpens(fmOpenRead | fmShareDenyWrite, fmOpenWrite));
  EXPECT_TRUE(SecondOpens(fmOpenWrite | fmShareDenyRead, fmOpenWrite));
  EXPECT_FALSE(SecondOpens(fmOpenWrite | fmShareDenyRead, fmOpenRead));
  EXPECT_TRUE(SecondOpens(fmOpenReadWrite | fmShareDenyNone, fmOpenReadWrite));
  EXPECT_EQ(FileOpenEx(F, fmOpenRead | 0x50), INVALID_HANDLE_VALUE);  // no such sharing
}

TEST(UtilsFiles, WriteTextFileReplacesWithExactBytesUnderUtf8Names) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC.txt";
  EXPECT_TRUE(WriteTextFile("first line\r\nsecond \xC3\xA4", F, false));
  EXPECT_EQ(ReadTextFile(F), "first line\r\nsecond \xC3\xA4");
  EXPECT_TRUE(WriteTextFile("", F, false));
  EXPECT_EQ(ReadTextFile(F), "");
  WIN32_FIND_DATAW Data;
  HANDLE Find = FindFirstFileW((Utf8ToWide(Dir.Path()) + L"\\gr*").c_str(), &Data);
  ASSERT_NE(Find, INVALID_HANDLE_VALUE);
  FindClose(Find);
  EXPECT_EQ(std::wstring(Data.cFileName), L"gr\u00FC\u00DF" L"e \u20AC.txt");
}

TEST(UtilsFiles, CopyFlags) {
  ScratchFolder Dir("utils");
  const std::string Src = Dir / "src.txt", Dst = Dir / "dst.txt", Deep = Dir / "x\\y\\dst.txt";
  ASSERT_TRUE(WriteTextFile("source", Src, false));
  ASSERT_EQ(SetFileDateTime(Src, 44362.5), 0u);
  ASSERT_TRUE(WriteTextFile("other", Dst, false));
  EXPECT_FALSE(FileCopyEx(Src, Dst, cfNoOverwrite));
  EXPECT_EQ(ReadTextFile(Dst), "other");
  EXPECT_TRUE(FileCopyEx(Src, Dst, cfKeepTime));
  EXPECT_EQ(ReadTextFile(Dst), "source");
  EXPECT_TRUE(SameDateTime(GetFileDateTime(Dst), 44362.5));
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_FALSE(FileCopyEx(Src, Deep, cfShowError)); }),
                    "Cannot copy file \"" + Src + "\"");
  EXPECT_TRUE(FileCopyEx(Src, Deep, cfForceDir));
  EXPECT_EQ(ReadTextFile(Deep), "source");
}

TEST(UtilsFiles, DeleteAsksFirstWhenConfirming) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "d.txt";
  ASSERT_TRUE(WriteTextFile("x", F, false));
  auto Boxes = BoxesDuring([&] { EXPECT_FALSE(FileDeleteEx(F, true, true)); }, IDCANCEL);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Delete \"" + F + "\"?");
  EXPECT_TRUE(FileExistsEx(F));
  Boxes = BoxesDuring([&] { EXPECT_TRUE(FileDeleteEx(F, true, true)); }, IDOK);
  EXPECT_EQ(Boxes.size(), 1u);
  EXPECT_FALSE(FileExistsEx(F));
}

TEST(UtilsFiles, TimesRoundTripWithinAMillisecond) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "t.txt";
  ASSERT_TRUE(WriteTextFile("x", F, false));
  // 15 June 2021 13:45:30 (summer time); an odd second falls to the even one.
  const double Stamp = 44362.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
  ASSERT_EQ(SetFileDateTime(F, Stamp + 1.0 / 86400), 0u);
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), Stamp));
  ASSERT_EQ(SetFileDateTime(F, 44197.25), 0u);  // winter time
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), 44197.25));
  const int32_t Age = GetFileAge(F);
  // Outside the DOS range, or no time: refused, time kept.
  EXPECT_EQ(SetFileDateTime(F, 100.0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SetFileAge(F, -1), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetFileAge(F), Age);
  EXPECT_EQ(SetFileAge(Dir / "missing", Age), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAge(Dir.Path()), -1);
  EXPECT_EQ(GetFileDateTime(Dir.Path()), 0);
  EXPECT_EQ(GetFileDateTime(Dir / "missing"), 0);
}

TEST(UtilsFolders, WellKnownFoldersAttributesAndExpansion) {
  const std::string AppData = GetAppDataFolder();
  ASSERT_GT(AppData.size(), 3u);
  EXPECT_EQ(AppData.back(), '\\');
  EXPECT_TRUE(DirExistsEx(AppData));
  const std::string ProgramFiles = GetProgramFilesFolder();
  EXPECT_NE(ProgramFiles.back(), '\\');
  EXPECT_TRUE(DirExistsEx(ProgramFiles));
  EXPECT_EQ(GetSpecialFolder(0x7FFF), "");
  EXPECT_EQ(GetProgramFolder(), ExtractDir(GetParamStr(0)) + "\\");

  ScratchFolder Dir("utils");
  ASSERT_TRUE(WriteTextFile("x", Dir / "a.txt", false));
  EXPECT_EQ(SetFileAttr(Dir / "a.txt", FILE_ATTRIBUTE_READONLY), 0u);
  EXPECT_TRUE(GetFileAttr(Dir / "a.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(SetFileAttr(Dir / "missing", 0), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(SetCurrentDir(Dir.Path()));
  EXPECT_TRUE(SameTextUtf8(ExpandPath("sub/f.txt"), Dir / "sub\\f.txt"));
  EXPECT_TRUE(SameTextUtf8(ExpandPath("..\\x"), ExtractDir(Dir.Path()) + "\\x"));
  EXPECT_TRUE(SetCurrentDir(GetProgramFolder()));
}

TEST(UtilsStartup, NamesComeFromTheExecutableUnlessAlreadySet) {
  ProgramName.clear();
  AppTitle = "Title";
  InitUtilsUnit();
  EXPECT_EQ(ProgramName, "UtilsFilesTest");
  EXPECT_EQ(AppTitle, "Title");
  AppTitle.clear();
  InitUtilsUnit();
  EXPECT_EQ(AppTitle, "UtilsFilesTest");
}

TEST(UtilsText, ConversionCaseAndComparison) {
  const std::string Mixed = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, a-umlaut, euro, emoji
  EXPECT_EQ(Utf8ToWide(Mixed), std::wstring(L"A\u00E4\u20AC\U0001F600"));
  EXPECT_EQ(WideToUtf8(Utf8ToWide(Mixed)), Mixed);
  EXPECT_EQ(LowerCaseUtf8("\xC3\x84RGER Abc"), "\xC3\xA4rger abc");
  EXPECT_TRUE(SameTextUtf8("\xC3\x84rger", "\xC3\xA4RGER"));
  EXPECT_LT(CompareTextIgnoreCase("apple", "Banana"), 0);
  EXPECT_GT(CompareTextIgnoreCase("cherry", "Banana"), 0);
  EXPECT_LT(CompareTextIgnoreCase("", "a"), 0);
  EXPECT_TRUE(StartsWithIgnoreCase("\xC3\x84r", "\xC3\xA4rger"));
  EXPECT_EQ(RemovePrefix("\\DEVICE\\x", "\\Device\\", true), "\\DEVICE\\x");
  EXPECT_EQ(RemovePrefix("\\DEVICE\\x", "\\Device\\", false), "x");
  EXPECT_EQ(RandomString(12, true).size(), 12u);
}
