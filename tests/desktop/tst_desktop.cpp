// The windows on a real X server under a window manager (openbox, tests/desktop/run-under-wm):
// frames, placement, where windows open, real key presses and disabled owners.

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"
#include "support/WebServer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QWindow>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

// Top, Left, Width and Height as stored.
QList<int> Stored(const test::TempDir& dir) {
    QSettings ini(dir.File(u"Orvane.ini"_s), QSettings::IniFormat);
    QList<int> values;
    for (const char* key : {"Top", "Left", "Width", "Height"})
        values.append(ini.value(u"Orvane/"_s + QLatin1String(key), INT_MIN).toInt());
    return values;
}

// True once the window manager has mapped and framed the window.
bool Framed(QWidget& w) {
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    return QTest::qWaitFor([&w] { return w.frameGeometry() != w.geometry(); }, 5000);
}

// Lets the window manager's answers to the last requests arrive.
void Settle() {
    QTest::qWait(300);
}

std::unique_ptr<frmMain> StartFramed(const test::TempDir& dir) {
    auto w = test::StartMainWindow(dir);
    if (!Framed(*w))
        return nullptr;
    Settle();
    return w;
}

void Quit(frmMain& w) {
    w.findChild<QAction*>(u"mEnd"_s)->trigger(); // "終了 (&X)"
}

} // namespace

class tst_desktop : public QObject {
    Q_OBJECT

    test::MessageCapture messages_;
    std::unique_ptr<test::TempDir> dir_;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QGuiApplication::platformName() == u"xcb", "needs a real X server (run-under-wm)");
    }
    void init() { dir_ = std::make_unique<test::TempDir>(); }
    void cleanup() {
        // Nothing here has anything to report.
        QCOMPARE(messages_.Titles(), QStringList());
        test::ResetProcessState();
        dir_.reset();
    }

    void placementRoundTripsOverFiveStartsAndKeepsAMovedWindow() {
        // The first start centres the window and stores its frame; four more starts and quits
        // without touching the window store the same numbers.
        std::optional<QList<int>> first;
        for (int start = 1; start <= 5; ++start) {
            auto w = StartFramed(*dir_);
            QVERIFY(w);
            Quit(*w);
            const QList<int> stored = Stored(*dir_);
            if (!first)
                first = stored;
            QCOMPARE(stored, *first);
        }

        // Moved and resized, it comes back where it was left.
        auto w = StartFramed(*dir_);
        QVERIFY(w);
        w->move(123, 77);
        w->resize(w->width() + 45, w->height() + 30);
        Settle();
        const QRect left = w->frameGeometry();
        Quit(*w);
        w.reset();
        w = StartFramed(*dir_);
        QVERIFY(w);
        QCOMPARE(w->frameGeometry(), left);
    }

    void progressWindowCentresAndSaveWindowOpensWhereTheMainWindowIsWhenShown() {
        auto w = StartFramed(*dir_);
        QVERIFY(w);
        // Centred frame on frame, though its frame is not known before it is first shown.
        frmInfo& info = frmInfo::Load(w.get());
        info.show();
        QVERIFY(Framed(info));
        Settle();
        const QPoint offset = info.frameGeometry().center() - w->frameGeometry().center();
        // Its frame is estimated from the main window's, whose border may be a few pixels wider (a
        // resizable window's grip); centred by the inner size it would be off by half a title bar.
        QVERIFY2(offset.manhattanLength() <= 5, qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
        info.hide();

        w->AddLinkRecord(u"http://example.jp/", u"例", 0);
        w->ShowNewLinks(1);
        for (const QPoint at : {QPoint(200, 150), QPoint(60, 300)}) {
            w->move(at);
            Settle();
            QCOMPARE(w->frameGeometry().topLeft(), at);
            w->findChild<QPushButton*>(u"cmdOutLink"_s)->click();
            frmSave* save = frmSave::Loaded();
            const bool framed = save && Framed(*save);
            QVERIFY(framed);
            Settle();
            QCOMPARE(save->frameGeometry().topLeft(), at);
            save->CancelButton_Click();
            QVERIFY(w->isEnabled());
        }
    }

    void browserTakesTypedAddressesAndStaysUsableWhileTheMainWindowIsDisabled() {
#ifndef ORVANE_HAVE_WEBENGINE
        QSKIP("built without the web engine");
#else
        test::WebServer server;
        const auto page = [](const char* title) -> QByteArray {
            return QByteArray("<html><head><title>") + title + "</title></head><body>" + title +
                   "</body></html>";
        };
        server.Serve("/start", page("Start"));
        server.Serve("/typed", page("Typed"));
        server.Serve("/keypad", page("Keypad"));
        auto w = StartFramed(*dir_);
        QVERIFY(w);
        QVERIFY(test::OpenBrowser(w.get(), server.Url(u"/start"_s)));
        QWidget* browser = test::BrowserWindow();
        QVERIFY(browser && Framed(*browser));
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), u"Start"_s, 20000);

        // The main window disabled, as while a conversion, a fetch or the save window runs.
        w->setEnabled(false);
        auto* box = browser->findChild<QComboBox*>(u"cboAddress"_s);
        QVERIFY(browser->isEnabled());
        QVERIFY(box->isEnabled());

        // Typed on the keyboard into the window that has the focus, as a person types.
        browser->activateWindow();
        box->setFocus();
        QTRY_VERIFY(box->hasFocus() && QGuiApplication::focusWindow() == browser->windowHandle());
        const auto type = [browser](const QString& text, Qt::Key confirm, Qt::KeyboardModifiers modifiers) {
            QWindow* window = browser->windowHandle();
            QTest::keyClick(window, Qt::Key_A, Qt::ControlModifier);
            for (const QChar c : text)
                QTest::keyClick(window, c.toLatin1());
            QTest::keyClick(window, confirm, modifiers);
        };
        type(server.Url(u"/typed"_s), Qt::Key_Return, Qt::NoModifier);
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), u"Typed"_s, 20000);
        type(server.Url(u"/keypad"_s), Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE_WITH_TIMEOUT(browser->windowTitle(), u"Keypad"_s, 20000);
        // Typed addresses are not collected.
        QCOMPARE(box->count(), 1);
        w->setEnabled(true);
        browser->close();
#endif
    }
};

int main(int argc, char* argv[]) {
    frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    tst_desktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktop.moc"
