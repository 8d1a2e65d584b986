#pragma once
#include <cstdint>

// State shared by the tray application and volume control. It lives here,
// below the application, because volume control reads and sets it too.
extern uint8_t AppFlags;

constexpr uint8_t afBusy = 0x02;            // a volume pass is running
constexpr uint8_t afLoggingOff = 0x04;      // the session is logging off: no exit-time dismount
constexpr uint8_t afNoDismount = 0x08;      // "-nd" or "Exit Without Dismount"
constexpr uint8_t afSettingsChanged = 0x10; // the settings file changed since the menus were built
