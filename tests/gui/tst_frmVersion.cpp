// The About window: its elliptic shape, the drag and the two links.

#include "forms/frmVersion.h"
#include "platform/ShellOpen.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using orvane::frmVersion;
using orvane::platform::ShellOpen;

class tst_frmVersion : public QObject {
    Q_OBJECT

    QWidget m_main;
    int m_moves = 0;

private Q_SLOTS:
    void init() {
        m_moves = 0;
        frmVersion::SetMoveHook([this](frmVersion&) { ++m_moves; });
        ShellOpen::SetRecording(true);
    }
    void cleanup() {
        frmVersion::SetMoveHook({});
        ShellOpen::SetRecording(false);
    }

    void windowIsCutToTheEllipse() {
        QCOMPARE(frmVersion::EllipseBounds(5000, 3000), QRect(0, 0, 333, 200));
        // Whole pixels only: the remainder is cut off, never rounded up.
        QCOMPARE(frmVersion::EllipseBounds(5009, 2999), QRect(0, 0, 333, 199));
        QCOMPARE(frmVersion::EllipseBounds(14, 15), QRect(0, 0, 0, 1));

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

    void onlyALeftPressOnTheSurfaceStartsAMove() {
        frmVersion w(&m_main);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QPoint bare(20, 170); // below Label3, left of the button
        QTest::mouseClick(&w, Qt::RightButton, {}, bare);
        QTest::mouseClick(&w, Qt::MiddleButton, {}, bare);
        QCOMPARE(m_moves, 0);
        QTest::mouseClick(&w, Qt::LeftButton, {}, bare);
        QCOMPARE(m_moves, 1);

        // The rule under the band is part of the surface; labels and the button are not.
        QTest::mouseClick(w.findChild<QFrame*>(QStringLiteral("Line1")), Qt::LeftButton);
        QCOMPARE(m_moves, 2);
        for (const char* name : {"Label5", "Label6", "Image1", "Label2"})
            QTest::mouseClick(w.findChild<QLabel*>(QString::fromLatin1(name)), Qt::LeftButton);
        QCOMPARE(m_moves, 2);
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

        // A right click or a plain label opens nothing; a press that leaves the link opens nothing.
        QTest::mouseClick(handle, Qt::RightButton);
        QTest::mouseClick(w.findChild<QLabel*>(QStringLiteral("Label6")), Qt::LeftButton);
        QTest::mousePress(address, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(address, Qt::LeftButton, {}, QPoint(5, 60));
        QCOMPARE(ShellOpen::Recorded().size(), 3);
        QCOMPARE(m_moves, 0);
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tst_frmVersion test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmVersion.moc"
