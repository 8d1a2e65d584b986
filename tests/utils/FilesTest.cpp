// Files, folders, file times, text conversion and the library's message
// boxes, on real files and real boxes under Wine.
#include <gtest/gtest.h>

#include "BoxWatcher.h"
#include "Files.h"
#include "StrUtils.h"
#include "TestSupport.h"
#include "UnitStartup.h"
#include "UtilsStrings.h"

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

bool IsDir(const std::string& Path) {
  DWORD Attr = GetFileAttr(Path);
  return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(UtilsMessageBoxes, ShowMsgShowsOneErrorBoxWithTheText) {
  ScratchFolder Dir("utils");
  ASSERT_TRUE(WriteTextFile("x", Dir / "f.txt", false));
  bool Result = true;
  ExpectOneErrorBox(BoxesDuring([&] { Result = FileExistsEx("", true); }), "File or folder \"\" is not exists");
  EXPECT_FALSE(Result);
  ExpectOneErrorBox(BoxesDuring([&] { Result = DirExistsEx(Dir / "f.txt", true); }),
                    "File or folder \"" + (Dir / "f.txt") + "\" is not exists");
  EXPECT_FALSE(Result);
  ExpectOneErrorBox(BoxesDuring([&] { Result = FileDeleteEx(Dir.Path(), true); }),
                    "Unable to delete file or folder \"" + Dir.Path() + "\"");
  EXPECT_FALSE(Result);
  EXPECT_TRUE(IsDir(Dir.Path()));
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

TEST(UtilsMessageBoxes, LastErrorAndFormattedErrors) {
  const std::string NotFound = SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(NotFound.empty());
  EXPECT_NE(NotFound.back(), '\n');
  ExpectOneErrorBox(BoxesDuring([] {
                      SetLastError(ERROR_FILE_NOT_FOUND);
                      ShowLastError();
                    }),
                    NotFound);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(LastErrorText(), SystemErrorText(ERROR_ACCESS_DENIED));
  ExpectOneErrorBox(BoxesDuring([] { ShowErrorFmt("%s: %s", {"a", "\xC3\xA9t\xC3\xA9"}); }), "a: \xC3\xA9t\xC3\xA9");
  // A failed open reports the system's reason.
  ScratchFolder Dir("utils");
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_EQ(FileOpenEx(Dir / "missing", fmOpenRead, true), INVALID_HANDLE_VALUE); }),
                    NotFound);
}

TEST(UtilsMessageBoxes, ConfirmBoxAsksUnderAppTitle) {
  AppTitle = "Utils Test Title";
  bool Answer = false;
  auto Boxes = BoxesDuring([&] { Answer = ConfirmBox("Go on?", true); }, IDYES);
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Caption, "Utils Test Title");
  EXPECT_EQ(Boxes[0].Text, "Go on?");
  EXPECT_TRUE(Answer);
  BoxesDuring([&] { Answer = ConfirmBox("Go on?", true); }, IDNO);
  EXPECT_FALSE(Answer);
  BoxesDuring([&] { Answer = ConfirmBox("Go on?", false); }, IDOK);
  EXPECT_TRUE(Answer);
  BoxesDuring([&] { Answer = ConfirmBox("Go on?", false); }, IDCANCEL);
  EXPECT_FALSE(Answer);
}

TEST(UtilsFiles, ForceDirsCreatesEveryLevelOrNothing) {
  ScratchFolder Dir("utils");
  EXPECT_TRUE(ForceDirsEx(Dir / "a\\b\\c\\"));
  EXPECT_TRUE(IsDir(Dir / "a\\b\\c"));
  std::string Slashed = Dir / "s/t/u";
  EXPECT_TRUE(ForceDirsEx(Slashed));
  EXPECT_TRUE(IsDir(Dir / "s\\t\\u"));
  EXPECT_TRUE(ForceDirsEx(Dir.Path()));
  // A file in the way.
  ASSERT_TRUE(WriteTextFile("x", Dir / "f", false));
  EXPECT_FALSE(ForceDirsEx(Dir / "f\\g"));
  // A drive letter that does not exist: fails at once.
  char Letter = UnusedDriveLetter('M');
  ASSERT_NE(Letter, 0);
  const std::string OnMissingDrive = std::string(1, Letter) + ":\\x\\y\\z";
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_FALSE(ForceDirsEx(OnMissingDrive, true)); }),
                    "Cannot create directory \"" + OnMissingDrive + "\"");
  EXPECT_FALSE(DirExistsEx(std::string(1, Letter) + ":\\x"));
}

TEST(UtilsFiles, CreateMakesFolderAndBareNameFails) {
  ScratchFolder Dir("utils");
  HANDLE H = FileCreateEx(Dir / "new\\dir\\f.bin", false, fmShareExclusive);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileWriteBuf(H, "abc", 3), 3);
  EXPECT_EQ(SetFilePointer(H, 0, nullptr, FILE_BEGIN), 0u);
  char Buf[8] = {};
  EXPECT_EQ(FileReadBuf(H, Buf, 8), 3);
  EXPECT_EQ(std::string(Buf, 3), "abc");
  EXPECT_TRUE(FileCloseHandle(H));
  // Creating again empties the file.
  H = FileCreateEx(Dir / "new\\dir\\f.bin");
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  FileCloseHandle(H);
  EXPECT_EQ(ReadTextFile(Dir / "new\\dir\\f.bin"), "");
  ExpectOneErrorBox(BoxesDuring([] { EXPECT_EQ(FileCreateEx("bare.txt", true), INVALID_HANDLE_VALUE); }),
                    "Cannot create directory \"\"");
}

TEST(UtilsFiles, OpenModesSelectAccessSharingAndCreation) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "f.txt";
  EXPECT_EQ(FileOpenEx(F, fmOpenRead), INVALID_HANDLE_VALUE);
  HANDLE H = FileOpenEx(F, fmOpenReadWrite | fmCreate);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileWriteBuf(H, "data", 4), 4);
  FileCloseHandle(H);

  // Read access only.
  H = FileOpenEx(F, fmOpenRead | fmShareDenyNone);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileWriteBuf(H, "x", 1), -1);
  char Buf[8];
  EXPECT_EQ(FileReadBuf(H, Buf, 8), 4);
  FileCloseHandle(H);
  // Write access only.
  H = FileOpenEx(F, fmOpenWrite | fmShareDenyNone);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileReadBuf(H, Buf, 8), -1);
  FileCloseHandle(H);
  // Opening an existing file with fmCreate keeps its contents.
  H = FileOpenEx(F, fmOpenRead | fmCreate);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  FileCloseHandle(H);
  EXPECT_EQ(ReadTextFile(F), "data");

  // Exclusive: no second opener at all.
  H = FileOpenEx(F, fmOpenRead | fmShareExclusive);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileOpenEx(F, fmOpenRead | fmShareDenyNone), INVALID_HANDLE_VALUE);
  FileCloseHandle(H);
  // Deny write: other readers may come, writers may not.
  H = FileOpenEx(F, fmOpenRead | fmShareDenyWrite);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  HANDLE Reader = FileOpenEx(F, fmOpenRead | fmShareDenyNone);
  EXPECT_NE(Reader, INVALID_HANDLE_VALUE);
  FileCloseHandle(Reader);
  EXPECT_EQ(FileOpenEx(F, fmOpenWrite | fmShareDenyNone), INVALID_HANDLE_VALUE);
  FileCloseHandle(H);
  // Deny read: writers may come, readers may not.
  H = FileOpenEx(F, fmOpenWrite | fmShareDenyRead);
  ASSERT_NE(H, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileOpenEx(F, fmOpenRead | fmShareDenyNone), INVALID_HANDLE_VALUE);
  HANDLE Writer = FileOpenEx(F, fmOpenWrite | fmShareDenyNone);
  EXPECT_NE(Writer, INVALID_HANDLE_VALUE);
  FileCloseHandle(Writer);
  FileCloseHandle(H);
  // Sharing values above deny-none are not valid.
  EXPECT_EQ(FileOpenEx(F, fmOpenRead | 0x50), INVALID_HANDLE_VALUE);
}

TEST(UtilsFiles, WriteTextFileReplacesWithExactBytes) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "t.txt";
  EXPECT_TRUE(WriteTextFile("first line\r\nsecond \xC3\xA4", F, false));
  EXPECT_EQ(ReadTextFile(F), "first line\r\nsecond \xC3\xA4");
  EXPECT_TRUE(WriteTextFile("", F, false));
  EXPECT_EQ(ReadTextFile(F), "");
  EXPECT_TRUE(FileExistsEx(F));
  // Names are UTF-8 all the way to the file system.
  const std::string Named = Dir / "gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC.txt";
  EXPECT_TRUE(WriteTextFile("x", Named, false));
  WIN32_FIND_DATAW Data;
  HANDLE Find = FindFirstFileW((Utf8ToWide(Dir.Path()) + L"\\gr*").c_str(), &Data);
  ASSERT_NE(Find, INVALID_HANDLE_VALUE);
  FindClose(Find);
  EXPECT_EQ(std::wstring(Data.cFileName), L"gr\u00FC\u00DFe \u20AC.txt");
  EXPECT_TRUE(FileDeleteEx(Named));
}

TEST(UtilsFiles, CopyFlags) {
  ScratchFolder Dir("utils");
  const std::string Src = Dir / "src.txt", Dst = Dir / "dst.txt";
  ASSERT_TRUE(WriteTextFile("source", Src, false));
  ASSERT_EQ(SetFileDateTime(Src, 44362.5), 0u);

  EXPECT_TRUE(FileCopyEx(Src, Dst, 0));
  EXPECT_EQ(ReadTextFile(Dst), "source");
  ASSERT_TRUE(WriteTextFile("other", Dst, false));
  EXPECT_FALSE(FileCopyEx(Src, Dst, cfNoOverwrite));
  EXPECT_EQ(ReadTextFile(Dst), "other");
  EXPECT_TRUE(FileCopyEx(Src, Dst, cfKeepTime));
  EXPECT_TRUE(SameDateTime(GetFileDateTime(Dst), 44362.5));

  const std::string Deep = Dir / "x\\y\\dst.txt";
  ExpectOneErrorBox(BoxesDuring([&] { EXPECT_FALSE(FileCopyEx(Src, Deep, cfShowError)); }),
                    "Cannot copy file \"" + Src + "\"");
  EXPECT_TRUE(FileCopyEx(Src, Deep, cfForceDir));
  EXPECT_EQ(ReadTextFile(Deep), "source");
}

TEST(UtilsFiles, DeleteFilesOnlyAndAskFirstWhenConfirming) {
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
  // 15 June 2021 13:45:30; odd seconds fall to the even second before.
  const double Stamp = 44362.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
  ASSERT_EQ(SetFileDateTime(F, Stamp), 0u);
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), Stamp));
  ASSERT_EQ(SetFileDateTime(F, Stamp + 1.0 / 86400), 0u);
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), Stamp));
  // Winter time too (local time both ways).
  ASSERT_EQ(SetFileDateTime(F, 44197.25), 0u);
  EXPECT_TRUE(SameDateTime(GetFileDateTime(F), 44197.25));
  const int32_t Age = GetFileAge(F);
  ASSERT_NE(Age, -1);
  ASSERT_EQ(SetFileAge(Dir / "copy-target", Age), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_EQ(GetFileAge(Dir.Path()), -1);
  EXPECT_EQ(GetFileDateTime(Dir.Path()), 0);
  EXPECT_EQ(GetFileAge(Dir / "missing"), -1);
  EXPECT_EQ(GetFileDateTime(Dir / "missing"), 0);
  // Outside the DOS range (before 1980) or no time: refused, time kept.
  EXPECT_EQ(SetFileDateTime(F, 100.0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SetFileAge(F, -1), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetFileAge(F), Age);
}

TEST(UtilsFiles, AttributesAndCurrentFolder) {
  ScratchFolder Dir("utils");
  const std::string F = Dir / "a.txt";
  ASSERT_TRUE(WriteTextFile("x", F, false));
  EXPECT_EQ(SetFileAttr(F, FILE_ATTRIBUTE_READONLY), 0u);
  EXPECT_TRUE(GetFileAttr(F) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(SetFileAttr(F, FILE_ATTRIBUTE_NORMAL), 0u);
  EXPECT_EQ(GetFileAttr(Dir / "missing"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(SetFileAttr(Dir / "missing", 0), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  EXPECT_TRUE(SetCurrentDir(Dir.Path()));
  EXPECT_TRUE(SameTextUtf8(ExpandPath("sub/f.txt"), Dir / "sub\\f.txt"));
  EXPECT_TRUE(SameTextUtf8(ExpandPath("..\\x"), ExtractDir(Dir.Path()) + "\\x"));
  EXPECT_FALSE(SetCurrentDir(Dir / "missing"));
  EXPECT_TRUE(SetCurrentDir(GetProgramFolder()));
}

TEST(UtilsStartup, NamesComeFromTheExecutableUnlessAlreadySet) {
  ProgramName.clear();
  AppTitle.clear();
  InitUtilsUnit();
  EXPECT_EQ(ProgramName, "UtilsFilesTest");
  EXPECT_EQ(AppTitle, "UtilsFilesTest");
  ProgramName = "Preset";
  AppTitle = "Title";
  InitUtilsUnit();
  EXPECT_EQ(ProgramName, "Preset");
  EXPECT_EQ(AppTitle, "Title");
  ProgramName.clear();
  InitUtilsUnit();
  EXPECT_EQ(ProgramName, "UtilsFilesTest");
  EXPECT_EQ(AppTitle, "Title");
}

TEST(UtilsFolders, WellKnownFolders) {
  const std::string AppData = GetAppDataFolder();
  ASSERT_GT(AppData.size(), 3u);
  EXPECT_EQ(AppData.back(), '\\');
  EXPECT_NE(AppData[AppData.size() - 2], '\\');
  EXPECT_TRUE(DirExistsEx(AppData));
  const std::string ProgramFiles = GetProgramFilesFolder();
  ASSERT_FALSE(ProgramFiles.empty());
  EXPECT_NE(ProgramFiles.back(), '\\');
  EXPECT_TRUE(DirExistsEx(ProgramFiles));
  EXPECT_EQ(GetSpecialFolder(0x7FFF), "");
  const std::string Exe = GetParamStr(0);
  EXPECT_TRUE(FileExistsEx(Exe));
  EXPECT_EQ(GetProgramFolder(), ExtractDir(Exe) + "\\");
  EXPECT_EQ(GetProgramFolder(), GetProgramFolder());
}

TEST(UtilsText, ConversionCaseAndComparison) {
  const std::string Mixed = "A\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80";  // A, a-umlaut, euro, emoji
  EXPECT_EQ(Utf8ToWide(Mixed), std::wstring(L"A\u00E4\u20AC\U0001F600"));
  EXPECT_EQ(WideToUtf8(Utf8ToWide(Mixed)), Mixed);
  EXPECT_EQ(WideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
  EXPECT_EQ(SysToUtf8("plain"), "plain");
  EXPECT_EQ(LowerCaseUtf8("\xC3\x84RGER Abc"), "\xC3\xA4rger abc");
  EXPECT_TRUE(SameTextUtf8("\xC3\x84rger", "\xC3\xA4RGER"));
  EXPECT_FALSE(SameTextUtf8("abc", "abd"));
  EXPECT_LT(CompareTextIgnoreCase("apple", "Banana"), 0);
  EXPECT_GT(CompareTextIgnoreCase("cherry", "Banana"), 0);
  EXPECT_EQ(CompareTextIgnoreCase("", ""), 0);
  EXPECT_LT(CompareTextIgnoreCase("", "a"), 0);
  EXPECT_TRUE(StartsWithIgnoreCase("\xC3\x84r", "\xC3\xA4rger"));
  EXPECT_FALSE(StartsWithIgnoreAsciiCase("\xC3\x84r", "\xC3\xA4rger"));
  EXPECT_EQ(RemovePrefix("\\??\\D:\\x", "\\??\\", true), "D:\\x");
  EXPECT_EQ(RemovePrefix("\\DEVICE\\x", "\\Device\\", true), "\\DEVICE\\x");
  EXPECT_EQ(RemovePrefix("\\DEVICE\\x", "\\Device\\", false), "x");
  EXPECT_EQ(RandomString(0, true), "");
  EXPECT_EQ(RandomString(12, true).size(), 12u);
}
