// Real message boxes show their text as written, and the window tests' modal guard turns a modal
// window nobody answers into a failure instead of a wait.

#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "support/GuiTest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;

class ModalWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { test::ResetProcessState(); }

    void messageBoxShowsMarkupAsWrittenAndKeepsLineBreaks() {
        const test::ExpectModal mine(u"QMessageBox"_s);
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (const auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_s)) {
                shown = label->text();
                format = label->textFormat();
            }
            box->accept();
        });
        platform::MessageBox::Show(nullptr, u"/tmp/<b>x</b>.url\r\nhttp://h/?a=<i>&amp;"_s, u"作成失敗"_s,
                                   MessageIcon::Critical);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, u"/tmp/<b>x</b>.url\nhttp://h/?a=<i>&amp;"_s);
    }

    void unansweredModalWindowsFailAtOnceQuotingTheirText() {
        const qsizetype before = test::UnexpectedModals().size();
        QElapsedTimer clock;
        clock.start();

        QEXPECT_FAIL("", "a message box nobody captures is a failure", Continue);
        platform::MessageBox::Show(nullptr, u"ﾌｧｲﾙ x.htm を開けません。"_s, u"ﾃｽﾄ"_s, MessageIcon::Critical);
        QEXPECT_FAIL("", "a file dialog with no queued answer is a failure", Continue);
        const QString chosen = platform::FileDialog::GetOpenFileName(nullptr, QDir::tempPath(), {});
        QEXPECT_FAIL("", "any other modal dialog is a failure", Continue);
        QDialog other;
        other.setWindowTitle(u"Other"_s);
        new QLabel(u"a question"_s, &other);
        other.exec();

        QVERIFY(clock.elapsed() < 10'000);
        QVERIFY(chosen.isEmpty());
        const QStringList refused = test::UnexpectedModals().mid(before);
        QCOMPARE(refused.size(), 3);
        QVERIFY2(refused[0].contains(u"ﾌｧｲﾙ x.htm を開けません。"_s), qPrintable(refused[0]));
        QVERIFY2(refused[1].startsWith(u"QFileDialog"_s), qPrintable(refused[1]));
        QVERIFY2(refused[2].contains(u"Other"_s) && refused[2].contains(u"a question"_s),
                 qPrintable(refused[2]));
    }
};

QTEST_MAIN(ModalWindowsTest)
#include "tst_modalWindows.moc"
