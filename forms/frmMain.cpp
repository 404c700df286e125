#include "forms/frmMain.h"

#include "core/Conversion.h"
#include "core/FsPath.h"
#include "core/Globals.h"
#include "core/OutputWriters.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "forms/BrowserLibrary.h"
#include "forms/frmInfo.h"
#include "forms/frmOption.h"
#include "forms/frmSave.h"
#include "forms/frmVersion.h"
#include "modules/modCmOpen.h"
#include "modules/modOrvane.h"
#include "platform/Desktop.h"
#include "platform/ElidedLabel.h"
#include "platform/HttpFetch.h"
#include "platform/InstallLayout.h"
#include "platform/LineEdit.h"
#include "platform/ListView.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"
#include "platform/ShellOpen.h"
#include "platform/SystemCodec.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include <filesystem>

namespace orvane {

using platform::Px;
using platform::Q;
using platform::U;

namespace {

const QString kTargetInitial = QStringLiteral("ﾀｰｹﾞｯﾄﾌｧｲﾙ :");
// The designed client area, in twips.
constexpr int kDesignWidth = 7635;
constexpr int kDesignHeight = 5685;
constexpr int kMinOuterWidth = 5000;
constexpr int kMinOuterHeight = 3700;
// How long a shown window waits for the window manager's frame before it takes it for none.
constexpr int kFrameWaitMs = 2000;

QString& ProgramDirOverride() {
    static QString dir;
    return dir;
}

// The folder the program runs from, without a trailing separator.
QString ProgramDirectory() {
    return QDir::cleanPath(ProgramDirOverride().isEmpty() ? QCoreApplication::applicationDirPath()
                                                          : ProgramDirOverride());
}

QString WithSeparator(QString dir) {
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

bool DirectoryWritable(const QString& dir) {
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Orvane"));
    setWindowIcon(QIcon(QStringLiteral(":/orvane/orvane.svg")));
    setAcceptDrops(true);
    BuildControls();
    BuildMenus();
    resize(Px(kDesignWidth), Px(kDesignHeight) + menuBar()->sizeHint().height());
}

frmMain::~frmMain() = default;

void frmMain::SetProgramDirectoryForTests(const QString& dir) {
    ProgramDirOverride() = dir;
}

void frmMain::BuildControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("central"));
    setCentralWidget(central_);
    central_->installEventFilter(this);

    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));

    // A long path is elided in the middle, keeping its file name in view.
    lblTgtFile_ = new platform::ElidedLabel(kTargetInitial, central_);
    lblTgtFile_->setObjectName(QStringLiteral("lblTgtFile"));
    lblItemCnt_ = new QLabel(QStringLiteral("ﾃﾞｰﾀ総数 ： 0"), central_);
    lblItemCnt_->setObjectName(QStringLiteral("lblItemCnt"));
    for (QLabel* label : std::initializer_list<QLabel*>{lblTgtFile_, lblItemCnt_}) {
        label->setAutoFillBackground(true);
        label->setPalette(grey);
        label->setTextFormat(Qt::PlainText);
    }

    ListView1_ = new platform::ListView(central_);
    ListView1_->setObjectName(QStringLiteral("ListView1"));
    ListView1_->SetTable(&gLinks);
    ListView1_->setFont(QFont(platform::kDesignFamily, 9));
    connect(ListView1_, &platform::ListView::ItemClick, this, [this](int i) { ListView1_ItemClick(i); });
    connect(ListView1_, &platform::ListView::ColumnClick, this, [this](int c) { ListView1_ColumnClick(c); });
    connect(ListView1_, &platform::ListView::DblClick, this, [this] { ListView1_DblClick(); });
    connect(ListView1_, &platform::ListView::AfterLabelEdit, this,
            [this](int i, const QString& text, bool* cancel) { ListView1_AfterLabelEdit(i, text, cancel); });

    fraUpDate_ = new QGroupBox(QStringLiteral("　データ更新　"), central_);
    fraUpDate_->setObjectName(QStringLiteral("fraUpDate"));
    platform::ApplyFrameLook(*fraUpDate_);
    lblIdx_ = new QLabel(fraUpDate_);
    lblIdx_->setObjectName(QStringLiteral("lblIdx"));
    lblIdx_->hide();

    const QFont editFont(platform::kDesignFamily, 12);
    // The limits hold for typing only: a longer name or URL from a page is loaded and kept whole.
    auto* name = new platform::LineEdit(fraUpDate_);
    name->SetTypingLimit(255);
    txtName_ = name;
    txtName_->setObjectName(QStringLiteral("txtName"));
    txtURL_ = new platform::LineEdit(fraUpDate_);
    txtURL_->setObjectName(QStringLiteral("txtURL"));
    for (QLineEdit* box : {txtName_, txtURL_}) {
        box->setFont(editFont);
        // Drops on the edit boxes are file drops for the window, as everywhere else on it.
        box->setAcceptDrops(false);
        connect(box, &QLineEdit::returnPressed, this, [this] { cmdUpDate_Click(); });
    }
    cmdUpDate_ = new QPushButton(QStringLiteral("更新"), fraUpDate_);
    cmdUpDate_->setObjectName(QStringLiteral("cmdUpDate"));
    cmdDelete_ = new QPushButton(QStringLiteral("削除"), fraUpDate_);
    cmdDelete_->setObjectName(QStringLiteral("cmdDelete"));
    comListClear_ = new QPushButton(QStringLiteral("ﾘｽﾄのｸﾘｱ"), central_);
    comListClear_->setObjectName(QStringLiteral("comListClear"));
    cmdMakeList_ = new QPushButton(QStringLiteral("ﾘｽﾄﾌｧｲﾙの作成"), central_);
    cmdMakeList_->setObjectName(QStringLiteral("cmdMakeList"));
    cmdOutLink_ = new QPushButton(QStringLiteral("ｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄ作成"), central_);
    cmdOutLink_->setObjectName(QStringLiteral("cmdOutLink"));
    connect(cmdUpDate_, &QPushButton::clicked, this, [this] { cmdUpDate_Click(); });
    connect(cmdDelete_, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(comListClear_, &QPushButton::clicked, this, [this] { comListClear_Click(); });
    connect(cmdMakeList_, &QPushButton::clicked, this, [this] { cmdMakeList_Click(); });
    connect(cmdOutLink_, &QPushButton::clicked, this, [this] { cmdOutLink_Click(); });
    for (QPushButton* button : {cmdUpDate_, cmdDelete_, comListClear_, cmdMakeList_, cmdOutLink_})
        button->setAutoDefault(false);
}

void frmMain::BuildMenus() {
    struct Item {
        QMenu* menu;
        const char* name;
        QString caption;
        QKeyCombination key;
        void (frmMain::*handler)();
    };
    QMenu* mFile = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ (&F)"));
    mFile->setObjectName(QStringLiteral("mFile"));
    QMenu* mOpt = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ (&O)"));
    mOpt->setObjectName(QStringLiteral("mOpt"));
    QMenu* mHelp = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ (&H)"));
    mHelp->setObjectName(QStringLiteral("mHelp"));
    const Item items[] = {
        {mFile, "mOpen", QStringLiteral("ﾛｰｶﾙから開く (&F)"), Qt::CTRL | Qt::Key_F, &frmMain::mOpen_Click},
        {mFile, "mWWWOpen", QStringLiteral("ｲﾝﾀｰﾈｯﾄから開く (&I)"), Qt::CTRL | Qt::Key_I,
         &frmMain::mWWWOpen_Click},
        {mFile, "mKubun", QString(), {}, nullptr},
        {mFile, "mEnd", QStringLiteral("終了 (&X)"), Qt::CTRL | Qt::Key_X, &frmMain::mEnd_Click},
        {mOpt, "mIppan", QStringLiteral("動作設定 (&S)"), Qt::CTRL | Qt::Key_S, &frmMain::mIppan_Click},
        {mHelp, "mManual", QStringLiteral("ﾏﾆｭｱﾙ"), Qt::CTRL | Qt::Key_M, &frmMain::mManual_Click},
        {mHelp, "mVersion", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 (&V)"), Qt::CTRL | Qt::Key_V,
         &frmMain::mVersion_Click},
    };
    for (const Item& item : items) {
        QAction* action = item.handler ? item.menu->addAction(item.caption) : item.menu->addSeparator();
        action->setObjectName(QString::fromLatin1(item.name));
        if (!item.handler)
            continue;
        // Window-wide shortcuts. A focused text box still takes its own editing keys (Ctrl+X, Ctrl+V…)
        // first: Qt offers them to the box before the menu, so cutting text never ends the program.
        action->setShortcut(QKeySequence(item.key));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, handler = item.handler] { (this->*handler)(); });
    }
}

// ---- Start-up and shut-down ----

void frmMain::Start() {
    Form_Load();
    show();
}

void frmMain::Form_Load() {
    // The native window is made only when shown: a move() before then places the outer frame, which
    // the window manager honours when it maps the window; a move() on a window made but not yet
    // framed would place the inner area there instead.

    // An installed program lives among the system's files: it never writes beside itself, keeps its
    // settings and temporary page in the per-user configuration directory and starts the dialogs in
    // the user's home. A program run from its own folder keeps them beside itself, or in the per-user
    // directory when it cannot write there; the program directory stays the dialogs' fallback.
    const QString programDir = ProgramDirectory();
    const bool installed = platform::InstallLayout::IsInstalled(programDir);
    const QString appDir = WithSeparator(installed ? QDir::cleanPath(QDir::homePath()) : programDir);
    gAppDir = U(appDir);
    dataDir_ = appDir;
    if (installed || !DirectoryWritable(appDir)) {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(config);
        dataDir_ = WithSeparator(config);
    }
    const std::filesystem::path iniPath = ToFsPath(U(dataDir_ + QStringLiteral("Orvane.ini")));
    const auto& codec = platform::SystemCodec::Instance();
    frmSave& save = frmSave::Load(this);

    std::error_code ec;
    const bool present = std::filesystem::exists(iniPath, ec) || ec;
    std::optional<SettingsValues> read;
    if (present && !(read = ReadSettingsFile(iniPath, gAppDir, codec))) {
        // Unreadable: this run starts as a first start but leaves the file alone, and says so once
        // the window is up (start-up never waits on a message box).
        settingsWritable_ = false;
        ReportSettingsFailure(SettingsReadFailedMessage(U(dataDir_ + QStringLiteral("Orvane.ini"))), true);
    }
    if (!read) {
        const QSize outer = frameGeometry().size();
        if (!present && !WriteSettings(iniPath,
                                       FirstStartState(gAppDir, platform::Twips(outer.width()),
                                                       platform::Twips(outer.height())),
                                       codec))
            ReportSettingsFailure(SettingsCreateFailedMessage(U(dataDir_ + QStringLiteral("Orvane.ini"))),
                                  true);
        CentreOnScreen();
        save.StartIn(appDir, appDir);
        ApplyFirstStartSettings();
    } else {
        const SettingsValues& values = *read;
        save.StartIn(Q(values[WindowValue::OutputDir].text), appDir);
        if (values.PlacementValid())
            ApplyPlacement(values[WindowValue::Top].number, values[WindowValue::Left].number,
                           values[WindowValue::Width].number, values[WindowValue::Height].number);
        else
            CentreOnScreen();
        ApplySettings(values);
    }

    SetHelpTexts();
    // The list takes its place for the window's size first, so the columns share its real width.
    layout()->activate();
    Form_Resize();
    ListView1_->SetColumnHeaders(QStringLiteral("名称"), QStringLiteral("URL"));
    ListView1_->header()->resizeSection(0, ListView1_->width() / 2);
    ListView1_->header()->resizeSection(1, ListView1_->width() / 2);
    SetEditControlsEnabled(false);
    Form_Resize();
}

void frmMain::ApplyPlacement(int top, int left, int width, int height) {
    // Stored values are the outer frame in twips; the frame's own size is taken off the client size.
    const QRect outer(Px(left), Px(top), std::max(Px(width), 1), std::max(Px(height), 1));
    if (!IsOnSomeScreen(outer)) {
        CentreOnScreen();
        return;
    }
    move(outer.topLeft());
    pendingOuter_ = outer.size();
    ApplyPendingOuterSize();
}

void frmMain::ApplyPendingOuterSize() {
    if (!pendingOuter_)
        return;
    const QSize frame = frameGeometry().size() - size();
    resize(std::max(pendingOuter_->width() - frame.width(), 1),
           std::max(pendingOuter_->height() - frame.height(), 1));
    // A window manager tells the frame only some time after it maps the window (it moves the window
    // into its frame then): until then the size is applied again at every move.
    if (!frame.isNull())
        pendingOuter_.reset();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ApplyPendingOuterSize();
    // Without a window manager no frame ever comes; the outer size then is the size.
    if (pendingOuter_)
        QTimer::singleShot(kFrameWaitMs, this, [this] { pendingOuter_.reset(); });
}

void frmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    ApplyPendingOuterSize();
}

bool frmMain::IsOnSomeScreen(const QRect& frame) const {
    // The title bar must be reachable: its strip has to meet some screen.
    const QRect titleBar(frame.left(), frame.top(), frame.width(), 24);
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        if (screen->availableGeometry().intersects(titleBar))
            return true;
    return screens.isEmpty();
}

void frmMain::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.left() + area.width() / 2 - outer.width() / 2,
         area.top() + area.height() / 2 - outer.height() / 2);
}

void frmMain::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    const QRect outer = frameGeometry();
    const frmSave* save = frmSave::Loaded();
    const std::u16string outDir = save ? U(save->Path()) : gAppDir;
    const SettingsState state =
        CurrentSettingsState(outDir, platform::Twips(outer.top()), platform::Twips(outer.left()),
                             platform::Twips(outer.width()), platform::Twips(outer.height()));
    const QString iniPath = dataDir_ + QStringLiteral("Orvane.ini");
    if (settingsWritable_ && !WriteSettings(ToFsPath(U(iniPath)), state, platform::SystemCodec::Instance()))
        ReportSettingsFailure(SettingsWriteFailedMessage(U(iniPath)), false);
}

void frmMain::ReportSettingsFailure(const MessageText& message, bool later) {
    // One report a run: a file that could not be created will not be written at exit either.
    if (settingsReported_)
        return;
    settingsReported_ = true;
    if (!later) {
        ShowMessageText(this, message);
        return;
    }
    QTimer::singleShot(0, this, [this, message] { ShowMessageText(this, message); });
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (work_ != Work::None) {
        // Unloading now would pull the window from under the running work. A conversion is
        // cancelled as by its cancel button; a fetch has no cancel and runs to its end.
        closePending_ = true;
        if (work_ == Work::Conversion)
            gCancelRequested = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
    // The process ends at once: other windows close without their own closing steps.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != this)
            w->hide();
    QCoreApplication::quit();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
    // Every command that works on the table while this window waits (the shortcut output renames
    // records whose names cannot be file names) enables it again when done: the list then shows
    // the table as it is now.
    if (event->type() == QEvent::EnabledChange && isEnabled())
        ListView1_->Refresh();
}

// ---- Layout ----

void frmMain::Form_Resize() {
    if (isMinimized() || inResize_)
        return;
    // Below the minimum outer size the window is set back to it, width first; pixels are rounded up
    // so the size in twips reaches the minimum.
    const QSize extra = frameGeometry().size() - size();
    constexpr int minWidth = (kMinOuterWidth + platform::kTwipsPerPixel - 1) / platform::kTwipsPerPixel;
    constexpr int minHeight = (kMinOuterHeight + platform::kTwipsPerPixel - 1) / platform::kTwipsPerPixel;
    if (platform::Twips(frameGeometry().width()) < kMinOuterWidth)
        resize(minWidth - extra.width(), height());
    if (platform::Twips(frameGeometry().height()) < kMinOuterHeight)
        resize(width(), minHeight - extra.height());
    inResize_ = true;
    const int SW = central_->width();
    const int SH = central_->height();
    const int W = platform::Twips(frameGeometry().width());
    lblTgtFile_->setGeometry(8, 0, SW - 100, 17);
    lblItemCnt_->setGeometry(SW - 100, 0, 97, 17);
    ListView1_->setGeometry(8, 24, SW - 10, SH - 140);
    fraUpDate_->setGeometry(8, SH - 112, SW - 10, 73);
    txtName_->setGeometry(Px(120), Px(240), Px(W - 1200), Px(375));
    txtURL_->setGeometry(Px(120), Px(600), Px(W - 1200), Px(375));
    cmdUpDate_->setGeometry(Px(W - 1100), Px(240), Px(735), Px(375));
    cmdDelete_->setGeometry(Px(W - 1100), Px(600), Px(735), Px(375));
    comListClear_->setGeometry(SW - 325, SH - 32, 65, 25);
    cmdMakeList_->setGeometry(SW - 250, SH - 32, 97, 25);
    cmdOutLink_->setGeometry(SW - 145, SH - 32, 137, 25);
    lblTgtFile_->SetTextWidth(lblItemCnt_->x() - lblTgtFile_->x());
    lblTgtFile_->raise(); // under the count label's 8-pixel overlap
    lblItemCnt_->raise();
    inResize_ = false;
}

void frmMain::SetHelpTexts() {
    lblTgtFile_->setToolTip(QStringLiteral(
        "取り込んだHTMLファイル名を表示します。　インターネットから取り込んだ場合は、URLが表示されます。"));
    lblItemCnt_->setToolTip(QStringLiteral("アイテムリスト内に存在するデータの総数を表示します。"));
    ListView1_->setToolTip(QStringLiteral("ここに取り込んだHTMLファイルから抽出したURL情報が表示されます。"));
    txtName_->setToolTip(QStringLiteral("選択したアイテムの名称が表示されます。　編集も可能です。"));
    txtURL_->setToolTip(QStringLiteral("選択したアイテムのURLが表示されます。　編集も可能です。"));
    cmdUpDate_->setToolTip(QStringLiteral("左のテキストボックス内で編集された内容を、リストに反映します。"));
    cmdDelete_->setToolTip(QStringLiteral("リスト内にて選択したアイテムを消去します。"));
    comListClear_->setToolTip(QStringLiteral("リスト内のアイテムを全て消去します。"));
    cmdMakeList_->setToolTip(QStringLiteral("リスト内の全てのアイテムを、リストファイルに出力します。"));
    cmdOutLink_->setToolTip(
        QStringLiteral("リスト内の全てのアイテムを、インターネットショートカットとして出力します。"));
}

// ---- Layout (continued) ----

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == central_ && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

// ---- Output ----

void frmMain::cmdMakeList_Click() {
    if (ListView1_->Count() == 0) {
        ShowMessageText(this, EmptyListForListFileMessage());
        return;
    }
    frmSave::Load(this).MakeList();
}

void frmMain::cmdOutLink_Click() {
    if (ListView1_->Count() == 0) {
        ShowMessageText(this, EmptyListForShortcutsMessage());
        return;
    }
    setEnabled(false);
    frmSave& save = frmSave::Load(this);
    save.show();
    save.raise();
    save.activateWindow();
}

// ---- Menu commands ----

void frmMain::mEnd_Click() {
    close();
}

void frmMain::mIppan_Click() {
    frmOption dialog(this);
    dialog.exec();
}

void frmMain::mVersion_Click() {
    frmVersion::Show(this);
}

void frmMain::OpenBrowser() {
    BrowserLibrary::Open(this);
}

void frmMain::mManual_Click() {
    QString dir = platform::InstallLayout::ManualDirectory(ProgramDirectory());
    if (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    const QString manual = dir + QStringLiteral("/readme.htm");
    // Asking the desktop to open a missing file would only move the failure out of sight.
    if (!QFileInfo(manual).isFile() || !platform::ShellOpen::Open(QStringLiteral("file://") + manual))
        platform::MessageBox::Show(this, QStringLiteral("ﾏﾆｭｱﾙを開けませんでした。\r\n") + manual,
                                   QStringLiteral("ﾏﾆｭｱﾙ表示失敗"), MessageIcon::Critical);
}

// ---- ConversionHost ----

std::u16string frmMain::TargetText() const {
    return U(lblTgtFile_->text());
}

void frmMain::SetBusyPointer(bool busy) {
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void frmMain::ShowMessage(std::u16string_view text, std::u16string_view title, MessageIcon icon) {
    platform::MessageBox::Show(this, Q(text), Q(title), icon);
}

void frmMain::SetMainWindowEnabled(bool enabled) {
    // Within a drop the window is enabled once, after its last file (InputDroppedFiles).
    if (dropping_ && enabled && !isEnabled()) {
        enablePending_ = true;
        return;
    }
    if (!enabled)
        enablePending_ = false;
    // The list keeps its picture while a conversion runs: repainting every visible entry greyed at
    // the conversion's first event pump, file after file of a drop, took over half of a drop's time.
    // It repaints once the window is enabled again, with the new entries.
    if (!enabled)
        ListView1_->setUpdatesEnabled(false);
    setEnabled(enabled);
    if (enabled)
        ListView1_->setUpdatesEnabled(true);
}

void frmMain::ShowProgress(bool visible) {
    frmInfo& info = frmInfo::Load(this);
    info.setVisible(visible);
}

void frmMain::SetPhaseText(std::u16string_view text) {
    frmInfo::Load(this).SetPhaseText(Q(text));
}
void frmMain::SetStatusText(std::u16string_view text) {
    frmInfo::Load(this).SetStatusText(Q(text));
}
void frmMain::SetStatusVisible(bool visible) {
    frmInfo::Load(this).SetStatusVisible(visible);
}
void frmMain::RepaintProgress() {
    frmInfo::Load(this).Repaint();
}
void frmMain::PumpEvents() {
    QCoreApplication::processEvents();
}

} // namespace orvane
