// Arbitrary profile files and writes: an unchanged file saves byte for byte,
// and a write changes exactly the one value it sets, also after a save and a
// fresh parse. Input: section, key and value, each ended by a NUL, then the
// file.
#include "ProfileText.h"

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "../support/Latin1CodePage.h"

namespace {

using TSnapshot = std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>;

TSnapshot Snapshot(const TProfileText& Text) {
  std::vector<std::string> Sections = Text.Sections();
  Sections.insert(Sections.begin(), "");
  TSnapshot Result;
  for (const std::string& Section : Sections) {
    auto& Keys = Result.emplace_back(Section, std::vector<std::pair<std::string, std::string>>{}).second;
    for (const std::string& Key : Text.Keys(Section)) Keys.emplace_back(Key, Text.Read(Section, Key).value());
  }
  return Result;
}

void Require(bool Condition) {
  if (!Condition) std::abort();
}

// Number of values After changed or added; nothing may go or move.
std::size_t ChangedValues(const TSnapshot& Before, const TSnapshot& After) {
  Require(After.size() >= Before.size());
  std::size_t Changed = 0;
  for (std::size_t S = 0; S < After.size(); ++S) {
    const auto& NewKeys = After[S].second;
    if (S >= Before.size()) {
      Changed += NewKeys.size();
      continue;
    }
    const auto& OldKeys = Before[S].second;
    Require(After[S].first == Before[S].first && NewKeys.size() >= OldKeys.size());
    for (std::size_t K = 0; K < NewKeys.size(); ++K) {
      if (K >= OldKeys.size()) {
        ++Changed;
        continue;
      }
      Require(NewKeys[K].first == OldKeys[K].first);
      Changed += NewKeys[K].second != OldKeys[K].second;
    }
  }
  return Changed;
}

// The next field up to a NUL; false when there is none.
bool TakeField(std::string_view& Input, std::string_view& Field) {
  const std::size_t End = Input.find('\0');
  if (End == std::string_view::npos) return false;
  Field = Input.substr(0, End);
  Input.remove_prefix(End + 1);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::string_view Input(reinterpret_cast<const char*>(Data), Size);
  std::string_view Section, Key, Value;
  const bool HasWrite = TakeField(Input, Section) && TakeField(Input, Key) && TakeField(Input, Value);
  // A copy of exactly the file's bytes, so ASan sees any read past the end.
  const std::string File(HasWrite ? Input : std::string_view(reinterpret_cast<const char*>(Data), Size));

  TProfileText Text(File, Latin1CodePage());
  Require(Text.Bytes() == File);
  const TSnapshot Before = Snapshot(Text);
  // Read within limits: the first sections, each as read whole unless a
  // line of it is too long.
  const TProfileText Bounded(File, Latin1CodePage(), {3, 12});
  const TSnapshot Within = Snapshot(Bounded);
  Require(Within.size() <= 4 && Within.size() <= Before.size() && (Bounded.Cut() || Within.size() == Before.size()));
  for (std::size_t S = 1; S < Within.size(); ++S)
    Require(Within[S].first == Before[S].first && (Bounded.Overlong(Within[S].first) || Within[S] == Before[S]));
  if (!HasWrite) return 0;
  if (!Text.Write(Section, Key, Value)) {
    Require(!Text.Modified() && Text.Bytes() == File);
    return 0;
  }
  Require(Text.Read(Section, Key) == Value);
  const TSnapshot After = Snapshot(Text);
  Require(ChangedValues(Before, After) == (Text.Modified() ? 1u : 0u));
  if (!Text.Modified()) Require(Text.Bytes() == File);

  const TProfileText Reread(Text.Bytes(), Latin1CodePage());
  Require(Snapshot(Reread) == After);
  return 0;
}
