// The main window's editing keys, its edit boxes' limits and the bound on a drop. The limits hold
// for typing and pasting only: a longer name or URL loaded from the list stays whole, and "更新"
// stores it whole when the user did not touch it; likewise the options dialog's proxy address.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "forms/frmOption.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

class FrmMainWindowTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    std::unique_ptr<frmMain> w_;

    template <typename T> T* Child(const QString& name) const { return w_->findChild<T*>(name); }
    QLineEdit* Box(const QString& name) const { return Child<QLineEdit>(name); }
    void Load(const std::u16string& name, const std::u16string& url) {
        w_->AddLinkRecord(url, name, 1);
        w_->ShowNewLinks(1);
        Child<platform::ListView>(u"ListView1"_s)->Select(1);
        w_->ListView1_ItemClick(1);
    }

private Q_SLOTS:
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() { w_.reset(); }

    void editingKeysInATextBoxDoNotReachTheMenu() {
        // Ctrl+X in a focused edit box cuts text; it must not end the program.
        auto* name = Child<QLineEdit>(u"txtName"_s);
        name->setEnabled(true);
        w_->activateWindow();
        name->setFocus();
        name->setText(u"abc"_s);
        name->selectAll();
        QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(w_->isVisible());
        QCOMPARE(name->text(), QString());
    }

    void dropsOfAHundredAndOfAHundredAndOne() {
        QStringList paths;
        for (int i = 0; i < 101; ++i)
            paths.append(
                dir_.Write(u"d/%1.htm"_s.arg(i), "<a href=\"http://h/" + QByteArray::number(i) + "\">n</a>"));
        MessageCapture messages;
        w_->InputDroppedFiles(paths);
        QCOMPARE(messages.Lines(),
                 QStringList{u"ﾌｧｲﾙ入力失敗|Critical|一度に処理できるﾌｧｲﾙ数は、最大100件です。"_s});
        QCOMPARE(gLinkCount(), 0);
        paths.removeLast();
        messages.Clear();
        w_->InputDroppedFiles(paths);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(gLinkCount(), 100);
        QCOMPARE(Child<QLabel>(u"lblTgtFile"_s)->text(), paths.last());
    }

    void loadedLongNameAndUrlStayWholeThroughAnUpdate() {
        // A level "http" name can be a whole line of the page; a URL can run past QLineEdit's 32767.
        const std::u16string name(300, u'名');
        const std::u16string url = u"http://h/" + std::u16string(40000, u'a');
        Load(name, url);
        QCOMPARE(Box(u"txtName"_s)->text().size(), 300);
        QCOMPARE(Box(u"txtURL"_s)->text().size(), qsizetype(url.size()));
        // The user fixes only the URL's end, by keys, and presses Enter.
        QLineEdit* urlBox = Box(u"txtURL"_s);
        urlBox->end(false);
        QTest::keyClick(urlBox, Qt::Key_Backspace);
        QTest::keyClicks(urlBox, u"b"_s);
        QTest::keyClick(urlBox, Qt::Key_Return);
        QCOMPARE(gLinks.At(0).name, name);
        QCOMPARE(gLinks.At(0).url, url.substr(0, url.size() - 1) + u"b");
    }

    void optionsKeepALoadedLongProxyAddressWhole() {
        // A settings file may hold any length; OK must not write back a cut address.
        gProxyUse = true;
        gProxyAddress = u"proxy:" + std::u16string(40000, u'9');
        const std::u16string stored = gProxyAddress;
        test::MessageCapture messages;
        frmOption d(w_.get());
        d.show();
        d.findChild<QPushButton*>(u"cmdOk"_s)->click();
        QVERIFY(gProxyAddress == stored);
    }

    void typingAndPastingStopAtTheLimit() {
        Load(u"n", u"http://h/");
        QLineEdit* box = Box(u"txtName"_s);
        box->clear();
        QTest::keyClicks(box, QString(260, u'x'));
        QCOMPARE(box->text(), QString(255, u'x'));
        // A paste keeps what fits.
        box->setText(QString(250, u'y'));
        box->end(false);
        QGuiApplication::clipboard()->setText(u"0123456789"_s);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString(250, u'y') + u"01234"_s);
        QCOMPARE(box->cursorPosition(), 255);
        // Replacing a selection: the new text is cut to the limit.
        box->selectAll();
        QGuiApplication::clipboard()->setText(QString(400, u'w'));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QString(255, u'w'));
        // A loaded text longer than the limit can be edited, but not made longer.
        box->setText(QString(300, u'z'));
        QCOMPARE(box->text().size(), 300);
        box->setCursorPosition(10);
        QTest::keyClicks(box, u"q"_s);
        QCOMPARE(box->text(), QString(300, u'z'));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, u"qr"_s);
        QCOMPARE(box->text(), QString(9, u'z') + u'q' + QString(290, u'z'));
    }
};

QTEST_MAIN(FrmMainWindowTest)
#include "tst_frmMainWindow.moc"
