// The options dialog: loading from the option variables, OK and ｷｬﾝｾﾙ, the proxy choice and its
// note, and the help line that follows the focus.

#include "core/Globals.h"
#include "forms/frmOption.h"
#include "platform/Qt.h"
#include "support/GuiTest.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace orvane;
using orvane::test::MessageCapture;
using namespace Qt::StringLiterals;

namespace {

const QStringList kArrays{u"optJyokyo"_s, u"optLevel"_s, u"optListType"_s, u"optMeisyo"_s,
                          u"optOver"_s,   u"optProxy"_s, u"optDelData"_s};

QRadioButton* Opt(frmOption& d, const QString& array, int index) {
    return d.findChild<QRadioButton*>(array + u'_' + QString::number(index));
}
QLineEdit* Address(frmOption& d) {
    return d.findChild<QLineEdit*>(u"txtProxy"_s);
}
void Click(frmOption& d, const QString& name) {
    d.findChild<QPushButton*>(name)->click();
}
void ShowActive(frmOption& d) {
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
}
// Clicks the other button of every array, as a user would.
void FlipAll(frmOption& d) {
    for (const QString& array : kArrays)
        Opt(d, array, Opt(d, array, 0)->isChecked() ? 1 : 0)->click();
}
// The selected index of each array in frame order; '?' where not exactly one is selected.
QString Selection(frmOption& d) {
    QString out;
    for (const QString& array : kArrays) {
        const bool first = Opt(d, array, 0)->isChecked(), second = Opt(d, array, 1)->isChecked();
        out += first == second ? u'?' : (second ? u'1' : u'0');
    }
    return out;
}
// The option variables in the dialog's order, the proxy address between its use and the last.
QString Vars() {
    return QStringList{QString::number(gShowStatus),       QString::number(gLinkLevel),
                       QString::number(gListType),         QString::number(gNameMode),
                       QString::number(gConfirmOverwrite), QString::number(gProxyUse),
                       platform::Q(gProxyAddress),         QString::number(gDblClickAction)}
        .join(u'|');
}

} // namespace

class tst_frmOption : public QObject {
    Q_OBJECT

    QWidget m_main;

private Q_SLOTS:
    void init() {
        orvane::test::ResetProcessState();
        m_main.setEnabled(true);
    }

    void loadsTheChoicesFromTheVariables() {
        MessageCapture messages;
        // All "off": the first choice everywhere, except the two Booleans shown as "on" first.
        {
            frmOption d(&m_main);
            QCOMPARE(Selection(d), u"1000100"_s);
            QVERIFY(!Address(d)->isEnabled());
        }
        // Any non-zero number shows the second choice.
        gShowStatus = gConfirmOverwrite = gProxyUse = true;
        gLinkLevel = 1;
        gListType = 7;
        gNameMode = -1;
        gProxyAddress = u"proxy:8080";
        gDblClickAction = 2;
        {
            frmOption d(&m_main);
            QCOMPARE(Selection(d), u"0111011"_s);
            QVERIFY(Address(d)->isEnabled());
            QCOMPARE(Address(d)->text(), u"proxy:8080"_s);
            // Shown with the proxy in use: still no note. OK without changes makes every non-zero one.
            ShowActive(d);
            Click(d, u"cmdOk"_s);
        }
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Vars(), u"1|1|1|1|1|1|proxy:8080|1"_s);
    }

    void okWritesEveryVariable() {
        MessageCapture messages;
        frmOption d(&m_main);
        ShowActive(d);
        FlipAll(d);
        QTest::keyClicks(Address(d), u" 10.0.0.1:3128 "_s);
        m_main.setEnabled(false);
        Click(d, u"cmdOk"_s);
        QCOMPARE(Vars(), u"1|1|1|1|1|1| 10.0.0.1:3128 |1"_s); // the address as typed
        QVERIFY(!d.isVisible());
        QVERIFY(m_main.isEnabled());
        QCOMPARE(messages.Count(), 1); // the proxy note
    }

    void cancelAndEscapeWriteNothing() {
        MessageCapture messages;
        gProxyAddress = u"old:80";
        const QString before = Vars();
        for (const bool byEscape : {false, true}) {
            frmOption d(&m_main);
            ShowActive(d);
            FlipAll(d); // the proxy note is shown, yet nothing is kept
            Address(d)->setText(u"new:81"_s);
            m_main.setEnabled(false);
            if (byEscape)
                QTest::keyClick(&d, Qt::Key_Escape);
            else
                Click(d, u"cmdCancel"_s);
            QVERIFY(!d.isVisible());
            QVERIFY(m_main.isEnabled());
            QCOMPARE(Vars(), before);
        }
    }

    void theProxyNoteAndAddressFollowTheUsersChoice() {
        MessageCapture messages;
        gProxyAddress = u"old:80";
        {
            // A note for every change by the user, none for the loading; the address typed with
            // "使用する" is dropped when switched back to "使用しない".
            frmOption d(&m_main);
            ShowActive(d);
            QCOMPARE(messages.Count(), 0);
            Opt(d, u"optProxy"_s, 1)->click();
            QCOMPARE(messages.Count(), 1);
            QCOMPARE(messages.Last().text,
                     u"この設定は、次回起動時から有効になります。\r\nOrvaneを再起動して下さい。"_s);
            QCOMPARE(messages.Last().title, u"注意"_s);
            QCOMPARE(messages.Last().icon, MessageIcon::Information);
            Opt(d, u"optProxy"_s, 1)->click(); // no change, no note
            QCOMPARE(messages.Count(), 1);
            QVERIFY(Address(d)->isEnabled());
            Address(d)->setText(u"typed:8080"_s);
            Opt(d, u"optProxy"_s, 1)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(Opt(d, u"optProxy"_s, 1), Qt::Key_Left); // back by the keyboard
            QVERIFY(Opt(d, u"optProxy"_s, 0)->isChecked());
            QCOMPARE(messages.Count(), 2);
            QVERIFY(!Address(d)->isEnabled());
            Click(d, u"cmdOk"_s);
            QVERIFY(!gProxyUse);
            QCOMPARE(platform::Q(gProxyAddress), u"old:80"_s);
        }
        // "使用する" with the box emptied: stored empty, unchecked.
        frmOption d(&m_main);
        ShowActive(d);
        Opt(d, u"optProxy"_s, 1)->click();
        Address(d)->clear();
        Click(d, u"cmdOk"_s);
        QVERIFY(gProxyUse);
        QVERIFY(gProxyAddress.empty());
    }

    void theHelpLineFollowsTheFocus() {
        gShowStatus = gProxyUse = true;
        frmOption d(&m_main);
        auto* help = d.findChild<QLabel*>(u"lblInfo"_s);
        struct HideCounter : QObject {
            int hides = 0;
            bool eventFilter(QObject*, QEvent* e) override {
                hides += e->type() == QEvent::Hide;
                return false;
            }
        } counter;
        help->installEventFilter(&counter);
        const QString levelText = u"<A Href> から </A> に囲まれた文字列を抽出対象とします。"_s;

        // Shown with the first option button focused.
        ShowActive(d);
        QVERIFY(Opt(d, u"optJyokyo"_s, 0)->hasFocus());
        QVERIFY(help->isVisible());
        QCOMPARE(help->text(), u"入力ファイルの処理状況が表示されますが、処理が遅くなります。"_s);

        // From "表示あり" to "A href": the status group hides the line, the level group shows its text.
        Opt(d, u"optLevel"_s, 0)->setFocus(Qt::TabFocusReason);
        QCOMPARE(counter.hides, 1);
        QVERIFY(help->isVisible());
        QCOMPARE(help->text(), levelText);

        // The address box and the buttons leave that text as it is.
        Address(d)->setFocus(Qt::MouseFocusReason);
        d.findChild<QPushButton*>(u"cmdOk"_s)->setFocus(Qt::TabFocusReason);
        QVERIFY(help->isVisible());
        QCOMPARE(help->text(), levelText);

        // From "確認を行う" to "使用しない": emptied and hidden first, then the proxy text.
        Opt(d, u"optOver"_s, 0)->setFocus(Qt::TabFocusReason);
        counter.hides = 0;
        Opt(d, u"optProxy"_s, 0)->setFocus(Qt::BacktabFocusReason);
        QCOMPARE(counter.hides, 1);
        QVERIFY(help->isVisible());
        QCOMPARE(help->text(), u"ﾌﾟﾛｷｼｰｻｰﾊﾞを使用しません。"_s);

        // The name group hides the line when left for a command button.
        Opt(d, u"optMeisyo"_s, 1)->setFocus(Qt::TabFocusReason);
        QVERIFY(help->isVisible());
        d.findChild<QPushButton*>(u"cmdCancel"_s)->setFocus(Qt::TabFocusReason);
        QVERIFY(!help->isVisible());
        QVERIFY(help->text().isEmpty());
        help->removeEventFilter(&counter);
    }
};

QTEST_MAIN(tst_frmOption)
#include "tst_frmOption.moc"
