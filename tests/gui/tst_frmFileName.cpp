// The rename window: how CheckFileName prepares it, the choice between the converted and a typed
// name, the refusals at OK and while typing, and that it cannot be left without a name.

#include "core/FileNameRules.h"
#include "core/Globals.h"
#include "forms/frmFileName.h"
#include "forms/frmSave.h"
#include "modules/modOrvane.h"
#include "platform/Qt.h"
#include "support/GuiTest.h"

#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::platform::Q;
using orvane::test::MessageCapture;

namespace {

template <typename T> T* Child(const char* name) {
    frmFileName* w = frmFileName::Loaded();
    return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}
QString Label(const char* name) {
    return Child<QLabel>(name)->text();
}
QLineEdit* Box() {
    return Child<QLineEdit>("txtAfterFile");
}
void Choose(int index) {
    QTest::mouseClick(Child<QRadioButton>(index == 0 ? "optFileChange_0" : "optFileChange_1"),
                      Qt::LeftButton);
}
void ClickOk() {
    QTest::mouseClick(Child<QPushButton>("OKButton"), Qt::LeftButton);
}
void Type(const QString& text) {
    Box()->selectAll();
    QTest::keyClick(Box(), Qt::Key_Delete);
    QTest::keyClicks(Box(), text);
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
        delete frmFileName::Loaded();
        main_.reset();
        messages_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void checkFileNamePreparesTheWindowAndOkTakesTheChosenName() {
        QVERIFY(CheckFileName(u"<a href>"));
        QCOMPARE(gAfterFileName, std::u16string(u"＜a href＞"));
        frmFileName* w = frmFileName::Loaded();
        QVERIFY(w && !w->isVisible());
        // Shown as text: the name must not be taken for markup.
        QCOMPARE(Label("lblCurFile"), u"<a href>"_s);
        QCOMPARE(Child<QLabel>("lblCurFile")->textFormat(), Qt::PlainText);
        QCOMPARE(Box()->text(), u"＜a href＞"_s);
        QCOMPARE(Label("lblAfterFile"), u"＜a href＞"_s);
        QVERIFY(Child<QRadioButton>("optFileChange_0")->isChecked());
        QVERIFY(!Box()->isEnabled());
        // Centred on the main window.
        QVERIFY((w->geometry().center() - main_->frameGeometry().center()).manhattanLength() <= 2);

        // OK with the converted name: unloaded at once, the save window enabled again.
        w->show();
        frmSave::Loaded()->setEnabled(false);
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"＜a href＞"));
        QVERIFY(frmSave::Loaded()->isEnabled());
        QVERIFY(!frmFileName::Loaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // A typed name keeps its spaces; the next check builds a fresh window in its design state.
        Open(u"c:d");
        QVERIFY(Child<QRadioButton>("optFileChange_0")->isChecked());
        Choose(1);
        QVERIFY(Box()->isEnabled());
        Type(u"  my name  "_s);
        QCOMPARE(Label("lblAfterFile"), u"  my name  "_s);
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"  my name  "));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Switching back takes the converted name again.
        Open(u"x,y");
        Choose(1);
        Type(u"typed"_s);
        Choose(0);
        QVERIFY(!Box()->isEnabled());
        QCOMPARE(Label("lblAfterFile"), u"x、y"_s);
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"x、y"));
        QCOMPARE(messages_->Count(), 0);
    }

    void forbiddenNamesAreRefusedAtOkAndWhileTyping() {
        Open(u"a|b");
        Choose(1);
        for (const QString& pasted : {u"   "_s, u"what?"_s, u"a/b"_s, u"say \"hi\""_s}) {
            messages_->Clear();
            Box()->setText(pasted); // as a paste: no keystrokes
            ClickOk();
            const MessageText expected =
                pasted.trimmed().isEmpty() ? BlankFileNameMessage() : FileNameRefusalMessage();
            QCOMPARE(messages_->Count(), 1);
            QCOMPARE(messages_->Last().text, Q(expected.text));
            QCOMPARE(messages_->Last().title, Q(expected.title));
            QVERIFY(frmFileName::Loaded() && frmFileName::Loaded()->isVisible());
            QCOMPARE(Box()->text(), pasted);
        }
        QCOMPARE(gAfterFileName, std::u16string(u"a｜b"));

        // Typed keys are discarded with the refusal each.
        messages_->Clear();
        Type(u"ab?c\"d*"_s);
        QCOMPARE(Box()->text(), u"abcd"_s);
        QCOMPARE(Label("lblAfterFile"), u"abcd"_s);
        QCOMPARE(messages_->Titles(), QStringList(3, Q(FileNameRefusalMessage().title)));
        // Text committed by an input method loses them the same way.
        QInputMethodEvent commit;
        commit.setCommitString(u"x/y"_s);
        QCoreApplication::sendEvent(Box(), &commit);
        QCOMPARE(Box()->text(), u"abcdxy"_s);
        QCOMPARE(messages_->Count(), 4);
    }

    void cannotBeLeftWithoutOk() {
        Open(u"a;b");
        frmFileName* w = frmFileName::Loaded();
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QVERIFY(!(w->windowFlags() & Qt::WindowCloseButtonHint));
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"a；b"));
    }
};

QTEST_MAIN(FrmFileNameTest)
#include "tst_frmFileName.moc"
