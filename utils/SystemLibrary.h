#pragma once
// DLLs that are not known DLLs, loaded from System32 only. Imported or
// loaded by name, a copy planted beside the program (in Downloads, on a
// stick) would be loaded instead.
#include <windows.h>

#include "Scoped.h"

class TSystemLibrary {
 public:
  // Name: the file name only, e.g. L"version.dll".
  explicit TSystemLibrary(const wchar_t* Name) : Module(LoadLibraryExW(Name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

  // The export Name as a pointer to TFunction, a function type such as
  // decltype(GetFileVersionInfoW); nullptr when the DLL or the export is
  // missing. Valid while this object lives.
  template <typename TFunction>
  TFunction* Find(const char* Name) const {
    if (!Module) return nullptr;
    return reinterpret_cast<TFunction*>(reinterpret_cast<void*>(GetProcAddress(Module.get(), Name)));
  }

 private:
  TModuleHandle Module;
};
