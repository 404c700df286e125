// The About window's two links.

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
    void eachLinkClickOpensTheHomePageOnce() {
        ShellOpen::SetRecording(true);
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
