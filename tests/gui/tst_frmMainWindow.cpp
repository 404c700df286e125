// The main window's layout, menus, hover help, the open dialog, drops and the manual.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/ListView.h"
#include "platform/ShellOpen.h"
#include "support/GuiTest.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

class FrmMainWindowTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    std::unique_ptr<frmMain> w_;

    template <typename T> T* Child(const QString& name) const { return w_->findChild<T*>(name); }
    QRect Geo(const QString& name) const { return Child<QWidget>(name)->geometry(); }

private Q_SLOTS:
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() { w_.reset(); }

    void layoutFollowsTheClientArea() {
        // Offscreen windows have no frame, so the outer size is the window's own size.
        const int menu = w_->menuBar()->height();
        w_->resize(600, 400 + menu);
        QTRY_COMPARE(w_->centralWidget()->size(), QSize(600, 400));
        QCOMPARE(Geo(u"lblTgtFile"_s), QRect(8, 0, 500, 17));
        QCOMPARE(Geo(u"lblItemCnt"_s), QRect(500, 0, 97, 17));
        QCOMPARE(Geo(u"ListView1"_s), QRect(8, 24, 590, 260));
        QCOMPARE(Geo(u"fraUpDate"_s), QRect(8, 288, 590, 73));
        QCOMPARE(Geo(u"comListClear"_s), QRect(275, 368, 65, 25));
        QCOMPARE(Geo(u"cmdMakeList"_s), QRect(350, 368, 97, 25));
        QCOMPARE(Geo(u"cmdOutLink"_s), QRect(455, 368, 137, 25));
        // Inside the frame the layout speaks twips of the outer width, frame included.
        const int outer = w_->frameGeometry().width();
        QCOMPARE(Geo(u"txtName"_s), QRect(8, 16, outer - 80, 25));
        QCOMPARE(Geo(u"txtURL"_s), QRect(8, 40, outer - 80, 25));
        QCOMPARE(Geo(u"cmdUpDate"_s), QRect((outer * 15 - 1100) / 15, 16, 49, 25));
        QCOMPARE(Geo(u"cmdDelete"_s), QRect((outer * 15 - 1100) / 15, 40, 49, 25));
    }

    void columnsShareTheListWidthAtStartUp() {
        auto* list = Child<platform::ListView>(u"ListView1"_s);
        QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), u"名称"_s);
        QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), u"URL"_s);
        QVERIFY(list->width() > 300);
        QCOMPARE(list->columnWidth(0), list->width() / 2);
        QCOMPARE(list->columnWidth(1), list->width() / 2);
    }

    void windowSnapsBackToItsMinimumSize() {
        w_->resize(200, 100);
        // The outer size in twips reaches the minimum, by the smallest whole pixel.
        QTRY_VERIFY(w_->frameGeometry().width() * 15 >= 5000);
        QVERIFY(w_->frameGeometry().height() * 15 >= 3700);
        QVERIFY((w_->frameGeometry().width() - 1) * 15 < 5000);
    }

    void menuTreeWithCaptionsAndShortcuts() {
        const QList<QAction*> menus = w_->menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), u"ﾌｧｲﾙ (&F)"_s);
        QCOMPARE(menus[1]->text(), u"ｵﾌﾟｼｮﾝ (&O)"_s);
        QCOMPARE(menus[2]->text(), u"ﾍﾙﾌﾟ (&H)"_s);
        struct Expect {
            QString name, caption, keys;
        };
        const Expect items[] = {
            {u"mOpen"_s, u"ﾛｰｶﾙから開く (&F)"_s, u"Ctrl+F"_s},
            {u"mWWWOpen"_s, u"ｲﾝﾀｰﾈｯﾄから開く (&I)"_s, u"Ctrl+I"_s},
            {u"mEnd"_s, u"終了 (&X)"_s, u"Ctrl+X"_s},
            {u"mIppan"_s, u"動作設定 (&S)"_s, u"Ctrl+S"_s},
            {u"mManual"_s, u"ﾏﾆｭｱﾙ"_s, u"Ctrl+M"_s},
            {u"mVersion"_s, u"ﾊﾞｰｼﾞｮﾝ情報 (&V)"_s, u"Ctrl+V"_s},
        };
        for (const Expect& e : items) {
            const QAction* a = w_->findChild<QAction*>(e.name);
            QVERIFY2(a, qPrintable(e.name));
            QCOMPARE(a->text(), e.caption);
            QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), e.keys);
        }
        QVERIFY(w_->findChild<QAction*>(u"mKubun"_s)->isSeparator());
        QCOMPARE(menus[0]->menu()->actions().size(), 4);
    }

    void editingKeysInATextBoxDoNotReachTheMenu() {
        // Ctrl+X in a focused edit box cuts text; it must not end the program.
        auto* name = Child<QLineEdit>(u"txtName"_s);
        name->setEnabled(true);
        w_->activateWindow();
        name->setFocus();
        name->setText(u"abc"_s);
        name->selectAll();
        QTest::keyClick(name, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(w_->isVisible());
        QCOMPARE(name->text(), QString());
    }

    void hoverTexts() {
        QCOMPARE(
            Child<QWidget>(u"lblTgtFile"_s)->toolTip(),
            u"取り込んだHTMLファイル名を表示します。　インターネットから取り込んだ場合は、URLが表示されます。"_s);
        QCOMPARE(Child<QWidget>(u"txtURL"_s)->toolTip(),
                 u"選択したアイテムのURLが表示されます。　編集も可能です。"_s);
        QCOMPARE(Child<QWidget>(u"cmdOutLink"_s)->toolTip(),
                 u"リスト内の全てのアイテムを、インターネットショートカットとして出力します。"_s);
        QVERIFY(Child<QWidget>(u"fraUpDate"_s)->toolTip().isEmpty());
    }

    void openDialogStartsWhereTheLastFileWas() {
        const QString sub = dir_.Write(u"pages/p.htm"_s, "<a href=\"http://x\">X</a>");
        MessageCapture messages;
        platform::FileDialog::QueueAnswer(sub);
        w_->mOpen_Click();
        QCOMPARE(platform::FileDialog::Requests().at(0).directory, dir_.Path());
        QCOMPARE(platform::FileDialog::Requests().at(0).filters,
                 (QStringList{u"HTML ファイル (*.htm;*.html)"_s, u"全てのファイル (*.*)"_s}));
        QCOMPARE(Child<QLabel>(u"lblTgtFile"_s)->text(), sub);
        QCOMPARE(gLinkCount, 1);
        platform::FileDialog::QueueAnswer(QString()); // cancelled
        w_->mOpen_Click();
        QCOMPARE(platform::FileDialog::Requests().at(1).directory, dir_.Path() + u"pages/"_s);
        QVERIFY(Child<QLabel>(u"lblTgtFile"_s)->text().isEmpty());
        platform::FileDialog::QueueAnswer(QString());
        w_->mOpen_Click();
        QCOMPARE(platform::FileDialog::Requests().at(2).directory, dir_.Path() + u"pages/"_s);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(gLinkCount, 1);
    }

    void dropsOfAHundredAndOfAHundredAndOne() {
        QStringList paths;
        for (int i = 0; i < 101; ++i)
            paths.append(
                dir_.Write(u"d/%1.htm"_s.arg(i), "<a href=\"http://h/" + QByteArray::number(i) + "\">n</a>"));
        MessageCapture messages;
        w_->InputDroppedFiles(paths);
        QCOMPARE(messages.Titles(), QStringList{u"ﾌｧｲﾙ入力失敗"_s});
        QCOMPARE(messages.Last().text, u"一度に処理できるﾌｧｲﾙ数は、最大100件です。"_s);
        QCOMPARE(gLinkCount, 0);
        paths.removeLast();
        messages.Clear();
        w_->InputDroppedFiles(paths);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(gLinkCount, 100);
        QCOMPARE(Child<QLabel>(u"lblTgtFile"_s)->text(), paths.last());
    }

    void dropOnAControlConvertsAndAFolderIsReportedThenSkipped() {
        const QString page = dir_.Write(u"x.htm"_s, "<a href=\"http://x\">X</a>");
        QDir(dir_.Path()).mkdir(u"folder"_s);
        MessageCapture messages;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dir_.Path() + u"folder"_s), QUrl::fromLocalFile(page)});
        QWidget* target = Child<QWidget>(u"cmdDelete"_s);
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(w_.get(), &drop);
        Q_UNUSED(target);
        QCOMPARE(messages.Titles(), QStringList{u"ﾌｧｲﾙｵｰﾌﾟﾝ失敗"_s});
        QCOMPARE(gLinkCount, 1);
    }

    void manualAddressIsTheProgramDirectory() {
        platform::ShellOpen::SetRecording(true);
        w_->mManual_Click();
        QString dir = dir_.Path();
        dir.chop(1);
        QCOMPARE(platform::ShellOpen::Recorded(), QStringList{u"file://"_s + dir + u"/readme.htm"_s});
    }
};

QTEST_MAIN(FrmMainWindowTest)
#include "tst_frmMainWindow.moc"
