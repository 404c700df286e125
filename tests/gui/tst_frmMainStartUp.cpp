// Start-up in a sandbox or with an unusable stored output directory: it never shows a message box;
// what cannot be used falls back silently.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/Volumes.h"
#include "support/GuiTest.h"

#include <QComboBox>
#include <QDir>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::platform::Volumes;

class FrmMainStartUpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<test::MessageCapture> messages_;

    QString AppDir() const { return QDir::cleanPath(dir_->Path()); }
    QString Drive() const {
        return frmSave::Loaded()->findChild<QComboBox*>(u"drvFileSave"_s)->currentText();
    }
    void StoreOutputDirectory(const QString& out) {
        dir_->Write(u"Orvane.ini"_s, "[Orvane]\r\nDefaultOutDir=" + out.toUtf8() +
                                         "\r\nTop=100\r\nLeft=100\r\nWidth=8000\r\nHeight=6000\r\n");
    }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        messages_ = std::make_unique<test::MessageCapture>();
    }
    void cleanup() {
        Volumes::ClearTestHook();
        messages_.reset();
        dir_.reset();
    }

    void rootThatIsNoMountPointServesAsTheVolume() {
        // A chroot: only the system's own trees are mounted, nothing at "/".
        Volumes::SetTestMountTable({{u"/proc"_s, "proc"}, {u"/dev/pts"_s, "devpts"}});
        StoreOutputDirectory(AppDir());
        const auto w = test::StartMainWindow(*dir_);
        QCOMPARE(messages_->Titles(), QStringList());
        QCOMPARE(frmSave::Loaded()->Path(), AppDir());
        QCOMPARE(Drive(), u"/"_s);
    }

    void outputDirectoryOnAVolumeNotReadyFallsBackSilently() {
        QDir(dir_->Path()).mkpath(u"card/out"_s);
        const QString card = AppDir() + u"/card"_s;
        Volumes::SetTestRoots({u"/"_s, card});
        Volumes::SetTestNotReady(card);
        StoreOutputDirectory(card + u"/out"_s);
        const auto w = test::StartMainWindow(*dir_);
        QCOMPARE(messages_->Titles(), QStringList());
        QCOMPARE(frmSave::Loaded()->Path(), AppDir());
        QCOMPARE(Drive(), u"/"_s);
        // Once running, the same volume is refused with its message as before.
        frmSave::Loaded()->SetDrive(card);
        QCOMPARE(messages_->Titles(), QStringList{u"ﾄﾞﾗｲﾌﾞ選択"_s});
        QCOMPARE(Drive(), u"/"_s);
    }
};

QTEST_MAIN(FrmMainStartUpTest)
#include "tst_frmMainStartUp.moc"
