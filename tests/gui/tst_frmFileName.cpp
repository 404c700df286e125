// The rename window: a typed name is refused at OK and while typing, whichever way it arrives.

#include "core/FileNameRules.h"
#include "forms/frmFileName.h"
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
QLineEdit* Box() {
    return Child<QLineEdit>("txtAfterFile");
}

} // namespace

class FrmFileNameTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> main_;
    std::unique_ptr<MessageCapture> messages_;
    const test::ExpectModal driven_{QStringLiteral("frmFileName")};

private Q_SLOTS:
    void init() {
        test::ResetProcessState();
        messages_ = std::make_unique<MessageCapture>();
        main_ = std::make_unique<QWidget>();
    }
    void cleanup() {
        delete frmFileName::Loaded();
        main_.reset();
        messages_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void forbiddenNamesAreRefusedAtOkAndWhileTyping() {
        // Shown without waiting, so the test can act on it.
        frmFileName::Load(main_.get()).Prepare(u"a|b"_s, u"a｜b"_s);
        frmFileName::Loaded()->show();
        QTest::mouseClick(Child<QRadioButton>("optFileChange_1"), Qt::LeftButton);
        for (const QString& pasted : {u"   "_s, u"a/b"_s}) {
            messages_->Clear();
            Box()->setText(pasted); // as a paste: no keystrokes
            QTest::mouseClick(Child<QPushButton>("OKButton"), Qt::LeftButton);
            const MessageText expected =
                pasted.trimmed().isEmpty() ? BlankFileNameMessage() : FileNameRefusalMessage();
            QCOMPARE(messages_->Count(), 1);
            QCOMPARE(messages_->Last().text, Q(expected.text));
            QCOMPARE(messages_->Last().title, Q(expected.title));
            QVERIFY(frmFileName::Loaded() && frmFileName::Loaded()->isVisible());
            QCOMPARE(Box()->text(), pasted);
        }
        // The conversion is still what the first choice offers.
        Child<QRadioButton>("optFileChange_0")->click();
        QCOMPARE(Child<QLabel>("lblAfterFile")->text(), u"a｜b"_s);
        Child<QRadioButton>("optFileChange_1")->click();

        // Typed keys are discarded with the refusal each.
        messages_->Clear();
        Box()->selectAll();
        QTest::keyClick(Box(), Qt::Key_Delete);
        QTest::keyClicks(Box(), u"ab?c\"d*"_s);
        QCOMPARE(Box()->text(), u"abcd"_s);
        QCOMPARE(Child<QLabel>("lblAfterFile")->text(), u"abcd"_s);
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
