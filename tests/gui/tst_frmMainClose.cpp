// A close request while a conversion or a fetch runs: the conversion is cancelled, a fetch runs to
// its end, and the window closes once the work has ended; nothing starts after the request.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "support/GuiTest.h"
#include "support/WebServer.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

class FrmMainCloseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<frmMain> w_;
    bool closeAccepted_ = false;

    QString BigPage(const QString& name) const {
        return dir_->Write(name, QByteArray("<a href=\"http://x/\">x</a>\r\n").repeated(500));
    }
    // The close request lands while the work pumps events, as a window manager's would.
    void CloseDuringWork() {
        QTimer::singleShot(0, w_.get(), [this] { closeAccepted_ = w_->close(); });
    }
    QByteArray Settings() const { return test::ReadAll(dir_->File(u"Orvane.ini"_s)); }

private Q_SLOTS:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        w_ = test::StartMainWindow(*dir_);
        QFile::remove(dir_->File(u"Orvane.ini"_s)); // written again only by the real close
        closeAccepted_ = true;
    }
    void cleanup() {
        w_.reset();
        dir_.reset();
    }

    void closeDuringAConversionCancelsItAndClosesAfterwards() {
        MessageCapture messages;
        const QString page = BigPage(u"big.htm"_s);
        CloseDuringWork();
        w_->findChild<QLabel*>(u"lblTgtFile"_s)->setText(page);
        w_->ConvertHtmlFile(page);
        QVERIFY(!closeAccepted_);
        QVERIFY(Settings().isEmpty());
        QCOMPARE(messages.Titles(), QStringList{u"処理の中断"_s});
        QCOMPARE(gLinkCount(), 0);
        QVERIFY(!gCancelRequested);
        QTRY_VERIFY(!w_->isVisible());
        QVERIFY(Settings().contains("[Orvane]"));
    }

    void closeDuringADropConvertsNoFurtherFile() {
        MessageCapture messages;
        const QString first = BigPage(u"first.htm"_s);
        const QString second = BigPage(u"second.htm"_s);
        CloseDuringWork();
        w_->InputDroppedFiles({first, second});
        QVERIFY(!closeAccepted_);
        QCOMPARE(messages.Titles(), QStringList{u"処理の中断"_s});
        QCOMPARE(w_->findChild<QLabel*>(u"lblTgtFile"_s)->text(), first);
        QCOMPARE(gLinkCount(), 0);
        QTRY_VERIFY(!w_->isVisible());
    }

    void closeDuringAFetchWaitsForItsEndAndConvertsNothing() {
        test::WebServer server;
        // The close comes while the fetch waits for the response.
        server.Route("/links", [this](const test::WebServer::Request&) {
            closeAccepted_ = w_->close();
            return test::Page("<a href=\"http://one\">One</a>");
        });
        MessageCapture messages;
        w_->FetchAndConvert(server.Url(u"/links"_s));
        QVERIFY(!closeAccepted_);
        QCOMPARE(messages.Count(), 0);
        QVERIFY(!gCancelRequested);
        // The page arrived, but no conversion starts once the window is closing.
        QVERIFY(test::ReadAll(dir_->File(u"HTML_TMP.htm"_s)).contains("http://one"));
        QCOMPARE(gLinkCount(), 0);
        QTRY_VERIFY(!w_->isVisible());
        QVERIFY(Settings().contains("[Orvane]"));
    }
};

QTEST_MAIN(FrmMainCloseTest)
#include "tst_frmMainClose.moc"
