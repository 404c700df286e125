// The preview browser against pages served on the loopback address.

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "platform/MessageBox.h"
#include "platform/Qt.h"
#include "support/WebServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>

#ifdef ORVANE_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

using orvane::frmBrowser;

namespace {

const QString kConnecting = QStringLiteral("接続中...");

// "/slow" and "/slow?again" are held until released; the engine's own requests are answered at once.
void ServeSlowPage(orvane::test::WebServer& server) {
    const auto held = [](const orvane::test::WebServer::Request&) {
        orvane::test::WebResponse r =
            orvane::test::Page("<html><head><title>Slow page</title></head><body>Slow</body></html>");
        r.hold = true;
        return r;
    };
    server.Route("/slow", held);
    server.Route("/slow?again", held);
}

} // namespace

class tst_frmBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
#ifndef ORVANE_HAVE_WEBENGINE
        QSKIP("built without the web engine");
#endif
        ServeSlowPage(m_server);
        orvane::platform::MessageBox::SetTestHook(
            [this](const orvane::platform::ShownMessage& m) { m_messages.append(m); });
        m_main.show();
    }

    void cleanup() {
        if (frmBrowser* w = frmBrowser::Instance())
            w->close();
        QTRY_VERIFY(frmBrowser::Instance() == nullptr);
        m_server.ReleaseHeld();
        orvane::gBrowseAddress.clear();
        // Nothing here is ever reported in a message box: the engine shows its own pages.
        QVERIFY(m_messages.isEmpty());
    }

    void captionReadsConnectingWhileLoadingAndStopEndsTheWaitAtOnce() {
        const QString slow = QStringLiteral("http://127.0.0.1:%1/slow").arg(m_server.Port());
        orvane::gBrowseAddress = orvane::platform::U(slow);
        frmBrowser::Open(&m_main);
        frmBrowser* w = frmBrowser::Instance();
        QVERIFY(w->TimerActive());
        QTRY_COMPARE(w->windowTitle(), kConnecting);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.Held(), 1, 15000);
        QCOMPARE(w->windowTitle(), kConnecting);
        m_server.ReleaseHeld();
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Slow page"), 15000);
        QTRY_VERIFY(!w->TimerActive());

        // Enter loads a typed address without adding it to the list; the key goes on to the box.
        auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        box->lineEdit()->setText(slow + u"?again");
        // To the combo box, which takes typed keys (its line edit has it as focus proxy).
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.Held(), 1, 15000);
        QCOMPARE(w->windowTitle(), kConnecting);
        QCOMPARE(box->count(), 1);
        QCOMPARE(box->itemText(0), slow);
        QCOMPARE(box->currentText(), slow + u"?again");

        auto* bar = w->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        QTest::mouseClick(bar->widgetForAction(bar->findChild<QAction*>(QStringLiteral("Stop"))),
                          Qt::LeftButton);
        // At once, without waiting for the engine; the cancelled load's end does not bring it back.
        QVERIFY(!w->TimerActive());
        QCOMPARE(w->windowTitle(), QStringLiteral("Slow page"));
        QTest::qWait(300);
        QVERIFY(!w->TimerActive());
        QCOMPARE(w->windowTitle(), QStringLiteral("Slow page"));
        QCOMPARE(PageUrl(w), slow);
    }

private:
    static QString PageUrl(frmBrowser* w) {
#ifdef ORVANE_HAVE_WEBENGINE
        return w->Browser()->url().toString();
#else
        Q_UNUSED(w);
        return QString();
#endif
    }

    orvane::test::WebServer m_server;
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
