// The About window: its elliptic shape, its texts, the drag and the two links.

#include "forms/frmVersion.h"
#include "platform/ShellOpen.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using orvane::frmVersion;
using orvane::platform::ShellOpen;

class tst_frmVersion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void ellipseBoundsFromTwips();
    void windowIsCutToTheEllipse();
    void onlyALeftPressOnTheSurfaceStartsAMove();
    void eachLinkClickOpensTheHomePageOnce();
    void okAndEscapeEndTheModalWindow();

private:
    QWidget m_main;
    int m_moves = 0;
};

void tst_frmVersion::init() {
    m_moves = 0;
    frmVersion::SetMoveHook([this](frmVersion&) { ++m_moves; });
    ShellOpen::SetRecording(true);
}

void tst_frmVersion::cleanup() {
    frmVersion::SetMoveHook({});
    ShellOpen::SetRecording(false);
}

void tst_frmVersion::ellipseBoundsFromTwips() {
    QCOMPARE(frmVersion::EllipseBounds(5000, 3000), QRect(0, 0, 333, 200));
    // Whole pixels only: the remainder is cut off, never rounded up.
    QCOMPARE(frmVersion::EllipseBounds(5009, 2999), QRect(0, 0, 333, 199));
    QCOMPARE(frmVersion::EllipseBounds(14, 15), QRect(0, 0, 0, 1));
}

void tst_frmVersion::windowIsCutToTheEllipse() {
    frmVersion w(&m_main);
    // 4920 x 2715 twips.
    QCOMPARE(w.size(), QSize(328, 181));
    const QRegion shape = w.mask();
    QCOMPARE(shape.boundingRect(), QRect(0, 0, 328, 181));
    for (const QPoint inside : {QPoint(164, 90), QPoint(2, 90), QPoint(164, 1)})
        QVERIFY(shape.contains(inside));
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(327, 0), QPoint(0, 180), QPoint(327, 180), QPoint(20, 15)})
        QVERIFY2(!shape.contains(corner),
                 qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
}

void tst_frmVersion::onlyALeftPressOnTheSurfaceStartsAMove() {
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
    w.hide();
}

void tst_frmVersion::eachLinkClickOpensTheHomePageOnce() {
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
    w.hide();
}

void tst_frmVersion::okAndEscapeEndTheModalWindow() {
    m_main.show();
    for (const bool byEscape : {false, true}) {
        bool seen = false;
        int forced = 0;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* w = m_main.findChild<frmVersion*>();
            if (!w || !w->isVisible())
                return;
            if (seen) {
                // Still open long after the click: end it so the failure is reported, not hung.
                if (++forced > 500)
                    w->done(QDialog::Rejected);
                return;
            }
            seen = true;
            QVERIFY(QApplication::activeModalWidget() == w);
            if (byEscape)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        poll.start();
        // Returns only when the window has left its modal loop.
        frmVersion::Show(&m_main);
        poll.stop();
        QVERIFY(seen);
        QCOMPARE(forced, 0);
        QVERIFY(m_main.isEnabled());
        // Each opening builds the window afresh; nothing of it stays behind.
        QTRY_VERIFY(m_main.findChild<frmVersion*>() == nullptr);
    }
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tst_frmVersion test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frmVersion.moc"
