#pragma once
// The rename window: shows a link name that cannot serve as a file name and lets the user take the
// converted name or type another. It lives for one use: Ask() loads and fills it and shows it
// modally, and its OK unloads it. There is no way to cancel.

#include "forms/LoadedForm.h"

#include <QDialog>

#include <string>
#include <string_view>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvane {

// Load() creates the window afresh (hidden, centred on its owner) when none is loaded; OK unloads it.
class frmFileName final : public QDialog, public LoadedForm<frmFileName> {
    Q_OBJECT
public:
    /// The rename question of the shortcut command: shows the window modally over `owner` for
    /// `name`, whose conversion is `converted`, and returns the name the user settled on.
    static std::u16string Ask(QWidget* owner, std::u16string_view name, std::u16string_view converted);

    /// Fills the window for `name`, whose conversion is `converted`.
    void Prepare(const QString& name, const QString& converted);

    void optFileChange_Click(int index);
    void txtAfterFile_Change();
    void OKButton_Click();

public Q_SLOTS:
    // Escape and the window system's close request end here: the window always ends with a name.
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class LoadedForm<frmFileName>;
    explicit frmFileName(QWidget* mainWindow);
    void Form_Load(QWidget* mainWindow);

    QLabel* lblFileBad_;
    QLabel* lblCurFileComment_;
    QLabel* lblCurFile_;
    QLabel* lblAfterFileNameComment_;
    QLabel* lblAfterFile_;
    QGroupBox* fraFileChange_;
    QRadioButton* optFileChange_0_;
    QRadioButton* optFileChange_1_;
    QLabel* lblAfterComment_;
    QLineEdit* txtAfterFile_;
    QPushButton* OKButton_;

    QString converted_;
    std::u16string afterFileName_;
};

} // namespace orvane
