#pragma once
#include <QMainWindow>
namespace orvane {
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    void Start();
};
} // namespace orvane
