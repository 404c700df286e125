#include "forms/frmBrowser.h"
#include "forms/frmMain.h"
#include "platform/Desktop.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    orvane::frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    orvane::platform::LoadQtTranslations();
    orvane::platform::PrepareFonts();
    orvane::frmMain window;
    window.Start();
    return app.exec();
}
