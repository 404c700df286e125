#pragma once
// The main window: the link list with its edit frame and commands, the menu bar, drops, and the
// start-up and shut-down of the program. It runs the link extraction with itself as the host.

#include "core/ConversionHost.h"
#include "core/MessageText.h"

#include <QMainWindow>
#include <QStringList>
#include <optional>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orvane {

namespace platform {
class ElidedLabel;
class ListView;
} // namespace platform

class frmMain final : public QMainWindow, public ConversionHost {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    /// Form_Load, then shows the window.
    void Start();

    /// The program directory for this run; tests point it at a temporary directory.
    static void SetProgramDirectoryForTests(const QString& dir);

    // Start-up and shut-down.
    void Form_Load();
    void Form_Unload();
    void Form_Resize();
    void SetHelpTexts();

    // The link list.
    int AddLinkRecord(std::u16string url, std::u16string name, std::int16_t seq) override;
    void ShowNewLinks(int count) override;
    void ListView1_ItemClick(int index);
    void ListView1_AfterLabelEdit(int index, const QString& newText, bool* cancel);
    void ListView1_ColumnClick(int column);
    void ListView1_DblClick();
    void comListClear_Click();
    void cmdUpDate_Click();
    void cmdDelete_Click();

    // Input.
    /// `documentAddress`: what relative links resolve against when the tags are read (a fetched
    /// page's address); empty means the file's own file: URL.
    void ConvertHtmlFile(const QString& path, const QString& documentAddress = QString());
    void InputDroppedFiles(const QStringList& paths);
    void InputDroppedUrl(const QString& url);
    void mOpen_Click();
    void mWWWOpen_Click();
    /// Fetches `url` into the temporary page and converts it (the URL dialog's part is done).
    void FetchAndConvert(const QString& url);
    /// A transfer state: its status text on the progress window; the error state cancels.
    void Inet_StateChanged(int state);

    // Output and the other menu commands.
    void cmdMakeList_Click();
    void cmdOutLink_Click();
    void mEnd_Click();
    void mIppan_Click();
    void mManual_Click();
    void mVersion_Click();
    /// Opens the preview browser on gBrowseAddress, or brings it forward when open.
    void OpenBrowser();

    /// Where Orvane.ini and the temporary page live: the program directory, or the per-user
    /// configuration directory when the program directory cannot be written.
    QString DataDirectory() const { return dataDir_; }

    // ConversionHost: what the extraction asks of the windows.
    std::u16string TargetText() const override;
    void SetBusyPointer(bool busy) override;
    void ShowMessage(std::u16string_view text, std::u16string_view title, MessageIcon icon) override;
    void SetMainWindowEnabled(bool enabled) override;
    void ShowProgress(bool visible) override;
    void SetPhaseText(std::u16string_view text) override;
    void SetStatusText(std::u16string_view text) override;
    void SetStatusVisible(bool visible) override;
    void RepaintProgress() override;
    void PumpEvents() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void SetEditControlsEnabled(bool enabled);
    void SetCountLabel();
    void ApplyPlacement(int top, int left, int width, int height);
    void CentreOnScreen();
    void ApplyPendingOuterSize();
    /// Shows a settings-file failure, the first one of the run only; `later`: once the event loop runs.
    void ReportSettingsFailure(const MessageText& message, bool later);
    bool IsOnSomeScreen(const QRect& frame) const;

    QWidget* central_;
    platform::ElidedLabel* lblTgtFile_;
    QLabel* lblItemCnt_;
    platform::ListView* ListView1_;
    QGroupBox* fraUpDate_;
    QLabel* lblIdx_;
    QLineEdit* txtName_;
    QLineEdit* txtURL_;
    QPushButton* cmdUpDate_;
    QPushButton* cmdDelete_;
    QPushButton* comListClear_;
    QPushButton* cmdMakeList_;
    QPushButton* cmdOutLink_;

    // The work on the stack; a close request during it is held until it has ended.
    enum class Work { None, Fetch, Conversion };
    class WorkScope;
    Work work_ = Work::None;
    bool closePending_ = false;
    // A drop is being converted; the window's enabling is held until its last file is done.
    bool dropping_ = false;
    bool enablePending_ = false;
    int heldRecords_ = 0; // records of the drop not yet in the view (the table's last ones)
    void ShowHeldRecords();

    QString dataDir_;
    std::optional<QSize> pendingOuter_;
    bool busy_ = false;
    bool unloaded_ = false;
    bool settingsWritable_ = true; // false: the settings file could not be read and stays untouched
    bool settingsReported_ = false;
    bool inResize_ = false;
};

} // namespace orvane
