// The options dialog: OK, the proxy choice and its note.

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
void ShowActive(frmOption& d) {
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
}
// Clicks the other button of every array, as a user would.
void FlipAll(frmOption& d) {
    for (const QString& array : kArrays)
        Opt(d, array, Opt(d, array, 0)->isChecked() ? 1 : 0)->click();
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

    void okWritesEveryVariable() {
        MessageCapture messages;
        frmOption d(&m_main);
        ShowActive(d);
        FlipAll(d);
        QTest::keyClicks(Address(d), u" 10.0.0.1:3128 "_s);
        m_main.setEnabled(false);
        d.findChild<QPushButton*>(u"cmdOk"_s)->click();
        // In the dialog's order; the address as typed.
        QCOMPARE((QList<int>{gShowStatus, gLinkLevel, gListType, gNameMode, gConfirmOverwrite, gProxyUse,
                             gDblClickAction}),
                 QList<int>(7, 1));
        QCOMPARE(platform::Q(gProxyAddress), u" 10.0.0.1:3128 "_s);
        QVERIFY(!d.isVisible());
        QVERIFY(m_main.isEnabled());
    }

    void theProxyNoteAndAddressFollowTheUsersChoice() {
        MessageCapture messages;
        gProxyAddress = u"old:80";
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
        d.findChild<QPushButton*>(u"cmdOk"_s)->click();
        QVERIFY(!gProxyUse);
        QCOMPARE(platform::Q(gProxyAddress), u"old:80"_s);
    }

    // The level frame's third choice: shown from 2, stored as 2, explained in the help line; a
    // hand-edited 5 shows as "http".
    void theTagLevelIsAThirdChoice() {
        MessageCapture messages;
        gLinkLevel = 2;
        {
            frmOption d(&m_main);
            ShowActive(d);
            QRadioButton* tags = Opt(d, u"optLevel"_s, 2);
            QVERIFY(tags && tags->isChecked());
            tags->setFocus(Qt::TabFocusReason);
            QVERIFY(d.findChild<QLabel*>(u"lblInfo"_s)->text().contains(u"ﾀｸﾞを解析"_s));
            Opt(d, u"optLevel"_s, 1)->click();
            d.findChild<QPushButton*>(u"cmdOk"_s)->click();
            QCOMPARE(gLinkLevel, 1);
        }
        gLinkLevel = 5;
        frmOption d(&m_main);
        ShowActive(d);
        QVERIFY(Opt(d, u"optLevel"_s, 1)->isChecked());
        Opt(d, u"optLevel"_s, 2)->click();
        d.findChild<QPushButton*>(u"cmdOk"_s)->click();
        QCOMPARE(gLinkLevel, 2);
        QCOMPARE(messages.Count(), 0);
    }
};

QTEST_MAIN(tst_frmOption)
#include "tst_frmOption.moc"
