// The URL dialog: OK and Cancel, Enter and Escape in the text box, and what the next opening shows.

#include "core/Globals.h"
#include "forms/frmOpenURL.h"
#include "support/GuiTest.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using orvane::frmOpenURL;
using orvane::gCancelRequested;
using orvane::test::MessageCapture;

class tst_frmOpenURL : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void loadsWithTheStartText();
    void okWithAnEmptyTextWarnsAndStaysOpen();
    void enterActsAsOkAndTheAddressIsKeptForTheNextOpening();
    void escapeAndCancelUnloadSoTheNextOpeningStartsAfresh();
    void escapeOutsideTheTextBoxCancelsToo();

private:
    // Runs `action` inside the modal loop, as the main window does; a watchdog ends a dialog that
    // does not close by itself, so a fault fails the test instead of hanging it.
    int ExecWith(frmOpenURL& dialog, const std::function<void()>& action);
    static QLineEdit* Text(frmOpenURL& d) { return d.findChild<QLineEdit*>(QStringLiteral("txtOpenURL")); }
    static QPushButton* Button(frmOpenURL& d, const char16_t* name) {
        return d.findChild<QPushButton*>(QString::fromUtf16(name));
    }

    QWidget m_main;
    bool m_watchdogFired = false;
};

void tst_frmOpenURL::init() {
    orvane::test::ResetProcessState();
    m_main.setEnabled(true);
    m_watchdogFired = false;
}

void tst_frmOpenURL::cleanup() {
    frmOpenURL::Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int tst_frmOpenURL::ExecWith(frmOpenURL& dialog, const std::function<void()>& action) {
    QPointer<frmOpenURL> guard(&dialog);
    QTimer::singleShot(0, &dialog, action);
    QTimer::singleShot(5000, &dialog, [this, guard] {
        m_watchdogFired = true;
        if (guard)
            guard->done(-1);
    });
    m_main.setEnabled(false); // as the main window does before showing the dialog
    return dialog.exec();
}

void tst_frmOpenURL::loadsWithTheStartText() {
    frmOpenURL& d = frmOpenURL::Load(&m_main);
    QCOMPARE(&frmOpenURL::Load(&m_main), &d); // loaded once
    QCOMPARE(Text(d)->text(), QStringLiteral("http://"));
    // Usable although the main window is disabled while it is open.
    m_main.setEnabled(false);
    QVERIFY(d.isEnabled());
}

void tst_frmOpenURL::okWithAnEmptyTextWarnsAndStaysOpen() {
    MessageCapture messages;
    frmOpenURL& d = frmOpenURL::Load(&m_main);
    d.show();
    Text(d)->clear();
    Button(d, u"comOk")->click();
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().text, QStringLiteral("URLを入力して下さい。"));
    QCOMPARE(messages.Last().title, QStringLiteral("ﾌｧｲﾙｵｰﾌﾟﾝ失敗"));
    QCOMPARE(messages.Last().icon, orvane::MessageIcon::Exclamation);
    QVERIFY(d.isVisible());
    QVERIFY(!gCancelRequested);

    // A typed address is taken exactly as typed (keypad Enter).
    QTest::keyClicks(Text(d), QStringLiteral(" x "));
    QCOMPARE(ExecWith(d, [&] { QTest::keyClick(Text(d), Qt::Key_Enter); }), int(QDialog::Accepted));
    QCOMPARE(d.Url(), QStringLiteral(" x "));
}

void tst_frmOpenURL::enterActsAsOkAndTheAddressIsKeptForTheNextOpening() {
    MessageCapture messages;
    frmOpenURL& d = frmOpenURL::Load(&m_main);
    const int result = ExecWith(d, [&] {
        QVERIFY(d.isEnabled());
        Text(d)->setFocus();
        Text(d)->end(false);
        QTest::keyClicks(Text(d), QStringLiteral("127.0.0.1/a b.htm"));
        QTest::keyClick(Text(d), Qt::Key_Return);
    });
    QVERIFY(!m_watchdogFired);
    QCOMPARE(result, int(QDialog::Accepted));
    QCOMPARE(messages.Count(), 0);
    QVERIFY(!gCancelRequested);
    QVERIFY(!d.isVisible());
    QVERIFY(m_main.isEnabled());
    QCOMPARE(d.Url(), QStringLiteral("http://127.0.0.1/a b.htm"));

    // Still loaded: the next opening shows the last address; OK by the button closes it too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(frmOpenURL::Loaded(), &d);
    frmOpenURL& again = frmOpenURL::Load(&m_main);
    QCOMPARE(&again, &d);
    QCOMPARE(Text(again)->text(), QStringLiteral("http://127.0.0.1/a b.htm"));
    QCOMPARE(ExecWith(again, [&] { Button(again, u"comOk")->click(); }), int(QDialog::Accepted));
    QVERIFY(!gCancelRequested);
}

void tst_frmOpenURL::escapeAndCancelUnloadSoTheNextOpeningStartsAfresh() {
    for (const bool byEscape : {true, false}) {
        gCancelRequested = false;
        frmOpenURL& d = frmOpenURL::Load(&m_main);
        QPointer<frmOpenURL> loaded(&d);
        const int result = ExecWith(d, [&] {
            Text(d)->setText(QStringLiteral("http://example.com/"));
            if (byEscape) {
                Text(d)->setFocus();
                QTest::keyClick(Text(d), Qt::Key_Escape);
            } else {
                Button(d, u"ComCancel")->click();
            }
        });
        QVERIFY(!m_watchdogFired);
        QCOMPARE(result, int(QDialog::Rejected));
        QVERIFY(gCancelRequested);
        QVERIFY(m_main.isEnabled());
        QCOMPARE(frmOpenURL::Loaded(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(loaded.isNull(), "the cancelled dialog is destroyed");

        QCOMPARE(Text(frmOpenURL::Load(&m_main))->text(), QStringLiteral("http://"));
        frmOpenURL::Unload();
    }
}

void tst_frmOpenURL::escapeOutsideTheTextBoxCancelsToo() {
    frmOpenURL& d = frmOpenURL::Load(&m_main);
    const int result = ExecWith(d, [&] { QTest::keyClick(Button(d, u"comOk"), Qt::Key_Escape); });
    QVERIFY(!m_watchdogFired);
    QCOMPARE(result, int(QDialog::Rejected));
    QVERIFY2(gCancelRequested, "leaving without OK must not start a fetch");
    QCOMPARE(frmOpenURL::Loaded(), nullptr);
}

QTEST_MAIN(tst_frmOpenURL)
#include "tst_frmOpenURL.moc"
