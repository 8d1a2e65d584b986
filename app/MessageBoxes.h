#pragma once
// The message box of a start that cannot reach the running program: no loop
// of ours runs yet.
#include <string>

// Modal box without owner, the application's title as caption, OK button
// and warning icon.
void ShowWarning(const std::string& Text);
