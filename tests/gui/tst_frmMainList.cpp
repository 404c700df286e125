// The main window's link list: conversion through the real windows, cancel through the progress
// window's button, the table/view/count invariants, loading, renaming, sorting, updating, deleting.

#include "core/Globals.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"

#include <QGroupBox>
#include <QHeaderView>
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

} // namespace

class FrmMainListTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    std::unique_ptr<frmMain> w_;
    platform::ListView* list_ = nullptr;

    template <typename T> T* Child(const char* name) const {
        return w_->findChild<T*>(QString::fromLatin1(name));
    }
    QString Label(const char* name) const { return Child<QLabel>(name)->text(); }

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

    void conversionFillsTableViewAndCount() {
        MessageCapture messages;
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        Convert(QStringLiteral("b.htm"), Anchors({{"http://b/1", "<img src=x>"}}));
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(Column(list_, 0), (QStringList{u"One"_s, u"Two"_s, u"(名称無し 2)"_s}));
        QCOMPARE(Column(list_, 1), (QStringList{u"http://a/1"_s, u"http://a/2"_s, u"http://b/1"_s}));
        QCOMPARE(list_->Entry(3).tag, 2);
        QCOMPARE(gLinks.At(2).seq, 0); // each file numbers its links from 0
        QCOMPARE(gLinkCount, 3);
        QCOMPARE(Label("lblItemCnt"), u"ﾃﾞｰﾀ総数 ：3"_s);
        QVERIFY(w_->isEnabled());
        QVERIFY(!frmInfo::Loaded()->isVisible());
        QVERIFY(frmInfo::Loaded()->lblStatus()->isVisibleTo(frmInfo::Loaded()));
    }

    void countLabelKeepsItsInitialSpaceUntilTheFirstChange() {
        QCOMPARE(Label("lblItemCnt"), u"ﾃﾞｰﾀ総数 ： 0"_s);
        QCOMPARE(Label("lblTgtFile"), u"ﾀｰｹﾞｯﾄﾌｧｲﾙ :"_s);
        MessageCapture messages;
        Convert(QStringLiteral("none.htm"), "no links here\r\n");
        QCOMPARE(messages.Titles(), QStringList{u"データなし"_s});
        QCOMPARE(Label("lblItemCnt"), u"ﾃﾞｰﾀ総数 ：0"_s);
    }

    void cancelThroughTheProgressWindowKeepsEarlierEntries() {
        MessageCapture messages;
        Convert(QStringLiteral("first.htm"), Anchors({{"http://keep/1", "Keep"}}));
        QByteArray big;
        for (int i = 0; i < 500; ++i)
            big += "<a href=\"http://x/" + QByteArray::number(i) + "\">x</a>\r\n";
        // The click lands while the scan pumps events, as a user's click would.
        QTimer::singleShot(0, [] { QTest::mouseClick(frmInfo::Loaded()->cmdCancel(), Qt::LeftButton); });
        Convert(QStringLiteral("big.htm"), big);
        QCOMPARE(messages.Titles(), QStringList{u"処理の中断"_s});
        QCOMPARE(messages.Last().text, u"ｷｬﾝｾﾙされました。"_s);
        QCOMPARE(Column(list_, 0), QStringList{u"Keep"_s});
        QCOMPARE(gLinks.Size(), 1);
        QCOMPARE(gLinkCount, 1);
        QVERIFY(!gCancelRequested);
        QVERIFY(w_->isEnabled());
        QVERIFY(!frmInfo::Loaded()->isVisible());
    }

    void progressWindowStaysWhereItWasFirstPlaced() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}}));
        const QPoint first = frmInfo::Loaded()->pos();
        w_->move(w_->pos() + QPoint(120, 80));
        Convert(QStringLiteral("b.htm"), Anchors({{"http://a/2", "Two"}}));
        QCOMPARE(frmInfo::Loaded()->pos(), first);
    }

    void statusLineHiddenOnlyWhileAConversionRunsWithoutStatus() {
        gShowStatus = false;
        bool hiddenDuringScan = false;
        QTimer::singleShot(
            0, [&] { hiddenDuringScan = !frmInfo::Loaded()->lblStatus()->isVisibleTo(frmInfo::Loaded()); });
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}}));
        QVERIFY(hiddenDuringScan);
        QVERIFY(frmInfo::Loaded()->lblStatus()->isVisibleTo(frmInfo::Loaded()));
    }

    void itemClickLoadsTheEntryAndEnablesEditing() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        QVERIFY(!Child<QLineEdit>("txtName")->isEnabled());
        Click(2);
        QCOMPARE(Label("lblIdx"), u"1"_s);
        QCOMPARE(Child<QLineEdit>("txtName")->text(), u"Two"_s);
        QCOMPARE(Child<QLineEdit>("txtURL")->text(), u"http://a/2"_s);
        for (const char* name : {"txtName", "txtURL", "cmdUpDate", "cmdDelete"})
            QVERIFY2(Child<QWidget>(name)->isEnabled(), name);
    }

    void inPlaceRenameKeepsTypedTextInViewAndTrimmedTextInTable() {
        MessageCapture messages;
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        Click(1);
        QVERIFY(list_->Model()->setData(list_->Model()->index(0, 0), u"  New  "_s, Qt::EditRole));
        QCOMPARE(list_->Entry(1).text, u"  New  "_s);
        QCOMPARE(Child<QLineEdit>("txtName")->text(), u"  New  "_s);
        QCOMPARE(gLinks.At(0).name, std::u16string(u"New"));
        // Renaming another entry than the loaded one writes that entry's own record only.
        QVERIFY(list_->Model()->setData(list_->Model()->index(1, 0), u"Other"_s, Qt::EditRole));
        QCOMPARE(gLinks.At(1).name, std::u16string(u"Other"));
        QCOMPARE(Child<QLineEdit>("txtName")->text(), u"  New  "_s);
        // A blank name is refused: it would cut this record and all after it out of every output.
        QVERIFY(!list_->Model()->setData(list_->Model()->index(1, 0), u"   "_s, Qt::EditRole));
        QCOMPARE(messages.Titles(), QStringList{u"更新失敗"_s});
        QCOMPARE(list_->Entry(2).text, u"Other"_s);
        QCOMPARE(gLinks.At(1).name, std::u16string(u"Other"));
    }

    void headerClicksFlipTheDirectionWhicheverColumn() {
        Convert(QStringLiteral("a.htm"),
                Anchors({{"http://c", "beta"}, {"http://a", "Alpha"}, {"http://b", "gamma"}}));
        w_->ListView1_ColumnClick(1);
        QCOMPARE(Column(list_, 0), (QStringList{u"Alpha"_s, u"beta"_s, u"gamma"_s})); // case ignored
        w_->ListView1_ColumnClick(2); // flips to descending rather than starting ascending
        QCOMPARE(Column(list_, 1), (QStringList{u"http://c"_s, u"http://b"_s, u"http://a"_s}));
        w_->ListView1_ColumnClick(1);
        QCOMPARE(Column(list_, 0), (QStringList{u"Alpha"_s, u"beta"_s, u"gamma"_s}));
        w_->ListView1_ColumnClick(2);
        QCOMPARE(Column(list_, 1), (QStringList{u"http://c"_s, u"http://b"_s, u"http://a"_s}));
        // Later entries take their place in the order; the table keeps extraction order.
        Convert(QStringLiteral("b.htm"), Anchors({{"http://bb", "delta"}}));
        QCOMPARE(Column(list_, 1),
                 (QStringList{u"http://c"_s, u"http://bb"_s, u"http://b"_s, u"http://a"_s}));
        QCOMPARE(gLinks.At(3).url, std::u16string(u"http://bb"));
        QCOMPARE(gLinks.At(0).url, std::u16string(u"http://c"));
    }

    void deleteFlagsTheRecordAndNewRecordsGoBehindIt() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}, {"http://a/2", "Two"}}));
        w_->ListView1_ColumnClick(1); // sorted view: the clicked entry is still the one deleted
        Click(2);                     // "Two"
        w_->cmdDelete_Click();
        QCOMPARE(Column(list_, 0), QStringList{u"One"_s});
        QVERIFY(gLinks.At(1).deleted);
        QCOMPARE(Label("lblItemCnt"), u"ﾃﾞｰﾀ総数 ：1"_s);
        QVERIFY(Label("lblIdx").isEmpty());
        QVERIFY(!Child<QPushButton>("cmdDelete")->isEnabled());
        Convert(QStringLiteral("b.htm"), Anchors({{"http://b/1", "Three"}}));
        QCOMPARE(list_->Entry(list_->IndexOfTag(2)).text, u"Three"_s);
        QCOMPARE(gLinks.Size(), 3);
        QCOMPARE(gLinks.At(1).name, std::u16string(u"Two")); // never overwritten
    }

    void deleteWithoutSelectionDoesNothing() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}}));
        list_->clearSelection();
        w_->cmdDelete_Click();
        QCOMPARE(list_->Count(), 1);
        QCOMPARE(gLinkCount, 1);
    }

    void clearEmptiesEverythingButKeepsEditControlsAsTheyWere() {
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}}));
        Convert(QStringLiteral("b.htm"), Anchors({{"http://b/1", "Two"}}));
        Click(1);
        w_->comListClear_Click();
        QCOMPARE(list_->Count(), 0);
        QCOMPARE(gLinks.Size(), 0);
        QCOMPARE(gLinkCount, 0);
        QCOMPARE(Label("lblTgtFile"), u"ﾀｰｹﾞｯﾄﾌｧｲﾙ ："_s);
        QCOMPARE(Label("lblItemCnt"), u"ﾃﾞｰﾀ総数 ：0"_s);
        QVERIFY(Child<QLineEdit>("txtName")->text().isEmpty());
        QVERIFY(Child<QPushButton>("cmdUpDate")->isEnabled());
        MessageCapture messages;
        w_->cmdUpDate_Click(); // empty edit slot: nothing
        w_->cmdDelete_Click(); // empty view: nothing
        QCOMPARE(messages.Count(), 0);
        Convert(QStringLiteral("c.htm"), Anchors({{"http://c/1", "Three"}}));
        QCOMPARE(list_->Entry(1).tag, 0);
    }

    void updateTrimsAndWritesTheLoadedRecordEvenWhenAnotherEntryIsSelected() {
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
    }

    void updateRefusalsTestTheUrlFirstAndChangeNothing() {
        MessageCapture messages;
        Convert(QStringLiteral("a.htm"), Anchors({{"http://a/1", "One"}}));
        Click(1);
        Child<QLineEdit>("txtName")->setText(u"   "_s);
        Child<QLineEdit>("txtURL")->setText(u"  "_s);
        w_->cmdUpDate_Click();
        QCOMPARE(messages.Last().text, u"URLを正しく入力して下さい。"_s);
        Child<QLineEdit>("txtURL")->setText(u"http://x"_s);
        Child<QLineEdit>("txtName")->clear();
        QTest::keyClick(Child<QLineEdit>("txtURL"), Qt::Key_Return); // Enter runs the update
        QCOMPARE(messages.Last().text, u"名称を正しく入力して下さい。"_s);
        QCOMPARE(messages.Count(), 2);
        QCOMPARE(Child<QLineEdit>("txtURL")->text(), u"http://x"_s);
        QCOMPARE(Label("lblIdx"), u"0"_s);
        QCOMPARE(gLinks.At(0).url, std::u16string(u"http://a/1"));
    }
};

QTEST_MAIN(FrmMainListTest)
#include "tst_frmMainList.moc"
