#include "forms/frmBrowser.h"
#include "forms/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    orvane::frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    orvane::frmMain window;
    window.Start();
    return app.exec();
}
