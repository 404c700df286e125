// The preview browser against pages served on the loopback address.

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolBar>

#ifdef ORVANE_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

using orvane::frmBrowser;

namespace {

const QString kConnecting = QStringLiteral("接続中...");

// "/a" and any other path ("Page B") answer at once; "/slow..." is held until ReleaseSlow().
class PageServer : public QObject {
public:
    bool Start() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnRead(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return m_server.listen(QHostAddress::LocalHost);
    }
    QString Url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(QLatin1String(path));
    }
    int SlowWaiting() const {
        int n = 0;
        for (const auto& s : m_held)
            n += s && s->state() == QAbstractSocket::ConnectedState;
        return n;
    }
    void ReleaseSlow() {
        for (const auto& s : m_held)
            if (s)
                Reply(s, "Slow page");
        m_held.clear();
    }

private:
    static void Reply(QTcpSocket* socket, const char* title) {
        const QByteArray body =
            QByteArray("<html><head><title>") + title + "</title></head><body>" + title + "</body></html>";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n"
                      "Content-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }
    void OnRead(QTcpSocket* socket) {
        QByteArray& request = m_requests[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        m_requests.remove(socket);
        if (path.startsWith("/slow"))
            m_held.append(socket);
        else
            Reply(socket, path == "/a" ? "Page A" : "Page B");
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_requests;
    QList<QPointer<QTcpSocket>> m_held;
};

} // namespace

class tst_frmBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
#ifndef ORVANE_HAVE_WEBENGINE
        QSKIP("built without the web engine");
#endif
        QVERIFY(m_server.Start());
        orvane::platform::MessageBox::SetTestHook(
            [this](const orvane::platform::ShownMessage& m) { m_messages.append(m); });
        m_main.show();
    }

    void cleanup() {
        if (frmBrowser* w = frmBrowser::Instance())
            w->close();
        QTRY_VERIFY(frmBrowser::Instance() == nullptr);
        m_server.ReleaseSlow();
        orvane::gBrowseAddress.clear();
        // Nothing here is ever reported in a message box: the engine shows its own pages.
        QVERIFY(m_messages.isEmpty());
    }

    void captionReadsConnectingWhileLoadingAndStopEndsTheWaitAtOnce() {
        const QString slow = m_server.Url("/slow");
        frmBrowser* w = OpenOn(slow);
        QVERIFY(w->TimerActive());
        QTRY_COMPARE(w->windowTitle(), kConnecting);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.SlowWaiting(), 1, 15000);
        QCOMPARE(w->windowTitle(), kConnecting);
        m_server.ReleaseSlow();
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Slow page"), 15000);
        QTRY_VERIFY(!w->TimerActive());

        // Enter loads a typed address without adding it to the list; the key goes on to the box.
        Enter(w, slow + u"?again");
        QTRY_COMPARE_WITH_TIMEOUT(m_server.SlowWaiting(), 1, 15000);
        QCOMPARE(w->windowTitle(), kConnecting);
        auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->itemText(0), slow);
        QCOMPARE(box->currentText(), slow + u"?again");

        ClickButton(w, "Stop");
        // At once, without waiting for the engine; the cancelled load's end does not bring it back.
        QVERIFY(!w->TimerActive());
        QCOMPARE(w->windowTitle(), QStringLiteral("Slow page"));
        QTest::qWait(300);
        QVERIFY(!w->TimerActive());
        QCOMPARE(w->windowTitle(), QStringLiteral("Slow page"));
        QCOMPARE(PageUrl(w), slow);
    }

    void backWithoutHistoryDoesNothing() {
        const QString a = m_server.Url("/a");
        frmBrowser* w = OpenOn(a);
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
        QTRY_VERIFY(!w->TimerActive());

        // Nothing to go back or forward to: nothing loads, and "connecting" is never shown.
        QSignalSpy captions(w, &QWidget::windowTitleChanged);
        ClickButton(w, "Back");
        ClickButton(w, "Forward");
        QTest::qWait(200);
        QVERIFY(!w->TimerActive());
        QCOMPARE(w->windowTitle(), QStringLiteral("Page A"));
        QCOMPARE(PageUrl(w), a);
        for (const QList<QVariant>& args : std::as_const(captions))
            QVERIFY(args.at(0).toString() != kConnecting);

        // With a page behind, Back returns to it.
        Enter(w, m_server.Url("/b"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page B"), 15000);
        ClickButton(w, "Back");
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
        QCOMPARE(PageUrl(w), a);
    }

    void secondOpenKeepsThePageAndReopeningReadsTheNewAddress() {
        frmBrowser* w = OpenOn(m_server.Url("/a"));
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
        QCOMPARE(OpenOn(m_server.Url("/b")), w);
        QTest::qWait(300);
        QCOMPARE(w->windowTitle(), QStringLiteral("Page A"));
        QCOMPARE(PageUrl(w), m_server.Url("/a"));

        w->close();
        QTRY_VERIFY(frmBrowser::Instance() == nullptr);
        frmBrowser* again = OpenOn(m_server.Url("/b"));
        QTRY_COMPARE_WITH_TIMEOUT(again->windowTitle(), QStringLiteral("Page B"), 15000);
        auto* box = again->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->itemText(0), m_server.Url("/b"));
    }

    void layoutKeepsMarginsAndNeverGoesNegative() {
        frmBrowser* w = OpenOn(QString()); // nothing loads
        auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        auto* browser = w->findChild<QWidget*>(QStringLiteral("brwWebBrowser"));
        // 500 x 400 px = 7500 x 6000 twips: widths 7400 twips, browser height 6000 - 1215 - 100.
        w->resize(500, 400);
        QTRY_COMPARE(w->width(), 500);
        QCOMPARE(box->geometry(), QRect(3, 22, 493, 21));
        QCOMPARE(browser->geometry(), QRect(3, 81, 493, 312));
        // 40 x 60 px: the browser has no room below the strip; 5 x 5: narrower than the margin itself.
        w->resize(40, 60);
        QTRY_COMPARE(w->width(), 40);
        QCOMPARE(browser->size(), QSize(33, 0));
        w->resize(5, 5);
        QTRY_COMPARE(w->width(), 5);
        QCOMPARE(box->width(), 0);
        QCOMPARE(browser->size(), QSize(0, 0));
    }

private:
    frmBrowser* OpenOn(const QString& address) {
        orvane::gBrowseAddress = orvane::platform::U(address);
        frmBrowser::Open(&m_main);
        return frmBrowser::Instance();
    }
    static void ClickButton(frmBrowser* w, const char* key) {
        auto* bar = w->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        QTest::mouseClick(bar->widgetForAction(bar->findChild<QAction*>(QString::fromLatin1(key))),
                          Qt::LeftButton);
    }
    // The typed address goes in as the user would enter it.
    static void Enter(frmBrowser* w, const QString& address) {
        auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        box->lineEdit()->setText(address);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }
    static QString PageUrl(frmBrowser* w) {
#ifdef ORVANE_HAVE_WEBENGINE
        return w->Browser()->url().toString();
#else
        Q_UNUSED(w);
        return QString();
#endif
    }

    PageServer m_server;
    QWidget m_main;
    QList<orvane::platform::ShownMessage> m_messages;
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    tst_frmBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmBrowser.moc"
