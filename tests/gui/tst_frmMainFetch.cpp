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

class FrmMainFetchTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    WebServer server_;
    std::unique_ptr<frmMain> w_;

    QString Target() const { return w_->findChild<QLabel*>(u"lblTgtFile"_s)->text(); }
    platform::ListView* List() const { return w_->findChild<platform::ListView*>(u"ListView1"_s); }
    QByteArray TempPage() const { return test::ReadAll(dir_.File(u"HTML_TMP.htm"_s)); }
    // What a fetch leaves: the messages, the target, the list, the files beside the settings file and
    // whether the window is usable again.
    QStringList State(const MessageCapture& messages) const {
        QStringList files = QDir(dir_.Path()).entryList(QDir::Files | QDir::Hidden);
        files.removeAll(u"Orvane.ini"_s);
        return messages.Lines() + QStringList{Target()} + test::Rows(List()) + files +
               QStringList{w_->isEnabled() ? u"enabled"_s : u"disabled"_s};
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
        const QStringList fetched{url, u"0|One|http://one"_s, u"1|Two|https://two"_s, u"HTML_TMP.htm"_s,
                                  u"enabled"_s};
        QCOMPARE(State(messages), fetched);
        const QByteArray page =
            "\"<html><a href=\"http://one\">One</a><a href='https://two'>Two</a></html>\"\r\n";
        QCOMPARE(TempPage(), page);
        // A failed fetch converts nothing, leaves the target and the last fetched page.
        w_->FetchAndConvert(server_.Url(u"/missing"_s));
        QCOMPARE(State(messages),
                 QStringList{
                     u"Orvane|None|指定されたURLから情報を取得できませんでした。\r\n処理を中断します。"_s} +
                     fetched);
        QVERIFY(!gCancelRequested);
        QCOMPARE(TempPage(), page);
    }

    void anAddressTypedWithoutASchemeIsFetchedOverHttpAndNonsenseIsRefused() {
        MessageCapture messages;
        const QString typed = u"127.0.0.1:%1/links"_s.arg(server_.Port());
        w_->FetchAndConvert(typed);
        // Which addresses are nonsense is TypedAddress's table (platform tests).
        w_->FetchAndConvert(u"mailto:someone@example.com"_s);
        QCOMPARE(State(messages), (QStringList{u"警告|Exclamation|指定したURLが異常です。"_s,
                                               u"http://"_s + typed, u"0|One|http://one"_s,
                                               u"1|Two|https://two"_s, u"HTML_TMP.htm"_s, u"enabled"_s}));
    }

    // Another running copy writes its page while this one fetches: each converts only its own.
    void aPageWrittenMeanwhileByAnotherCopyIsNeverRead() {
        static const QByteArray kMine = "<a href=\"http://mine1.example/\">mine1</a>";
        server_.Route("/mine", [this](const Request&) {
            dir_.Write(u"HTML_TMP.htm"_s, "\"<a href=\"http://theirs.example/\">theirs</a>\"\r\n");
            return test::Page(kMine);
        });
        MessageCapture messages;
        w_->FetchAndConvert(server_.Url(u"/mine"_s));
        QCOMPARE(State(messages), (QStringList{server_.Url(u"/mine"_s), u"0|mine1|http://mine1.example/"_s,
                                               u"HTML_TMP.htm"_s, u"enabled"_s}));
        // Afterwards the well-known file holds the page this copy fetched.
        QCOMPARE(TempPage(), "\"" + kMine + "\"\r\n");
    }

    void aPageThatCannotBeWrittenIsReportedAsSuchNotAsABadAddress() {
        MessageCapture messages;
        QVERIFY(QDir(dir_.Path()).removeRecursively());
        w_->FetchAndConvert(server_.Url(u"/links"_s));
        QVERIFY(QDir().mkpath(dir_.Path())); // for the next case and the settings written at exit
        QCOMPARE(State(messages),
                 (QStringList{u"警告|Critical|取得したﾍﾟｰｼﾞを一時ﾌｧｲﾙに書き込めませんでした。\r\n"_s +
                                  dir_.File(u"HTML_TMP.htm"_s),
                              u"ﾀｰｹﾞｯﾄﾌｧｲﾙ :"_s, u"enabled"_s}));
    }

    // At the level that reads the tags, a fetched page's relative links resolve against its URL.
    // Relative links of a page that was redirected resolve against where it finally came from.
    void fetchedPageResolvesAgainstItsFinalAddress() {
        server_.Route("/moved", [](const Request&) { return test::Redirect("/docs/guide/index.html", 301); });
        MessageCapture messages;
        gLinkLevel = 2;
        const QString url = server_.Url(u"/moved"_s);
        w_->FetchAndConvert(url);
        QCOMPARE(State(messages), (QStringList{url, u"0|API|"_s + server_.Url(u"/docs/api/x.html"_s),
                                               u"HTML_TMP.htm"_s, u"enabled"_s}));
    }
};

QTEST_MAIN(FrmMainFetchTest)
#include "tst_frmMainFetch.moc"
