// The input box at 100%, 150%, 200% and 250%. Wine reads the DPI from the
// LogPixels value when a process starts, so each check runs in a process
// started after the value was set.
#include <gtest/gtest.h>

#include <string>

#include "Process.h"
#include "WineDesktop.h"
#include "WineDrives.h"

TEST(InputBoxLayout, EveryControlInsideAndEveryTextWholeAt100150200And250Percent) {
  const std::string Built = WineDosPath(INPUTBOX_PROBE_EXE);
  for (DWORD Dpi : {96u, 144u, 192u, 240u}) {
    SCOPED_TRACE(Dpi);
    const SessionDpi Session(Dpi);
    SetEnvironmentVariableW(L"INPUTBOX_PROBE_DPI", std::to_wstring(Dpi).c_str());
    EXPECT_EQ(RunProcess(Built.empty() ? INPUTBOX_PROBE_EXE : Built, "", true), 0) << "see the probe's output above";
  }
}
