// The preview browser against pages served on the loopback address.

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"

#include <QAbstractItemView>
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

// "/a" and "/b" answer at once; "/slow" is held until ReleaseSlow().
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
                Reply(s, "200 OK", Page("Slow page"));
        m_held.clear();
    }

private:
    static QByteArray Page(const char* title) {
        return QByteArray("<html><head><title>") + title + "</title></head><body>" + title + "</body></html>";
    }
    static void Reply(QTcpSocket* socket, const char* status, const QByteArray& body) {
        socket->write(QByteArray("HTTP/1.1 ") + status +
                      "\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: " +
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
        if (path == "/a")
            Reply(socket, "200 OK", Page("Page A"));
        else if (path == "/b")
            Reply(socket, "200 OK", Page("Page B"));
        else if (path == "/slow")
            m_held.append(socket);
        else
            Reply(socket, "404 Not Found", QByteArray());
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_requests;
    QList<QPointer<QTcpSocket>> m_held;
};

} // namespace

class tst_frmBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void captionReadsConnectingUntilTheSlowPageArrives();
    void stopSwitchesTheTimerOffAtOnce();
    void historyButtonsAndBackWithoutHistory();
    void enterNavigatesWithoutListingAndPickingReturnsHome();
    void secondOpenKeepsThePageAndReopeningReadsTheNewAddress();
    void layoutKeepsMarginsAndNeverGoesNegative();

private:
    frmBrowser* OpenOn(const QString& address);
    void ClickButton(frmBrowser* w, const char* key);
    static QString PageUrl(frmBrowser* w);

    PageServer m_server;
    QWidget m_main;
    QList<orvane::platform::ShownMessage> m_messages;
};

frmBrowser* tst_frmBrowser::OpenOn(const QString& address) {
    orvane::gBrowseAddress = orvane::platform::U(address);
    frmBrowser::Open(&m_main);
    return frmBrowser::Instance();
}

void tst_frmBrowser::ClickButton(frmBrowser* w, const char* key) {
    auto* bar = w->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
    auto* action = bar->findChild<QAction*>(QString::fromLatin1(key));
    QVERIFY(action);
    QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
}

QString tst_frmBrowser::PageUrl(frmBrowser* w) {
#ifdef ORVANE_HAVE_WEBENGINE
    return w->Browser()->url().toString();
#else
    Q_UNUSED(w);
    return QString();
#endif
}

void tst_frmBrowser::initTestCase() {
#ifndef ORVANE_HAVE_WEBENGINE
    QSKIP("built without the web engine");
#endif
    QVERIFY(m_server.Start());
    orvane::platform::MessageBox::SetTestHook(
        [this](const orvane::platform::ShownMessage& m) { m_messages.append(m); });
    m_main.show();
}

void tst_frmBrowser::cleanup() {
    if (frmBrowser* w = frmBrowser::Instance())
        w->close();
    QTRY_VERIFY(frmBrowser::Instance() == nullptr);
    m_server.ReleaseSlow();
    orvane::gBrowseAddress.clear();
    // Nothing here is ever reported in a message box: the engine shows its own pages.
    QVERIFY(m_messages.isEmpty());
}

void tst_frmBrowser::captionReadsConnectingUntilTheSlowPageArrives() {
    frmBrowser* w = OpenOn(m_server.Url("/slow"));
    QVERIFY(w);
    QVERIFY(w->TimerActive());
    QTRY_COMPARE(w->windowTitle(), kConnecting);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.SlowWaiting(), 1, 15000);
    QCOMPARE(w->windowTitle(), kConnecting);
    QVERIFY(w->TimerActive());

    m_server.ReleaseSlow();
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Slow page"), 15000);
    QTRY_VERIFY(!w->TimerActive());
}

void tst_frmBrowser::stopSwitchesTheTimerOffAtOnce() {
    frmBrowser* w = OpenOn(m_server.Url("/a"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
    QTRY_VERIFY(!w->TimerActive());

    auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    box->lineEdit()->setText(m_server.Url("/slow"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(m_server.SlowWaiting(), 1, 15000);
    QCOMPARE(w->windowTitle(), kConnecting);

    ClickButton(w, "Stop");
    // At once, without waiting for the engine.
    QVERIFY(!w->TimerActive());
    QCOMPARE(w->windowTitle(), QStringLiteral("Page A"));

    // The cancelled load's end does not bring the indicator back.
    QTest::qWait(300);
    QVERIFY(!w->TimerActive());
    QCOMPARE(w->windowTitle(), QStringLiteral("Page A"));
    QCOMPARE(PageUrl(w), m_server.Url("/a"));
}

void tst_frmBrowser::historyButtonsAndBackWithoutHistory() {
    const QString a = m_server.Url("/a");
    const QString b = m_server.Url("/b");
    frmBrowser* w = OpenOn(a);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
    QTRY_VERIFY(!w->TimerActive());

    // Nothing to go back or forward to: nothing loads, and "connecting" is never shown.
    QSignalSpy captions(w, &QWidget::windowTitleChanged);
    ClickButton(w, "Back");
    QTRY_VERIFY(!w->TimerActive());
    ClickButton(w, "Forward");
    QTRY_VERIFY(!w->TimerActive());
    QTest::qWait(200);
    QCOMPARE(w->windowTitle(), QStringLiteral("Page A"));
    QCOMPARE(PageUrl(w), a);
    for (const QList<QVariant>& args : std::as_const(captions))
        QVERIFY(args.at(0).toString() != kConnecting);

    auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    box->lineEdit()->setText(b);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page B"), 15000);

    ClickButton(w, "Back");
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
    QCOMPARE(PageUrl(w), a);
    ClickButton(w, "Forward");
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page B"), 15000);
    ClickButton(w, "Refresh");
    QTRY_VERIFY(!w->TimerActive());
    QCOMPARE(w->windowTitle(), QStringLiteral("Page B"));
    ClickButton(w, "Home");
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
    QCOMPARE(PageUrl(w), a);
    QTRY_VERIFY(!w->TimerActive());
}

void tst_frmBrowser::enterNavigatesWithoutListingAndPickingReturnsHome() {
    const QString a = m_server.Url("/a");
    const QString b = m_server.Url("/b");
    frmBrowser* w = OpenOn(a);
    auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->currentText(), a);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);

    box->lineEdit()->setText(b);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page B"), 15000);
    QCOMPARE(PageUrl(w), b);
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), a);
    // The key went on to the box: its text is what was typed.
    QCOMPARE(box->currentText(), b);

    // Picking the one listed address from the drop-down list.
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    QTest::keyClick(box->view(), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);
    QCOMPARE(PageUrl(w), a);
    QCOMPARE(box->count(), 1);
}

void tst_frmBrowser::secondOpenKeepsThePageAndReopeningReadsTheNewAddress() {
    frmBrowser* w = OpenOn(m_server.Url("/a"));
    QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Page A"), 15000);

    QCOMPARE(OpenOn(m_server.Url("/b")), w);
    QTest::qWait(300);
    QCOMPARE(w->windowTitle(), QStringLiteral("Page A"));
    QCOMPARE(PageUrl(w), m_server.Url("/a"));

    w->close();
    QTRY_VERIFY(frmBrowser::Instance() == nullptr);
    frmBrowser* again = OpenOn(m_server.Url("/b"));
    QVERIFY(again);
    QTRY_COMPARE_WITH_TIMEOUT(again->windowTitle(), QStringLiteral("Page B"), 15000);
    auto* box = again->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    QCOMPARE(box->count(), 1);
    QCOMPARE(box->itemText(0), m_server.Url("/b"));
}

void tst_frmBrowser::layoutKeepsMarginsAndNeverGoesNegative() {
    // Opened with no address: nothing loads and the buttons have nothing to wait for.
    frmBrowser* w = OpenOn(QString());
    auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    auto* browser = w->findChild<QWidget*>(QStringLiteral("brwWebBrowser"));
    QCOMPARE(box->count(), 0);
    QVERIFY(!w->TimerActive());
    QSignalSpy captions(w, &QWidget::windowTitleChanged);
    ClickButton(w, "Refresh");
    ClickButton(w, "Home");
    QTRY_VERIFY(!w->TimerActive());
    for (const QList<QVariant>& args : std::as_const(captions))
        QVERIFY(args.at(0).toString() != kConnecting);

    // 500 x 400 px = 7500 x 6000 twips: widths 7400 twips, browser height 6000 - 1215 - 100.
    w->resize(500, 400);
    QTRY_COMPARE(w->width(), 500);
    QCOMPARE(box->geometry(), QRect(3, 22, 493, 21));
    QCOMPARE(browser->geometry(), QRect(3, 81, 493, 312));

    // 40 x 60 px: the browser has no room below the strip.
    w->resize(40, 60);
    QTRY_COMPARE(w->width(), 40);
    QCOMPARE(box->width(), 33);
    QCOMPARE(browser->width(), 33);
    QCOMPARE(browser->height(), 0);

    // Narrower than the margin itself.
    w->resize(5, 5);
    QTRY_COMPARE(w->width(), 5);
    QCOMPARE(box->width(), 0);
    QCOMPARE(browser->width(), 0);
    QCOMPARE(browser->height(), 0);
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    tst_frmBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmBrowser.moc"
