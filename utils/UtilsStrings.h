#pragma once
// The library's message texts, table "PLUTILSMINI". Each is formatted with
// one path. They can be replaced at run time by name for another language.
#include <string>

inline constexpr const char* UtilsStringTable = "PLUTILSMINI";

struct TResourceString {
  const char* Name;
  std::string Text;
};

extern TResourceString SFileNotExists;  // "plutilsmini.s_filenotexists"
extern TResourceString SErrCopyFile;    // "plutilsmini.s_errcopyfile"
extern TResourceString SErrCreateDir;   // "plutilsmini.s_errcreatedir"
extern TResourceString SErrFileWrite;   // "plutilsmini.s_errfilewrite"
extern TResourceString SErrDeleteFile;  // "plutilsmini.s_errdeletefile"
extern TResourceString SDeleteItem;     // "plutilsmini.s_deleteitem"

// Replaces the text of the string named Name; false when there is none.
bool SetUtilsString(const std::string& Name, const std::string& Text);
// The string's text with its "%s" replaced by Path.
std::string FormatUtilsString(const TResourceString& S, const std::string& Path);
