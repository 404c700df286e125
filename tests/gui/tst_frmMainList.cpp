// The main window's link list: cancel through the progress window's button, renaming, deleting
// from a sorted view, updating, and the list showing what the table holds after records were
// renamed behind it, by the shortcut output among others.

#include "core/Globals.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "forms/frmSave.h"
#include "platform/FileDialog.h"
#include "platform/ListView.h"
#include "platform/SystemCodec.h"
#include "support/GuiTest.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace orvane;
using orvane::test::Column;
using orvane::test::MessageCapture;

namespace {

QByteArray Anchors(const QList<QPair<QByteArray, QByteArray>>& links) {
    QByteArray html = "<html><body>\r\n";
    for (const auto& [url, name] : links)
        html += "<a href=\"" + url + "\">" + name + "</a>\r\n";
    return html + "</body></html>\r\n";
}

// The names of the table's live records, in table order.
QStringList TableNames() {
    QStringList names;
    gLinks.ForEachLive([&](int, const LinkRecord& r) { names << QString::fromStdU16String(r.name); });
    return names;
}

// The names of a list file of names and addresses, in its line order.
QStringList ListFileNames(const QString& path) {
    const std::string bytes = test::ReadAll(path).toStdString();
    QStringList names;
    const QString text = QString::fromStdU16String(platform::SystemCodec::Instance().DecodeSystem(bytes));
    for (const QString& line : text.split(u"\r\n"_s, Qt::SkipEmptyParts))
        names << line.section(u',', 0, -2);
    return names;
}

// Counts the enabled-state changes of the window it watches.
class EnabledChanges final : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class FrmMainListTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    std::unique_ptr<frmMain> w_;
    platform::ListView* list_ = nullptr;

    template <typename T> T* Child(const char* name) const {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }

    void Convert(const QString& name, const QByteArray& html) {
        const QString path = dir_.Write(name, html);
        Child<QLabel>("lblTgtFile")->setText(path);
        w_->ConvertHtmlFile(path);
    }
    void Click(int index) {
        list_->Select(index);
        w_->ListView1_ItemClick(index);
    }

private Q_SLOTS:
    void init() {
        w_ = test::StartMainWindow(dir_);
        list_ = Child<platform::ListView>("ListView1");
    }
    void cleanup() { w_.reset(); }

    void cancelThroughTheProgressWindowKeepsEarlierEntries() {
        MessageCapture messages;
        Convert(QStringLiteral("first.htm"), Anchors({{"http://keep/1", "Keep"}}));
        const QByteArray big = QByteArray("<a href=\"http://x/\">x</a>\r\n").repeated(500);
        // The click lands while the scan pumps events, as a user's click would.
        QTimer::singleShot(0, [] { QTest::mouseClick(frmInfo::Loaded()->cmdCancel(), Qt::LeftButton); });
        Convert(QStringLiteral("big.htm"), big);
        QCOMPARE(messages.Titles(), QStringList{u"処理の中断"_s});
        QCOMPARE(Column(list_, 0), QStringList{u"Keep"_s});
        QVERIFY(w_->isEnabled());
        QVERIFY(!frmInfo::Loaded()->isVisible());
    }

    void deleteFlagsTheRecordAndNewRecordsGoBehindIt() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        w_->ListView1_ColumnClick(1); // sorted view: the clicked entry is still the one deleted
        Click(2);                     // "Two"
        w_->cmdDelete_Click();
        QCOMPARE(Column(list_, 0), QStringList{u"One"_s});
        QVERIFY(gLinks.At(1).deleted);
        QCOMPARE(Child<QLabel>("lblItemCnt")->text(), u"ﾃﾞｰﾀ総数 ：1"_s);
        Convert(QStringLiteral("b.htm"), Anchors({{"http://b/1", "Three"}}));
        QCOMPARE(list_->Entry(list_->IndexOfTag(2)).text, u"Three"_s);
        QCOMPARE(gLinks.Size(), 3);
        QCOMPARE(gLinks.At(1).name, std::u16string(u"Two")); // never overwritten
    }

    void updateAndRenameWriteTheRightRecord() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        Click(1);
        list_->Select(2); // the user clicked elsewhere without loading
        Child<QLineEdit>("txtName")->setText(u"  Uno  "_s);
        Child<QLineEdit>("txtURL")->setText(u"  http://u/1 "_s);
        w_->cmdUpDate_Click();
        QCOMPARE(list_->Entry(1).text, u"Uno"_s);
        QCOMPARE(list_->Entry(1).url, u"http://u/1"_s);
        QCOMPARE(list_->Entry(2).text, u"Two"_s);
        QCOMPARE(gLinks.At(0).name, std::u16string(u"Uno"));
        QCOMPARE(gLinks.At(0).url, std::u16string(u"http://u/1"));
        QVERIFY(Child<QLineEdit>("txtName")->text().isEmpty());
        QVERIFY(!Child<QLineEdit>("txtURL")->isEnabled());
        // Renaming in place, after the update.
        MessageCapture messages;
        Click(1);
        QVERIFY(list_->Model()->setData(list_->Model()->index(0, 0), u"  New  "_s, Qt::EditRole));
        // The list, the edit box and the record hold the same name: what the outputs will write.
        QCOMPARE(list_->Entry(1).text, u"New"_s);
        QCOMPARE(Child<QLineEdit>("txtName")->text(), u"New"_s);
        QCOMPARE(gLinks.At(0).name, std::u16string(u"New"));
        // Renaming another entry than the loaded one writes that entry's own record only.
        QVERIFY(list_->Model()->setData(list_->Model()->index(1, 0), u"Other"_s, Qt::EditRole));
        QCOMPARE(gLinks.At(1).name, std::u16string(u"Other"));
        QCOMPARE(Child<QLineEdit>("txtName")->text(), u"New"_s);
        // A blank name is refused: it would cut this record and all after it out of every output.
        QVERIFY(!list_->Model()->setData(list_->Model()->index(1, 0), u"   "_s, Qt::EditRole));
        QCOMPARE(messages.Titles(), QStringList{u"更新失敗"_s});
        QCOMPARE(list_->Entry(2).text, u"Other"_s);
        QCOMPARE(gLinks.At(1).name, std::u16string(u"Other"));
    }

    void aDropDisablesTheWindowOnceAndEnablesItAfterItsLastFile() {
        const QStringList paths{dir_.Write(u"d1.htm"_s, Anchors({{"http://d/1", "One"}})),
                                dir_.File(u"missing.htm"_s),
                                dir_.Write(u"d3.htm"_s, Anchors({{"http://d/3", "Three"}}))};
        Convert(u"first.htm"_s, Anchors({{"http://d/0", "Zed"}}));
        w_->ListView1_ColumnClick(1); // ascending by name: the drop's entries take their places
        EnabledChanges changes;
        w_->installEventFilter(&changes);
        MessageCapture messages;
        w_->InputDroppedFiles(paths);
        w_->removeEventFilter(&changes);
        QCOMPARE(messages.Titles(), QStringList{u"ﾌｧｲﾙｵｰﾌﾟﾝ失敗"_s});
        QCOMPARE(changes.count, 2);
        QVERIFY(w_->isEnabled());
        QCOMPARE(Column(list_, 0), (QStringList{u"One"_s, u"Three"_s, u"Zed"_s}));
        QCOMPARE(list_->Entry(1).tag, 1);
        QCOMPARE(list_->Entry(2).tag, 2);
        QCOMPARE(Child<QLabel>("lblItemCnt")->text(), u"ﾃﾞｰﾀ総数 ：3"_s);
    }

    void aShortcutRunRenamesEntriesAndTheListTheTableAndAListFileAgree() {
        gListType = 1;
        Convert(u"a.htm"_s, Anchors({{"http://a/1", "Top"}, {"http://a/2", ".rc"}, {"http://a/3", "con"}}));
        w_->ListView1_ColumnClick(1);
        const QString out = dir_.File(u"out"_s);
        QVERIFY(QDir().mkpath(out));
        MessageCapture messages; // the reserved name's notice, the completion
        w_->cmdOutLink_Click();
        QVERIFY(frmSave::Loaded()->SetPath(out));
        frmSave::Loaded()->OKButton_Click();
        QVERIFY(w_->isEnabled());
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 3);

        // Sorted before the run as ".rc", "Top", "con": the view sorts again by the renamed names.
        const QStringList table{u"Top"_s, u"．rc"_s, u"ｃｏｎ"_s};
        QCOMPARE(TableNames(), table);
        QCOMPARE(Column(list_, 0), table);
        QCOMPARE(Column(list_, 1), (QStringList{u"http://a/1"_s, u"http://a/2"_s, u"http://a/3"_s}));
        QCOMPARE(Child<QLabel>("lblItemCnt")->text(), u"ﾃﾞｰﾀ総数 ：3"_s);
        const QString listFile = dir_.File(u"names.lst"_s);
        platform::FileDialog::QueueAnswer(listFile);
        w_->cmdMakeList_Click();
        QCOMPARE(ListFileNames(listFile), table);
    }
};

QTEST_MAIN(FrmMainListTest)
#include "tst_frmMainList.moc"
