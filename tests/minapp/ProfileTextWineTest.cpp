// The profile-file document against the Windows profile functions, on the
// same files. Differences left out of the table on purpose:
// - Windows lists a section name once per header ("[A]" twice gives "A"
//   twice); Sections gives each name once. The program reads a name's first
//   section either way.
// - Windows reads a ";" line as a key whose name starts with ";"; the
//   program never asks for such a name, so those keys are not compared.
// - A NUL byte ends a name or value for Windows; text files hold none.
// - Non-ASCII letters are compared as they are: Wine here does not match
//   "\xC4" with "\xE4" in an ANSI file either, but Windows may.
// - A UTF-8 file without a byte-order mark is ANSI to Windows; it is UTF-8
//   here, which is the point of the document.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "Files.h"
#include "Text.h"
#include "IniValues.h"
#include "ProfileCodePage.h"
#include "ProfileText.h"
#include "TestSupport.h"

namespace {

constexpr DWORD BufferSize = 1 << 16;
// The default the reads pass: no file holds it, so it marks a missing key.
constexpr wchar_t Missing[] = L"\x01missing";

// A list of zero-terminated names as the profile functions give it.
std::vector<std::string> SplitZeroTerminatedList(const char* Buffer, std::size_t Length) {
  std::vector<std::string> Names;
  for (std::size_t Pos = 0, End; Pos < Length; Pos = End + 1) {
    End = Pos;
    while (End < Length && Buffer[End]) ++End;
    Names.emplace_back(Buffer + Pos, End - Pos);
  }
  return Names;
}

std::string AsciiUpper(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(), [](char C) { return C >= 'a' && C <= 'z' ? char(C - 32) : C; });
  return S;
}

// Answers of the Windows profile functions for one file: the 8-bit ones for
// ASCII files, the wide ones where the text is not ASCII.
class WindowsProfile {
 public:
  WindowsProfile(std::string Path, bool Wide) : Path(std::move(Path)), Wide(Wide) {}

  std::vector<std::string> Sections() const {
    if (Wide) {
      std::wstring Buffer(BufferSize, L'\0');
      const DWORD Length = GetPrivateProfileSectionNamesW(Buffer.data(), BufferSize, Utf8ToWide(Path).c_str());
      // The UTF-8 of a wide list keeps its NULs.
      const std::string List = WideToUtf8(Buffer.substr(0, Length));
      return SplitZeroTerminatedList(List.data(), List.size());
    }
    std::string Buffer(BufferSize, '\0');
    const DWORD Length = GetPrivateProfileSectionNamesA(Buffer.data(), BufferSize, Path.c_str());
    return SplitZeroTerminatedList(Buffer.data(), Length);
  }
  // Every key name Windows lists for the section (a null key asks for them).
  std::vector<std::string> Keys(const std::string& Section) const {
    const std::string List = Get(Section.c_str(), nullptr, L"");
    return SplitZeroTerminatedList(List.data(), List.size());
  }
  std::optional<std::string> Read(const std::string& Section, const std::string& Key) const {
    const std::string Value = Get(Section.c_str(), Key.c_str(), Missing);
    if (Value == WideToUtf8(Missing)) return std::nullopt;
    return Value;
  }

 private:
  std::string Get(const char* Section, const char* Key, const wchar_t* Default) const {
    if (Wide) {
      std::wstring Buffer(BufferSize, L'\0');
      const std::wstring WideKey = Key ? Utf8ToWide(Key) : L"";
      const DWORD Length = GetPrivateProfileStringW(Utf8ToWide(Section).c_str(), Key ? WideKey.c_str() : nullptr,
                                                    Default, Buffer.data(), BufferSize, Utf8ToWide(Path).c_str());
      return WideToUtf8(Buffer.substr(0, Length));
    }
    std::string Buffer(BufferSize, '\0');
    const std::string AnsiDefault = WideToUtf8(Default);
    const DWORD Length =
        GetPrivateProfileStringA(Section, Key, AnsiDefault.c_str(), Buffer.data(), BufferSize, Path.c_str());
    return Buffer.substr(0, Length);
  }

  std::string Path;
  bool Wide;
};

// Writes the file under a new name (Wine caches a profile by its name) and
// compares every section and key either side knows, in either letter case,
// and some absent ones.
void ExpectSameAnswers(const ScratchFolder& Folder, const std::string& Bytes, bool Wide, const std::string& Label) {
  static int Serial = 0;
  const std::string Path = Folder / ("t" + std::to_string(++Serial) + ".ini");
  ASSERT_TRUE(std::all_of(Path.begin(), Path.end(), [](char C) { return C > 0 && C < 0x7F; })) << Path;
  ASSERT_TRUE(WriteFileBytes(Path, Bytes));
  const WindowsProfile Windows(Path, Wide);
  const TProfileText Ours(Bytes, AnsiProfileCodePage());

  std::vector<std::string> Listed;
  const auto SameName = [](const std::string& A, const std::string& B) { return AsciiUpper(A) == AsciiUpper(B); };
  for (const std::string& Name : Windows.Sections())
    if (std::none_of(Listed.begin(), Listed.end(), [&](const std::string& L) { return SameName(L, Name); }))
      Listed.push_back(Name);
  EXPECT_EQ(Ours.Sections(), Listed) << Label;

  std::vector<std::string> Sections = Listed;
  Sections.insert(Sections.end(), {"", "absent"});
  for (const std::string& Section : Sections) {
    std::vector<std::string> Keys = Ours.Keys(Section);
    for (const std::string& Key : Windows.Keys(Section))
      if (!Key.starts_with(';')) Keys.push_back(Key);
    Keys.push_back("absent");
    for (const std::string& Key : Keys)
      for (const auto& [S, K] : {std::pair(Section, Key), std::pair(AsciiUpper(Section), AsciiUpper(Key))})
        EXPECT_EQ(Ours.Read(S, K), Windows.Read(S, K)) << Label << ": [" << S << "] " << K;
  }
}

}  // namespace

TEST(ProfileTextWine, ReadsTrickyFilesAsTheProfileFunctionsDo) {
  const std::string Long = "[L]\nk=" + std::string(5000, 'x') + "\n" + std::string(3000, 'y') + "=2\n[" +
                           std::string(2000, 'z') + "]\nq=\"" + std::string(4000, 'w') + "\"\n";
  const std::pair<const char*, std::string> Files[] = {
      {"blanks",
       "  [ Sec ]  \r\n  Key  =  value  \r\nTabbed\t=\tv\t\r\n\v k \f= x\r\n  \r\n\t\r\nmy key = in  side \r\n"},
      {"quotes",
       "[Q]\nA=\"abc\"\nB='abc'\nC=\"abc'\nD=\"\nE=\"\"\nF=\"a\" \"b\"\nG= \"  in  \" \nH='\nI=\"a\"b\"\n"
       "J=x\"y\"\nK=' '\n"},
      {"duplicates", "[A]\nk=1\nk=2\nK=3\n[B]\nx=1\n[a]\nk=3\nonly2=yes\n[A]\nz=9\n[b]\n"},
      {"comments", "[C]\n;k=1\n  ;m=2\nk=3\n#h=4\nnoeq\nv=a ; b\n;x\n[;S]\nk=1\n"},
      {"no final line end", "[N]\r\nk=1\r\nlast=end"},
      {"empty values", "[E]\nk=\nm= \nbare\nbare2 \n =v\n"},
      {"equals in values", "[Q]\nk=a=b\nx = = y\nurl=http://h/?a=1&b=2\n"},
      {"blank section names", "top=1\n[]\nb=2\n[ ]\nc=3\n[S]\nd=4\n"},
      {"brackets", "[A]x]\nk=1\n[B] junk\nk=2\n[C\nk=3\n[D]k=4\n[a=b]\nk=5\n[C=1\n"},
      {"line ends", "[S]\r\nk=a\rb\r\n\r\nm=1\r\r\n[T]\rn=2\r"},
      {"only blanks", "\n\n   \n[S]\n\t\n k=1\n  \n"},
      {"letter case", "[MixedCase]\nMixedKey=1\n[UPPER]\nlower=2\n"},
      {"long lines", Long},
  };
  ScratchFolder Folder{"profile"};
  for (const auto& [Label, Bytes] : Files) ExpectSameAnswers(Folder, Bytes, false, Label);
}

TEST(ProfileTextWine, ReadsAndWritesUtf8Utf16AndAnsiFilesAsTheWideProfileFunctionsReadThem) {
  const std::string Text = "[Geb\xC3\xA4ude]\r\nPfad=C:\\Zo\xC3\xAB\\\xE5\xB1\xB1\xE7\x94\xB0.hc\r\nk=1\r\n";
  const std::wstring Wide = Utf8ToWide(Text);
  const std::pair<const char*, std::string> Files[] = {
      {"UTF-8", "\xEF\xBB\xBF" + Text},
      {"UTF-16", "\xFF\xFE" + std::string(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2)},
      {"ANSI", "[S]\r\nname=Jos\xE9\r\nk=1\r\n"},
  };
  const char* Values[] = {"  x  ", "\"q\"", "'a'", "a=b", "Zo\xC3\xAB \xE5\xB1\xB1\xE7\x94\xB0"};
  ScratchFolder Folder{"profile"};
  for (const auto& [Label, Bytes] : Files) {
    ExpectSameAnswers(Folder, Bytes, true, Label);
    TProfileText Written(Bytes, AnsiProfileCodePage());
    for (const char* Value : Values) {
      ASSERT_TRUE(Written.Write("New", "v" + std::to_string(Written.Keys("New").size()), Value));
      ASSERT_TRUE(Written.Write("S", "k", Value));
    }
    ExpectSameAnswers(Folder, Written.Bytes(), true, std::string(Label) + " written");
    EXPECT_EQ(Written.Read("s", "K"), Values[std::size(Values) - 1]) << Label;
  }
}

TEST(ProfileTextWine, ReadsNumbersAsTheProfileFunctionsDo) {
  const std::string Bytes =
      "[I]\nplain=12\nminus=-5\nplus=+3\nhex=0x1F\nHEX=0XfF\nblanks= 7 \nword=abc\nempty=\ntail=12abc\n"
      "big=99999999999\nmax=2147483647\nmin=-2147483648\nquoted=\"42\"\nlong=000000000000000000000000000009\n";
  ScratchFolder Folder{"profile"};
  const std::string Path = Folder / "numbers.ini";
  ASSERT_TRUE(WriteFileBytes(Path, Bytes));
  const TProfileText Ours(Bytes, AnsiProfileCodePage());
  for (const std::string& Key : Ours.Keys("I")) {
    const int Windows = int(GetPrivateProfileIntA("I", Key.c_str(), 77, Path.c_str()));
    EXPECT_EQ(IniTextToInt(Ours.Read("I", Key).value_or(""), 77), Windows) << Key;
  }
  EXPECT_EQ(IniTextToInt(Ours.Read("I", "absent").value_or(""), 77), 77);
}
