#include "forms/frmMain.h"
namespace orvane {
frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {}
void frmMain::Start() { show(); }
} // namespace orvane
