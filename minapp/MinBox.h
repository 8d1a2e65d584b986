#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "MinWindow.h"
#include "Scoped.h"

// A modeless box: a captioned window of its own class, which the
// application's loop treats as a dialog from its creation until it goes
// (Tab moves, Enter presses the default button, Escape cancels), written in
// the message font at its DPI. It is created at the middle of the monitor
// under the cursor, where the user works, and laid out at that monitor's
// DPI. Escape and the close box call Cancel.
class TMinBox : public TMinWindow {
 public:
  ~TMinBox() override;

  // Shows and activates the box and gives the keyboard to FocusTarget().
  void BringToFront();

 protected:
  TMinBox() = default;
  // Creates the box, still without size and hidden.
  bool CreateBox(const wchar_t* ClassName, DWORD ExStyle, const std::string& Caption);
  // A control of the box; Style adds to WS_CHILD | WS_VISIBLE.
  HWND AddControl(const wchar_t* ClassName, const std::wstring& Text, DWORD Style, int Id);
  // Lays the box out, centres it on its monitor's work area, hands its keys
  // to the loop and brings it to the front.
  void Present();
  // Sizes the box for a client area of Width x Height; the top-left corner
  // stays.
  void SetClientSize(int Width, int Height);
  // The work area of the monitor the box is on.
  RECT WorkArea() const;
  // Hides the box, then calls OnEnd once with Arguments: last, as the owner
  // may free the box there.
  template <class Handler, class... Args>
  void End(Handler& OnEnd, Args&&... Arguments) {
    ShowWindow(Handle, SW_HIDE);
    if (const Handler Called = std::exchange(OnEnd, {})) Called(std::forward<Args>(Arguments)...);
  }

  // Places the controls and sizes the box for the current Font.
  virtual void Layout() = 0;
  virtual HWND FocusTarget() const = 0;
  virtual void Cancel() = 0;
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

  // The box's DC with its font selected, for measuring text.
  class TFontDC {
   public:
    explicit TFontDC(const TMinBox& Box);
    ~TFontDC();
    HDC get() const { return DC.get(); }
    const TEXTMETRICW& Metrics() const { return FontMetrics; }

   private:
    TWindowDC DC;
    HGDIOBJ OldFont;
    TEXTMETRICW FontMetrics{};
  };

 private:
  // The message font at Dpi, for every control.
  void ApplyFont(UINT Dpi);

  std::vector<HWND> Controls;
  TFontHandle Font;
};
