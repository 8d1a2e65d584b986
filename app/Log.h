// The program's log: one time-stamped UTF-8 line per outcome and per action
// taken without the user, kept small, with one previous file beside it.
// Never give it a password or a command line that holds one.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Past this size the log becomes Path + ".1" before the next line.
inline constexpr uint64_t LogMaxBytes = 256 * 1024;

// Logs to Path from now on (its folder is created), and has an unhandled
// exception or std::terminate write its code and address, or its message,
// there before the program ends.
void StartLog(const std::string& Path);
// The file StartLog was given; empty before.
std::string LogFileName();
// Appends "YYYY-MM-DD hh:mm:ss Text"; nothing before StartLog.
void WriteLog(std::string_view Text);
