// What the windows look like on a desktop, headless: the list's hover text, the open dialog's
// all-files entry, the target label's elision, the design face and its half-width kana, Qt's own
// texts in Japanese, and message boxes that show their text as written.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "modules/modCmOpen.h"
#include "platform/Desktop.h"
#include "platform/ElidedLabel.h"
#include "platform/FileDialog.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {
const QString kListHelp = u"ここに取り込んだHTMLファイルから抽出したURL情報が表示されます。"_s;
} // namespace

class DesktopLookTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    test::MessageCapture messages_;

private Q_SLOTS:
    void listShowsItsHelpTextExceptOverACutOffCell() {
        auto w = test::StartMainWindow(dir_);
        auto* list = w->findChild<platform::ListView*>(u"ListView1"_s);
        const QString longUrl = u"https://www.example.jp/"_s + QString(300, u'x');
        w->AddLinkRecord(u"https://a.example.jp/", u"短い名前", 0);
        w->AddLinkRecord(longUrl.toStdU16String(), u"長いURL", 1);
        w->ShowNewLinks(2);
        const auto cell = [list](int row, int column) {
            return list->visualRect(list->model()->index(row, column)).center();
        };
        // The last point is below the last entry.
        QCOMPARE((QStringList{list->HoverTextAt(cell(0, 0)), list->HoverTextAt(cell(0, 1)),
                              list->HoverTextAt(cell(1, 1)),
                              list->HoverTextAt(QPoint(5, list->viewport()->height() - 2))}),
                 (QStringList{kListHelp, kListHelp, longUrl, kListHelp}));

        // The hover event itself shows that text.
        QHelpEvent hover(QEvent::ToolTip, cell(0, 0), list->viewport()->mapToGlobal(cell(0, 0)));
        QApplication::sendEvent(list->viewport(), &hover);
        QTRY_COMPARE(QToolTip::text(), kListHelp);
        QToolTip::hideText();
    }

    void allFilesEntryShowsFilesWithoutAnExtension() {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        platform::FileDialog::SetFilters(dialog, modCmOpen::HtmlFilter());
        auto* model = dialog.findChild<QFileSystemModel*>();
        auto* types = dialog.findChild<QComboBox*>(u"fileTypeCombo"_s);
        QVERIFY(model && types);
        dialog.show();
        QVERIFY(!model->nameFilters().contains(u"*"_s));
        // Chosen as a person does, in the dialog's own list of types: "*.*" would hide "README".
        QCOMPARE(types->itemText(1), u"全てのファイル (*.*)"_s);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(model->nameFilters(), QStringList{u"*"_s});
        dialog.reject();
    }

    void cancelledOpenDialogChoosesNothing() {
        const test::ExpectModal mine(u"QFileDialog"_s);
        const QString page = dir_.Write(u"page.htm"_s, "x");
        QTimer::singleShot(0, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                dialog->selectFile(page); // chosen, then cancelled
                dialog->reject();
            }
        });
        QCOMPARE(platform::FileDialog::GetOpenFileName(nullptr, dir_.Path(), modCmOpen::HtmlFilter()),
                 QString());
    }

    void targetLabelKeepsTheFileNameOfALongPathClearOfTheCount() {
        auto w = test::StartMainWindow(dir_);
        auto* target = w->findChild<platform::ElidedLabel*>(u"lblTgtFile"_s);
        auto* count = w->findChild<QLabel*>(u"lblItemCnt"_s);
        const QString path = u"/home/利用者/ドキュメント/"_s + QString(40, u'長') + u"/ﾃﾞｰﾀ/リンク集.htm"_s;
        target->setText(path);
        QCOMPARE(target->text(), path); // what the program reads back stays whole
        const QString shown = target->DisplayedText();
        QVERIFY2(shown.contains(u'…') && shown.endsWith(u"リンク集.htm"_s) && shown.startsWith(u"/home/"_s),
                 qPrintable(shown));
        // The drawn text ends before the count label begins.
        const int textRight = target->x() + target->fontMetrics().horizontalAdvance(shown);
        QVERIFY2(textRight <= count->x(), qPrintable(u"%1 > %2"_s.arg(textRight).arg(count->x())));
        // A wider window shows more of the path; a short one shows it whole.
        w->resize(w->width() + 200, w->height());
        QVERIFY(target->DisplayedText().size() > shown.size());
        target->setText(u"/tmp/a.htm"_s);
        QCOMPARE(target->DisplayedText(), u"/tmp/a.htm"_s);
    }

    void designFaceIsDrawnByTheStandInWithJoinedVoicedMarks() {
        const QString face = platform::PrepareFonts();
        QVERIFY2(platform::kStandInFamilies.contains(face) || face == platform::kDesignFamily,
                 qPrintable(face));
        QCOMPARE(QApplication::font().family(), platform::kDesignFamily);
        QCOMPARE(QApplication::font().pointSize(), 9);
        // The stand-in is made to the design face's widths: a kanji one em, a half-width kana or
        // mark half of it.
        const QFontMetricsF metrics(QFont(platform::kDesignFamily, 9));
        QCOMPARE(metrics.horizontalAdvance(u"ﾃﾞｰﾀ"_s), metrics.horizontalAdvance(u"総数"_s));

        QCOMPARE(platform::JoinVoicedMarks(u"ｵﾌﾟｼｮﾝ ﾃﾞｰﾀ ﾞ ｶﾞ"_s), u"ｵﾌ\u309Aｼｮﾝ ﾃ\u3099ｰﾀ ﾞ ｶ\u3099"_s);
        QCOMPARE(platform::JoinVoicedMarks(u"ガ゛"_s), u"ガ゛"_s); // full-width text stays as it is
        // Qt's own buttons and dialogs speak Japanese too.
        QVERIFY(platform::LoadQtTranslations());
        QVERIFY(QCoreApplication::translate("QPlatformTheme", "&Yes") != u"&Yes"_s);
    }

    // Last: it needs a real box, so the capture is off from here on.
    void messageBoxShowsMarkupAsWrittenAndKeepsLineBreaks() {
        platform::MessageBox::SetTestHook({});
        const test::ExpectModal mine(u"QMessageBox"_s);
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (const auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_s)) {
                shown = label->text();
                format = label->textFormat();
            }
            box->accept();
        });
        platform::MessageBox::Show(nullptr, u"/tmp/<b>x</b>.url\r\nhttp://h/?a=<i>&amp;"_s, u"作成失敗"_s,
                                   MessageIcon::Critical);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, u"/tmp/<b>x</b>.url\nhttp://h/?a=<i>&amp;"_s);
    }
};

QTEST_MAIN(DesktopLookTest)
#include "tst_desktopLook.moc"
