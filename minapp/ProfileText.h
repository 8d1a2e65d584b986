#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The system's ANSI code page, which the Windows side supplies: files that
// are not UTF-8 are read in it, as the 8-bit profile functions read them.
struct TProfileCodePage {
  // ANSI bytes to UTF-8.
  std::function<std::string(std::string_view)> ToUtf8;
  // UTF-8 to ANSI bytes; nullopt when a character has no ANSI form.
  std::function<std::optional<std::string>(std::string_view)> FromUtf8;
};

enum class TProfileEncoding { Utf8, Utf8Bom, Utf16Le, Ansi };

// Bounds for reading a file that someone else wrote, so that its size does
// not decide how much memory and time the reading takes.
struct TProfileLimits {
  // Reading stops at the header of the section after these.
  std::size_t MaxSections = SIZE_MAX;
  // A longer line (in bytes, without its end) marks its section Overlong.
  std::size_t MaxLineBytes = SIZE_MAX;
};

// A profile (INI) file held in memory, read with the rules of the Windows
// profile functions that the program relies on and written back changing
// only the lines a write must change.
//
// Reading, as measured with GetPrivateProfileStringA under Wine:
// - a line ends at LF, CR LF or a lone CR;
// - "[Name]" starts a section: the name runs from the first "[" (only blanks
//   before it) to the last "]", and the rest of the line is ignored;
// - "Key=Value" with the first "=": key and value are trimmed of blanks
//   (space, tab, VT, FF), then one pair of enclosing quotes, both " or both
//   ', is removed from the value;
// - lines starting with ";" and lines without "=" hold no key;
// - names compare with ASCII letters folded; the first section of a name is
//   the only one read, and in it the first line of a key;
// - the lines before the first section form the section "", which Sections
//   leaves out; a later "[]" is a duplicate of it.
// Content: UTF-16 LE with its byte-order mark, UTF-8 with or without one,
// anything else is ANSI. Names and values are UTF-8 here.
class TProfileText {
 public:
  TProfileText(std::string_view Bytes, TProfileCodePage CodePage, TProfileLimits Limits = {});

  // Section names in file order, each name once (its first spelling).
  std::vector<std::string> Sections() const;
  // Key names of a section in file order, each name once.
  std::vector<std::string> Keys(std::string_view Section) const;
  // nullopt when the section or the key is missing.
  std::optional<std::string> Read(std::string_view Section, std::string_view Key) const;
  // Whether the section (its first block) holds a line over MaxLineBytes.
  bool Overlong(std::string_view Section) const;
  // Whether reading stopped at MaxSections before the end of the file.
  bool Cut() const { return FCut; }

  // Sets the key so that Read gives Value back; false, changing nothing, when
  // the names or the value cannot be stored: a line break or NUL anywhere,
  // text that is not UTF-8, a key that starts with ";" or "[" or holds "=",
  // or a first line of the file that would start like a byte-order mark.
  // Names are trimmed as on reading. The key's line keeps its text up to the
  // blanks after "="; a missing key gets a line after the section's last key
  // line (after its header when it has none), a missing section is added at
  // the end of the file, and new lines end as the file's first line does (CR
  // LF when none does). A value that reading would trim or unquote is stored
  // in double quotes.
  //
  // An ANSI file stays ANSI, its new lines encoded by CodePage. When a
  // value has no ANSI form, or the file's bytes would then read as UTF-8, the
  // whole file becomes UTF-8 with a byte-order mark.
  bool Write(std::string_view Section, std::string_view Key, std::string_view Value);

  // The file to save: every line that no write changed is as it was read,
  // byte for byte, and UTF-16 LE stays UTF-16 LE.
  std::string Bytes() const;
  TProfileEncoding Encoding() const { return FEncoding; }
  // Whether a write changed anything since the file was read.
  bool Modified() const { return FModified; }

 private:
  struct TLine {
    std::string Raw;   // the line's bytes when the file is not UTF-8 (else they are Text)
    std::string End;   // the line end as in the file; empty for a last line without one
    std::string Text;  // the line in UTF-8, without its end
  };
  // The lines before the first section, or a section from its header on.
  struct TBlock {
    std::string Name;
    std::vector<TLine> Lines;
    // Folded key name to the line of its first occurrence.
    std::unordered_map<std::string, std::size_t> KeyLines;
    // Where a new key goes: after the last key line, else after the header.
    std::size_t KeyEnd = 0;
    bool Overlong = false;
  };

  // False when reading stops before the line.
  bool AddLine(std::string_view Raw, std::string_view End, const TProfileLimits& Limits);
  bool IsUtf8Encoding() const;
  std::string Decode(std::string_view Raw) const;
  std::string LineEnd() const;
  const TBlock* FindBlock(std::string_view Section) const;
  TLine NewLine(std::string Text);
  void SetText(TLine& Line, std::string Text);
  void EndLastLine();
  void KeepAnsiReadable();
  void ConvertToUtf8Bom();

  TProfileCodePage FCodePage;
  TProfileEncoding FEncoding = TProfileEncoding::Utf8;
  std::string FLeading;   // the byte-order mark
  std::string FTrailing;  // an odd last byte of a UTF-16 file
  std::string FLineEnd;   // the first line end of the file, for new lines
  std::vector<TBlock> FBlocks;
  // Folded section name to its first block.
  std::unordered_map<std::string, std::size_t> FFirstBlocks;
  bool FModified = false;
  bool FCut = false;
};
