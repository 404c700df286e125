#include "forms/BrowserLibrary.h"

#include "core/Globals.h"

#ifdef ORVANE_BROWSER_LIBRARY
#include <QCoreApplication>
#include <QLibrary>
#include <QtGlobal>
#else
#include "forms/frmBrowser.h"
#endif

namespace orvane::BrowserLibrary {

bool Open(QWidget* mainWindow) {
#ifdef ORVANE_BROWSER_LIBRARY
    static Entry entry = nullptr;
    if (!entry) {
        // Beside the program, where it is built and installed. Once loaded it stays.
        QLibrary library(QCoreApplication::applicationDirPath() + u'/' + QString::fromLatin1(kFileName));
        if (!library.load()) {
            qWarning("The preview browser cannot be loaded: %s", qPrintable(library.errorString()));
            return false;
        }
        entry = reinterpret_cast<Entry>(library.resolve(kEntryName));
        if (!entry) {
            qWarning("The preview browser library has no entry point: %s", qPrintable(library.errorString()));
            return false;
        }
    }
    entry(mainWindow, gBrowseAddress.data(), gBrowseAddress.size());
#else
    frmBrowser::Open(mainWindow);
#endif
    return true;
}

} // namespace orvane::BrowserLibrary
