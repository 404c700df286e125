// The rename window: how CheckFileName prepares it, the choice between the converted and a typed
// name, the refusals at OK and while typing, and that it cannot be left without a name.

#include "core/Globals.h"
#include "forms/frmFileName.h"
#include "forms/frmSave.h"
#include "modules/modOrvane.h"
#include "support/GuiTest.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace orvane;
using orvane::test::MessageCapture;

namespace {

const QString kFileNameRefusal =
    QStringLiteral("ファイル名には次の文字は使えません。\r\n\\ / : , ; * ? < > | \"");

template <typename T> T* Child(const char* name) {
    frmFileName* w = frmFileName::Loaded();
    return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}
QString Text(const char* name) {
    if (auto* label = Child<QLabel>(name))
        return label->text();
    return Child<QLineEdit>(name)->text();
}
void Choose(int index) {
    QTest::mouseClick(Child<QRadioButton>(index == 0 ? "optFileChange_0" : "optFileChange_1"),
                      Qt::LeftButton);
}
void ClickOk() {
    QTest::mouseClick(Child<QPushButton>("OKButton"), Qt::LeftButton);
}
void Type(const QString& text) {
    QLineEdit* box = Child<QLineEdit>("txtAfterFile");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

} // namespace

class FrmFileNameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> main_;
    std::unique_ptr<MessageCapture> messages_;

    // Prepares the window for `name` and shows it (without waiting, so the test can act on it).
    void Open(const std::u16string& name) {
        QVERIFY(CheckFileName(name));
        QVERIFY(frmFileName::Loaded());
        frmFileName::Loaded()->show();
    }

private Q_SLOTS:
    void init() {
        test::ResetProcessState();
        messages_ = std::make_unique<MessageCapture>();
        main_ = std::make_unique<QWidget>();
        main_->setGeometry(300, 200, 600, 400);
        frmSave::Load(main_.get());
    }
    void cleanup() {
        if (frmFileName* w = frmFileName::Loaded())
            delete w;
        main_.reset();
        messages_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void checkFileNamePreparesTheWindow() {
        QVERIFY(CheckFileName(u"<a href>"));
        QCOMPARE(gAfterFileName, std::u16string(u"＜a href＞"));
        frmFileName* w = frmFileName::Loaded();
        QVERIFY(w);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("ﾌｧｲﾙ名の変更"));
        QCOMPARE(Text("lblFileBad"),
                 QStringLiteral("以下のﾌｧｲﾙはﾌｧｲﾙ名が不正なため、このままでは保存できません。  "
                                "新しいﾌｧｲﾙ名を指定して下さい。"));
        // Shown as text: the name must not be taken for markup.
        QCOMPARE(Text("lblCurFile"), QStringLiteral("<a href>"));
        QCOMPARE(Child<QLabel>("lblCurFile")->textFormat(), Qt::PlainText);
        QCOMPARE(Text("txtAfterFile"), QStringLiteral("＜a href＞"));
        QCOMPARE(Text("lblAfterFile"), QStringLiteral("＜a href＞"));
        QVERIFY(Child<QRadioButton>("optFileChange_0")->isChecked());
        QVERIFY(!Child<QLineEdit>("txtAfterFile")->isEnabled());
        // Centred on the main window.
        QVERIFY(qAbs(w->geometry().center().x() - main_->frameGeometry().center().x()) <= 1);
        QVERIFY(qAbs(w->geometry().center().y() - main_->frameGeometry().center().y()) <= 1);
    }

    void okWithTheConvertedName() {
        Open(u"a/b");
        frmSave::Loaded()->setEnabled(false);
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"a／b"));
        QVERIFY(frmSave::Loaded()->isEnabled());
        // Unloaded at once: the next check builds a fresh window in its design state.
        QVERIFY(!frmFileName::Loaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Open(u"c:d");
        QVERIFY(Child<QRadioButton>("optFileChange_0")->isChecked());
        QCOMPARE(Text("lblCurFile"), QStringLiteral("c:d"));
        QCOMPARE(messages_->Count(), 0);
    }

    void typedNameKeepsItsSpaces() {
        Open(u"a/b");
        Choose(1);
        QVERIFY(Child<QLineEdit>("txtAfterFile")->isEnabled());
        QCOMPARE(Text("lblAfterFile"), QStringLiteral("a／b"));
        Type(QStringLiteral("  my name  "));
        QCOMPARE(Text("lblAfterFile"), QStringLiteral("  my name  "));
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"  my name  "));
        QVERIFY(!frmFileName::Loaded());
    }

    void switchingBackTakesTheConvertedName() {
        Open(u"x,y");
        Choose(1);
        Type(QStringLiteral("typed"));
        Choose(0);
        QVERIFY(!Child<QLineEdit>("txtAfterFile")->isEnabled());
        QCOMPARE(Text("lblAfterFile"), QStringLiteral("x、y"));
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"x、y"));
    }

    void blankTypedNameIsRefused() {
        Open(u"a/b");
        Choose(1);
        Type(QStringLiteral("   "));
        ClickOk();
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text, QStringLiteral("ﾌｧｲﾙ名を正しく入力して下さい。"));
        QCOMPARE(messages_->Last().title, QStringLiteral("ﾌｧｲﾙ名入力確認"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Exclamation);
        QVERIFY(frmFileName::Loaded() && frmFileName::Loaded()->isVisible());
        QCOMPARE(Text("txtAfterFile"), QStringLiteral("   "));
        QCOMPARE(gAfterFileName, std::u16string(u"a／b"));
    }

    void pastedForbiddenNameIsRefusedAtOk_data() {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("question mark") << QStringLiteral("what?");
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("double quote") << QStringLiteral("say \"hi\"");
    }
    void pastedForbiddenNameIsRefusedAtOk() {
        QFETCH(QString, pasted);
        Open(u"a|b");
        Choose(1);
        Child<QLineEdit>("txtAfterFile")->setText(pasted); // as a paste: no keystrokes
        QCOMPARE(Text("lblAfterFile"), pasted);
        ClickOk();
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text, kFileNameRefusal);
        QCOMPARE(messages_->Last().title, QStringLiteral("ﾌｧｲﾙ名禁則文字情報"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Exclamation);
        QVERIFY(frmFileName::Loaded() && frmFileName::Loaded()->isVisible());
        QCOMPARE(gAfterFileName, std::u16string(u"a｜b"));
    }

    void keystrokeFilterDiscardsForbiddenCharacters() {
        Open(u"a/b");
        Choose(1);
        Type(QStringLiteral("ab?c\"d*"));
        QCOMPARE(Text("txtAfterFile"), QStringLiteral("abcd"));
        QCOMPARE(Text("lblAfterFile"), QStringLiteral("abcd"));
        QCOMPARE(messages_->Count(), 3);
        for (const auto& m : messages_->All()) {
            QCOMPARE(m.text, kFileNameRefusal);
            QCOMPARE(m.title, QStringLiteral("ﾌｧｲﾙ名禁則文字情報"));
        }

        // Text committed by an input method loses them the same way.
        messages_->Clear();
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("x/y"));
        QCoreApplication::sendEvent(Child<QLineEdit>("txtAfterFile"), &commit);
        QCOMPARE(Text("txtAfterFile"), QStringLiteral("abcdxy"));
        QCOMPARE(messages_->Count(), 1);
    }

    void cannotBeLeftWithoutOk() {
        Open(u"a;b");
        frmFileName* w = frmFileName::Loaded();
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"a；b"));
    }
};

QTEST_MAIN(FrmFileNameTest)
#include "tst_frmFileName.moc"
