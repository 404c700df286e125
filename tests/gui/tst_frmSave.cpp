// The save-destination window: the list file, the shortcut loop with the rename window, the
// reserved names and the overwrite rules, creating directories, and choosing volumes. The bytes and
// texts the core builds are checked in the core tests; here, that the window uses them.

#include "core/FileNameRules.h"
#include "core/Globals.h"
#include "core/OutputWriters.h"
#include "forms/frmFileName.h"
#include "forms/frmSave.h"
#include "platform/FileDialog.h"
#include "platform/Qt.h"
#include "platform/SystemCodec.h"
#include "platform/Volumes.h"
#include "support/GuiTest.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

using namespace orvane;
using orvane::platform::FileDialog;
using orvane::platform::Q;
using orvane::platform::U;
using orvane::platform::Volumes;
using orvane::test::MessageCapture;
using orvane::test::ReadAll;
using namespace Qt::StringLiterals;

namespace {

QByteArray Sys(const std::u16string& text) {
    return QByteArray::fromStdString(platform::SystemCodec::Instance().EncodeSystem(text));
}
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
        QCOMPARE(Save().pos(), main_->pos()); // placed once, when loaded
        QTest::mouseClick(Child<QPushButton>("OKButton"), Qt::LeftButton);
        QVERIFY(!Save().isVisible());
        QVERIFY(main_->isEnabled());
    }
    void RunMakeList() {
        gMakingList = true;
        Save().MakeList();
        gMakingList = false;
    }
    void MakeDirectory(const QString& name) {
        Child<QLineEdit>("txtNewDir")->setText(name);
        Save().comMkDir_Click();
    }
    int RowOf(const QString& path) {
        auto* list = Child<QListWidget>("dirFileSave");
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->data(Qt::UserRole).toString() == path)
                return i;
        return -1;
    }
    void DoubleClick(const QString& path) {
        auto* list = Child<QListWidget>("dirFileSave");
        QVERIFY2(RowOf(path) >= 0, qPrintable(path));
        const QRect rect = list->visualItemRect(list->item(RowOf(path)));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

private Q_SLOTS:
    void init() {
        test::ResetProcessState();
        Volumes::ClearTestHook();
        messages_ = std::make_unique<MessageCapture>();
        tmp_ = std::make_unique<test::TempDir>();
        out_ = QDir::cleanPath(tmp_->Path());
        main_ = std::make_unique<QWidget>();
        main_->move(240, 160);
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
        Volumes::ClearTestHook();
    }

    void listFileIsWrittenWhereTheDialogSays() {
        gListType = 1;
        AddLink(u"Zeta", u"http://z/");
        AddLink(u"gone", u"http://gone/", true);
        AddLink(u"(名称無し 1)", u"U2");
        QDir().mkpath(In(u"lists"));
        const QString file = In(u"lists/links"); // typed without an extension
        FileDialog::QueueAnswer(file);
        RunMakeList();

        QCOMPARE(ReadAll(file), Sys(u"Zeta,http://z/\r\n(名称無し 1),U2\r\n"));
        const auto& request = FileDialog::Requests().constFirst();
        QCOMPARE(request.title, u"出力ファイル名の指定"_s);
        QCOMPARE(request.directory, out_);
        QCOMPARE(request.filters, QStringList{u"lst ファイル (*.lst)"_s});
        QCOMPARE(messages_->Count(), 1);
        ExpectLast(ListFileDoneMessage());
        // The chosen file's directory is the output directory now.
        QCOMPARE(Save().Path(), In(u"lists"));

        // The next dialog starts there; cancelling it writes and reports nothing.
        FileDialog::QueueAnswer(QString());
        RunMakeList();
        QCOMPARE(FileDialog::Requests().at(1).directory, In(u"lists"));
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(QDir(In(u"lists")).entryList(QDir::Files), QStringList{u"links"_s});
    }

    void unwritableListFileIsReported() {
        AddLink(u"A", u"U1");
        // A path below a regular file cannot be created, whatever the user's rights.
        const QString file = tmp_->Write(u"plain.txt"_s, "x") + u"/links.lst"_s;
        FileDialog::QueueAnswer(file);
        main_->setEnabled(false);
        RunMakeList();
        QCOMPARE(messages_->Count(), 1);
        ExpectLast({u"ﾘｽﾄﾌｧｲﾙを出力できませんでした。\r\n" + U(file), u"作成失敗", MessageIcon::Critical});
        QCOMPARE(Save().Path(), out_);
        QVERIFY(main_->isEnabled());
    }

    void shortcutsAreWrittenOnePerLiveRecordAndFailuresReported() {
        AddLink(u"Top", u"http://example.com/");
        AddLink(u"Old", u"http://old/", true);
        AddLink(u"ニュース", u"http://example.com/news?a=1&b=2");
        RunShortcuts();
        QCOMPARE(ReadAll(In(u"Top.url")), Shortcut("http://example.com/"));
        QCOMPARE(ReadAll(In(u"ニュース.url")), Shortcut("http://example.com/news?a=1&b=2"));
        QCOMPARE(QDir(out_).entryList(QDir::Files).size(), 2);
        QCOMPARE(messages_->Count(), 1);
        ExpectLast(ShortcutCompletionMessage(U(out_), {}));

        // A folder stands where one file should go: the others are written, the failure listed.
        gLinks.Clear();
        AddLink(u"Bad", u"U1");
        AddLink(u"Good", u"U2");
        QDir().mkpath(In(u"Bad.url"));
        RunShortcuts();
        QCOMPARE(ReadAll(In(u"Good.url")), Shortcut("U2"));
        ExpectLast(ShortcutCompletionMessage(U(out_), std::vector<std::u16string>{u"Bad.url"}));
    }

    void forbiddenNamesGoThroughTheRenameWindowAndReservedOnesBecomeFullWidth() {
        AddLink(u"a/b", u"U1");
        AddLink(u"x:y", u"U2");
        AddLink(u"con", u"U3");
        AddLink(u"COM10", u"U4");
        // Acts in each rename window the shortcut loop opens, while it waits modally; it always
        // clicks OK, so a failed check cannot leave the loop waiting.
        QStringList seen;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            frmFileName* w = frmFileName::Loaded();
            if (!w || !w->isVisible() || w->property("seen").toBool())
                return;
            w->setProperty("seen", true);
            seen << w->findChild<QLabel*>(u"lblCurFile"_s)->text() + u'>' +
                        w->findChild<QLabel*>(u"lblAfterFile"_s)->text() +
                        (Save().isEnabled() ? u"" : u" (save off)");
            if (seen.size() == 2) { // the second one gets a typed name
                QTest::mouseClick(w->findChild<QRadioButton*>(u"optFileChange_1"_s), Qt::LeftButton);
                w->findChild<QLineEdit*>(u"txtAfterFile"_s)->setText(u"typed"_s);
            }
            QTest::mouseClick(w->findChild<QPushButton*>(u"OKButton"_s), Qt::LeftButton);
        });
        driver.start(5);
        RunShortcuts();

        QCOMPARE(seen, (QStringList{u"a/b>a／b (save off)"_s, u"x:y>x：y (save off)"_s}));
        QCOMPARE(messages_->Titles(), (QStringList{Q(ReservedNameMessage(u"con").title), u"完了"_s}));
        QCOMPARE(messages_->All().first().text, Q(ReservedNameMessage(u"con").text));
        QCOMPARE(ReadAll(In(u"a／b.url")), Shortcut("U1"));
        QCOMPARE(ReadAll(In(u"typed.url")), Shortcut("U2"));
        QCOMPARE(ReadAll(In(u"ｃｏｎ.url")), Shortcut("U3"));
        QCOMPARE(ReadAll(In(u"COM10.url")), Shortcut("U4"));
        // The list keeps the names the rules produced.
        QCOMPARE(gLinks.At(0).name, std::u16string(u"a／b"));
        QCOMPARE(gLinks.At(1).name, std::u16string(u"typed"));
        QCOMPARE(gLinks.At(2).name, std::u16string(u"ｃｏｎ"));
    }

    void existingFileWithConfirmationAsksForAnotherName() {
        gConfirmOverwrite = true;
        AddLink(u"Top", u"U1");
        AddLink(u"Top", u"U2");
        AddLink(u"Top", u"U3");
        FileDialog::QueueAnswer(In(u"Top_.url")); // the suggestion accepted
        FileDialog::QueueAnswer(QString());       // cancelled: nothing for U3
        RunShortcuts();

        QCOMPARE(ReadAll(In(u"Top.url")), Shortcut("U1"));
        QCOMPARE(ReadAll(In(u"Top_.url")), Shortcut("U2"));
        QCOMPARE(QDir(out_).entryList(QDir::Files).size(), 2);
        QCOMPARE(FileDialog::Requests().size(), 2);
        QCOMPARE(FileDialog::Requests().constFirst().fileName, In(u"Top_.url"));
        QCOMPARE(FileDialog::Requests().constFirst().filters, QStringList{u"url ファイル (*.url)"_s});
        // A notice before each dialog, then the completion.
        QCOMPARE(messages_->Titles(), (QStringList{u"ﾌｧｲﾙ名の重複"_s, u"ﾌｧｲﾙ名の重複"_s, u"完了"_s}));
        QCOMPARE(messages_->All().first().text,
                 u"同名のﾌｧｲﾙが存在しました。\r\n出力ﾌｧｲﾙ名を指定して下さい。"_s);
    }

    void existingFileWithoutConfirmationKeepsItsOtherSections() {
        gConfirmOverwrite = false;
        AddLink(u"Top", u"U1");
        AddLink(u"Top", u"U2");
        tmp_->Write(u"Top.url"_s, "[InternetShortcut]\r\nURL=old\r\nIconIndex=3\r\n[Extra]\r\nKey=Value\r\n");
        RunShortcuts();
        QCOMPARE(ReadAll(In(u"Top.url")), Shortcut("U2") + "[Extra]\r\nKey=Value\r\n");
        QCOMPARE(FileDialog::Requests().size(), 0);
        QCOMPARE(QDir(out_).entryList(QDir::Files), QStringList{u"Top.url"_s});
    }

    void newDirectoryBoxFiltersKeysAndChecksAtTheButton() {
        auto* box = Child<QLineEdit>("txtNewDir");
        auto* make = Child<QPushButton>("comMkDir");
        QTest::keyClicks(box, u"   "_s);
        QVERIFY(!make->isEnabled());
        box->clear();
        QTest::keyClicks(box, u"n/e\"w"_s);
        QCOMPARE(box->text(), u"new"_s);
        QVERIFY(make->isEnabled());
        QCOMPARE(messages_->Count(), 2);
        ExpectLast(DirectoryNameRefusalMessage());

        MakeDirectory(u"   "_s);
        ExpectLast({u"ﾃﾞｨﾚｸﾄﾘ名を正しく記述してください。", u"ﾃﾞｨﾚｸﾄﾘ作成失敗", MessageIcon::Exclamation});
        // Pasted text is not filtered while typing; a separator would reach into another folder.
        QDir().mkpath(In(u"a"));
        MakeDirectory(u"a/b"_s);
        ExpectLast(DirectoryNameRefusalMessage());
        QVERIFY(!QFileInfo::exists(In(u"a/b")));
        QCOMPARE(Save().Path(), out_);
    }

    void newDirectoryIsCreatedAndOpened() {
        Save().show();
        auto* box = Child<QLineEdit>("txtNewDir");
        QTest::keyClicks(box, u" new "_s);
        QTest::mouseClick(Child<QPushButton>("comMkDir"), Qt::LeftButton);
        QCOMPARE(Save().Path(), In(u"new"));
        QVERIFY(QFileInfo(In(u"new")).isDir());
        QCOMPARE(box->text(), QString());
        QCOMPARE(messages_->Count(), 0);

        // The same name again in the parent: it exists, so it cannot be created.
        QVERIFY(Save().SetPath(out_));
        MakeDirectory(u"new"_s);
        ExpectLast({u"ﾃﾞｨﾚｸﾄﾘ「new」を作成できませんでした。", u"ﾃﾞｨﾚｸﾄﾘ作成失敗", MessageIcon::Exclamation});
        QCOMPARE(box->text(), u"new"_s);
        QCOMPARE(Save().Path(), out_);

        // At a volume root.
        Volumes::SetTestRoots({out_});
        Save().SetDrive(out_);
        QCOMPARE(Save().Path(), out_);
        MakeDirectory(u"top"_s);
        QCOMPARE(Save().Path(), In(u"top"));
        QVERIFY(QFileInfo(In(u"top")).isDir());
    }

    void directoryListOpensByDoubleClickOnly() {
        QDir().mkpath(In(u"b/inner"));
        QDir().mkpath(In(u"a"));
        Save().show();
        QVERIFY(Save().SetPath(out_));
        QVERIFY(RowOf(In(u"a")) < RowOf(In(u"b")));
        Child<QListWidget>("dirFileSave")->setCurrentRow(RowOf(In(u"b"))); // highlighting opens nothing
        QCOMPARE(Save().Path(), out_);
        DoubleClick(In(u"b"));
        QCOMPARE(Save().Path(), In(u"b"));
        DoubleClick(out_); // the ".." row
        QCOMPARE(Save().Path(), out_);
        QVERIFY(!Save().SetPath(In(u"missing")));
    }

    void notReadyVolumeIsRefused() {
        const QString a = In(u"volA");
        const QString b = In(u"volB");
        QDir().mkpath(a + u"/work"_s);
        QDir().mkpath(b);
        Volumes::SetTestRoots({a, b});
        Save().show(); // reads the volumes again
        Save().SetDrive(a);
        QVERIFY(Save().SetPath(a + u"/work"_s));
        Volumes::SetTestNotReady(b);

        auto* drives = Child<QComboBox>("drvFileSave");
        drives->setCurrentIndex(drives->findText(b)); // as the user chooses it
        QCOMPARE(messages_->Count(), 1);
        ExpectLast({U(b) + u" にｱｸｾｽできません。\r\nﾃﾞﾊﾞｲｽの準備ができていません。", u"ﾄﾞﾗｲﾌﾞ選択",
                    MessageIcon::Critical});
        QCOMPARE(Save().Drive(), a);
        QCOMPARE(Save().Path(), a + u"/work"_s);

        // Once ready, the volume opens at its root; going back returns to where the user was.
        Volumes::SetTestNotReady(b, false);
        drives->setCurrentIndex(drives->findText(b));
        QCOMPARE(Save().Path(), b);
        drives->setCurrentIndex(drives->findText(a));
        QCOMPARE(Save().Path(), a + u"/work"_s);

        // Whatever the machine mounts, the root file system is a real, ready volume.
        Volumes::ClearTestHook();
        QVERIFY(Volumes::Roots().contains(u"/"_s));
        QVERIFY(!Volumes::Roots().contains(u"/proc"_s));
        QVERIFY(!Volumes::IsReady(In(u"no-such-volume")));
        QCOMPARE(Volumes::RootOf(In(u"not/there/yet")), Volumes::RootOf(out_));
    }
};

QTEST_MAIN(FrmSaveTest)
#include "tst_frmSave.moc"
