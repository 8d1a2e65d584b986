# cmake -DOBJDUMP=... -DEXE=... -P KnownDllImports.cmake
# Fails when EXE imports a DLL that is not one of Windows 10's known DLLs: the
# loader looks for any other in the program's folder first, so a copy planted
# beside it (in Downloads, on a stick) would be loaded.
# comctl32 is not a known DLL either, but a manifest that asks for Common
# Controls 6 has it resolved side by side from the system's assembly store,
# before any folder is searched.
cmake_minimum_required(VERSION 3.20)

set(KnownDlls
    advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 msctf msvcrt
    normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32)

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE Dump RESULT_VARIABLE Failed)
if(Failed)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed: ${Failed}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" Imports "${Dump}")
if(NOT Imports)
  message(FATAL_ERROR "No import table found in ${EXE}")
endif()

file(STRINGS ${EXE} CommonControls6 REGEX "name=\"Microsoft.Windows.Common-Controls\" version=\"6\\.")
if(CommonControls6)
  list(APPEND KnownDlls comctl32)
endif()

foreach(Import IN LISTS Imports)
  string(TOLOWER "${Import}" Name)
  string(REGEX REPLACE "^dll name: |\\.dll$" "" Name "${Name}")
  if(NOT Name IN_LIST KnownDlls)
    list(APPEND Unknown ${Name})
  endif()
endforeach()
if(Unknown)
  message(FATAL_ERROR "Imports outside the known DLLs: ${Unknown}")
endif()
