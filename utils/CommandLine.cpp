#include "CommandLine.h"

namespace {

bool NeedsQuotes(std::string_view Arg) {
  if (Arg.empty()) return true;
  return Arg.find_first_of(" \t\n\v\"") != std::string_view::npos;
}

void Write(std::string& Out, std::string_view Part) { Out.append(Part); }
void Write(SecretText& Out, std::string_view Part) { Out.Append(Part); }

}  // namespace

template <class Text>
void AppendArgument(Text& Out, std::string_view Arg, TQuoting Quoting) {
  auto Put = [&Out](char C, std::size_t Count) {
    for (; Count > 0; --Count) Write(Out, std::string_view(&C, 1));
  };
  if (Quoting == TQuoting::WhenNeeded && !NeedsQuotes(Arg)) {
    Write(Out, Arg);
    return;
  }
  Put('"', 1);
  size_t Backslashes = 0;
  for (char C : Arg) {
    if (C == '\\') {
      ++Backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    Put('\\', C == '"' ? Backslashes * 2 + 1 : Backslashes);
    Backslashes = 0;
    Put(C, 1);
  }
  Put('\\', Backslashes * 2);
  Put('"', 1);
}

template void AppendArgument(std::string& Out, std::string_view Arg, TQuoting Quoting);
template void AppendArgument(SecretText& Out, std::string_view Arg, TQuoting Quoting);

std::string QuotedArgument(std::string_view Arg, TQuoting Quoting) {
  std::string Out;
  AppendArgument(Out, Arg, Quoting);
  return Out;
}
