// Pages fetched into the list through the main window, and a fetch that fails.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"
#include "support/LocalHttpServer.h"

#include <QLabel>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

class FrmMainFetchTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    test::LocalHttpServer server_;
    std::unique_ptr<frmMain> w_;

    QString Target() const { return w_->findChild<QLabel*>(u"lblTgtFile"_s)->text(); }
    platform::ListView* List() const { return w_->findChild<platform::ListView*>(u"ListView1"_s); }
    QByteArray TempPage() const { return test::ReadAll(dir_.File(u"HTML_TMP.htm"_s)); }

private Q_SLOTS:
    void initTestCase() {
        server_.Serve("/links", "<html><a href=\"http://one\">One</a><a href='https://two'>Two</a></html>");
        server_.Serve("/missing", "gone", 404);
        server_.Serve("/docs/guide/index.html",
                      "<p><a class=\"ulink\" href=\"../api/x.html\">API</a> <a href=\"#top\">Top</a></p>");
    }
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() { w_.reset(); }

    void fetchedPageIsConvertedAndAFailedOneChangesNothing() {
        MessageCapture messages;
        const QString url = server_.Url(u"/links"_s);
        w_->FetchAndConvert(url);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Target(), url);
        QCOMPARE(List()->Count(), 2);
        QCOMPARE(List()->Entry(2).url, u"https://two"_s);
        QVERIFY(TempPage().startsWith("\"<html>"));
        QVERIFY(TempPage().endsWith("</html>\"\r\n"));
        QVERIFY(w_->isEnabled());
        // A failed fetch converts nothing and leaves the target.
        const QString target = Target();
        w_->FetchAndConvert(server_.Url(u"/missing"_s));
        QCOMPARE(messages.Titles(), QStringList{u"Orvane"_s});
        QCOMPARE(messages.Last().text,
                 u"指定されたURLから情報を取得できませんでした。\r\n処理を中断します。"_s);
        QCOMPARE(messages.Last().icon, MessageIcon::None);
        QVERIFY(!gCancelRequested);
        QCOMPARE(Target(), target);
        QCOMPARE(List()->Count(), 2);
    }

    // At the level that reads the tags, a fetched page's relative links resolve against its URL.
    void fetchedPageResolvesAgainstItsAddress() {
        MessageCapture messages;
        gLinkLevel = 2;
        const QString url = server_.Url(u"/docs/guide/index.html"_s);
        w_->FetchAndConvert(url);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(List()->Count(), 1);
        QCOMPARE(List()->Entry(1).url, server_.Url(u"/docs/api/x.html"_s));
        QCOMPARE(List()->Entry(1).text, u"API"_s);
    }
};

QTEST_MAIN(FrmMainFetchTest)
#include "tst_frmMainFetch.moc"
