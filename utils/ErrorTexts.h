#pragma once
// The system's texts for error codes; shown by the application, not here.
#include <windows.h>

#include <string>

// The system's text for an error code, without the final line break.
std::string SystemErrorText(DWORD Code);
// The system's text for the calling thread's last error code.
std::string LastErrorText();
