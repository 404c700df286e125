// The entry point of the preview browser's library (see forms/BrowserLibrary.h); built into that
// library only.

#include "forms/BrowserLibrary.h"

#include "core/Globals.h"
#include "forms/frmBrowser.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT void orvane_OpenBrowser(QWidget* mainWindow, const char16_t* address,
                                                 std::size_t length) {
    // The library's globals are the program's when the program exports its own, and a copy of
    // their own otherwise: the address is taken over either way.
    if (orvane::gBrowseAddress.data() != address)
        orvane::gBrowseAddress.assign(address, length);
    orvane::frmBrowser::Open(mainWindow);
}

// The entry point has the type the loader expects.
static_assert(std::is_same_v<decltype(&orvane_OpenBrowser), orvane::BrowserLibrary::Entry>);
