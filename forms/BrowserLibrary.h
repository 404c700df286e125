#pragma once
// With the web engine, the preview browser is a library of its own, loaded when the browser is first
// opened (see forms/CMakeLists.txt). Open() loads it and opens frmBrowser from it; without the web
// engine frmBrowser is part of the program and Open() calls it directly.

#include <cstddef>

class QWidget;

namespace orvane::BrowserLibrary {

/// frmBrowser::Open(mainWindow) on gBrowseAddress. False when the library cannot be loaded (an
/// incomplete installation); the reason goes to the log.
bool Open(QWidget* mainWindow);

/// The library's entry point: the address is handed over with the call, since the library may hold
/// its own copy of the program's globals.
using Entry = void (*)(QWidget* mainWindow, const char16_t* address, std::size_t length);
inline constexpr char kEntryName[] = "orvane_OpenBrowser";
inline constexpr char kFileName[] = "liborvane_browser.so";

} // namespace orvane::BrowserLibrary
