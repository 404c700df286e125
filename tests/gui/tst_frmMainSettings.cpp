// Start-up and shut-down of the main window against a temporary program directory: stored values
// applied at start and written back at exit; a sandbox or an unusable stored output directory
// never brings a message box at start-up: what cannot be used falls back silently.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/Volumes.h"
#include "support/GuiTest.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::platform::Volumes;

class FrmMainSettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir_;

    static QByteArray Line(const QByteArray& key, const QByteArray& value) {
        return key + '=' + value + "\r\n";
    }
    QString AppDir() const { return QDir::cleanPath(dir_->Path()); }
    static QString Drive() {
        return frmSave::Loaded()->findChild<QComboBox*>(u"drvFileSave"_s)->currentText();
    }
    void StoreOutputDirectory(const QString& out) {
        dir_->Write(u"Orvane.ini"_s, "[Orvane]\r\n" + Line("DefaultOutDir", out.toUtf8()));
    }

private Q_SLOTS:
    void init() { dir_ = std::make_unique<test::TempDir>(); }
    void cleanup() {
        Volumes::ClearTestHook();
        dir_.reset();
    }

    // How each key reads and how the section is written are the settings rules' (core tests); here:
    // the window applies what it read and stores what it holds at exit.
    void laterStartAppliesStoredValuesAndExitStoresThemInKeyOrder() {
        QDir(dir_->Path()).mkpath(u"入力/日本語"_s);
        QDir(dir_->Path()).mkpath(u"out"_s);
        const QByteArray in = (dir_->Path() + u"入力/日本語/"_s).toUtf8();
        const QByteArray out = (dir_->Path() + u"out"_s).toUtf8();
        dir_->Write(u"Orvane.ini"_s, "[Other]\r\nkeep=1\r\n[Orvane]\r\n" + Line("DefaultOutDir", out) +
                                         Line("DefaultInDir", in) + Line("Top", "1500") +
                                         Line("Left", "1200") + Line("Width", "9000") +
                                         Line("Height", "7500") + Line("link_ab", " 1 "));
        auto w = test::StartMainWindow(*dir_);
        QCOMPARE(w->frameGeometry(), QRect(80, 100, 600, 500));
        QCOMPARE(gLinkLevel, 1);
        QCOMPARE(QString::fromStdU16String(gInputDir).toUtf8(), in);
        QCOMPARE(frmSave::Loaded()->Path().toUtf8(), out);

        gLinkLevel = 0;
        w->move(300, 200);
        w->close();
        const QByteArray written = test::ReadAll(dir_->File(u"Orvane.ini"_s));
        QVERIFY(written.startsWith(QByteArray("[Other]\r\nkeep=1\r\n[Orvane]\r\n" + Line("DefaultInDir", in) +
                                              Line("DefaultOutDir", out) + Line("Top", "3000") +
                                              Line("Left", "4500"))));
        QVERIFY(written.contains(Line("LINK_AB", "0")));
    }

    void anUnreadableFileIsReportedOnceTheWindowIsUpAndLeftAlone() {
        // A folder in the file's place: the run starts as a first start, says so once the window is
        // up, and neither start nor exit writes anything.
        QVERIFY(QDir(dir_->Path()).mkdir(u"Orvane.ini"_s));
        test::MessageCapture messages;
        auto w = test::StartMainWindow(*dir_);
        QCOMPARE(messages.Count(), 0); // start-up itself never waits on a box
        QVERIFY(gShowStatus);
        QTRY_COMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().title, u"設定ﾌｧｲﾙｴﾗｰ"_s);
        QVERIFY(messages.Last().text.startsWith(u"設定ﾌｧｲﾙ「"_s + dir_->File(u"Orvane.ini"_s) +
                                                u"」を読み込めませんでした。"_s));
        QVERIFY(w->isVisible());
        w->close();
        QCOMPARE(messages.Count(), 1);
        QVERIFY(QFileInfo(dir_->File(u"Orvane.ini"_s)).isDir());
        QCOMPARE(QDir(dir_->Path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void aFailedWriteAtExitIsReported() {
        const QString ini = dir_->Write(u"Orvane.ini"_s, "[Orvane]\r\nLINK_AB=1\r\n");
        QVERIFY(QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup));
        test::MessageCapture messages;
        auto w = test::StartMainWindow(*dir_);
        QCOMPARE(gLinkLevel, 1);
        w->close();
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(messages.Last().text,
                 u"設定ﾌｧｲﾙ「"_s + ini + u"」に書き込めませんでした。\r\n今回の設定は保存されません。"_s);
        QCOMPARE(test::ReadAll(ini), QByteArray("[Orvane]\r\nLINK_AB=1\r\n"));
    }

    void rootThatIsNoMountPointServesAsTheVolume() {
        // A chroot: only the system's own trees are mounted, nothing at "/".
        Volumes::SetTestMountTable({{u"/proc"_s, "proc"}, {u"/dev/pts"_s, "devpts"}});
        StoreOutputDirectory(AppDir());
        test::MessageCapture messages;
        const auto w = test::StartMainWindow(*dir_);
        QCOMPARE((QStringList{frmSave::Loaded()->Path(), Drive()}), (QStringList{AppDir(), u"/"_s}));
        QCOMPARE(messages.Count(), 0);
    }

    void outputDirectoryOnAVolumeNotReadyFallsBackSilently() {
        QDir(dir_->Path()).mkpath(u"card/out"_s);
        const QString card = AppDir() + u"/card"_s;
        Volumes::SetTestRoots({u"/"_s, card});
        Volumes::SetTestNotReady(card);
        StoreOutputDirectory(card + u"/out"_s);
        test::MessageCapture messages;
        const auto w = test::StartMainWindow(*dir_);
        QCOMPARE((QStringList{frmSave::Loaded()->Path(), Drive()}), (QStringList{AppDir(), u"/"_s}));
        QCOMPARE(messages.Count(), 0);
        // Once running, the same volume is refused with its message as before.
        frmSave::Loaded()->SetDrive(card);
        QCOMPARE(messages.Titles(), QStringList{u"ﾄﾞﾗｲﾌﾞ選択"_s});
        QCOMPARE(Drive(), u"/"_s);
    }
};

QTEST_MAIN(FrmMainSettingsTest)
#include "tst_frmMainSettings.moc"
