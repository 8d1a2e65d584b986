// The profile-file document: writes that keep every other byte, and the
// file's encoding kept across a save. The reading rules are checked against
// the profile functions themselves under Wine, writes no line can hold by the
// fuzzer.
#include <gtest/gtest.h>

#include "Latin1CodePage.h"
#include "ProfileText.h"

namespace {

TProfileText Load(std::string_view Bytes) { return TProfileText(Bytes, Latin1CodePage()); }

// ASCII text in UTF-16 LE.
std::string Units(std::string_view Ascii) {
  std::string Bytes;
  for (const char C : Ascii) Bytes += {C, '\0'};
  return Bytes;
}
std::string Utf16(std::string_view Ascii) { return "\xFF\xFE" + Units(Ascii); }

}  // namespace

TEST(ProfileText, AWriteChangesOnlyItsLineAndAddsMissingKeysAndSectionsWhereTheyBelong) {
  struct Case {
    std::string Before;
    const char *Section, *Key, *Value;
    std::string After;
  };
  const Case Cases[] = {
      // The line keeps its text up to the blanks after "=".
      {"[S]\r\n  Key = old  \r\nz=1\r\n", "s", "KEY", "new", "[S]\r\n  Key = new\r\nz=1\r\n"},
      {"[S]\nK=1\nk=2\n[s]\nk=3\n", "s", "k", "9", "[S]\nK=9\nk=2\n[s]\nk=3\n"},
      // After the section's last key line, or after its header.
      {"[S]\na=1\n\n;c\n[T]\n", "S", "b", "2", "[S]\na=1\nb=2\n\n;c\n[T]\n"},
      {"[S]\n; c\n[T]\n", "S", "k", "v", "[S]\nk=v\n; c\n[T]\n"},
      {"top=1\n[S]\n", "", "k", "v", "top=1\nk=v\n[S]\n"},
      // The last line gets a line end when a line follows it.
      {"[S]\na=1", "S", "b", "2", "[S]\na=1\nb=2\n"},
      {"[S]\na=1", "T", "k", "v", "[S]\na=1\n[T]\nk=v\n"},
      {"[S]\r\na=1\n", "T", "k", "v", "[S]\r\na=1\n[T]\r\nk=v\r\n"},
      {"", " S ", " k ", "v", "[S]\r\nk=v\r\n"},
      // A value already stored changes nothing.
      {"[S]\nk = \"v\"  ", "S", "K", "v", "[S]\nk = \"v\"  "},
      // An ANSI file stays ANSI until a value has no byte in its code page
      // (U+5C71 here): then the whole file becomes UTF-8.
      {"[S]\r\nn=Jos\xE9\r\nk=1\r\n", "S", "k", "\xC3\xA9", "[S]\r\nn=Jos\xE9\r\nk=\xE9\r\n"},
      {"[S]\r\nn=Jos\xE9\r\nk=1\r\n", "S", "k", "\xE5\xB1\xB1",
       "\xEF\xBB\xBF[S]\r\nn=Jos\xC3\xA9\r\nk=\xE5\xB1\xB1\r\n"},
      // Replacing the only line that is not UTF-8 would let the next load read
      // "a" as UTF-8, so the file becomes UTF-8 with its text unchanged.
      {"[S]\r\na=\xC3\xA4\r\nb=\xFF\r\n", "S", "b", "x", "\xEF\xBB\xBF[S]\r\na=\xC3\x83\xC2\xA4\r\nb=x\r\n"},
      // A new line in a UTF-16 file is UTF-16 too.
      {Utf16("[S]\r\nk=1\r\n"), "S", "k", "2", Utf16("[S]\r\nk=2\r\n")},
  };
  for (const Case& C : Cases) {
    TProfileText Text = Load(C.Before);
    ASSERT_TRUE(Text.Write(C.Section, C.Key, C.Value)) << C.Before;
    EXPECT_EQ(Text.Bytes(), C.After) << C.Before;
    EXPECT_EQ(Text.Modified(), C.Before != C.After) << C.Before;
    EXPECT_EQ(Load(Text.Bytes()).Read(C.Section, C.Key), C.Value) << C.Before;
  }
}

// Plain, quoted, Latin-1, beyond Latin-1 and beyond the basic plane, added to
// UTF-8 files without and with a byte-order mark, UTF-16 (its lone surrogate
// kept) and ANSI.
TEST(ProfileText, EveryEncodingKeepsItsUntouchedBytesAndReadsWrittenValuesBack) {
  const std::string Files[] = {
      "[S]\r\nk=Jos\xC3\xA9\r\n", "\xEF\xBB\xBF[S]\r\nk=Jos\xC3\xA9\r\n",
      Utf16("[S]\r\nx=") + std::string("\x00\xD8", 2) + Units("\r\nk=Jos") + std::string("\xE9\0", 2) + Units("\r\n"),
      "[S]\r\nk=Jos\xE9\r\n"};
  for (const std::string& File : Files)
    for (const std::string Value : {"", "x ", "'a\"", "\xC3\xA9", "Zo\xC3\xAB \xE5\xB1\xB1 \xF0\x9F\x98\x80"}) {
      TProfileText Text = Load(File);
      ASSERT_TRUE(Text.Write("S", "new", Value));
      const TProfileText Reread = Load(Text.Bytes());
      EXPECT_TRUE(Reread.Read("S", "new") == Value && Reread.Read("S", "k") == "Jos\xC3\xA9") << File;
      EXPECT_EQ(Reread.Encoding(), Text.Encoding());
      if (Text.Encoding() == Load(File).Encoding()) EXPECT_EQ(Text.Bytes().substr(0, File.size()), File);
    }
}
