#include "forms/BrowserLibrary.h"

#include "core/Globals.h"

#include <QString>

#ifdef ORVANE_BROWSER_LIBRARY
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <dlfcn.h>
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

// The library's handle, never closed: the tests' path when set; beside the program when it is there
// (the build tree, a copy run from its own folder); otherwise by name, which dlopen looks up through
// the caller's run path. The call stays in this file, linked into the program, because the program's
// run path names the installed private library directory; QLibrary's own dlopen would search Qt's.
void* LoadLibrary(QString& shownPath, QString& error) {
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + QString::fromLatin1(kFileName);
    if (!PathOverride().isEmpty())
        shownPath = PathOverride();
    else if (QFileInfo(beside).isFile())
        shownPath = beside;
    else
        shownPath = QString::fromLatin1(kFileName);
    void* handle = dlopen(QFile::encodeName(shownPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        error = QString::fromLocal8Bit(dlerror());
    return handle;
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
        QString path;
        QString error;
        void* handle = LoadLibrary(path, error);
        if (handle)
            entry = reinterpret_cast<Entry>(dlsym(handle, kEntryName));
        if (!entry) {
            ReportUnusable(mainWindow, path, handle ? QString::fromLocal8Bit(dlerror()) : error);
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
