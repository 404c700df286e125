// Pages fetched into the list through the main window (menu, dropped web links), and the list's
// double-click action.

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "forms/frmMain.h"
#include "forms/frmOpenURL.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"
#include "support/LocalHttpServer.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
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
        server_.Serve("/plain", "nothing to see");
        server_.Serve("/big", QByteArray(130000, 'x'));
        server_.Serve("/missing", "gone", 404);
    }
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() {
        frmOpenURL::Unload();
        w_.reset();
    }

    void fetchedPageIsConvertedWithTheUrlAsTarget() {
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
    }

    void menuCommandAsksForTheUrlAndKeepsItForTheNextOpening() {
        MessageCapture messages;
        const QString url = server_.Url(u"/links"_s);
        QTimer::singleShot(0, [url] {
            frmOpenURL* dialog = frmOpenURL::Loaded();
            dialog->findChild<QLineEdit*>(u"txtOpenURL"_s)->setText(url);
            dialog->comOk_Click();
        });
        w_->mWWWOpen_Click();
        QCOMPARE(List()->Count(), 2);
        QString shown;
        QTimer::singleShot(0, [&shown] {
            shown = frmOpenURL::Loaded()->Url();
            frmOpenURL::Loaded()->ComCancel_Click();
        });
        w_->mWWWOpen_Click();
        QCOMPARE(shown, url);
        QCOMPARE(List()->Count(), 2);
        QVERIFY(!gCancelRequested);
        QCOMPARE(messages.Count(), 0);
    }

    void pageWithoutLinksNamesTheUrl() {
        MessageCapture messages;
        const QString url = server_.Url(u"/plain"_s);
        w_->FetchAndConvert(url);
        QCOMPARE(messages.Titles(), QStringList{u"データなし"_s});
        QVERIFY(messages.Last().text.startsWith(u"「"_s + url + u"」に、"_s));
    }

    void oversizedPageGivesTheSizeMessageAndKeepsTheList() {
        MessageCapture messages;
        w_->FetchAndConvert(server_.Url(u"/links"_s));
        w_->FetchAndConvert(server_.Url(u"/big"_s));
        QCOMPARE(messages.Titles(), QStringList{u"ﾌｧｲﾙｻｲｽﾞｵｰﾊﾞｰ"_s});
        QVERIFY(messages.Last().text.startsWith(u"入力ファイルサイズ：130004 byte\r\n"_s));
        QCOMPARE(List()->Count(), 2);
    }

    void failedFetchConvertsNothingAndLeavesTheTarget() {
        MessageCapture messages;
        w_->FetchAndConvert(server_.Url(u"/links"_s));
        const QString target = Target();
        w_->FetchAndConvert(server_.Url(u"/missing"_s));
        QCOMPARE(messages.Titles(), QStringList{u"Orvane"_s});
        QCOMPARE(messages.Last().text,
                 u"指定されたURLから情報を取得できませんでした。\r\n処理を中断します。"_s);
        QCOMPARE(messages.Last().icon, MessageIcon::None);
        QVERIFY(!gCancelRequested);
        QCOMPARE(Target(), target);
        QCOMPARE(List()->Count(), 2);
        messages.Clear();
        w_->FetchAndConvert(u"http://"_s);
        QCOMPARE(messages.Count(), 1);
        QCOMPARE(List()->Count(), 2);
        QVERIFY(w_->isEnabled());
    }

    void proxyChosenWithoutAddressTakesTheErrorPath() {
        MessageCapture messages;
        gProxyUse = true;
        gProxyAddress.clear();
        w_->FetchAndConvert(server_.Url(u"/links"_s));
        QCOMPARE(messages.Titles(), QStringList{u"警告"_s});
        QCOMPARE(messages.Last().text, u"指定したURLが異常です。"_s);
        // Through the proxy: the test server answers the absolute URI as a proxy would.
        gProxyAddress = u"127.0.0.1:" + QString::number(server_.Port()).toStdU16String();
        w_->FetchAndConvert(u"http://example.invalid/links"_s);
        QCOMPARE(List()->Count(), 2);
        QVERIFY(server_.RequestLines().last().startsWith("GET http://example.invalid/links"));
    }

    void droppedWebLinkIsFetchedWithoutTheDialog() {
        MessageCapture messages;
        QMimeData mime;
        mime.setUrls({QUrl(u"ftp://skip/me"_s), QUrl(server_.Url(u"/links"_s))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w_.get(), &drop);
        QCOMPARE(List()->Count(), 2);
        QCOMPARE(Target(), server_.Url(u"/links"_s));
        QVERIFY(!frmOpenURL::Loaded());
    }

    void doubleClickDeletesOrBrowsesByTheOption() {
        w_->FetchAndConvert(server_.Url(u"/links"_s));
        List()->Select(1);
        gDblClickAction = 0;
        w_->ListView1_DblClick();
        QCOMPARE(List()->Count(), 1);
        QVERIFY(gLinks.At(0).deleted);
        QVERIFY(!frmBrowser::Instance());
        List()->clearSelection();
        gDblClickAction = 1;
        w_->ListView1_DblClick(); // nothing selected: nothing happens
        QVERIFY(!frmBrowser::Instance());
    }
};

QTEST_MAIN(FrmMainFetchTest)
#include "tst_frmMainFetch.moc"
