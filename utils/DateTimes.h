#pragma once
// The wall-clock time of the user's time zone.
#include <chrono>

using TLocalTime = std::chrono::local_time<std::chrono::milliseconds>;
