#pragma once
// The progress window: a phase line, a status line and a cancel button, shown without modality
// while the main window is disabled. Loaded on first use and kept for the rest of the run.

#include "forms/LoadedForm.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QLabel;
class QPushButton;

namespace orvane {

// The one progress window of the run: Load() creates it hidden, placed over the main window.
class frmInfo final : public QDialog, public LoadedForm<frmInfo> {
    Q_OBJECT
public:
    void SetPhaseText(const QString& text);
    void SetStatusText(const QString& text);
    void SetStatusVisible(bool visible);
    void SetCancelVisible(bool visible);
    void Repaint();

    QLabel* lblInfo() const { return lblInfo_; }
    QLabel* lblStatus() const { return lblStatus_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void cmdCancel_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class LoadedForm<frmInfo>;
    explicit frmInfo(QWidget* mainWindow);
    void Form_Load(QWidget* mainWindow);
    void PaintStatusSoon();

    QLabel* lblInfo_;
    QLabel* lblStatus_;
    QPushButton* cmdCancel_;
    // The status line's text is always current; its painting is held back to once a frame.
    QElapsedTimer statusPainted_;
    QTimer statusFrame_;
};

} // namespace orvane
