// Renders every window headlessly into PNG files for the README (run by scripts/screenshots):
//     orvane_screenshots <output directory>
// The program runs against a temporary program directory and a made-up Japanese news portal, with
// message boxes and dialogs answered by the test hooks, so nothing waits on a user.

#include "core/FileNameRules.h"
#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "forms/frmFileName.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "forms/frmOpenURL.h"
#include "forms/frmOption.h"
#include "forms/frmSave.h"
#include "forms/frmVersion.h"
#include "modules/modOrvane.h"
#include "platform/Desktop.h"
#include "platform/ListView.h"
#include "platform/SystemCodec.h"
#include "support/GuiTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cstdio>

#ifdef ORVANE_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

using namespace orvane;
using namespace Qt::StringLiterals;

namespace {

struct PortalLink {
    const char16_t* path;
    const char16_t* name; // empty: an image link without text
};

// The front page of a made-up news portal, as a Japanese site of its day would write it.
QString PortalPage() {
    static const PortalLink links[] = {
        {u"https://www.example.jp/news/", u"ニュース"},
        {u"https://weather.example.jp/", u"天気予報"},
        {u"https://sports.example.jp/", u"スポーツ"},
        {u"https://www.example.jp/business/", u"経済・マーケット"},
        {u"https://www.example.jp/entame/", u"エンタメ"},
        {u"https://www.example.jp/local/tokyo/", u"地域（東京）"},
        {u"https://traffic.example.jp/", u"交通・乗換案内"},
        {u"https://map.example.jp/", u"地図"},
        {u"https://www.example.jp/tv/", u"テレビ番組表"},
        {u"https://shopping.example.jp/", u"ショッピング"},
        {u"https://travel.example.jp/", u"旅行・ホテル予約"},
        {u"https://gourmet.example.jp/", u"グルメ"},
        {u"https://www.example.jp/uranai/", u"今日の占い"},
        {u"https://job.example.jp/", u"求人情報"},
        {u"https://ads.example.jp/banner?id=12", u""},
        {u"https://www.example.jp/help/", u"ヘルプ"},
        {u"https://www.example.jp/about/", u"会社概要"},
    };
    QString html = u"<html><head>\r\n"
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
                   "<title>みらいポータル</title></head>\r\n<body>\r\n<h1>みらいポータル</h1>\r\n<ul>\r\n"_s;
    for (const PortalLink& link : links) {
        const QString name = QString::fromUtf16(link.name);
        html += u"<li><a href=\""_s + QString::fromUtf16(link.path) + u"\">"_s +
                (name.isEmpty() ? u"<img src=\"/img/banner.gif\">"_s : u"<b>"_s + name + u"</b>"_s) +
                u"</a></li>\r\n"_s;
    }
    return html + u"</ul>\r\n</body></html>\r\n"_s;
}

QByteArray ShiftJis(const QString& text) {
    return QByteArray::fromStdString(platform::SystemCodec("Shift_JIS").EncodeSystem(text.toStdU16String()));
}

// Prints every caption of the window that its control cuts off, so no picture needs searching.
void ReportCutCaptions(QWidget* window) {
    const auto report = [window](QWidget* w, const QString& text) {
        std::printf("  cut off: %s/%s \"%s\"\n", qPrintable(window->objectName()),
                    qPrintable(w->objectName()), qPrintable(text));
    };
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* w : children) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (!label->text().isEmpty() && !CaptionFits(label))
                report(label, label->text());
        } else if (auto* push = qobject_cast<QPushButton*>(w)) {
            // Its size hint has a minimum width; the text and a small margin are what must fit.
            if (push->fontMetrics().horizontalAdvance(push->text()) + 8 > push->width())
                report(push, push->text());
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            if (!button->text().isEmpty() && button->sizeHint().width() > button->width())
                report(button, button->text());
        } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
            if (frame->minimumSizeHint().width() > frame->width())
                report(frame, frame->title());
        }
    }
}

class Shooter {
public:
    explicit Shooter(QString dir) : dir_(std::move(dir)) {}

    bool Save(const QString& name, const QPixmap& picture) {
        const QString path = dir_ + u'/' + name + u".png"_s;
        const bool ok = picture.save(path, "PNG");
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        ok_ = ok_ && ok;
        return ok;
    }
    bool Grab(QWidget* window, const QString& name) {
        window->show();
        Settle();
        ReportCutCaptions(window);
        return Save(name, window->grab());
    }
    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    void Remove(const QString& name) { QFile::remove(dir_ + u'/' + name + u".png"_s); }
    bool Ok() const { return ok_; }

private:
    QString dir_;
    bool ok_ = true;
};

// The window as its mask shows it: everything outside the ellipse transparent.
QPixmap Masked(QWidget* window) {
    const QPixmap full = window->grab();
    QPixmap shaped(full.size());
    shaped.fill(Qt::transparent);
    QPainter painter(&shaped);
    painter.setClipRegion(window->mask());
    painter.drawPixmap(0, 0, full);
    return shaped;
}

// True when the picture holds more than one colour in the given area: the page was drawn.
bool HasContent(const QImage& image, const QRect& area) {
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty())
        return false;
    const QRgb first = image.pixel(r.topLeft());
    for (int y = r.top(); y <= r.bottom(); y += 2)
        for (int x = r.left(); x <= r.right(); x += 2)
            if (image.pixel(x, y) != first)
                return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvane_screenshots <output directory>\n");
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(outDir);

    // The fonts and Qt's texts as the program sets them up.
    const QString face = platform::PrepareFonts();
    platform::LoadQtTranslations();
    if (!platform::kStandInFamilies.contains(face) && face != platform::kDesignFamily)
        std::fprintf(stderr, "warning: neither \"%s\" nor a stand-in is installed; drawn with \"%s\"\n",
                     qPrintable(platform::kDesignFamily), qPrintable(face));

    test::MessageCapture messages;
    test::ResetProcessState();
    // A program directory of a fixed name, so the paths the windows show are the same on every run.
    QDir programDir(QDir::temp().filePath(u"orvane-screenshots"_s));
    programDir.removeRecursively();
    programDir.mkpath(u"www.example.jp"_s);
    frmMain::SetProgramDirectoryForTests(programDir.path());
    Shooter shooter(outDir);

    frmMain main;
    main.Start();
    Shooter::Settle();

    const QString page = programDir.filePath(u"www.example.jp/index.htm"_s);
    {
        QFile file(page);
        if (!file.open(QIODevice::WriteOnly) || file.write(ShiftJis(PortalPage())) < 0)
            return 1;
    }
    // The progress window, caught while the conversion runs (the scan pumps events).
    QTimer::singleShot(0, [&] {
        if (frmInfo* info = frmInfo::Loaded())
            shooter.Save(u"frmInfo"_s, info->grab());
    });
    main.InputDroppedFiles({page});
    Shooter::Settle();

    // The main window with its list filled and one entry loaded into the edit boxes.
    auto* list = main.findChild<platform::ListView*>(u"ListView1"_s);
    list->Select(3);
    main.ListView1_ItemClick(3);
    shooter.Grab(&main, u"frmMain"_s);

    frmOpenURL& url = frmOpenURL::Load(&main);
    url.findChild<QLineEdit*>(u"txtOpenURL"_s)->setText(u"http://www.example.jp/"_s);
    shooter.Grab(&url, u"frmOpenURL"_s);
    url.hide();

    {
        frmOption options(&main);
        options.show();
        // Every help text must fit the help line; the picture shows the first.
        options.opt_GotFocus(frmOption::optLevel, 2); // the level frame's third choice
        ReportCutCaptions(&options);
        for (int a = frmOption::kArrayCount - 1; a >= 0; --a) {
            for (int i = 1; i >= 0; --i) {
                options.opt_GotFocus(static_cast<frmOption::OptionArray>(a), i);
                ReportCutCaptions(&options);
            }
        }
        shooter.Grab(&options, u"frmOption"_s);
    }

    frmSave& save = *frmSave::Loaded();
    for (const QString& folder : {u"ニュース"_s, u"天気予報"_s, u"スポーツ"_s})
        programDir.mkpath(u"リンク集/"_s + folder);
    save.SetPath(programDir.filePath(u"リンク集"_s));
    shooter.Grab(&save, u"frmSave"_s);
    save.hide();

    {
        const std::u16string name = u"ニュース/速報:東京"_s.toStdU16String();
        std::u16string converted;
        CheckFileName(name, converted);
        frmFileName& rename = frmFileName::Load(&main);
        rename.Prepare(QString::fromStdU16String(name), QString::fromStdU16String(converted));
        shooter.Grab(&rename, u"frmFileName"_s);
        frmFileName::Unload();
    }

    {
        frmVersion about(&main);
        about.show();
        Shooter::Settle();
        shooter.Save(u"frmVersion"_s, Masked(&about));
    }

#ifdef ORVANE_HAVE_WEBENGINE
    // The preview browser on the portal page, if the engine draws without a screen.
    test::OpenBrowser(&main, QUrl::fromLocalFile(page).toString());
    QWidget* browser = test::BrowserWindow();
    auto* view = browser ? browser->findChild<QWebEngineView*>() : nullptr;
    if (view) {
        bool loaded = false;
        QObject::connect(view, &QWebEngineView::loadFinished, [&] { loaded = true; });
        if (QTest::qWaitFor([&] { return loaded; }, 20000))
            QTest::qWait(1000); // the engine draws a moment after the load ends
        const QImage picture = browser->grab().toImage();
        const QRect pageArea = view->geometry();
        if (loaded && HasContent(picture, pageArea)) {
            shooter.Save(u"frmBrowser"_s, QPixmap::fromImage(picture));
        } else {
            shooter.Remove(u"frmBrowser"_s);
            std::printf("skipped frmBrowser: the web engine drew no page offscreen\n");
        }
        browser->close();
    }
#else
    std::printf("skipped frmBrowser: built without the web engine\n");
#endif

    main.hide();
    programDir.removeRecursively();
    return shooter.Ok() ? 0 : 1;
}
