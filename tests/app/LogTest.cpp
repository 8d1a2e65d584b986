// The log: stamped lines within the limit and one previous file, and the
// line an unhandled exception or std::terminate leaves as the program ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <stdexcept>
#include <thread>

#include "Files.h"
#include "Log.h"
#include "TestSupport.h"
#include "Text.h"

namespace {

// The child ends the way the program would: Fault runs outside the test
// body, which would catch a C++ exception itself. The path is fixed, so that
// the dying child (which runs the test again) and this process agree on it.
std::string LineLeftBy(const char* Name, void (*Fault)()) {
  wchar_t Temp[MAX_PATH + 1];
  const std::string Path = WideToUtf8(std::wstring(Temp, GetTempPathW(MAX_PATH + 1, Temp))) + Name + ".log";
  FileDelete(Path);
  EXPECT_EXIT(
      {
        StartLog(Path);
        std::thread(Fault).join();
      },
      [](int) { return true; }, "");
  const std::string Line = ReadTextFile(Path);
  FileDelete(Path);
  return Line;
}

}  // namespace

TEST(Log, StampedLinesStayWithinTheLimitWithOnePreviousFile) {
  ScratchFolder Folder("log");
  StartLog(Folder / "new folder\\trayvm.log");
  const std::string Line(1000, 'x');
  for (uint64_t Written = 0; Written <= 2 * LogMaxBytes; Written += Line.size()) WriteLog(Line);
  WriteLog("Zo\xC3\xAB");
  const std::string Current = ReadTextFile(LogFileName()), Previous = ReadTextFile(LogFileName() + ".1");
  EXPECT_LE(Current.size(), LogMaxBytes);
  EXPECT_GT(Previous.size(), LogMaxBytes - 2 * Line.size());
  EXPECT_LE(Previous.size(), LogMaxBytes);
  EXPECT_TRUE(std::regex_match(Previous.substr(0, Line.size() + 22),
                               std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d x{1000}\r\n)")));
  EXPECT_EQ(Current.substr(Current.size() - 7), " Zo\xC3\xAB\r\n");
}

TEST(LogDeathTest, AnUnhandledExceptionLeavesItsCodeAndAddressAnUncaughtCppOneItsMessage) {
  const std::string Raised = LineLeftBy("LogDeathTestException", [] { RaiseException(0xE0001234, 0, 0, nullptr); });
  EXPECT_TRUE(std::regex_search(Raised, std::regex("exception 0xE0001234 at 0x[0-9A-Fa-f]+"))) << Raised;
  const std::string Thrown = LineLeftBy("LogDeathTestTerminate", [] { throw std::runtime_error("disk on fire"); });
  EXPECT_NE(Thrown.find("disk on fire"), std::string::npos) << Thrown;
}
