// The About window: its elliptic shape and the two links.

#include "forms/frmVersion.h"
#include "platform/ShellOpen.h"

#include <QLabel>
#include <QTest>

using orvane::frmVersion;
using orvane::platform::ShellOpen;

class tst_frmVersion : public QObject {
    Q_OBJECT

    QWidget m_main;

private Q_SLOTS:
    void init() { ShellOpen::SetRecording(true); }
    void cleanup() { ShellOpen::SetRecording(false); }

    void windowIsCutToTheEllipse() {
        // Whole pixels only: the remainder is cut off, never rounded up.
        QCOMPARE(frmVersion::EllipseBounds(5009, 2999), QRect(0, 0, 333, 199));

        frmVersion w(&m_main); // 4920 x 2715 twips
        const QRegion shape = w.mask();
        QCOMPARE(shape.boundingRect(), QRect(QPoint(0, 0), w.size()));
        QCOMPARE(w.size(), QSize(328, 181));
        for (const QPoint inside : {QPoint(164, 90), QPoint(2, 90), QPoint(164, 1)})
            QVERIFY(shape.contains(inside));
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(327, 0), QPoint(0, 180), QPoint(327, 180), QPoint(20, 15)})
            QVERIFY(!shape.contains(corner));
    }

    void eachLinkClickOpensTheHomePageOnce() {
        frmVersion w(&m_main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* handle = w.findChild<QLabel*>(QStringLiteral("Label2"));
        auto* address = w.findChild<QLabel*>(QStringLiteral("lblUrlDovra"));
        QTest::mouseClick(handle, Qt::LeftButton);
        QCOMPARE(ShellOpen::Recorded(), QStringList{frmVersion::HomePage()});
        QTest::mouseClick(address, Qt::LeftButton);
        QTest::mouseClick(address, Qt::LeftButton);
        QCOMPARE(ShellOpen::Recorded(), QStringList(3, frmVersion::HomePage()));
    }
};

QTEST_MAIN(tst_frmVersion)

#include "tst_frmVersion.moc"
