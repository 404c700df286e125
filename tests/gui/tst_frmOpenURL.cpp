// The URL dialog: OK and Cancel, Enter and Escape, and what the next opening shows.

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

class tst_frmOpenURL : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        orvane::test::ResetProcessState();
        m_main.setEnabled(true);
    }
    void cleanup() {
        frmOpenURL::Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void enterAndOkAcceptAndTheAddressIsKeptForTheNextOpening() {
        orvane::test::MessageCapture messages;
        frmOpenURL& d = frmOpenURL::Load(&m_main);
        const int result = ExecWith(d, [&] {
            QVERIFY(d.isEnabled()); // usable although the main window is disabled
            Text(d)->setFocus();
            Text(d)->end(false);
            QTest::keyClicks(Text(d), QStringLiteral("127.0.0.1/a b.htm"));
            QTest::keyClick(Text(d), Qt::Key_Return);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(messages.Count(), 0);
        QVERIFY(!gCancelRequested);
        QVERIFY(m_main.isEnabled());
        QCOMPARE(d.Url(), QStringLiteral("http://127.0.0.1/a b.htm"));

        // Still loaded: the next opening shows the last address; OK by the button closes it too.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(&frmOpenURL::Load(&m_main), &d);
        QCOMPARE(Text(d)->text(), QStringLiteral("http://127.0.0.1/a b.htm"));
        QCOMPARE(ExecWith(d, [&] { Button(d, u"comOk")->click(); }), int(QDialog::Accepted));
    }

    void escapeAndCancelUnloadSoTheNextOpeningStartsAfresh() {
        // Escape in the text box, Escape elsewhere, the cancel button.
        for (int way = 0; way < 3; ++way) {
            gCancelRequested = false;
            frmOpenURL& d = frmOpenURL::Load(&m_main);
            QPointer<frmOpenURL> loaded(&d);
            const int result = ExecWith(d, [&] {
                Text(d)->setText(QStringLiteral("http://example.com/"));
                if (way == 2)
                    Button(d, u"ComCancel")->click();
                else
                    QTest::keyClick(way == 0 ? static_cast<QWidget*>(Text(d)) : Button(d, u"comOk"),
                                    Qt::Key_Escape);
            });
            QCOMPARE(result, int(QDialog::Rejected));
            QVERIFY2(gCancelRequested, "leaving without OK must not start a fetch");
            QVERIFY(m_main.isEnabled());
            QCOMPARE(frmOpenURL::Loaded(), nullptr);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY2(loaded.isNull(), "the cancelled dialog is destroyed");
            QCOMPARE(Text(frmOpenURL::Load(&m_main))->text(), QStringLiteral("http://"));
            frmOpenURL::Unload();
        }
    }

private:
    // Runs `action` inside the modal loop with the main window disabled, as the main window does; a
    // watchdog ends a dialog that does not close by itself, so a fault fails the test instead of hanging.
    int ExecWith(frmOpenURL& dialog, const std::function<void()>& action) {
        const orvane::test::ExpectModal driven(QStringLiteral("frmOpenURL"));
        QTimer::singleShot(0, &dialog, action);
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
        m_main.setEnabled(false);
        return dialog.exec();
    }
    static QLineEdit* Text(frmOpenURL& d) { return d.findChild<QLineEdit*>(QStringLiteral("txtOpenURL")); }
    static QPushButton* Button(frmOpenURL& d, const char16_t* name) {
        return d.findChild<QPushButton*>(QString::fromUtf16(name));
    }

    QWidget m_main;
};

QTEST_MAIN(tst_frmOpenURL)
#include "tst_frmOpenURL.moc"
