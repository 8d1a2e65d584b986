#include "UtilsStrings.h"

#include "StrUtils.h"

TResourceString SFileNotExists{"plutilsmini.s_filenotexists", "File or folder \"%s\" is not exists"};
TResourceString SErrCopyFile{"plutilsmini.s_errcopyfile", "Cannot copy file \"%s\""};
TResourceString SErrCreateDir{"plutilsmini.s_errcreatedir", "Cannot create directory \"%s\""};
TResourceString SErrFileWrite{"plutilsmini.s_errfilewrite", "\"%s\" write access denied"};
TResourceString SErrDeleteFile{"plutilsmini.s_errdeletefile", "Unable to delete file or folder \"%s\""};
TResourceString SDeleteItem{"plutilsmini.s_deleteitem", "Delete \"%s\"?"};

bool SetUtilsString(const std::string& Name, const std::string& Text) {
  for (TResourceString* S : {&SFileNotExists, &SErrCopyFile, &SErrCreateDir, &SErrFileWrite, &SErrDeleteFile,
                             &SDeleteItem}) {
    if (Name == S->Name) {
      S->Text = Text;
      return true;
    }
  }
  return false;
}

std::string FormatUtilsString(const TResourceString& S, const std::string& Path) {
  return FormatText(S.Text, {Path});
}
