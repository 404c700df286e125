// The rename window: how CheckFileName prepares it, the choice between the converted and a typed
// name, and the refusals at OK and while typing.

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
void ChooseTyped() {
    QTest::mouseClick(Child<QRadioButton>("optFileChange_1"), Qt::LeftButton);
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

        // OK with the converted name: unloaded at once, the save window enabled again.
        w->show();
        frmSave::Loaded()->setEnabled(false);
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"＜a href＞"));
        QVERIFY(frmSave::Loaded()->isEnabled());
        QVERIFY(!frmFileName::Loaded());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // A typed name keeps its spaces.
        Open(u"c:d");
        ChooseTyped();
        QVERIFY(Box()->isEnabled());
        Type(u"  my name  "_s);
        QCOMPARE(Label("lblAfterFile"), u"  my name  "_s);
        ClickOk();
        QCOMPARE(gAfterFileName, std::u16string(u"  my name  "));
        QCOMPARE(messages_->Count(), 0);
    }

    void forbiddenNamesAreRefusedAtOkAndWhileTyping() {
        Open(u"a|b");
        ChooseTyped();
        for (const QString& pasted : {u"   "_s, u"a/b"_s}) {
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
};

QTEST_MAIN(FrmFileNameTest)
#include "tst_frmFileName.moc"
