// The "About" window: title, version, licence and where the program keeps
// its files. Modeless, so the application's one loop keeps running.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "MinWindow.h"
#include "Scoped.h"

// Control identifier of the text (a read-only field, so paths can be copied).
constexpr int AboutTextId = 1001;

class TAboutBox : public TMinWindow {
 public:
  // The box, or nullptr when it cannot be shown. OnClosed is called once,
  // from the loop, when OK, Escape or the close box ends it; the owner may
  // free the box there.
  static std::unique_ptr<TAboutBox> Show(const std::string& Caption, const std::string& Text,
                                         std::function<void()> OnClosed);
  ~TAboutBox() override;

  void BringToFront();

 protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  TAboutBox() = default;
  // Font, text and button for Dpi; the box is centred on its monitor.
  void Layout(UINT Dpi);
  void Close();

  std::function<void()> OnClosed;
  std::wstring Text;
  HWND TextField = nullptr;
  HWND OkButton = nullptr;
  TFontHandle Font;
};
