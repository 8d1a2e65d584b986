#pragma once
// Command-line arguments written by the Windows argument rule, the one
// CommandLineToArgvW and the C runtime read back, so a program gets exactly
// the text that was meant, whatever quotes or blanks it holds.
#include <string>
#include <string_view>

#include "SecretText.h"

// Always: in quotes even when the text does not need them, as a path stored
// for the shell is.
enum class TQuoting { WhenNeeded, Always };

// Appends Arg to Out as one argument: unchanged when it has no blank, tab or
// double quote (and is not empty); otherwise in double quotes with each
// embedded quote escaped and the backslashes before a quote (or before the
// closing quote) doubled. Out is a std::string or a SecretText.
template <class Text>
void AppendArgument(Text& Out, std::string_view Arg, TQuoting Quoting = TQuoting::WhenNeeded);

std::string QuotedArgument(std::string_view Arg, TQuoting Quoting = TQuoting::WhenNeeded);
