// The list's browse action opens the preview browser on the selected entry. With the web engine the
// browser is a library the program loads on first use; this goes through that loading path.

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"
#include "support/WebServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;

class FrmMainBrowseTest : public QObject {
    Q_OBJECT

    static int OpenBrowsers() {
        int n = 0;
        for (const QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == u"frmBrowser"_s && w->isVisible();
        return n;
    }

private Q_SLOTS:
    void browseOpensOneBrowserOnTheSelectedEntry() {
        test::TempDir dir;
        test::WebServer server;
        const std::unique_ptr<frmMain> w = test::StartMainWindow(dir);
        server.Serve("/page", "<html><head><title>Page</title></head><body>x</body></html>");
        const QString url = server.Url(u"/page"_s);
        const QString file = dir.Write(u"list.htm"_s, "<a href=\"" + url.toUtf8() + "\">Page</a>\r\n");
        w->findChild<QLabel*>(u"lblTgtFile"_s)->setText(file);
        w->ConvertHtmlFile(file);
        auto* list = w->findChild<platform::ListView*>(u"ListView1"_s);
        QCOMPARE(list->Count(), 1);

        list->Select(1);
        gDblClickAction = 1;
        w->ListView1_DblClick();
        QVERIFY(test::BrowserWindow());
        QCOMPARE(OpenBrowsers(), 1);
        QCOMPARE(test::BrowserWindow()->findChild<QComboBox*>(u"cboAddress"_s)->currentText(), url);

        // Browsing again brings the open window forward instead of opening a second one.
        w->ListView1_DblClick();
        QCOMPARE(OpenBrowsers(), 1);
        delete test::BrowserWindow(); // before the main window it belongs to
    }
};

QTEST_MAIN(FrmMainBrowseTest)
#include "tst_frmMainBrowse.moc"
