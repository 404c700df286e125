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
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;

using namespace orvane;
using orvane::test::MessageCapture;

namespace {

QByteArray Anchors(const QList<QPair<QByteArray, QByteArray>>& links) {
    QByteArray html = "<html><body>\r\n";
    for (const auto& [url, name] : links)
        html += "<a href=\"" + url + "\">" + name + "</a>\r\n";
    return html + "</body></html>\r\n";
}

// Counts the enabled-state changes of the window it watches.
class EnabledChanges final : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        count += event->type() == QEvent::EnabledChange;
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
    // The view's entries, the table's records, the count, the window's and the progress window's state.
    QStringList State() const {
        const frmInfo* info = frmInfo::Loaded();
        return test::Rows(list_) + test::Table() +
               QStringList{Child<QLabel>("lblItemCnt")->text(),
                           w_->isEnabled() ? u"enabled"_s : u"disabled"_s,
                           info && info->isVisible() ? u"progress shown"_s : u"progress hidden"_s};
    }
    // The edit boxes: "name|url", each "(off)" when disabled.
    QStringList Edits() const {
        QStringList out;
        for (const char* name : {"txtName", "txtURL"}) {
            const auto* box = Child<QLineEdit>(name);
            out << box->text() + (box->isEnabled() ? u""_s : u"(off)"_s);
        }
        return {out.join(u'|')};
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
        QCOMPARE(messages.Titles() + State(),
                 (QStringList{u"処理の中断"_s, u"0|Keep|http://keep/1"_s, u"Keep|http://keep/1"_s,
                              u"ﾃﾞｰﾀ総数 ：1"_s, u"enabled"_s, u"progress hidden"_s}));
    }

    void deleteFlagsTheRecordAndNewRecordsGoBehindIt() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        w_->ListView1_ColumnClick(1); // sorted view: the clicked entry is still the one deleted
        Click(2);                     // "Two"
        w_->cmdDelete_Click();
        QCOMPARE(State(),
                 (QStringList{u"0|One|http://a/1"_s, u"One|http://a/1"_s, u"Two|http://a/2|deleted"_s,
                              u"ﾃﾞｰﾀ総数 ：1"_s, u"enabled"_s, u"progress hidden"_s}));
        // The deleted record is never overwritten: the new one goes behind it.
        Convert(QStringLiteral("b.htm"), Anchors({{"http://b/1", "Three"}}));
        QCOMPARE(State(), (QStringList{u"0|One|http://a/1"_s, u"2|Three|http://b/1"_s, u"One|http://a/1"_s,
                                       u"Two|http://a/2|deleted"_s, u"Three|http://b/1"_s, u"ﾃﾞｰﾀ総数 ：2"_s,
                                       u"enabled"_s, u"progress hidden"_s}));
    }

    void updateAndRenameWriteTheRightRecord() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        Click(1);
        list_->Select(2); // the user clicked elsewhere without loading
        Child<QLineEdit>("txtName")->setText(u"  Uno  "_s);
        Child<QLineEdit>("txtURL")->setText(u"  http://u/1 "_s);
        QSignalSpy changed(list_->Model(), &QAbstractItemModel::dataChanged);
        w_->cmdUpDate_Click();
        // The view is told to repaint both cells of the updated row.
        QVERIFY(std::any_of(changed.begin(), changed.end(), [](const QList<QVariant>& args) {
            const auto from = args[0].toModelIndex(), to = args[1].toModelIndex();
            return from.row() <= 0 && to.row() >= 0 && from.column() == 0 && to.column() == 1;
        }));
        const QStringList shown{u"ﾃﾞｰﾀ総数 ：2"_s, u"enabled"_s, u"progress hidden"_s};
        QCOMPARE(State() + Edits(), (QStringList{u"0|Uno|http://u/1"_s, u"1|Two|http://a/2"_s,
                                                 u"Uno|http://u/1"_s, u"Two|http://a/2"_s} +
                                     shown + QStringList{u"(off)|(off)"_s}));
        // Renaming in place, after the update.
        MessageCapture messages;
        Click(1);
        QVERIFY(list_->Model()->setData(list_->Model()->index(0, 0), u"  New  "_s, Qt::EditRole));
        // The list, the edit box and the record hold the same name: what the outputs will write.
        QCOMPARE(State() + Edits(), (QStringList{u"0|New|http://u/1"_s, u"1|Two|http://a/2"_s,
                                                 u"New|http://u/1"_s, u"Two|http://a/2"_s} +
                                     shown + QStringList{u"New|http://u/1"_s}));
        // Renaming another entry than the loaded one writes that entry's own record only.
        QVERIFY(list_->Model()->setData(list_->Model()->index(1, 0), u"Other"_s, Qt::EditRole));
        const QStringList renamed = QStringList{u"0|New|http://u/1"_s, u"1|Other|http://a/2"_s,
                                                u"New|http://u/1"_s, u"Other|http://a/2"_s} +
                                    shown + QStringList{u"New|http://u/1"_s};
        QCOMPARE(State() + Edits(), renamed);
        // A blank name is refused: it would cut this record and all after it out of every output.
        QVERIFY(!list_->Model()->setData(list_->Model()->index(1, 0), u"   "_s, Qt::EditRole));
        QCOMPARE(messages.Titles() + State() + Edits(), QStringList{u"更新失敗"_s} + renamed);
    }

    // Dropped as a file manager drops: a folder among the files is reported, the others converted.
    void aDropDisablesTheWindowOnceAndEnablesItAfterItsLastFile() {
        QVERIFY(QDir(dir_.Path()).mkpath(u"folder"_s));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dir_.Write(u"d1.htm"_s, Anchors({{"http://d/1", "One"}}))),
                      QUrl::fromLocalFile(dir_.File(u"folder"_s)),
                      QUrl::fromLocalFile(dir_.Write(u"d3.htm"_s, Anchors({{"http://d/3", "Three"}})))});
        Convert(u"first.htm"_s, Anchors({{"http://d/0", "Zed"}}));
        w_->ListView1_ColumnClick(1); // ascending by name: the drop's entries take their places
        EnabledChanges changes;
        w_->installEventFilter(&changes);
        MessageCapture messages;
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(w_.get(), &drop);
        w_->removeEventFilter(&changes);
        QCOMPARE(messages.Titles() + State() + QStringList{QString::number(changes.count)},
                 (QStringList{u"ﾌｧｲﾙｵｰﾌﾟﾝ失敗"_s, u"1|One|http://d/1"_s, u"2|Three|http://d/3"_s,
                              u"0|Zed|http://d/0"_s, u"Zed|http://d/0"_s, u"One|http://d/1"_s,
                              u"Three|http://d/3"_s, u"ﾃﾞｰﾀ総数 ：3"_s, u"enabled"_s, u"progress hidden"_s,
                              u"2"_s}));
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
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 3);
        QCOMPARE(messages.Titles(), (QStringList{u"ﾌｧｲﾙ名変更確認"_s, u"完了"_s}));
        // Sorted before the run as ".rc", "Top", "con": the view sorts again by the renamed names.
        QCOMPARE(State(),
                 (QStringList{u"0|Top|http://a/1"_s, u"1|．rc|http://a/2"_s, u"2|ｃｏｎ|http://a/3"_s,
                              u"Top|http://a/1"_s, u"．rc|http://a/2"_s, u"ｃｏｎ|http://a/3"_s,
                              u"ﾃﾞｰﾀ総数 ：3"_s, u"enabled"_s, u"progress hidden"_s}));
        const QString listFile = dir_.File(u"names.lst"_s);
        platform::FileDialog::QueueAnswer(listFile);
        w_->cmdMakeList_Click();
        const std::string written = test::ReadAll(listFile).toStdString();
        QCOMPARE(QString::fromStdU16String(platform::SystemCodec::Instance().DecodeSystem(written)),
                 u"Top,http://a/1\r\n．rc,http://a/2\r\nｃｏｎ,http://a/3\r\n"_s);
    }
};

QTEST_MAIN(FrmMainListTest)
#include "tst_frmMainList.moc"
