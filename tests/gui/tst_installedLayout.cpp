// An installed program, run from the bin directory of its prefix, never writes there: its settings go
// to the per-user configuration directory and it opens the installed manual. (Run from its own
// folder, as every other window test runs it, both lie beside it.)

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "platform/ShellOpen.h"
#include "support/GuiTest.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::platform::ShellOpen;

class tst_installedLayout : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> prefix_;
    QString config_;

private Q_SLOTS:
    void initTestCase() {
        // The per-user directory of the test mode, never the real one of whoever runs the tests.
        QStandardPaths::setTestModeEnabled(true);
        config_ = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    }
    void init() {
        prefix_ = std::make_unique<test::TempDir>();
        QFile::remove(config_ + u"/Orvane.ini"_s);
    }
    void cleanup() {
        prefix_.reset();
        QFile::remove(config_ + u"/Orvane.ini"_s);
    }

    void installedProgramWritesNothingBesideItself() {
        // A writable bin directory (root runs /usr/bin/orvane) is still no place for settings.
        const QString bin = prefix_->Path() + u"bin"_s;
        QVERIFY(QDir().mkpath(bin));
        const QString manual = prefix_->Write(u"share/doc/orvane/readme.htm"_s, "<html></html>");
        auto w = test::StartMainWindow(bin);
        QCOMPARE(w->DataDirectory(), config_ + u'/');
        // The dialogs start in the user's home, not among the system's files.
        const QString home = QDir::homePath() + u'/';
        QCOMPARE(QString::fromStdU16String(gAppDir), home);
        const QByteArray inputDir = "DefaultInDir=" + QFile::encodeName(home);
        QVERIFY(test::ReadAll(config_ + u"/Orvane.ini"_s).contains(inputDir));
        w->mManual_Click();
        QCOMPARE(ShellOpen::Recorded(), QStringList{u"file://"_s + QDir::cleanPath(manual)});
        w->close();
        w.reset();
        QCOMPARE(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_MAIN(tst_installedLayout)

#include "tst_installedLayout.moc"
