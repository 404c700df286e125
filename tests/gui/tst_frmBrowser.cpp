// The preview browser against pages served on the loopback address, loaded as the program loads it.

#include "forms/frmBrowser.h"
#include "support/GuiTest.h"
#include "support/WebServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#ifdef ORVANE_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

using orvane::test::BrowserWindow;

const QString kConnecting = QStringLiteral("接続中...");

class tst_frmBrowser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
#ifndef ORVANE_HAVE_WEBENGINE
        QSKIP("built without the web engine");
#endif
        // "/slow" and "/slow?again" are held until released; the engine's own requests are answered at once.
        const auto held = [](const orvane::test::WebServer::Request&) {
            orvane::test::WebResponse r =
                orvane::test::Page("<html><head><title>Slow page</title></head><body>Slow</body></html>");
            r.hold = true;
            return r;
        };
        m_server.Route("/slow", held);
        m_server.Route("/slow?again", held);
        m_main.show();
    }

    void cleanup() {
        if (QWidget* w = BrowserWindow())
            w->close();
        QTRY_VERIFY(BrowserWindow() == nullptr);
        m_server.ReleaseHeld();
        // Nothing here is ever reported in a message box: the engine shows its own pages.
        QCOMPARE(m_messages.Titles(), QStringList());
    }

    void captionReadsConnectingWhileLoadingAndStopEndsTheWaitAtOnce() {
        const QString slow = QStringLiteral("http://127.0.0.1:%1/slow").arg(m_server.Port());
        QVERIFY(orvane::test::OpenBrowser(&m_main, slow));
        QWidget* w = BrowserWindow();
        QVERIFY(w);
        QVERIFY(TimerActive(w));
        QTRY_COMPARE(w->windowTitle(), kConnecting);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.Held(), 1, 15000);
        QCOMPARE(w->windowTitle(), kConnecting);
        m_server.ReleaseHeld();
        QTRY_COMPARE_WITH_TIMEOUT(w->windowTitle(), QStringLiteral("Slow page"), 15000);
        QTRY_VERIFY(!TimerActive(w));

        // Enter loads a typed address without adding it to the list; the key goes on to the box.
        auto* box = w->findChild<QComboBox*>(QStringLiteral("cboAddress"));
        box->lineEdit()->setText(slow + u"?again");
        // To the combo box, which takes typed keys (its line edit has it as focus proxy).
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.Held(), 1, 15000);
        QCOMPARE((QStringList{w->windowTitle(), QString::number(box->count()), box->itemText(0),
                              box->currentText()}),
                 (QStringList{kConnecting, QStringLiteral("1"), slow, slow + u"?again"}));

        auto* bar = w->findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        QTest::mouseClick(bar->widgetForAction(bar->findChild<QAction*>(QStringLiteral("Stop"))),
                          Qt::LeftButton);
        // At once, without waiting for the engine; the cancelled load's end does not bring it back.
        QVERIFY(!TimerActive(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("Slow page"));
        QTest::qWait(300);
        QVERIFY(!TimerActive(w));
        QCOMPARE(w->windowTitle(), QStringLiteral("Slow page"));
        QCOMPARE(PageUrl(w), slow);
    }

private:
    static bool TimerActive(const QWidget* w) {
        return w->findChild<QTimer*>(QStringLiteral("timTimer"))->isActive();
    }
    static QString PageUrl(const QWidget* w) {
#ifdef ORVANE_HAVE_WEBENGINE
        return w->findChild<QWebEngineView*>()->url().toString();
#else
        Q_UNUSED(w);
        return QString();
#endif
    }

    orvane::test::WebServer m_server;
    QWidget m_main;
    orvane::test::MessageCapture m_messages;
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    orvane::frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    tst_frmBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmBrowser.moc"
