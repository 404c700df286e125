#pragma once
// The dialog that asks for the address of the page to fetch.
//
// Use from the main window:
//     frmOpenURL& dialog = frmOpenURL::Load(this); // loads it on first use (text "http://")
//     dialog.exec();                               // modal
//     if (gCancelRequested) { gCancelRequested = false; return; } // cancelled
//     const QString url = dialog.Url();            // exactly as typed
// OK hides the dialog and keeps it loaded, so the next opening shows the last address. Cancel sets
// gCancelRequested, hides the dialog and unloads it (the instance is deleted once control returns
// to the event loop), so the next Load() starts again with "http://". Both enable the main window.

#include "forms/LoadedForm.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

class frmOpenURL final : public QDialog, public LoadedForm<frmOpenURL> {
    Q_OBJECT
public:
    /// The text box exactly as typed (neither trimmed nor checked).
    QString Url() const;

    void comOk_Click();
    void ComCancel_Click();
    /// Enter acts as OK and Escape as Cancel; returns true when the key was taken.
    bool txtOpenURL_KeyPress(int keyAscii);

protected:
    /// Escape anywhere in the dialog or the window manager's close is a Cancel: leaving the
    /// dialog without OK must never start a fetch.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class LoadedForm<frmOpenURL>;
    explicit frmOpenURL(QWidget* mainWindow);
    void Form_Load();
    void EnableMainWindow();

    QPointer<QWidget> mainWindow_;
    QLabel* Label1_;
    QLineEdit* txtOpenURL_;
    QPushButton* comOk_;
    QPushButton* ComCancel_;
};

} // namespace orvane
