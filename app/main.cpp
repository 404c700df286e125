#include "forms/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    orvane::frmMain window;
    window.Start();
    return app.exec();
}
