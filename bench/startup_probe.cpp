// Start-up and memory of the real main window, as one process: the time from before the application
// object exists to the end of the main window's first painted frame, then the resident memory once
// the event loop has settled, and again with the list full (32,767 entries).
//
//   startup_probe [--paint-only | --open-browser] [program directory]
//
// The program directory holds Orvane.ini (a temporary one without the argument). With --paint-only
// the process ends right after the first frame (for timing the whole process from outside). With
// --open-browser the preview browser is then opened on a local page, through the main window as a
// double-click does, and the memory measured once more: the web engine is loaded only then. When
// the environment gives ORVANE_PROBE_LAUNCH_NS (the wall clock in nanoseconds just before the
// process was started, as `date +%s%N` prints it), the time from the launch is reported as well.
// Prints one line of JSON. With ORVANE_PROBE_MAPPINGS set, the idle memory's largest parts go to
// stderr.

#include "BenchPages.h"

#include "core/Globals.h"
#include "forms/frmBrowser.h"
#include "forms/frmMain.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSettleMs = 500;

double Ms(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

long long WallNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A field of /proc/self/status in kB, such as "VmRSS".
long long StatusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The resident memory of each mapped file (anonymous memory as "[anon]"), largest first, to stderr:
// where the idle figure comes from.
void PrintMappings() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return;
    QHash<QByteArray, long long> rss;
    QByteArray current;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.isEmpty() || fields[0].isEmpty())
            continue;
        if (fields[0].contains('-') && !fields[0].endsWith(':')) {
            current = fields.size() > 5 ? fields[5] : QByteArray("[anon]");
        } else if (fields[0] == "Rss:" && fields.size() > 1) {
            rss[current] += fields[1].toLongLong();
        }
    }
    QList<QPair<long long, QByteArray>> sorted;
    for (auto it = rss.cbegin(); it != rss.cend(); ++it)
        sorted.append({it.value(), it.key()});
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (qsizetype i = 0; i < sorted.size() && i < 25; ++i)
        std::fprintf(stderr, "%8lld kB  %s\n", sorted[i].first, sorted[i].second.constData());
}

// Notes the first paint of any widget of the main window; the frame is complete once control is
// back in the event loop, after the whole window has been painted and flushed.
class FirstFrame final : public QObject {
public:
    FirstFrame(QWidget* window, std::function<void()> done) : window_(window), done_(std::move(done)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_) {
            seen_ = true;
            QTimer::singleShot(0, this, [this] { done_(); });
        }
        return false;
    }

private:
    QWidget* window_;
    std::function<void()> done_;
    bool seen_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    const long long mainWallNs = WallNs();
    const Clock::time_point mainEntry = Clock::now();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool openBrowser = false;
    bool paintOnly = false;
    std::optional<QString> programDir;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--open-browser") == 0)
            openBrowser = true;
        else if (std::strcmp(argv[i], "--paint-only") == 0)
            paintOnly = true;
        else
            programDir = QString::fromLocal8Bit(argv[i]);
    }

    const Clock::time_point start = Clock::now();
    orvane::frmBrowser::PrepareApplication();
    QApplication app(argc, argv);
    const Clock::time_point appReady = Clock::now();

    QTemporaryDir tempDir;
    const QString dir = programDir ? *programDir : tempDir.path();
    QDir().mkpath(dir);
    orvane::frmMain::SetProgramDirectoryForTests(dir);
    // No box may wait for a click here; the probe reports what would have been shown.
    int messages = 0;
    orvane::platform::MessageBox::SetTestHook(
        [&messages](const orvane::platform::ShownMessage&) { ++messages; });

    orvane::frmMain window;
    Clock::time_point painted{};
    long long rssIdle = -1;
    long long rssFull = -1;
    long long rssBrowser = -1;
    bool browserShown = false;
    double fillMs = 0;

    const auto browse = [&] {
        const QString page = dir + QStringLiteral("/probe_page.htm");
        QFile file(page);
        if (file.open(QIODevice::WriteOnly))
            file.write(
                "<html><head><title>Probe</title></head><body><a href=\"http://x/\">x</a></body></html>");
        file.close();
        orvane::gBrowseAddress = QUrl::fromLocalFile(page).toString().toStdU16String();
        window.OpenBrowser();
        // The engine starts its helper processes and loads the page in the background.
        QTimer::singleShot(4 * kSettleMs, &app, [&] {
            for (const QWidget* w : QApplication::topLevelWidgets())
                browserShown =
                    browserShown || (w->objectName() == QStringLiteral("frmBrowser") && w->isVisible());
            rssBrowser = StatusKb("VmRSS");
            QCoreApplication::quit();
        });
    };

    FirstFrame watch(&window, [&] {
        painted = Clock::now();
        if (paintOnly) {
            QCoreApplication::quit();
            return;
        }
        QTimer::singleShot(kSettleMs, &app, [&] {
            rssIdle = StatusKb("VmRSS");
            if (!qEnvironmentVariableIsEmpty("ORVANE_PROBE_MAPPINGS"))
                PrintMappings();
            const Clock::time_point fillStart = Clock::now();
            for (int i = 0; i < orvane::LinkTable::kMaxRecords; ++i) {
                const auto n = static_cast<std::size_t>(i);
                orvane::gLinks.Add(orvane::bench::ListEntryUrl(n), orvane::bench::ListEntryName(n),
                                   static_cast<std::int16_t>(i));
            }
            window.ShowNewLinks(orvane::gLinks.Size());
            QCoreApplication::processEvents();
            fillMs = Ms(fillStart, Clock::now());
            QTimer::singleShot(kSettleMs, &app, [&] {
                rssFull = StatusKb("VmRSS");
                if (openBrowser)
                    browse();
                else
                    QCoreApplication::quit();
            });
        });
    });
    app.installEventFilter(&watch);
    window.Start();
    const int rc = QApplication::exec();
    app.removeEventFilter(&watch);

    std::string launch = "null";
    if (const QByteArray env = qgetenv("ORVANE_PROBE_LAUNCH_NS"); !env.isEmpty()) {
        const double launchToMain = static_cast<double>(mainWallNs - env.toLongLong()) / 1e6;
        launch = std::to_string(launchToMain + Ms(mainEntry, painted));
    }
    std::string browser = "null";
    if (openBrowser)
        browser = "{\"shown\": " + std::string(browserShown ? "true" : "false") +
                  ", \"rss_kb\": " + std::to_string(rssBrowser) + "}";
    std::printf("{\"start_to_paint_ms\": %.2f, \"application_ms\": %.2f, \"launch_to_paint_ms\": %s, "
                "\"rss_idle_kb\": %lld, \"rss_full_kb\": %lld, \"entries\": %d, \"fill_ms\": %.2f, "
                "\"hwm_kb\": %lld, \"messages\": %d, \"browser\": %s}\n",
                Ms(start, painted), Ms(start, appReady), launch.c_str(), rssIdle, rssFull,
                orvane::gLinks.Size(), fillMs, StatusKb("VmHWM"), messages, browser.c_str());
    return rc;
}
