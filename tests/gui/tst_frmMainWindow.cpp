// The main window's editing keys and drops.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "support/GuiTest.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;
using orvane::test::MessageCapture;

class FrmMainWindowTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    std::unique_ptr<frmMain> w_;

    template <typename T> T* Child(const QString& name) const { return w_->findChild<T*>(name); }

private Q_SLOTS:
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() { w_.reset(); }

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

    void dropsOfAHundredAndOfAHundredAndOne() {
        QStringList paths;
        for (int i = 0; i < 101; ++i)
            paths.append(
                dir_.Write(u"d/%1.htm"_s.arg(i), "<a href=\"http://h/" + QByteArray::number(i) + "\">n</a>"));
        MessageCapture messages;
        w_->InputDroppedFiles(paths);
        QCOMPARE(messages.Titles(), QStringList{u"ﾌｧｲﾙ入力失敗"_s});
        QCOMPARE(messages.Last().text, u"一度に処理できるﾌｧｲﾙ数は、最大100件です。"_s);
        QCOMPARE(gLinkCount(), 0);
        paths.removeLast();
        messages.Clear();
        w_->InputDroppedFiles(paths);
        QCOMPARE(messages.Count(), 0);
        QCOMPARE(gLinkCount(), 100);
        QCOMPARE(Child<QLabel>(u"lblTgtFile"_s)->text(), paths.last());
    }

    void droppedFolderIsReportedAndTheFileBesideItConverted() {
        const QString page = dir_.Write(u"x.htm"_s, "<a href=\"http://x\">X</a>");
        QDir(dir_.Path()).mkdir(u"folder"_s);
        MessageCapture messages;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dir_.Path() + u"folder"_s), QUrl::fromLocalFile(page)});
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QApplication::sendEvent(w_.get(), &drop);
        QCOMPARE(messages.Titles(), QStringList{u"ﾌｧｲﾙｵｰﾌﾟﾝ失敗"_s});
        QCOMPARE(gLinkCount(), 1);
    }
};

QTEST_MAIN(FrmMainWindowTest)
#include "tst_frmMainWindow.moc"
