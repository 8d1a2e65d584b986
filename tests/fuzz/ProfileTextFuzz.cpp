// Arbitrary profile files and writes: an unchanged file saves byte for byte,
// and a write changes exactly the one value it sets, also after a save and a
// fresh parse. Input: the lengths of section, key and value in three bytes,
// the three texts, then the file.
#include "ProfileText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "../support/Latin1CodePage.h"

namespace {

// Section, key and value of every key line, in file order.
using TEntries = std::vector<std::array<std::string, 3>>;

TEntries Entries(const TProfileText& Text) {
  std::vector<std::string> Sections = Text.Sections();
  Sections.insert(Sections.begin(), "");
  TEntries Result;
  for (const std::string& Section : Sections)
    for (const std::string& Key : Text.Keys(Section)) Result.push_back({Section, Key, Text.Read(Section, Key).value()});
  return Result;
}

void Require(bool Condition) {
  if (!Condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 3) return 0;
  std::string_view Input(reinterpret_cast<const char*>(Data + 3), Size - 3), Fields[3];
  for (int I = 0; I < 3; ++I) Fields[I] = Input.substr(0, Data[I]), Input.remove_prefix(Fields[I].size());
  const auto& [Section, Key, Value] = Fields;
  // A copy of exactly the file's bytes, so ASan sees any read past the end.
  const std::string File(Input);

  TProfileText Text(File, Latin1CodePage());
  Require(Text.Bytes() == File);
  const TEntries Before = Entries(Text);
  // Read within limits: the first sections, each as read whole unless a
  // line of it is too long.
  const TProfileText Bounded(File, Latin1CodePage(), {3, 12});
  const std::vector<std::string> All = Text.Sections(), Read = Bounded.Sections();
  Require(Read.size() <= 3 && Read.size() <= All.size() && (Bounded.Cut() || Read.size() == All.size()));
  const auto Lines = [](const TProfileText& From, const std::string& Section) {
    std::vector<std::pair<std::string, std::string>> Result;
    for (const std::string& Key : From.Keys(Section)) Result.emplace_back(Key, From.Read(Section, Key).value());
    return Result;
  };
  for (std::size_t S = 0; S < Read.size(); ++S)
    Require(Read[S] == All[S] && (Bounded.Overlong(Read[S]) || Lines(Bounded, Read[S]) == Lines(Text, Read[S])));
  if (!Text.Write(Section, Key, Value)) {
    Require(!Text.Modified() && Text.Bytes() == File);
    return 0;
  }
  Require(Text.Read(Section, Key) == Value);
  const TEntries After = Entries(Text);
  // Undoing the first difference, a changed or an added line, gives the
  // entries back: nothing else changed, went or moved.
  const std::size_t First =
      std::mismatch(Before.begin(), Before.end(), After.begin(), After.end()).second - After.begin();
  TEntries Undone = After;
  if (Undone.size() > Before.size())
    Undone.erase(Undone.begin() + First);
  else if (First < Undone.size())
    Undone[First][2] = Before[First][2];
  Require(Undone == Before && (First < After.size()) == Text.Modified());
  if (!Text.Modified()) Require(Text.Bytes() == File);
  Require(Entries(TProfileText(Text.Bytes(), Latin1CodePage())) == After);
  return 0;
}
