#include "ProfileText.h"

#include <algorithm>

#include "StrUtils.h"

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16Mark = "\xFF\xFE";
constexpr char32_t Replacement = 0xFFFD;

bool IsBlank(char C) { return C == ' ' || C == '\t' || C == '\v' || C == '\f'; }
bool IsQuote(char C) { return C == '"' || C == '\''; }
bool IsAscii(std::string_view S) {
  return std::all_of(S.begin(), S.end(), [](char C) { return static_cast<unsigned char>(C) < 0x80; });
}

std::string_view TrimProfileBlanks(std::string_view S) {
  std::size_t Start = 0, End = S.size();
  while (Start < End && IsBlank(S[Start])) ++Start;
  while (End > Start && IsBlank(S[End - 1])) --End;
  return S.substr(Start, End - Start);
}

// Map key of a name: ASCII letters folded, as names compare.
std::string Fold(std::string_view Name) { return AsciiUpper(Name); }

std::string_view Unquote(std::string_view Value) {
  if (Value.size() >= 2 && IsQuote(Value.front()) && Value.front() == Value.back())
    return Value.substr(1, Value.size() - 2);
  return Value;
}

// Whether reading would change the value: trim it or take off its quotes.
bool NeedsQuotes(std::string_view Value) {
  return !Value.empty() && (IsBlank(Value.front()) || IsBlank(Value.back()) || Unquote(Value) != Value);
}

struct TParsedLine {
  enum { None, Header, Key } Kind = None;
  std::string_view Name;
  std::string_view Value;  // trimmed, still quoted; points into the line
};

TParsedLine ParseLine(std::string_view Text) {
  const std::string_view Line = TrimProfileBlanks(Text);
  if (Line.empty() || Line.front() == ';') return {};
  if (Line.front() == '[') {
    const std::size_t Close = Line.rfind(']');
    if (Close != std::string_view::npos) return {TParsedLine::Header, TrimProfileBlanks(Line.substr(1, Close - 1)), {}};
  }
  const std::size_t Equal = Line.find('=');
  if (Equal == std::string_view::npos) return {};
  return {TParsedLine::Key, TrimProfileBlanks(Line.substr(0, Equal)), TrimProfileBlanks(Line.substr(Equal + 1))};
}

// Length of the well-formed UTF-8 sequence at Pos (shortest form, no
// surrogates, at most U+10FFFF) and its code point; 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view S, std::size_t Pos, char32_t& CodePoint) {
  const auto Byte = [&](std::size_t I) { return static_cast<unsigned char>(S[I]); };
  const unsigned char Lead = Byte(Pos);
  std::size_t Length;
  char32_t Min;
  if (Lead < 0x80) {
    CodePoint = Lead;
    return 1;
  } else if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2, Min = 0x80, CodePoint = Lead & 0x1F;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3, Min = 0x800, CodePoint = Lead & 0x0F;
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4, Min = 0x10000, CodePoint = Lead & 0x07;
  } else {
    return 0;
  }
  if (S.size() - Pos < Length) return 0;
  for (std::size_t I = 1; I < Length; ++I) {
    if ((Byte(Pos + I) & 0xC0) != 0x80) return 0;
    CodePoint = CodePoint << 6 | (Byte(Pos + I) & 0x3F);
  }
  if (CodePoint < Min || CodePoint > 0x10FFFF || (CodePoint >= 0xD800 && CodePoint <= 0xDFFF)) return 0;
  return Length;
}

bool IsUtf8(std::string_view S) {
  char32_t Ignored;
  for (std::size_t Pos = 0; Pos < S.size();) {
    const std::size_t Length = Utf8SequenceAt(S, Pos, Ignored);
    if (!Length) return false;
    Pos += Length;
  }
  return true;
}

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | C >> 6);
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | C >> 12);
    Out += static_cast<char>(0x80 | (C >> 6 & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | C >> 18);
    Out += static_cast<char>(0x80 | (C >> 12 & 0x3F));
    Out += static_cast<char>(0x80 | (C >> 6 & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

char16_t Utf16UnitAt(std::string_view Raw, std::size_t Pos) {
  return static_cast<char16_t>(static_cast<unsigned char>(Raw[Pos]) | static_cast<unsigned char>(Raw[Pos + 1]) << 8);
}

void AppendUtf16Unit(std::string& Out, char32_t Unit) {
  Out += static_cast<char>(Unit & 0xFF);
  Out += static_cast<char>(Unit >> 8);
}

// Raw holds whole units; a lone surrogate reads as U+FFFD.
std::string Utf16LeToUtf8(std::string_view Raw) {
  std::string Text;
  Text.reserve(Raw.size());
  for (std::size_t Pos = 0; Pos + 1 < Raw.size(); Pos += 2) {
    const char16_t Unit = Utf16UnitAt(Raw, Pos);
    char32_t C = Unit;
    if (Unit >= 0xD800 && Unit <= 0xDBFF && Pos + 3 < Raw.size()) {
      const char16_t Low = Utf16UnitAt(Raw, Pos + 2);
      if (Low >= 0xDC00 && Low <= 0xDFFF) {
        C = 0x10000 + ((char32_t(Unit) - 0xD800) << 10) + (Low - 0xDC00);
        Pos += 2;
      }
    }
    AppendUtf8(Text, C >= 0xD800 && C <= 0xDFFF ? Replacement : C);
  }
  return Text;
}

std::string Utf8ToUtf16Le(std::string_view Text) {
  std::string Raw;
  Raw.reserve(Text.size() * 2);
  for (std::size_t Pos = 0; Pos < Text.size();) {
    char32_t C;
    const std::size_t Length = Utf8SequenceAt(Text, Pos, C);
    if (!Length) C = Replacement;
    Pos += Length ? Length : 1;
    if (C >= 0x10000) {
      AppendUtf16Unit(Raw, 0xD800 + ((C - 0x10000) >> 10));
      AppendUtf16Unit(Raw, 0xDC00 + ((C - 0x10000) & 0x3FF));
    } else {
      AppendUtf16Unit(Raw, C);
    }
  }
  return Raw;
}

// A name or value that a line can hold and that stays UTF-8.
bool Storable(std::string_view S) {
  return S.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos && IsUtf8(S);
}

}  // namespace

TProfileText::TProfileText(std::string_view Bytes, TProfileCodePage CodePage, TProfileLimits Limits)
    : FCodePage(std::move(CodePage)) {
  FBlocks.emplace_back();
  FFirstBlocks.emplace("", 0);
  if (Bytes.starts_with(Utf16Mark)) {
    FEncoding = TProfileEncoding::Utf16Le;
    FLeading = Utf16Mark;
    Bytes.remove_prefix(Utf16Mark.size());
    if (Bytes.size() % 2) {
      FTrailing = Bytes.back();
      Bytes.remove_suffix(1);
    }
  } else if (Bytes.starts_with(Utf8Mark)) {
    FEncoding = TProfileEncoding::Utf8Bom;
    FLeading = Utf8Mark;
    Bytes.remove_prefix(Utf8Mark.size());
  } else if (!IsUtf8(Bytes)) {
    FEncoding = TProfileEncoding::Ansi;
  }

  // CR and LF are single bytes in every ANSI code page and UTF-8, and single
  // units in UTF-16.
  const std::size_t Unit = FEncoding == TProfileEncoding::Utf16Le ? 2 : 1;
  const auto CharAt = [&](std::size_t Pos) { return Unit == 1 || Bytes[Pos + 1] == 0 ? Bytes[Pos] : '\0'; };
  std::size_t Start = 0;
  for (std::size_t Pos = 0; Pos < Bytes.size();) {
    const char C = CharAt(Pos);
    if (C != '\r' && C != '\n') {
      Pos += Unit;
      continue;
    }
    std::size_t EndSize = Unit;
    if (C == '\r' && Pos + Unit < Bytes.size() && CharAt(Pos + Unit) == '\n') EndSize += Unit;
    if (!AddLine(Bytes.substr(Start, Pos - Start), Bytes.substr(Pos, EndSize), Limits)) return;
    Pos += EndSize;
    Start = Pos;
  }
  if (Start < Bytes.size()) AddLine(Bytes.substr(Start), {}, Limits);
}

bool TProfileText::AddLine(std::string_view Raw, std::string_view End, const TProfileLimits& Limits) {
  if (FLineEnd.empty()) FLineEnd = End;
  TLine Line{IsUtf8Encoding() ? std::string() : std::string(Raw), std::string(End), Decode(Raw)};
  const TParsedLine Parsed = ParseLine(Line.Text);
  if (Parsed.Kind == TParsedLine::Header && FBlocks.size() > Limits.MaxSections) {
    FCut = true;
    return false;
  }
  if (Parsed.Kind == TParsedLine::Header) {
    TBlock& Block = FBlocks.emplace_back();
    Block.Name = Parsed.Name;
    Block.KeyEnd = 1;
    FFirstBlocks.emplace(Fold(Block.Name), FBlocks.size() - 1);
  }
  TBlock& Block = FBlocks.back();
  Block.Overlong = Block.Overlong || Raw.size() > Limits.MaxLineBytes;
  if (Parsed.Kind == TParsedLine::Key) {
    Block.KeyLines.emplace(Fold(Parsed.Name), Block.Lines.size());
    Block.KeyEnd = Block.Lines.size() + 1;
  }
  Block.Lines.push_back(std::move(Line));
  return true;
}

bool TProfileText::IsUtf8Encoding() const {
  return FEncoding == TProfileEncoding::Utf8 || FEncoding == TProfileEncoding::Utf8Bom;
}

std::string TProfileText::Decode(std::string_view Raw) const {
  switch (FEncoding) {
    case TProfileEncoding::Utf16Le:
      return Utf16LeToUtf8(Raw);
    case TProfileEncoding::Ansi:
      return FCodePage.ToUtf8(Raw);
    default:
      return std::string(Raw);
  }
}

const TProfileText::TBlock* TProfileText::FindBlock(std::string_view Section) const {
  const auto Found = FFirstBlocks.find(Fold(TrimProfileBlanks(Section)));
  return Found == FFirstBlocks.end() ? nullptr : &FBlocks[Found->second];
}

std::vector<std::string> TProfileText::Sections() const {
  std::vector<std::string> Names;
  for (std::size_t I = 1; I < FBlocks.size(); ++I)
    if (FFirstBlocks.at(Fold(FBlocks[I].Name)) == I) Names.push_back(FBlocks[I].Name);
  return Names;
}

std::vector<std::string> TProfileText::Keys(std::string_view Section) const {
  std::vector<std::string> Names;
  const TBlock* Block = FindBlock(Section);
  if (!Block) return Names;
  for (std::size_t I = 0; I < Block->Lines.size(); ++I) {
    const TParsedLine Parsed = ParseLine(Block->Lines[I].Text);
    if (Parsed.Kind == TParsedLine::Key && Block->KeyLines.at(Fold(Parsed.Name)) == I) Names.emplace_back(Parsed.Name);
  }
  return Names;
}

std::optional<std::string> TProfileText::Read(std::string_view Section, std::string_view Key) const {
  const TBlock* Block = FindBlock(Section);
  if (!Block) return std::nullopt;
  const auto Found = Block->KeyLines.find(Fold(TrimProfileBlanks(Key)));
  if (Found == Block->KeyLines.end()) return std::nullopt;
  return std::string(Unquote(ParseLine(Block->Lines[Found->second].Text).Value));
}

bool TProfileText::Overlong(std::string_view Section) const {
  const TBlock* Block = FindBlock(Section);
  return Block && Block->Overlong;
}

bool TProfileText::Write(std::string_view Section, std::string_view Key, std::string_view Value) {
  Section = TrimProfileBlanks(Section);
  Key = TrimProfileBlanks(Key);
  // A key line must not look like a header or a comment.
  if (!Storable(Section) || !Storable(Key) || !Storable(Value) || Key.starts_with(';') || Key.starts_with('[') ||
      Key.find('=') != std::string_view::npos)
    return false;
  if (Read(Section, Key) == Value) return true;
  const std::string Stored = NeedsQuotes(Value) ? '"' + std::string(Value) + '"' : std::string(Value);

  auto FoundBlock = FFirstBlocks.find(Fold(Section));
  if (FoundBlock == FFirstBlocks.end()) {
    EndLastLine();
    TBlock& Block = FBlocks.emplace_back();
    Block.Name = Section;
    Block.KeyEnd = 1;
    FoundBlock = FFirstBlocks.emplace(Fold(Section), FBlocks.size() - 1).first;
    Block.Lines.push_back(NewLine('[' + Block.Name + ']'));
  }
  const std::size_t BlockIndex = FoundBlock->second;
  TBlock& Block = FBlocks[BlockIndex];

  const auto FoundLine = Block.KeyLines.find(Fold(Key));
  if (FoundLine != Block.KeyLines.end()) {
    TLine& Line = Block.Lines[FoundLine->second];
    const bool WasUtf8 = IsUtf8Encoding() || IsUtf8(Line.Raw);
    const std::size_t ValueStart = ParseLine(Line.Text).Value.data() - Line.Text.data();
    SetText(Line, Line.Text.substr(0, ValueStart) + Stored);
    if (!WasUtf8) KeepAnsiReadable();
    FModified = true;
    return true;
  }
  TLine Line = NewLine(std::string(Key) + '=' + Stored);
  // The next load would take the start of such a first line for a byte-order
  // mark. (Had the line turned the file into UTF-8, it would have a mark.)
  const std::string_view Start = IsUtf8Encoding() ? Line.Text : Line.Raw;
  if (BlockIndex == 0 && Block.KeyEnd == 0 && FLeading.empty() &&
      (Start.starts_with(Utf8Mark) || Start.starts_with(Utf16Mark)))
    return false;
  // New lines go after the last line of the file only when it has a line end.
  if (BlockIndex + 1 == FBlocks.size() && Block.KeyEnd == Block.Lines.size()) EndLastLine();
  Block.Lines.insert(Block.Lines.begin() + static_cast<std::ptrdiff_t>(Block.KeyEnd), std::move(Line));
  Block.KeyLines.emplace(Fold(Key), Block.KeyEnd);
  ++Block.KeyEnd;
  FModified = true;
  return true;
}

TProfileText::TLine TProfileText::NewLine(std::string Text) {
  TLine Line{{}, LineEnd(), {}};
  SetText(Line, std::move(Text));
  return Line;
}

// The file's first line end, CR LF in a file without one.
std::string TProfileText::LineEnd() const {
  if (!FLineEnd.empty()) return FLineEnd;
  return FEncoding == TProfileEncoding::Utf16Le ? Utf8ToUtf16Le("\r\n") : "\r\n";
}

void TProfileText::SetText(TLine& Line, std::string Text) {
  Line.Text = std::move(Text);
  if (FEncoding == TProfileEncoding::Utf16Le) {
    Line.Raw = Utf8ToUtf16Le(Line.Text);
  } else if (FEncoding == TProfileEncoding::Ansi) {
    if (auto Raw = FCodePage.FromUtf8(Line.Text))
      Line.Raw = std::move(*Raw);
    else
      ConvertToUtf8Bom();
  }
}

void TProfileText::EndLastLine() {
  for (auto Block = FBlocks.rbegin(); Block != FBlocks.rend(); ++Block) {
    if (Block->Lines.empty()) continue;
    TLine& Last = Block->Lines.back();
    if (Last.End.empty()) Last.End = LineEnd();
    return;
  }
}

// A write replaced the line of an ANSI file that was not UTF-8. Were all its
// bytes UTF-8 now, the next load would read the other lines as UTF-8.
void TProfileText::KeepAnsiReadable() {
  if (FEncoding != TProfileEncoding::Ansi) return;
  bool AllAscii = true;
  for (const TBlock& Block : FBlocks)
    for (const TLine& Line : Block.Lines) {
      if (!IsUtf8(Line.Raw)) return;
      AllAscii = AllAscii && IsAscii(Line.Raw);
    }
  if (!AllAscii) ConvertToUtf8Bom();
}

void TProfileText::ConvertToUtf8Bom() {
  FEncoding = TProfileEncoding::Utf8Bom;
  FLeading = Utf8Mark;
  for (TBlock& Block : FBlocks)
    for (TLine& Line : Block.Lines) Line.Raw.clear();
}

std::string TProfileText::Bytes() const {
  std::string Out = FLeading;
  for (const TBlock& Block : FBlocks)
    for (const TLine& Line : Block.Lines) {
      Out += IsUtf8Encoding() ? Line.Text : Line.Raw;
      Out += Line.End;
    }
  Out += FTrailing;
  return Out;
}
