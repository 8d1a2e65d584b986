#pragma once
// The application's message boxes: the libraries below return errors, and
// the application decides what the user sees.
#include <string>

// Modal box without owner, caption "Error", OK button and error icon.
void ShowError(const std::string& Text);
// ShowError of the system's text for the calling thread's last error code.
void ShowLastError();
// Modal box without owner, the application's title as caption, OK button
// and warning icon.
void ShowWarning(const std::string& Text);
