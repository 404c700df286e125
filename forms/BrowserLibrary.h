#pragma once
// With the web engine, the preview browser is a library of its own, loaded when the browser is first
// opened (see forms/CMakeLists.txt). Open() loads it and opens frmBrowser from it; without the web
// engine frmBrowser is part of the program and Open() calls it directly.

#include <cstddef>

class QString;
class QWidget;

namespace orvane::BrowserLibrary {

/// frmBrowser::Open(mainWindow) on gBrowseAddress. When the library cannot be loaded (an
/// incomplete installation) a message box over `mainWindow` names it, and the result is false.
bool Open(QWidget* mainWindow);

/// Test hook: the library's path for later loads (empty: the one beside the program, or else the
/// one the program's run path finds, in the installed private library directory). A library
/// loaded before stays in the process, but is looked up again at the next Open().
void SetPathForTests(const QString& path);

/// The library's entry point: the address is handed over with the call, since the library may hold
/// its own copy of the program's globals.
using Entry = void (*)(QWidget* mainWindow, const char16_t* address, std::size_t length);
inline constexpr char kEntryName[] = "orvane_OpenBrowser";
inline constexpr char kFileName[] = "liborvane_browser.so";

} // namespace orvane::BrowserLibrary
