// The profile-file document against the wide Windows profile functions, on
// the same files. Left out on purpose: Windows lists a section once per
// header (the program reads a name's first one either way) and reads ";"
// lines as keys (the program asks for none); non-ASCII letters are compared
// as they are; a UTF-8 file without a byte-order mark is ANSI to Windows.
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

// The default the reads pass: no file holds it, so it marks a missing key.
constexpr wchar_t Missing[] = L"\x01missing";
constexpr int MissingNumber = 77;

// The answers of the profile functions for one file.
struct WindowsProfile {
  // The zero-terminated names of a list Length units long.
  std::vector<std::string> Names(DWORD Length) const {
    std::vector<std::string> Result;
    for (std::size_t Pos = 0; Pos < Length; Pos += wcslen(Buffer.data() + Pos) + 1)
      Result.push_back(WideToUtf8(Buffer.data() + Pos));
    return Result;
  }
  // A null key asks for the section's key names.
  DWORD Get(const std::string& Section, const wchar_t* Key) const {
    return GetPrivateProfileStringW(Utf8ToWide(Section).c_str(), Key, Key ? Missing : L"", Buffer.data(),
                                    DWORD(Buffer.size()), Path.c_str());
  }
  std::optional<std::string> Read(const std::string& Section, const std::string& Key) const {
    const std::wstring Value = Buffer.substr(0, Get(Section, Utf8ToWide(Key).c_str()));
    return Value == Missing ? std::nullopt : std::optional(WideToUtf8(Value));
  }
  std::wstring Path;
  mutable std::wstring Buffer = std::wstring(1 << 16, L'\0');
};

// Writes the file under a new name (Wine caches a profile by its name) and
// compares every section and key either side knows, in either letter case,
// and absent ones, as texts and as numbers.
void ExpectSameAnswers(const ScratchFolder& Folder, const std::string& Bytes, const std::string& Label) {
  static int Serial = 0;
  const std::string Path = Folder / ("t" + std::to_string(++Serial) + ".ini");
  ASSERT_TRUE(WriteFileBytes(Path, Bytes));
  const WindowsProfile Windows{Utf8ToWide(Path)};
  const TProfileText Ours(Bytes, AnsiProfileCodePage());

  std::vector<std::string> Sections;
  for (const std::string& Name : Windows.Names(
           GetPrivateProfileSectionNamesW(Windows.Buffer.data(), DWORD(Windows.Buffer.size()), Windows.Path.c_str())))
    if (std::none_of(Sections.begin(), Sections.end(), [&](auto& S) { return AsciiUpper(S) == AsciiUpper(Name); }))
      Sections.push_back(Name);
  EXPECT_EQ(Ours.Sections(), Sections) << Label;
  Sections.insert(Sections.end(), {"", "absent"});
  for (const std::string& Section : Sections) {
    std::vector<std::string> Keys = Ours.Keys(Section);
    for (const std::string& Key : Windows.Names(Windows.Get(Section, nullptr)))
      if (!Key.starts_with(';')) Keys.push_back(Key);
    Keys.push_back("absent");
    for (const std::string& Key : Keys)
      for (const auto& [S, K] : {std::pair(Section, Key), std::pair(AsciiUpper(Section), AsciiUpper(Key))}) {
        const std::optional<std::string> Value = Ours.Read(S, K);
        EXPECT_EQ(Value, Windows.Read(S, K)) << Label << ": [" << S << "] " << K;
        EXPECT_EQ(ParseInt32(Value.value_or(""), TNumberRule::Profile).value_or(MissingNumber),
                  int(GetPrivateProfileIntW(Utf8ToWide(S).c_str(), Utf8ToWide(K).c_str(), MissingNumber,
                                            Windows.Path.c_str())))
            << Label << ": " << K;
      }
  }
}

}  // namespace

// Every file read as it is and again after values were written into it.
TEST(ProfileTextWine, ReadsTrickyFilesAndWrittenValuesAsTheProfileFunctionsDo) {
  const std::string Long = "[L]\nk=" + std::string(5000, 'x') + "\n" + std::string(3000, 'y') + "=2\n[" +
                           std::string(2000, 'z') + "]\nq=\"" + std::string(4000, 'w') + "\"\n";
  const std::wstring Wide =
      Utf8ToWide("[Geb\xC3\xA4ude]\r\nPfad=C:\\Zo\xC3\xAB\\\xE5\xB1\xB1\xE7\x94\xB0.hc\r\nk=1\r\n");
  const std::pair<const char*, std::string> Files[] = {
      {"blanks",
       "  [ Sec ]  \r\n  Key  =  value  \r\nTabbed\t=\tv\t\r\n\v k \f= x\r\n  \r\n\t\r\nmy key = in  side \r\n"},
      {"quotes",
       "[Q]\nA=\"abc\"\nB='abc'\nC=\"abc'\nD=\"\nE=\"\"\nF=\"a\" \"b\"\nG= \"  in  \" \nH='\nI=\"a\"b\"\n"
       "J=x\"y\"\nK=' '\n"},
      {"duplicates and comments",
       "[A]\nk=1\nk=2\nK=3\n[B]\nx=1\n[a]\nk=3\nonly2=yes\n[A]\nz=9\n[b]\n[C]\n;k=1\n  ;m=2\nk=3\n#h=4\nnoeq\nv=a ; "
       "b\n;x\n[;S]\nk=1\n"},
      {"empty values and equals in values",
       "[E]\nk=\nm= \nbare\nbare2 \n =v\n[Q]\nk=a=b\nx = = y\nurl=http://h/?a=1\n"},
      {"blank section names", "top=1\n[]\nb=2\n[ ]\nc=3\n[S]\nd=4\n"},
      {"brackets", "[A]x]\nk=1\n[B] junk\nk=2\n[C\nk=3\n[D]k=4\n[a=b]\nk=5\n[C=1\n"},
      {"line ends, none at the end", "[S]\r\nk=a\rb\r\n\r\nm=1\r\r\n[T]\rn=2\rlast=end"},
      {"blank lines and letter case", "\n\n   \n[S]\n\t\n k=1\n  \n[MixedCase]\nMixedKey=1\n[UPPER]\nlower=2\n"},
      {"numbers",
       "[I]\nplain=12\nminus=-5\nplus=+3\nhex=0x1F\nHEX=0XfF\nblanks= 7 \nword=abc\ntail=12abc\nbig=99999999999\n"
       "max=2147483647\nmin=-2147483648\nquoted=\"42\"\nlong=000000000000000000000000000009\n"},
      {"long lines", Long},
      {"UTF-8", "\xEF\xBB\xBF" + WideToUtf8(Wide)},
      {"UTF-16", "\xFF\xFE" + std::string(reinterpret_cast<const char*>(Wide.data()), Wide.size() * 2)},
      {"ANSI", "[S]\r\nname=Jos\xE9\r\nk=1\r\n"},
  };
  const char* Values[] = {"  x  ", "\"q\"", "'a'", "a=b", "Zo\xC3\xAB \xE5\xB1\xB1\xE7\x94\xB0"};
  ScratchFolder Folder{"profile"};
  for (const auto& [Label, Bytes] : Files) {
    ExpectSameAnswers(Folder, Bytes, Label);
    TProfileText Written(Bytes, AnsiProfileCodePage());
    // Non-ASCII text makes an ASCII file UTF-8 without a byte-order mark.
    const bool Ascii = std::all_of(Bytes.begin(), Bytes.end(), [](unsigned char C) { return C < 0x80; });
    for (int I = 0; I < (Ascii ? 4 : 5); ++I)
      ASSERT_TRUE(Written.Write("New", "v" + std::to_string(I), Values[I]) && Written.Write("S", "k", Values[I]));
    ExpectSameAnswers(Folder, Written.Bytes(), std::string("written ") + Label);
  }
}
