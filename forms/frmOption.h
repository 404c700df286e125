#pragma once
// The options dialog. It works on the process-wide option variables only: OK copies the choices
// into them, ｷｬﾝｾﾙ (or any other way of closing) leaves them as they were. Every opening loads
// it afresh from the variables.
//
// The main window makes one on the stack and runs exec(); tests construct it directly and drive it
// by object name.

#include <QDialog>
#include <QPointer>
#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace orvane {

class frmOption final : public QDialog {
    Q_OBJECT
public:
    /// The option-button arrays, in the order of their frames.
    enum OptionArray { optJyokyo, optLevel, optListType, optMeisyo, optOver, optProxy, optDelData };
    static constexpr int kArrayCount = 7;

    /// Loads the dialog (Form_Load): placed over `mainWindow`, choices taken from the variables.
    explicit frmOption(QWidget* mainWindow);

    void cmdOk_Click();
    void cmdCancel_Click();
    void opt_GotFocus(OptionArray array, int index);
    void opt_LostFocus(OptionArray array, int index);
    void optProxy_Click(int index);

protected:
    /// Escape or the close box: closes like ｷｬﾝｾﾙ, storing nothing.
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void CloseDialog(int result);
    bool Selected(OptionArray array, int index) const;
    void Select(OptionArray array, int index);

    QPointer<QWidget> mainWindow_;
    std::array<QGroupBox*, kArrayCount> frames_{};
    std::array<std::array<QRadioButton*, 2>, kArrayCount> opt_{};
    QRadioButton* optLevelTags_ = nullptr; // optLevel's third choice, "ﾀｸﾞ解析" (index 2)
    QLineEdit* txtProxy_ = nullptr;
    QFrame* Shape1_ = nullptr;
    QLabel* lblInfo_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QObject* focused_ = nullptr; // the option button that last took the focus, while it keeps it
};

} // namespace orvane
