#include "forms/BrowserLibrary.h"

#include "core/Globals.h"

#include <QString>

#ifdef ORVANE_BROWSER_LIBRARY
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QtGlobal>
#else
#include "forms/frmBrowser.h"
#endif

namespace orvane::BrowserLibrary {

namespace {

QString& PathOverride() {
    static QString path;
    return path;
}

#ifdef ORVANE_BROWSER_LIBRARY
Entry& LoadedEntry() {
    static Entry entry = nullptr;
    return entry;
}

void ReportUnusable(QWidget* mainWindow, const QString& path, const QString& reason) {
    qWarning("The preview browser cannot be loaded: %s", qPrintable(reason));
    platform::MessageBox::Show(mainWindow, QStringLiteral("ﾌﾟﾚﾋﾞｭｰﾌﾞﾗｳｻﾞを起動できませんでした。\r\n") + path,
                               QStringLiteral("ﾌﾞﾗｳｻﾞ起動失敗"), MessageIcon::Critical);
}
#endif

} // namespace

void SetPathForTests(const QString& path) {
    PathOverride() = path;
#ifdef ORVANE_BROWSER_LIBRARY
    LoadedEntry() = nullptr;
#endif
}

bool Open(QWidget* mainWindow) {
#ifdef ORVANE_BROWSER_LIBRARY
    Entry& entry = LoadedEntry();
    if (!entry) {
        // Beside the program, where it is built and installed. Once loaded it stays.
        const QString path = PathOverride().isEmpty() ? QCoreApplication::applicationDirPath() + u'/' +
                                                            QString::fromLatin1(kFileName)
                                                      : PathOverride();
        QLibrary library(path);
        if (!library.load()) {
            ReportUnusable(mainWindow, path, library.errorString());
            return false;
        }
        entry = reinterpret_cast<Entry>(library.resolve(kEntryName));
        if (!entry) {
            ReportUnusable(mainWindow, path, library.errorString());
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
