// The save-destination window as the host of the two output commands: its dialogs, the rename
// window, where its messages open and the directory it keeps. The commands' rules are checked in
// the core tests.

#include "core/Globals.h"
#include "core/OutputWriters.h"
#include "forms/frmFileName.h"
#include "forms/frmSave.h"
#include "platform/FileDialog.h"
#include "platform/Qt.h"
#include "platform/SystemCodec.h"
#include "support/GuiTest.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace orvane;
using orvane::platform::FileDialog;
using orvane::platform::Q;
using orvane::platform::U;
using orvane::test::MessageCapture;
using orvane::test::ReadAll;
using namespace Qt::StringLiterals;

namespace {

QByteArray Shortcut(const QByteArray& url) {
    return "[InternetShortcut]\r\nURL=" + url + "\r\n";
}

void AddLink(const std::u16string& name, const std::u16string& url, bool deleted = false) {
    const int position = gLinks.Add(url, name, static_cast<std::int16_t>(gLinks.Size() + 1));
    gLinks.At(position).deleted = deleted;
}

} // namespace

class FrmSaveTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> main_;
    std::unique_ptr<MessageCapture> messages_;
    std::unique_ptr<test::TempDir> tmp_;
    QString out_; // the output directory of each test, without a trailing separator

    frmSave& Save() { return *frmSave::Loaded(); }
    template <typename T> T* Child(const char* name) {
        return Save().findChild<T*>(QString::fromLatin1(name));
    }
    QString In(QStringView name) const { return out_ + u'/' + name; }
    // The last message box showed `m` (texts the core builds are compared with its functions).
    void ExpectLast(const MessageText& m) {
        QCOMPARE(messages_->Last().text, Q(m.text));
        QCOMPARE(messages_->Last().title, Q(m.title));
        QCOMPARE(messages_->Last().icon, m.icon);
    }

    // The shortcut command as the main window runs it, then "作成".
    void RunShortcuts() {
        main_->setEnabled(false);
        Save().show();
        QTest::mouseClick(Child<QPushButton>("OKButton"), Qt::LeftButton);
        QVERIFY(!Save().isVisible());
        QVERIFY(main_->isEnabled());
    }
private Q_SLOTS:
    void init() {
        test::ResetProcessState();
        messages_ = std::make_unique<MessageCapture>();
        tmp_ = std::make_unique<test::TempDir>();
        out_ = QDir::cleanPath(tmp_->Path());
        main_ = std::make_unique<QWidget>();
        frmSave::Load(main_.get());
        QVERIFY(Save().SetPath(out_));
    }
    void cleanup() {
        main_.reset(); // takes the save-destination window with it
        QVERIFY(!frmSave::Loaded());
        delete frmFileName::Loaded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        messages_.reset();
        tmp_.reset();
    }

    void listFileIsWrittenWhereTheDialogSaysOrTheFailureReported() {
        AddLink(u"Zeta", u"http://z/");
        QDir().mkpath(In(u"lists"));
        FileDialog::QueueAnswer(In(u"lists/links"));
        Save().MakeList();
        QCOMPARE(FileDialog::Requests().constFirst().directory, out_);
        QCOMPARE(ReadAll(In(u"lists/links")), QByteArray("http://z/\r\n"));
        ExpectLast(ListFileDoneMessage());
        // The chosen file's directory is the output directory now.
        QCOMPARE(Save().Path(), In(u"lists"));

        // A path below a regular file cannot be created: the output directory stays.
        FileDialog::QueueAnswer(tmp_->Write(u"plain.txt"_s, "x") + u"/links.lst"_s);
        main_->setEnabled(false);
        Save().MakeList();
        QCOMPARE(messages_->Titles(), (QStringList{u"完了"_s, u"作成失敗"_s}));
        QCOMPARE(Save().Path(), In(u"lists"));
        QVERIFY(main_->isEnabled());
    }

    // (Reserved names, converted without asking, go through the same loop: tst_frmMainList.)
    void forbiddenNamesGoThroughTheRenameWindow() {
        AddLink(u"a/b", u"U1");
        // Acts in each rename window the shortcut loop opens, while it waits modally; it always
        // clicks OK, so a failed check cannot leave the loop waiting.
        QStringList seen;
        const test::ExpectModal driven(u"frmFileName"_s);
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            frmFileName* w = frmFileName::Loaded();
            if (!w || !w->isVisible() || w->property("seen").toBool())
                return;
            w->setProperty("seen", true);
            seen << w->findChild<QLabel*>(u"lblCurFile"_s)->text() + u'>' +
                        w->findChild<QLabel*>(u"lblAfterFile"_s)->text() +
                        (Save().isEnabled() ? u"" : u" (save off)");
            QTest::mouseClick(w->findChild<QPushButton*>(u"OKButton"_s), Qt::LeftButton);
        });
        driver.start(5);
        RunShortcuts();

        QCOMPARE(seen, QStringList{u"a/b>a／b (save off)"_s});
        QCOMPARE(messages_->Titles(), QStringList{u"完了"_s});
        QCOMPARE(ReadAll(In(u"a／b.url")), Shortcut("U1"));
        QCOMPARE(gLinks.At(0).name, std::u16string(u"a／b")); // the list keeps the name the rules produced
    }

    void existingFileBringsTheNoticeAndTheSaveDialog() {
        gConfirmOverwrite = true;
        AddLink(u"Top", u"U1");
        AddLink(u"Top", u"U2");
        FileDialog::QueueAnswer(In(u"Top_.url")); // the suggestion accepted
        RunShortcuts();

        QCOMPARE(ReadAll(In(u"Top_.url")), Shortcut("U2"));
        QCOMPARE(FileDialog::Requests().size(), 1);
        QCOMPARE(FileDialog::Requests().constFirst().directory, out_);
        QCOMPARE(FileDialog::Requests().constFirst().fileName, In(u"Top_.url"));
        QCOMPARE(messages_->Titles(), (QStringList{u"ﾌｧｲﾙ名の重複"_s, u"完了"_s}));
        ExpectLast(ShortcutCompletionMessage(U(out_), {}, 2));
    }
};

QTEST_MAIN(FrmSaveTest)
#include "tst_frmSave.moc"
