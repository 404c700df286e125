// What the program opens outside its own windows: the preview browser on the list's entry, loaded
// as a library on first use. What it could not open is reported once, in a message box that names
// it, and the program goes on: the manual (opened where it lies: tst_installedLayout), the home page
// and the preview browser's library.

#include "core/Globals.h"
#include "forms/BrowserLibrary.h"
#include "forms/frmMain.h"
#include "forms/frmVersion.h"
#include "platform/ListView.h"
#include "platform/ShellOpen.h"
#include "support/GuiTest.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::platform::ShellOpen;
using orvane::test::MessageCapture;

class OpeningTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    std::unique_ptr<frmMain> w_;

    // One entry on the list, selected, and the double-click set to browse.
    void ListOne(const QString& url) {
        w_->AddLinkRecord(url.toStdU16String(), u"Page", 1);
        w_->ShowNewLinks(1);
        w_->findChild<platform::ListView*>(u"ListView1"_s)->Select(1);
        gDblClickAction = 1;
    }
    static int OpenBrowsers() {
        int n = 0;
        for (const QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == u"frmBrowser"_s && w->isVisible();
        return n;
    }

private Q_SLOTS:
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() {
        BrowserLibrary::SetPathForTests(QString());
        w_.reset();
        QFile::remove(dir_.File(u"readme.htm"_s));
    }

    void browseOpensOneBrowserOnTheSelectedEntry() {
        const QString url = u"http://127.0.0.1:9/page"_s;
        ListOne(url);
        w_->ListView1_DblClick();
        QCOMPARE(OpenBrowsers(), 1);
        QCOMPARE(test::BrowserWindow()->findChild<QComboBox*>(u"cboAddress"_s)->currentText(), url);
        // Browsing again brings the open window forward instead of opening a second one.
        w_->ListView1_DblClick();
        QCOMPARE(OpenBrowsers(), 1);
        delete test::BrowserWindow(); // before the main window it belongs to
    }

    void manualMissingOrRefusedIsReported() {
        const QString manual = QDir::cleanPath(dir_.Path()) + u"/readme.htm"_s;
        {
            MessageCapture messages;
            w_->mManual_Click();
            QCOMPARE(messages.Lines(),
                     QStringList{u"ﾏﾆｭｱﾙ表示失敗|Critical|ﾏﾆｭｱﾙを開けませんでした。\r\n"_s + manual});
            QVERIFY(ShellOpen::Recorded().isEmpty());
        }
        dir_.Write(u"readme.htm"_s, "<html></html>");
        {
            MessageCapture messages;
            ShellOpen::SetRecordedResult(false);
            w_->mManual_Click();
            QCOMPARE(messages.Lines(),
                     QStringList{u"ﾏﾆｭｱﾙ表示失敗|Critical|ﾏﾆｭｱﾙを開けませんでした。\r\n"_s + manual});
        }
        QVERIFY(w_->isVisible() && w_->isEnabled());
    }

    void homePageRefusedIsReportedOncePerClick() {
        const test::ExpectModal driven(u"frmVersion"_s);
        frmVersion about(w_.get());
        about.show();
        ShellOpen::SetRecordedResult(false);
        MessageCapture messages;
        QTest::mouseClick(about.findChild<QLabel*>(u"lblUrlDovra"_s), Qt::LeftButton);
        QCOMPARE(messages.Lines(),
                 QStringList{u"ﾎｰﾑﾍﾟｰｼﾞ表示失敗|Critical|ﾎｰﾑﾍﾟｰｼﾞを開けませんでした。\r\n"_s +
                             frmVersion::HomePage()});
        QTest::mouseClick(about.findChild<QLabel*>(u"Label2"_s), Qt::LeftButton);
        QCOMPARE(messages.Count(), 2);
        QCOMPARE(ShellOpen::Recorded(), QStringList(2, frmVersion::HomePage()));
        QVERIFY(about.isVisible());
    }

    void browserLibraryThatCannotBeLoadedIsReported_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a library") << QByteArray("not an ELF file");
    }
    void browserLibraryThatCannotBeLoadedIsReported() {
#ifndef ORVANE_HAVE_WEBENGINE
        QSKIP("the preview browser is built into the program without the web engine");
#endif
        QFETCH(QByteArray, content);
        const QString library = dir_.File(u"liborvane_browser.so"_s);
        if (!content.isEmpty())
            dir_.Write(u"liborvane_browser.so"_s, content);
        BrowserLibrary::SetPathForTests(library);
        ListOne(u"http://127.0.0.1:9/"_s);
        MessageCapture messages;
        w_->ListView1_DblClick();
        QCOMPARE(
            messages.Lines(),
            QStringList{u"ﾌﾞﾗｳｻﾞ起動失敗|Critical|ﾌﾟﾚﾋﾞｭｰﾌﾞﾗｳｻﾞを起動できませんでした。\r\n"_s + library});
        QVERIFY(w_->isVisible() && w_->isEnabled());
        QCOMPARE(OpenBrowsers(), 0);
        QFile::remove(library);
    }
};

QTEST_MAIN(OpeningTest)
#include "tst_opening.moc"
