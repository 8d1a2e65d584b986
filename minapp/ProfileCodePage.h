#pragma once
#include "ProfileText.h"

// The system's ANSI code page for profile files that are not UTF-8, as the
// 8-bit profile functions read them.
TProfileCodePage AnsiProfileCodePage();
