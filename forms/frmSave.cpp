#include "forms/frmSave.h"

#include "core/FileNameRules.h"
#include "core/FsPath.h"
#include "core/Globals.h"
#include "core/Text.h"
#include "forms/frmFileName.h"
#include "modules/modOrvane.h"
#include "platform/Desktop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Placement.h"
#include "platform/Qt.h"
#include "platform/SystemCodec.h"
#include "platform/Twips.h"
#include "platform/Volumes.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWindow>

namespace orvane {

using platform::MessageBox;
using platform::Place;
using platform::Px;
using platform::PxRect;
using platform::Q;
using platform::U;
using platform::Volumes;

namespace {

constexpr int kPathRole = Qt::UserRole;

// A file in `dir`; the root keeps its single separator.
QString InDirectory(const QString& dir, const QString& fileName) {
    if (dir.endsWith(u'/'))
        return dir + fileName;
    return dir + u'/' + fileName;
}

bool IsUnder(const QString& root, const QString& path) {
    if (root == QStringLiteral("/"))
        return path.startsWith(u'/');
    return path == root || path.startsWith(root + u'/');
}

} // namespace

// No parent: the main window is disabled while this window is up, and a child window would be
// disabled with it. The main window's end ends this window too.
frmSave::frmSave(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), mainWindow_(mainWindow),
      drvFileSave_(new QComboBox(this)), dirFileSave_(new QListWidget(this)), txtNewDir_(new QLineEdit(this)),
      comMkDir_(new QPushButton(QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成"), this)),
      CancelButton_(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this)),
      OKButton_(new QPushButton(QStringLiteral("作成"), this)),
      lblDirInfo_(new QLabel(QStringLiteral("ﾃﾞｨﾚｸﾄﾘを作成する場合は、以下にﾃﾞｨﾚｸﾄﾘ名を記述。"), this)),
      Label1_(new QLabel(QStringLiteral("保存先を指定してください。"), this)) {
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("保存先の指定"));
    setFixedSize(Px(5400), Px(2250));

    Place(drvFileSave_, u"drvFileSave", PxRect(120, 480, 2895, 300));
    Place(dirFileSave_, u"dirFileSave", PxRect(120, 840, 2895, 1350));
    Place(txtNewDir_, u"txtNewDir", PxRect(3120, 840, 2175, 270));
    Place(comMkDir_, u"comMkDir", PxRect(3120, 1200, 2175, 375));
    Place(CancelButton_, u"CancelButton", PxRect(4320, 1800, 975, 375));
    Place(OKButton_, u"OKButton", PxRect(3120, 1800, 975, 375));
    Place(lblDirInfo_, u"lblDirInfo", PxRect(3120, 480, 2175, 375));
    Place(Label1_, u"Label1", PxRect(120, 120, 5175, 255));

    lblDirInfo_->setWordWrap(true);
    FitWrappedCaption(lblDirInfo_);
    QFont font(platform::kDesignFamily, 9);
    font.setBold(true);
    Label1_->setFont(font);
    QPalette palette = Label1_->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    Label1_->setPalette(palette);

    dirFileSave_->setSelectionMode(QAbstractItemView::SingleSelection);
    comMkDir_->setEnabled(false);
    InstallKeystrokeFilter(txtNewDir_, NameBoxKind::DirectoryName);

    setTabOrder(drvFileSave_, dirFileSave_);
    setTabOrder(dirFileSave_, txtNewDir_);
    setTabOrder(txtNewDir_, comMkDir_);
    setTabOrder(comMkDir_, CancelButton_);
    setTabOrder(CancelButton_, OKButton_);

    Form_Load();

    connect(drvFileSave_, &QComboBox::currentIndexChanged, this, [this] { drvFileSave_Change(); });
    connect(dirFileSave_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { dirFileSave_Open(item); });
    connect(txtNewDir_, &QLineEdit::textChanged, this, [this] { txtNewDir_Change(); });
    connect(comMkDir_, &QPushButton::clicked, this, [this] { comMkDir_Click(); });
    connect(CancelButton_, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(OKButton_, &QPushButton::clicked, this, [this] { OKButton_Click(); });
}

void frmSave::Form_Load() {
    if (mainWindow_)
        platform::PlaceAtTopLeft(*this, *mainWindow_);
    // Until the program sets a directory the list shows the process's current directory.
    FillDriveList();
    SetPath(QDir::currentPath());
    const QString drive = Volumes::RootOf(path_);
    {
        const QSignalBlocker block(drvFileSave_);
        drvFileSave_->setCurrentIndex(DriveIndex(drive));
    }
    cOldDrive = drive;
}

// Fills the drive list afresh, keeping the volume it shows.
void frmSave::FillDriveList() {
    const QSignalBlocker block(drvFileSave_);
    const QString shown = drvFileSave_->currentText();
    drvFileSave_->clear();
    drvFileSave_->addItems(Volumes::Roots());
    if (!shown.isEmpty())
        drvFileSave_->setCurrentIndex(DriveIndex(shown));
}

int frmSave::DriveIndex(const QString& root) {
    int index = drvFileSave_->findText(root, Qt::MatchExactly);
    if (index < 0) {
        // A volume mounted since the list was filled, or one outside the listed kinds.
        const QSignalBlocker block(drvFileSave_);
        drvFileSave_->addItem(root);
        index = drvFileSave_->count() - 1;
    }
    return index;
}

void frmSave::SetDrive(const QString& drive) {
    const QString root =
        drvFileSave_->findText(drive, Qt::MatchExactly) >= 0 ? drive : Volumes::RootOf(drive);
    const int index = DriveIndex(root);
    if (index == drvFileSave_->currentIndex())
        drvFileSave_Change();
    else
        drvFileSave_->setCurrentIndex(index); // runs drvFileSave_Change
}

void frmSave::StartIn(const QString& dir, const QString& fallback) {
    // Nobody is there yet to answer a message box: what cannot be used gives way silently.
    for (const QString& candidate : {dir, fallback, QStringLiteral("/")}) {
        if (candidate.isEmpty() || !QFileInfo(candidate).isDir())
            continue;
        const QString root = Volumes::RootOf(candidate);
        if (!Volumes::IsReady(root))
            continue;
        {
            const QSignalBlocker block(drvFileSave_);
            drvFileSave_->setCurrentIndex(DriveIndex(root));
        }
        cOldDrive = root;
        if (SetPath(candidate))
            return;
    }
}

QString frmSave::Drive() const {
    return drvFileSave_->currentText();
}

void frmSave::drvFileSave_Change() {
    if (drvFileSave_->currentIndex() < 0)
        return;
    const QString drive = drvFileSave_->currentText();
    if (!Volumes::IsReady(drive)) {
        MessageBox::Show(this,
                         drive + QStringLiteral(" にｱｸｾｽできません。") + QStringLiteral("\r\n") +
                             QStringLiteral("ﾃﾞﾊﾞｲｽの準備ができていません。"),
                         QStringLiteral("ﾄﾞﾗｲﾌﾞ選択"), MessageIcon::Critical);
        // Back to the last ready volume; if that one has gone as well, stop rather than loop.
        if (drive != cOldDrive)
            SetDrive(cOldDrive);
        return;
    }
    const QString last = driveDirectory_.value(drive);
    if (last.isEmpty() || !IsUnder(drive, last) || !SetPath(last))
        SetPath(drive);
    cOldDrive = drive;
}

bool frmSave::SetPath(const QString& dir) {
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return false;
    path_ = Volumes::CleanPath(dir);
    driveDirectory_.insert(Volumes::RootOf(path_), path_);
    ReadDirectoryList();
    return true;
}

// The opened directory as the first row, ".." to go up, then its subdirectories.
void frmSave::ReadDirectoryList() {
    dirFileSave_->clear();
    auto* current = new QListWidgetItem(QDir::toNativeSeparators(path_), dirFileSave_);
    current->setData(kPathRole, path_);
    QFont bold = current->font();
    bold.setBold(true);
    current->setFont(bold);

    QDir dir(path_);
    if (dir.cdUp() && Volumes::CleanPath(dir.path()) != path_) {
        auto* up = new QListWidgetItem(QStringLiteral(".."), dirFileSave_);
        up->setData(kPathRole, Volumes::CleanPath(dir.path()));
    }
    const QStringList subdirectories = QDir(path_).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : subdirectories) {
        auto* item = new QListWidgetItem(QStringLiteral("  ") + name, dirFileSave_);
        item->setData(kPathRole, InDirectory(path_, name));
    }
}

void frmSave::dirFileSave_Open(QListWidgetItem* item) {
    const QString target = item->data(kPathRole).toString();
    // A directory removed since the list was read: read the list again instead.
    if (!SetPath(target))
        ReadDirectoryList();
}

void frmSave::txtNewDir_Change() {
    comMkDir_->setEnabled(!Trim(U(txtNewDir_->text())).empty());
}

void frmSave::comMkDir_Click() {
    const QString name = Q(Trim(U(txtNewDir_->text())));
    if (name.isEmpty()) {
        MessageBox::Show(this, QStringLiteral("ﾃﾞｨﾚｸﾄﾘ名を正しく記述してください。"),
                         QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成失敗"), MessageIcon::Exclamation);
        return;
    }
    // Pasted text passes the keystroke filter; a separator would reach into another directory.
    if (HoldsRefusedChar(U(name))) {
        ShowMessageText(this, DirectoryNameRefusalMessage());
        return;
    }
    const QString target = InDirectory(path_, name);
    if (!QDir().mkdir(target) || !SetPath(target)) {
        MessageBox::Show(this,
                         QStringLiteral("ﾃﾞｨﾚｸﾄﾘ「") + name + QStringLiteral("」を作成できませんでした。"),
                         QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成失敗"), MessageIcon::Exclamation);
        return;
    }
    txtNewDir_->clear();
    comMkDir_->setEnabled(false);
}

void frmSave::CancelButton_Click() {
    if (mainWindow_)
        mainWindow_->setEnabled(true);
    hide();
    if (mainWindow_)
        mainWindow_->repaint();
}

// The list command runs with this window hidden: its boxes then belong over the main window.
QWidget* frmSave::MessageParent() {
    if (isVisible() || !mainWindow_)
        return this;
    return mainWindow_;
}

bool frmSave::AskOutputFileName(const QString& initialDir, const QString& suggestedPath, OutputKind kind) {
    QStringList filters;
    if (kind == OutputKind::ListFile) {
        filters << QStringLiteral("lst ファイル (*.lst)");
    } else {
        ShowMessage(DuplicateFileMessage());
        filters << QStringLiteral("url ファイル (*.url)");
    }
    const auto chosen = platform::FileDialog::GetSaveFileName(
        MessageParent(), QStringLiteral("出力ファイル名の指定"), initialDir, suggestedPath, filters);
    if (!chosen || chosen->isEmpty())
        return true;
    chosenFileName_ = *chosen;
    return false;
}

std::optional<std::u16string> frmSave::AskOutputFileName(OutputKind kind, std::u16string_view initialDir,
                                                         std::u16string_view suggestedPath) {
    if (AskOutputFileName(Q(std::u16string(initialDir)), Q(std::u16string(suggestedPath)), kind))
        return std::nullopt;
    return U(chosenFileName_);
}

void frmSave::ShowMessage(const MessageText& message) {
    ShowMessageText(MessageParent(), message);
}

// The rename window is modal over this window, which stays disabled while it is up.
std::u16string frmSave::AskFileName(std::u16string_view name, std::u16string_view converted) {
    setEnabled(false);
    std::u16string answer = frmFileName::Ask(mainWindow_, name, converted);
    setEnabled(true);
    return answer;
}

void frmSave::MakeList() {
    const auto written = MakeListFile(gLinks, gListType, U(path_), platform::SystemCodec::Instance(), *this);
    if (written)
        SetPath(QFileInfo(Q(*written)).absolutePath());
    CancelButton_Click();
}

void frmSave::OKButton_Click() {
    const ShortcutOptions options{U(path_), gConfirmOverwrite, FsNameMax(U(path_))};
    MakeShortcutFiles(gLinks, options, platform::SystemCodec::Instance(), *this);
    CancelButton_Click();
}

void frmSave::closeEvent(QCloseEvent* event) {
    // No close box: the window is left through its buttons, which enable the main window again.
    if (event->spontaneous())
        event->ignore();
}

void frmSave::setVisible(bool visible) {
    // At the main window's place as it is now (the start-up loads this window before it places
    // the main window, and the main window may have moved since). Placed before the native window
    // is made, so the window manager puts the outer frame there.
    if (visible && !isVisible() && mainWindow_)
        platform::PlaceAtTopLeft(*this, *mainWindow_);
    QWidget::setVisible(visible);
}

void frmSave::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Volumes come and go while the window is hidden.
    FillDriveList();
    // Kept above the main window without being its child (see the constructor).
    if (mainWindow_ && mainWindow_->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(mainWindow_->windowHandle());
}

} // namespace orvane
