// The list's browse action opens the preview browser on the selected entry. With the web engine the
// browser is a library the program loads on first use; this goes through that loading path.

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "forms/frmMain.h"
#include "platform/ListView.h"
#include "support/GuiTest.h"
#include "support/LocalHttpServer.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

using namespace orvane;
using namespace Qt::StringLiterals;

class FrmMainBrowseTest : public QObject {
    Q_OBJECT

    test::TempDir dir_;
    test::LocalHttpServer server_;
    std::unique_ptr<frmMain> w_;

    int OpenBrowsers() const {
        int n = 0;
        for (const QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == u"frmBrowser"_s && w->isVisible();
        return n;
    }

private Q_SLOTS:
    void init() { w_ = test::StartMainWindow(dir_); }
    void cleanup() {
        if (frmBrowser* browser = frmBrowser::Instance())
            delete browser;
        w_.reset();
    }

    void browseOpensOneBrowserOnTheSelectedEntry() {
        server_.Serve("/page", "<html><head><title>Page</title></head><body>x</body></html>");
        const QString url = server_.Url(u"/page"_s);
        const QString file = dir_.Write(u"list.htm"_s, "<a href=\"" + url.toUtf8() + "\">Page</a>\r\n");
        w_->findChild<QLabel*>(u"lblTgtFile"_s)->setText(file);
        w_->ConvertHtmlFile(file);
        auto* list = w_->findChild<platform::ListView*>(u"ListView1"_s);
        QCOMPARE(list->Count(), 1);

        list->Select(1);
        gDblClickAction = 1;
        w_->ListView1_DblClick();
        QVERIFY(frmBrowser::Instance());
        QCOMPARE(OpenBrowsers(), 1);
        QCOMPARE(frmBrowser::Instance()->findChild<QComboBox*>(u"cboAddress"_s)->currentText(), url);

        // Browsing again brings the open window forward instead of opening a second one.
        w_->ListView1_DblClick();
        QCOMPARE(OpenBrowsers(), 1);
    }
};

QTEST_MAIN(FrmMainBrowseTest)
#include "tst_frmMainBrowse.moc"
