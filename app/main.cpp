#include "forms/frmBrowser.h"
#include "forms/frmMain.h"
#include "platform/Desktop.h"

#include <orvane/BuildInfo.h>

#include <QApplication>

int main(int argc, char* argv[]) {
    orvane::frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QString::fromLatin1(orvane::build::kVersion));
    orvane::platform::LoadQtTranslations();
    orvane::platform::PrepareFonts();
    orvane::frmMain window;
    window.Start();
    return app.exec();
}
