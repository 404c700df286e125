// What the windows look like and speak on a desktop, headless: the list's hover text, the open
// dialog's all-files entry, the target label's elision, Qt's own texts in Japanese, the design face
// and its half-width kana.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "modules/modCmOpen.h"
#include "platform/Desktop.h"
#include "platform/ElidedLabel.h"
#include "platform/FileDialog.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QPainter>
#include <QPushButton>
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
        test::TempDir dir;
        dir.Write(u"page.htm"_s, "<a href=x>x</a>");
        dir.Write(u"README"_s, "x");
        dir.Write(u"notes.txt"_s, "x");
        QFileDialog dialog(nullptr, QString(), dir.Path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        platform::FileDialog::SetFilters(dialog, modCmOpen::HtmlFilter());
        auto* model = dialog.findChild<QFileSystemModel*>();
        auto* types = dialog.findChild<QComboBox*>(u"fileTypeCombo"_s);
        QVERIFY(model && types);
        const auto shown = [&] {
            QStringList names;
            const QModelIndex root = model->index(dir.Path());
            for (int i = 0; i < model->rowCount(root); ++i)
                if (!model->isDir(model->index(i, 0, root)))
                    names << model->index(i, 0, root).data().toString();
            names.sort();
            return names;
        };
        dialog.show();
        QTRY_COMPARE(shown(), QStringList{u"page.htm"_s});
        // Chosen as a person does, in the dialog's own list of types.
        QCOMPARE(types->itemText(1), u"全てのファイル (*.*)"_s);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        QCOMPARE(types->currentIndex(), 1);
        QTRY_COMPARE(shown(), (QStringList{u"README"_s, u"notes.txt"_s, u"page.htm"_s}));
        dialog.reject();
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

    void qtsOwnTextsAreJapanese() {
        QVERIFY(platform::LoadQtTranslations());
        QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Open);
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text(),
                 QCoreApplication::translate("QPlatformTheme", "&Yes"));
        QVERIFY2(buttons.button(QDialogButtonBox::Yes)->text() != u"&Yes"_s,
                 qPrintable(buttons.button(QDialogButtonBox::Yes)->text()));
        QVERIFY(QCoreApplication::translate("QFileDialog", "Look in:") != u"Look in:"_s);
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
        // Drawn through the style, a caption with joined marks takes the room of its kana alone.
        const auto drawnWidth = [](const QString& text) {
            QImage image(200, 30, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(QFont(platform::kDesignFamily, 9));
            QApplication::style()->drawItemText(&painter, image.rect(), Qt::AlignLeft | Qt::AlignVCenter,
                                                QApplication::palette(), true, text, QPalette::WindowText);
            painter.end();
            int right = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != qRgb(255, 255, 255))
                        right = std::max(right, x);
            return right;
        };
        QVERIFY(std::abs(drawnWidth(u"ｵﾌﾟｼｮﾝ"_s) - drawnWidth(u"ｵﾌｼｮﾝ"_s)) <= 1);
    }
};

QTEST_MAIN(DesktopLookTest)
#include "tst_desktopLook.moc"
