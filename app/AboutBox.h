// The "About" window: title, version, licence and where the program keeps
// its files. Modeless, so the application's one loop keeps running.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "MinBox.h"

// Control identifier of the text (a read-only field, so paths can be copied).
constexpr int AboutTextId = 1001;

class TAboutBox : public TMinBox {
 public:
  // The box, or nullptr when it cannot be shown. OnClosed is called once,
  // from the loop, when OK, Escape or the close box ends it; the owner may
  // free the box there.
  static std::unique_ptr<TAboutBox> Show(const std::string& Caption, const std::string& Text,
                                         std::function<void()> OnClosed);

 protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  TAboutBox() = default;
  void Layout() override;
  HWND FocusTarget() const override { return OkButton; }
  void Cancel() override { End(OnClosed); }

  std::function<void()> OnClosed;
  std::wstring Text;
  HWND TextField = nullptr;
  HWND OkButton = nullptr;
};
