// The save-destination window: the list file, the shortcut loop with the rename window, the
// reserved names and the overwrite rules, creating directories, and choosing volumes.

#include "core/Globals.h"
#include "forms/frmFileName.h"
#include "forms/frmSave.h"
#include "platform/FileDialog.h"
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

#include <unistd.h>

using namespace orvane;
using orvane::platform::FileDialog;
using orvane::platform::Volumes;
using orvane::test::MessageCapture;
using orvane::test::ReadAll;

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

// Acts in each rename window the shortcut loop opens, while it waits modally.
class RenameDriver {
public:
    explicit RenameDriver(std::function<void(frmFileName*)> act) : act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            frmFileName* w = frmFileName::Loaded();
            if (w && w->isVisible() && w != last_) {
                last_ = w;
                ++shown;
                act_(w);
            }
        });
        timer_.start(5);
    }
    int shown = 0;

private:
    std::function<void(frmFileName*)> act_;
    QTimer timer_;
    frmFileName* last_ = nullptr;
};

void ClickOk(frmFileName* w) {
    QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("OKButton")), Qt::LeftButton);
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
    QString In(const QString& name) const { return out_ + u'/' + name; }

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
    int RowOf(const QString& path) {
        auto* list = Child<QListWidget>("dirFileSave");
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->data(Qt::UserRole).toString() == path)
                return i;
        }
        return -1;
    }
    void DoubleClick(const QString& path) {
        auto* list = Child<QListWidget>("dirFileSave");
        const int row = RowOf(path);
        QVERIFY2(row >= 0, qPrintable(path));
        const QRect rect = list->visualItemRect(list->item(row));
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

    // ---- List file ----

    void listFileBytesFollowTableOrder() {
        gListType = 1;
        AddLink(u"Zeta", u"http://z/");
        AddLink(u"gone", u"http://gone/", true);
        AddLink(u"a,b", u"http://x/?q=1,2");
        AddLink(u"(名称無し 1)", u"U2");
        QDir().mkpath(In(QStringLiteral("lists")));
        const QString file = In(QStringLiteral("lists/links")); // typed without an extension
        FileDialog::QueueAnswer(file);
        const QString driveBefore = Save().Drive();
        RunMakeList();

        QCOMPARE(ReadAll(file), Sys(u"Zeta,http://z/\r\na,b,http://x/?q=1,2\r\n(名称無し 1),U2\r\n"));
        QVERIFY(!QFileInfo::exists(file + QStringLiteral(".lst")));
        const auto& request = FileDialog::Requests().constFirst();
        QCOMPARE(request.title, QStringLiteral("出力ファイル名の指定"));
        QCOMPARE(request.directory, out_);
        QCOMPARE(request.fileName, QString());
        QCOMPARE(request.filters, QStringList{QStringLiteral("lst ファイル (*.lst)")});
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text, QStringLiteral("ﾘｽﾄﾌｧｲﾙを出力しました。"));
        QCOMPARE(messages_->Last().title, QStringLiteral("完了"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Information);
        // The chosen file's directory is the output directory now; the drive list is not touched.
        QCOMPARE(Save().Path(), In(QStringLiteral("lists")));
        QCOMPARE(Save().Drive(), driveBefore);
        QVERIFY(!Save().isVisible());

        // The next dialog starts there.
        FileDialog::QueueAnswer(QString());
        RunMakeList();
        QCOMPARE(FileDialog::Requests().at(1).directory, In(QStringLiteral("lists")));
    }

    void listTypeSelectsTheLineForm_data() {
        QTest::addColumn<int>("listType");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("URL only") << 0 << QByteArray("U1\r\nU3\r\n");
        QTest::newRow("name and URL") << 1 << QByteArray("A,U1\r\nC,U3\r\n");
        QTest::newRow("hand-edited value") << 7 << QByteArray("A,U1\r\nC,U3\r\n");
    }
    void listTypeSelectsTheLineForm() {
        QFETCH(int, listType);
        QFETCH(QByteArray, bytes);
        gListType = static_cast<std::int16_t>(listType);
        AddLink(u"A", u"U1");
        AddLink(u"B", u"U2", true);
        AddLink(u"C", u"U3");
        // An existing file is replaced whole.
        const QString file = tmp_->Write(QStringLiteral("out.lst"), "old content that is longer\r\n");
        FileDialog::QueueAnswer(file);
        RunMakeList();
        QCOMPARE(ReadAll(file), bytes);
    }

    void cancelledListWritesNothing() {
        AddLink(u"A", u"U1");
        const QString before = Save().Path();
        FileDialog::QueueAnswer(QString());
        RunMakeList();
        QCOMPARE(messages_->Count(), 0);
        QCOMPARE(Save().Path(), before);
        QCOMPARE(QDir(out_).entryList(QDir::Files), QStringList());
    }

    void unwritableListFileIsReported() {
        AddLink(u"A", u"U1");
        // A path below a regular file cannot be created, whatever the user's rights.
        const QString blocker = tmp_->Write(QStringLiteral("plain.txt"), "x");
        QDir().mkpath(In(QStringLiteral("elsewhere")));
        QVERIFY(Save().SetPath(In(QStringLiteral("elsewhere"))));
        const QString file = blocker + QStringLiteral("/links.lst");
        FileDialog::QueueAnswer(file);
        main_->setEnabled(false);
        RunMakeList();
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text, QStringLiteral("ﾘｽﾄﾌｧｲﾙを出力できませんでした。\r\n") + file);
        QCOMPARE(messages_->Last().title, QStringLiteral("作成失敗"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Critical);
        QCOMPARE(Save().Path(), In(QStringLiteral("elsewhere")));
        QVERIFY(main_->isEnabled());
        QVERIFY(!gMakingList);
    }

    void refusedListWriteKeepsTheOldFile() {
        if (geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        AddLink(u"A", u"U1");
        // An existing list in a directory that takes no new file keeps its content.
        const QString locked = In(QStringLiteral("locked"));
        QDir().mkpath(locked);
        const QString old = tmp_->Write(QStringLiteral("locked/old.lst"), "old\r\n");
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        FileDialog::QueueAnswer(old);
        RunMakeList();
        QFile::setPermissions(locked,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(ReadAll(old), QByteArray("old\r\n"));
        QCOMPARE(messages_->Last().title, QStringLiteral("作成失敗"));
    }

    // ---- Shortcuts ----

    void shortcutsAreWrittenOnePerLiveRecord() {
        AddLink(u"Top", u"http://example.com/");
        AddLink(u"Old", u"http://old/", true);
        AddLink(u"ニュース", u"http://example.com/news?a=1&b=2");
        RunShortcuts();

        QCOMPARE(ReadAll(In(QStringLiteral("Top.url"))), Shortcut("http://example.com/"));
        QCOMPARE(ReadAll(In(QStringLiteral("ニュース.url"))), Shortcut("http://example.com/news?a=1&b=2"));
        QVERIFY(!QFileInfo::exists(In(QStringLiteral("Old.url"))));
        QCOMPARE(QDir(out_).entryList(QDir::Files).size(), 2);
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text, QStringLiteral("ﾊﾟｽ : [") + out_ +
                                             QStringLiteral("] に、\r\nｲﾝﾀｰﾈｯﾄｼｮｰﾄｶｯﾄを作成しました。"));
        QCOMPARE(messages_->Last().title, QStringLiteral("完了"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Information);
    }

    void forbiddenNameGoesThroughTheRenameWindow() {
        AddLink(u"a/b", u"U1");
        AddLink(u"plain", u"U2");
        AddLink(u"x:y", u"U3");
        QString current, converted;
        bool saveDisabled = false;
        int step = 0;
        RenameDriver driver([&](frmFileName* w) {
            if (step++ == 0) {
                current = w->findChild<QLabel*>(QStringLiteral("lblCurFile"))->text();
                converted = w->findChild<QLabel*>(QStringLiteral("lblAfterFile"))->text();
                saveDisabled = !Save().isEnabled();
            } else {
                // The second record gets a typed name.
                QTest::mouseClick(w->findChild<QRadioButton*>(QStringLiteral("optFileChange_1")),
                                  Qt::LeftButton);
                w->findChild<QLineEdit*>(QStringLiteral("txtAfterFile"))->setText(QStringLiteral("typed"));
            }
            ClickOk(w);
        });
        RunShortcuts();

        QCOMPARE(driver.shown, 2);
        QCOMPARE(current, QStringLiteral("a/b"));
        QCOMPARE(converted, QStringLiteral("a／b"));
        QVERIFY(saveDisabled);
        QCOMPARE(ReadAll(In(QStringLiteral("a／b.url"))), Shortcut("U1"));
        QCOMPARE(ReadAll(In(QStringLiteral("plain.url"))), Shortcut("U2"));
        QCOMPARE(ReadAll(In(QStringLiteral("typed.url"))), Shortcut("U3"));
        QCOMPARE(gLinks.At(0).name, std::u16string(u"a／b"));
        QCOMPARE(gLinks.At(2).name, std::u16string(u"typed"));

        // A list file written afterwards shows the names the rules produced.
        gListType = 1;
        FileDialog::QueueAnswer(In(QStringLiteral("after.lst")));
        RunMakeList();
        QCOMPARE(ReadAll(In(QStringLiteral("after.lst"))), Sys(u"a／b,U1\r\nplain,U2\r\ntyped,U3\r\n"));
    }

    void reservedNameBecomesFullWidth() {
        AddLink(u"con", u"U1");
        AddLink(u"COM10", u"U2");
        RunShortcuts();
        QCOMPARE(messages_->Count(), 2);
        const auto& notice = messages_->All().first();
        QCOMPARE(notice.text, QStringLiteral("出力ﾌｧｲﾙ名[con]は、予約ﾃﾞﾊﾞｲｽ名です。\r\n"
                                             "このﾌｧｲﾙ名は全角文字（２ﾊﾞｲﾄ文字）に変換されます。"));
        QCOMPARE(notice.title, QStringLiteral("ﾌｧｲﾙ名変更確認"));
        QCOMPARE(notice.icon, MessageIcon::Information);
        QCOMPARE(ReadAll(In(QStringLiteral("ｃｏｎ.url"))), Shortcut("U1"));
        QCOMPARE(ReadAll(In(QStringLiteral("COM10.url"))), Shortcut("U2"));
        QCOMPARE(gLinks.At(0).name, std::u16string(u"ｃｏｎ"));
    }

    void existingFileWithConfirmation() {
        gConfirmOverwrite = true;
        AddLink(u"Top", u"U1");
        AddLink(u"Top", u"U2");
        AddLink(u"Top", u"U3");
        FileDialog::QueueAnswer(In(QStringLiteral("Top_.url"))); // the suggestion accepted
        FileDialog::QueueAnswer(QString());                      // cancelled: nothing for U3
        RunShortcuts();

        QCOMPARE(ReadAll(In(QStringLiteral("Top.url"))), Shortcut("U1"));
        QCOMPARE(ReadAll(In(QStringLiteral("Top_.url"))), Shortcut("U2"));
        QCOMPARE(QDir(out_).entryList(QDir::Files).size(), 2);
        QCOMPARE(FileDialog::Requests().size(), 2);
        const auto& request = FileDialog::Requests().constFirst();
        QCOMPARE(request.title, QStringLiteral("出力ファイル名の指定"));
        QCOMPARE(request.directory, out_);
        QCOMPARE(request.fileName, In(QStringLiteral("Top_.url")));
        QCOMPARE(request.filters, QStringList{QStringLiteral("url ファイル (*.url)")});
        // Two notices before the dialogs, then the completion.
        QCOMPARE(messages_->Count(), 3);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(messages_->All().at(i).text,
                     QStringLiteral("同名のﾌｧｲﾙが存在しました。\r\n出力ﾌｧｲﾙ名を指定して下さい。"));
            QCOMPARE(messages_->All().at(i).title, QStringLiteral("ﾌｧｲﾙ名の重複"));
            QCOMPARE(messages_->All().at(i).icon, MessageIcon::Information);
        }
        QCOMPARE(messages_->Last().title, QStringLiteral("完了"));
    }

    void existingFileWithoutConfirmation() {
        gConfirmOverwrite = false;
        AddLink(u"Top", u"U1");
        AddLink(u"Top", u"U2");
        // Only the shortcut section is replaced; the rest of an existing file stays.
        tmp_->Write(QStringLiteral("Top.url"),
                    "[InternetShortcut]\r\nURL=old\r\nIconIndex=3\r\n[Extra]\r\nKey=Value\r\n");
        RunShortcuts();
        const QByteArray bytes = ReadAll(In(QStringLiteral("Top.url")));
        QVERIFY2(bytes.startsWith("[InternetShortcut]\r\nURL=U2\r\n"), bytes.constData());
        QVERIFY(!bytes.contains("IconIndex"));
        QVERIFY(bytes.contains("[Extra]\r\nKey=Value\r\n"));
        QCOMPARE(FileDialog::Requests().size(), 0);
        QCOMPARE(QDir(out_).entryList(QDir::Files), QStringList{QStringLiteral("Top.url")});
    }

    void failedShortcutsAreReported() {
        AddLink(u"Bad", u"U1");
        AddLink(u"Good", u"U2");
        QDir().mkpath(In(QStringLiteral("Bad.url"))); // a folder stands where the file should go
        RunShortcuts();
        QCOMPARE(ReadAll(In(QStringLiteral("Good.url"))), Shortcut("U2"));
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().title, QStringLiteral("作成失敗"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Exclamation);
        QVERIFY(messages_->Last().text.startsWith(QStringLiteral("ﾊﾟｽ : [") + out_));
        QVERIFY(messages_->Last().text.contains(QStringLiteral("Bad.url")));
        QVERIFY(!messages_->Last().text.contains(QStringLiteral("Good.url")));
    }

    // ---- New directory ----

    void newDirectoryBoxFiltersAndEnables() {
        auto* box = Child<QLineEdit>("txtNewDir");
        auto* make = Child<QPushButton>("comMkDir");
        QTest::keyClicks(box, QStringLiteral("   "));
        QVERIFY(!make->isEnabled());
        box->clear();
        QTest::keyClicks(box, QStringLiteral("n/e\"w"));
        QCOMPARE(box->text(), QStringLiteral("new"));
        QVERIFY(make->isEnabled());
        QCOMPARE(messages_->Count(), 2);
        QCOMPARE(messages_->Last().text,
                 QStringLiteral("ディレクトリ名には次の文字は使えません。\r\n\\ / : , ; * ? < > | \""));
        QCOMPARE(messages_->Last().title, QStringLiteral("ディレクトリ名禁則文字情報"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Exclamation);
    }

    void newDirectoryIsCreatedAndOpened() {
        Save().show();
        auto* box = Child<QLineEdit>("txtNewDir");
        QTest::keyClicks(box, QStringLiteral(" new "));
        QTest::mouseClick(Child<QPushButton>("comMkDir"), Qt::LeftButton);
        QVERIFY(QFileInfo(In(QStringLiteral("new"))).isDir());
        QCOMPARE(Save().Path(), In(QStringLiteral("new")));
        QCOMPARE(box->text(), QString());
        QVERIFY(!Child<QPushButton>("comMkDir")->isEnabled());
        QCOMPARE(messages_->Count(), 0);

        // The same name again in the parent: it exists, so it cannot be created.
        QVERIFY(Save().SetPath(out_));
        QTest::keyClicks(box, QStringLiteral("new"));
        QTest::mouseClick(Child<QPushButton>("comMkDir"), Qt::LeftButton);
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text, QStringLiteral("ﾃﾞｨﾚｸﾄﾘ「new」を作成できませんでした。"));
        QCOMPARE(messages_->Last().title, QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成失敗"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Exclamation);
        QCOMPARE(box->text(), QStringLiteral("new"));
        QCOMPARE(Save().Path(), out_);
        QVERIFY(Save().isVisible());
    }

    void newDirectoryNameIsCheckedAtTheButton() {
        auto* box = Child<QLineEdit>("txtNewDir");
        box->setText(QStringLiteral("   "));
        Save().comMkDir_Click();
        QCOMPARE(messages_->Last().text, QStringLiteral("ﾃﾞｨﾚｸﾄﾘ名を正しく記述してください。"));
        QCOMPARE(messages_->Last().title, QStringLiteral("ﾃﾞｨﾚｸﾄﾘ作成失敗"));

        // Pasted text is not filtered while typing; a separator would reach into another folder.
        QDir().mkpath(In(QStringLiteral("a")));
        box->setText(QStringLiteral("a/b"));
        Save().comMkDir_Click();
        QCOMPARE(messages_->Last().title, QStringLiteral("ディレクトリ名禁則文字情報"));
        QVERIFY(!QFileInfo::exists(In(QStringLiteral("a/b"))));
        QCOMPARE(Save().Path(), out_);
    }

    void newDirectoryAtAVolumeRoot() {
        Volumes::SetTestRoots({out_});
        Save().SetDrive(out_);
        QCOMPARE(Save().Drive(), out_);
        QCOMPARE(Save().Path(), out_);
        Child<QLineEdit>("txtNewDir")->setText(QStringLiteral("top"));
        Save().comMkDir_Click();
        QCOMPARE(Save().Path(), out_ + QStringLiteral("/top"));
        QVERIFY(QFileInfo(out_ + QStringLiteral("/top")).isDir());
    }

    // ---- Directories and volumes ----

    void directoryListOpensByDoubleClick() {
        QDir().mkpath(In(QStringLiteral("b/inner")));
        QDir().mkpath(In(QStringLiteral("a")));
        Save().show();
        QVERIFY(Save().SetPath(out_));
        auto* list = Child<QListWidget>("dirFileSave");
        QVERIFY(RowOf(In(QStringLiteral("a"))) < RowOf(In(QStringLiteral("b"))));

        // Highlighting a directory does not open it.
        list->setCurrentRow(RowOf(In(QStringLiteral("b"))));
        QCOMPARE(Save().Path(), out_);
        DoubleClick(In(QStringLiteral("b")));
        QCOMPARE(Save().Path(), In(QStringLiteral("b")));
        QVERIFY(RowOf(In(QStringLiteral("b/inner"))) >= 0);
        QCOMPARE(list->item(1)->text(), QStringLiteral(".."));
        DoubleClick(out_); // the ".." row
        QCOMPARE(Save().Path(), out_);
        QVERIFY(!Save().SetPath(In(QStringLiteral("missing"))));
        QCOMPARE(Save().Path(), out_);
    }

    void notReadyVolumeIsRefused() {
        const QString a = In(QStringLiteral("volA"));
        const QString b = In(QStringLiteral("volB"));
        QDir().mkpath(a + QStringLiteral("/work"));
        QDir().mkpath(b);
        Volumes::SetTestRoots({a, b});
        Save().show(); // reads the volumes again
        Save().SetDrive(a);
        QVERIFY(Save().SetPath(a + QStringLiteral("/work")));
        Volumes::SetTestNotReady(b);

        auto* drives = Child<QComboBox>("drvFileSave");
        drives->setCurrentIndex(drives->findText(b)); // as the user chooses it
        QCOMPARE(messages_->Count(), 1);
        QCOMPARE(messages_->Last().text,
                 b + QStringLiteral(" にｱｸｾｽできません。\r\nﾃﾞﾊﾞｲｽの準備ができていません。"));
        QCOMPARE(messages_->Last().title, QStringLiteral("ﾄﾞﾗｲﾌﾞ選択"));
        QCOMPARE(messages_->Last().icon, MessageIcon::Critical);
        QCOMPARE(Save().Drive(), a);
        QCOMPARE(Save().Path(), a + QStringLiteral("/work"));

        // Once ready, the volume opens at its root; going back returns to where the user was.
        Volumes::SetTestNotReady(b, false);
        drives->setCurrentIndex(drives->findText(b));
        QCOMPARE(Save().Path(), b);
        drives->setCurrentIndex(drives->findText(a));
        QCOMPARE(Save().Path(), a + QStringLiteral("/work"));
        QCOMPARE(messages_->Count(), 1);
    }

    void realVolumesAreListed() {
        // Whatever the machine mounts, the root file system is a real, ready volume.
        const QStringList roots = Volumes::Roots();
        QVERIFY(roots.contains(QStringLiteral("/")));
        QVERIFY(!roots.contains(QStringLiteral("/proc")));
        QVERIFY(Volumes::IsReady(QStringLiteral("/")));
        QVERIFY(!Volumes::IsReady(In(QStringLiteral("no-such-volume"))));
        QVERIFY(Volumes::IsReady(Volumes::RootOf(out_)));
        QCOMPARE(Volumes::RootOf(In(QStringLiteral("not/there/yet"))), Volumes::RootOf(out_));
    }
};

QTEST_MAIN(FrmSaveTest)
#include "tst_frmSave.moc"
