#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "MinBox.h"
#include "SecretText.h"

// Control identifiers of the input box window (class "InputBox").
constexpr int InputBoxEditId = 1001;
constexpr int InputBoxOkId = 1002;
constexpr int InputBoxCancelId = 1003;
// Longest text the input box takes from its field, in UTF-16 units.
constexpr int InputBoxMaxLength = 1023;

using TInputBoxAnswer = std::function<void(bool Submitted, SecretText Text)>;

// A small modeless box asking for one line of text. OK, Cancel, Escape or the
// close box end it once with OnAnswer (Submitted with the text, or not and
// an empty text), called from the loop; the owner may free the box there.
// Freeing the box closes it without an answer.
class TInputBox : public TMinBox {
 public:
  // The box, or nullptr when it cannot be shown. An empty Caption shows the
  // application title. Masked hides what is typed (for passwords).
  static std::unique_ptr<TInputBox> Show(const std::string& Caption, const std::string& Prompt,
                                         const std::string& Default, bool Masked, TInputBoxAnswer OnAnswer);
  // The same box as a yes-or-no question: no field, "Yes" and "No" buttons,
  // "No" the default, so that Enter alone changes nothing. Yes is Submitted.
  static std::unique_ptr<TInputBox> Confirm(const std::string& Caption, const std::string& Question,
                                            TInputBoxAnswer OnAnswer);
  // Here too, so that the field is wiped before it goes.
  ~TInputBox() override;

 protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  TInputBox() = default;
  // The box with a field (Default, Masked), or without one when Field is
  // empty; OkText and CancelText name its buttons.
  static std::unique_ptr<TInputBox> Open(const std::string& Caption, const std::string& Prompt,
                                         const std::optional<std::string>& FieldText, bool Masked,
                                         const wchar_t* OkText, const wchar_t* CancelText, TInputBoxAnswer OnAnswer);
  void CreateControls(const std::string& Prompt, const std::optional<std::string>& FieldText, bool Masked,
                      const wchar_t* OkText, const wchar_t* CancelText);
  HWND FocusTarget() const override { return LastFocus ? LastFocus : Field ? Field : DefaultButton; }
  void Layout() override;
  void Cancel() override { Answer(false); }
  // The default button, which Enter presses, is OK unless Cancel has the
  // focus.
  void FocusMoved(HWND Control);
  void Answer(bool Submitted);

  TInputBoxAnswer OnAnswer;
  std::wstring PromptText, OkText, CancelText;
  HWND Prompt = nullptr;
  HWND Field = nullptr;
  // Known from the field's first notification.
  HWND EditHandle = nullptr;
  HWND OkButton = nullptr;
  HWND CancelButton = nullptr;
  HWND DefaultButton = nullptr;
  // Given the focus again when the box is activated.
  HWND LastFocus = nullptr;
};

enum class TFileDialogEnd { Chosen, Cancelled, NotNow };

// The standard open (Open true) or save dialog, owned by the application's
// window; it runs the system's loop, in which the application's messages are
// handled as usual. Filter holds pairs of description and pattern separated
// by "|", e.g. "Programs(*.exe)|*.exe"; FilterIndex picks the initial pair,
// counted from 1. Path is the choice, or empty.
TFileDialogEnd FileDialog(bool Open, const std::string& Title, const std::string& InitialDir, const std::string& Filter,
                          std::uint32_t FilterIndex, std::string& Path);
// The open file dialog, or nullptr.
HWND OpenFileDialogWindow();
// Ends the open file dialog as "not now".
void CloseFileDialog();
