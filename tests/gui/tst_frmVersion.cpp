// The About window: its designed texts and its caption strip (its links: tst_openFailures).

#include "forms/frmVersion.h"

#include <QLabel>
#include <QTest>

using orvane::frmVersion;

class tst_frmVersion : public QObject {
    Q_OBJECT

    QWidget m_main;

private Q_SLOTS:
    // The version comes from the build's one version number; the window shows it as designed.
    void showsTheDesignedVersionAndDate() {
        frmVersion w(&m_main);
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Orvane Ver 1.40"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Maked 2003/07/08"));
    }

    void captionStripRunsAcrossTheTopOfTheEllipse() {
        frmVersion w(&m_main);
        auto* strip = w.findChild<QLabel*>(QStringLiteral("caption"));
        QVERIFY(strip);
        QCOMPARE(strip->text(), QStringLiteral("           　              バージョン情報"));
        QCOMPARE(strip->geometry(), QRect(0, 0, w.width(), strip->height()));
        // The client area lies below the strip, at its designed size, and the ellipse bounds both.
        auto* band = w.findChild<QLabel*>(QStringLiteral("Label5"));
        QCOMPARE(band->y(), strip->height());
        QCOMPARE(w.height() - strip->height(), 2715 / 15);
        const QRect ellipse = w.mask().boundingRect();
        QVERIFY(ellipse.top() <= 1 && ellipse.bottom() == w.height() - 1 && ellipse.width() == w.width());
        // The title text is inside the ellipse, where it can be read.
        const int textLeft =
            strip->fontMetrics().horizontalAdvance(QStringLiteral("           　              "));
        QVERIFY(w.mask().contains(QPoint(textLeft, strip->height() - 2)));
    }
};

QTEST_MAIN(tst_frmVersion)

#include "tst_frmVersion.moc"
