// Pages fetched into the list through the main window from servers of the test that behave like
// real sites, and fetches that fail.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "platform/HttpFetch.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"
#include "support/WebServer.h"

#include <QDir>
#include <QLabel>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;
using orvane::test::WebServer;
using Request = WebServer::Request;

namespace {

QByteArray Links(int count, const QByteArray& prefix) {
    QByteArray page = "<html><body>\r\n";
    for (int i = 1; i <= count; ++i)
        page += "<a href=\"http://" + prefix + QByteArray::number(i) + ".example/\">" + prefix +
                QByteArray::number(i) + "</a>\r\n";
    return page + "</body></html>\r\n";
}

} // namespace

class FrmMainFetchTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    WebServer server_;
    std::unique_ptr<frmMain> w_;

    QString Target() const { return w_->findChild<QLabel*>(u"lblTgtFile"_s)->text(); }
    platform::ListView* List() const { return w_->findChild<platform::ListView*>(u"ListView1"_s); }
    QByteArray TempPage() const { return test::ReadAll(dir_.File(u"HTML_TMP.htm"_s)); }
    // Files the fetches left in the program directory besides the settings file.
    QStringList Leftovers() const {
        QStringList names = QDir(dir_.Path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(u"Orvane.ini"_s);
        return names;
    }

private Q_SLOTS:
    void initTestCase() {
        server_.Serve("/links", "<html><a href=\"http://one\">One</a><a href='https://two'>Two</a></html>");
        server_.Serve("/missing", "<a href=\"http://three\">Three</a>", 404);
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
        QCOMPARE(Leftovers(), QStringList{u"HTML_TMP.htm"_s});
        QVERIFY(w_->isEnabled());
        // A failed fetch converts nothing, leaves the target and the last fetched page.
        const QString target = Target();
        w_->FetchAndConvert(server_.Url(u"/missing"_s));
        QCOMPARE(messages.Titles(), QStringList{u"Orvane"_s});
        QCOMPARE(messages.Last().text,
                 u"指定されたURLから情報を取得できませんでした。\r\n処理を中断します。"_s);
        QCOMPARE(messages.Last().icon, MessageIcon::None);
        QVERIFY(!gCancelRequested);
        QCOMPARE(Target(), target);
        QCOMPARE(List()->Count(), 2);
        QVERIFY(TempPage().endsWith("</html>\"\r\n"));
        QCOMPARE(Leftovers(), QStringList{u"HTML_TMP.htm"_s});
    }

    void anAddressTypedWithoutASchemeIsFetchedOverHttpAndNonsenseIsRefused() {
        MessageCapture messages;
        const QString typed = u"127.0.0.1:%1/links"_s.arg(server_.Port());
        w_->FetchAndConvert(typed);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Target(), u"http://"_s + typed);
        QCOMPARE(List()->Count(), 2);
        // Which addresses are nonsense is TypedAddress's table (platform tests).
        w_->FetchAndConvert(u"mailto:someone@example.com"_s);
        QCOMPARE(messages.Titles(), QStringList{u"警告"_s});
        QCOMPARE(messages.Last().text, u"指定したURLが異常です。"_s);
        QCOMPARE(List()->Count(), 2);
    }

    // Another running copy writes its page while this one fetches: each converts only its own.
    void aPageWrittenMeanwhileByAnotherCopyIsNeverRead() {
        server_.Route("/mine", [this](const Request&) {
            dir_.Write(u"HTML_TMP.htm"_s, "\"" + Links(8, "theirs") + "\"\r\n");
            return test::Page(Links(1, "mine"));
        });
        MessageCapture messages;
        w_->FetchAndConvert(server_.Url(u"/mine"_s));
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(test::Column(List(), 1), QStringList{u"http://mine1.example/"_s});
        // Afterwards the well-known file holds the page this copy fetched.
        QVERIFY(TempPage().contains("mine1.example"));
        QVERIFY(!TempPage().contains("theirs"));
    }

    void aPageThatCannotBeWrittenIsReportedAsSuchNotAsABadAddress() {
        MessageCapture messages;
        QVERIFY(QDir(dir_.Path()).removeRecursively());
        w_->FetchAndConvert(server_.Url(u"/links"_s));
        QVERIFY(QDir().mkpath(dir_.Path())); // for the next case and the settings written at exit
        QCOMPARE(messages.Count(), 1);
        QVERIFY(messages.Last().text.startsWith(u"取得したﾍﾟｰｼﾞを一時ﾌｧｲﾙに書き込めませんでした。\r\n"_s));
        QVERIFY(messages.Last().text.contains(dir_.Path()));
        QCOMPARE(messages.Last().icon, MessageIcon::Critical);
        QCOMPARE(List()->Count(), 0);
        QVERIFY(w_->isEnabled());
    }

    // At the level that reads the tags, a fetched page's relative links resolve against its URL.
    // Relative links of a page that was redirected resolve against where it finally came from.
    void fetchedPageResolvesAgainstItsFinalAddress() {
        server_.Route("/moved", [](const Request&) { return test::Redirect("/docs/guide/index.html", 301); });
        MessageCapture messages;
        gLinkLevel = 2;
        const QString url = server_.Url(u"/moved"_s);
        w_->FetchAndConvert(url);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(List()->Count(), 1);
        QCOMPARE(List()->Entry(1).url, server_.Url(u"/docs/api/x.html"_s));
        QCOMPARE(List()->Entry(1).text, u"API"_s);
    }
};

QTEST_MAIN(FrmMainFetchTest)
#include "tst_frmMainFetch.moc"
