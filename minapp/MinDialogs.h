#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "SecretText.h"

// Control identifiers of the input box window (class "InputBox").
constexpr int InputBoxEditId = 1001;
constexpr int InputBoxOkId = 1002;
constexpr int InputBoxCancelId = 1003;
// Longest text the input box takes from its field, in UTF-16 units.
constexpr int InputBoxMaxLength = 1023;

// Asks for one line of text in a small window with its own modal loop; while
// it is open the application window answers nothing and timers skip their
// handlers. True and the entered text when OK was pressed; false and an empty
// Value on Cancel, on closing the window or when the box cannot be shown.
// An empty Caption shows the application title. Masked hides what is typed
// (for passwords).
bool InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default, SecretText& Value,
              bool Masked = false);

// Closes the open input boxes and file dialogs of the thread as if they
// were cancelled; they end after their loops see it.
void CloseQuestionWindows();

// The standard open (Open true) or save dialog. Filter holds pairs of
// description and pattern separated by "|", e.g. "Programs(*.exe)|*.exe";
// FilterIndex picks the initial pair, counted from 1. True and the chosen
// path as the one entry of Files, or false and no entries when cancelled.
bool FileDialog(bool Open, const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                std::uint32_t FilterIndex, std::vector<std::string>& Files);
