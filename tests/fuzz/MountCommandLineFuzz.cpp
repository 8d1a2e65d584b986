// Arbitrary paths, password, label, keyfiles and PIM: the mount parameters,
// split by the Windows argument rules, give back exactly the words meant.
// No input adds a word, drops one or changes one.
#include "MountCommandLine.h"
#include "VolumeInfoRules.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The words after the program's name by the rules of CommandLineToArgvW:
// blanks and tabs separate outside quotes; 2n backslashes and a quote give n
// and open or close quoting, 2n+1 give n and a literal quote; other
// backslashes are literal; inside quotes a doubled quote is one literal quote.
std::vector<std::string> SplitArguments(const std::string& Line) {
  std::vector<std::string> Words;
  for (std::size_t I = 0;;) {
    while (I < Line.size() && (Line[I] == ' ' || Line[I] == '\t')) ++I;
    if (I == Line.size()) return Words;
    std::string& Word = Words.emplace_back();
    for (bool Quoted = false; I < Line.size() && (Quoted || (Line[I] != ' ' && Line[I] != '\t'));) {
      const std::size_t Start = I;
      while (I < Line.size() && Line[I] == '\\') ++I;
      const std::size_t Slashes = I - Start;
      if (I == Line.size() || Line[I] != '"') {
        Word.append(Slashes, '\\');
        if (Slashes == 0) Word += Line[I++];
        continue;
      }
      Word.append(Slashes / 2, '\\');
      // An escaped quote, or a doubled one inside quotes, is literal.
      if (Slashes % 2 == 1 || (Quoted && I + 1 < Line.size() && Line[I + 1] == '"'))
        Word += '"', I += Slashes % 2 == 1 ? 1 : 2;
      else
        Quoted = !Quoted, ++I;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, std::size_t Size) {
  if (Size < 4) return 0;
  const uint8_t Flags = Data[0];
  TMountOptions Options;
  Options.ReadOnly = Flags & 1;
  Options.Removable = Flags & 2;
  const bool TrueCryptMode = Flags & 4, ProgramIsTrueCrypt = Flags & 8;
  Options.Pim = int32_t((Data[1] | Data[2] << 8 | Data[3] << 16) % (MaxPim + 1));
  // Texts in the input are separated by the byte 0x01.
  std::vector<std::string> Texts(1);
  for (const char C : std::string_view(reinterpret_cast<const char*>(Data + 4), Size - 4)) {
    if (C == '\x01')
      Texts.emplace_back();
    else
      Texts.back() += C;
  }
  Texts.resize(std::max<std::size_t>(Texts.size(), 3));
  const std::string& Path = Texts[0];
  const std::string& Password = Texts[1];
  const std::string& Label = Texts[2];
  Options.Keyfiles.assign(Texts.begin() + 3, Texts.end());
  // Only what a definition lets through: no control character in its texts;
  // a typed password holds no NUL.
  if (std::any_of(Texts.begin(), Texts.end(),
                  [&](const std::string& T) { return &T != &Password && HasControlCharacter(T); }) ||
      Password.find('\0') != std::string::npos)
    return 0;

  std::vector<std::string> Expected{"/q", "/s", "/v", Path, "/l", "X"};
  if (TrueCryptMode && !ProgramIsTrueCrypt) Expected.push_back("/tc");
  if (!Label.empty()) Expected.insert(Expected.end(), {"/m", "label=" + Label});
  if (Options.ReadOnly) Expected.insert(Expected.end(), {"/m", "ro"});
  if (Options.Removable) Expected.insert(Expected.end(), {"/m", "rm"});
  for (const std::string& Keyfile : Options.Keyfiles) Expected.insert(Expected.end(), {"/k", Keyfile});
  if (Options.Pim != 0) Expected.insert(Expected.end(), {"/pim", std::to_string(Options.Pim)});
  Expected.insert(Expected.end(), {"/p", Password});

  const std::string Line(
      MountParameters(Path, Password, Label, TrueCryptMode, ProgramIsTrueCrypt, 'X', Options).view());
  // CreateProcessW takes the line up to its first NUL.
  if (SplitArguments(Line.substr(0, Line.find('\0'))) != Expected) std::abort();
  return 0;
}
