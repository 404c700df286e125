// The window benchmarks' main(): a QApplication on the offscreen platform unless another is asked
// for, a temporary program directory and a message-box hook, so no window ever waits for a click.

#include "GuiBench.h"

#include "BenchPages.h"

#include "core/Globals.h"
#include "platform/MessageBox.h"
#include "platform/ShellOpen.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <utility>

namespace orvane::bench {

namespace {

QTemporaryDir*& TempDir() {
    static QTemporaryDir* dir = nullptr;
    return dir;
}

int& MessageCount() {
    static int count = 0;
    return count;
}

QString& MessageTitle() {
    static QString title;
    return title;
}

} // namespace

QString ProgramDirectory() {
    return QDir(TempDir()->path()).absolutePath() + QLatin1Char('/');
}

QString WriteInputFile(const QString& name, std::string_view bytes) {
    QString path = ProgramDirectory() + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        qFatal("cannot write the input file %s", qPrintable(path));
    return path;
}

std::unique_ptr<frmMain> StartMainWindow() {
    ResetGlobals();
    frmMain::SetProgramDirectoryForTests(ProgramDirectory());
    auto window = std::make_unique<frmMain>();
    window->Start();
    Settle();
    return window;
}

void Settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void FillLinkTable(int count) {
    const int first = gLinks.Size();
    for (int i = 0; i < count; ++i) {
        const auto n = static_cast<std::size_t>(first) + static_cast<std::size_t>(i);
        gLinks.Add(ListEntryUrl(n), ListEntryName(n), static_cast<std::int16_t>(i));
    }
}

int TakeMessageCount() {
    return std::exchange(MessageCount(), 0);
}

QString LastMessageTitle() {
    return MessageTitle();
}

} // namespace orvane::bench

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary directory");
    orvane::bench::TempDir() = &dir;
    orvane::platform::MessageBox::SetTestHook([](const orvane::platform::ShownMessage& message) {
        ++orvane::bench::MessageCount();
        orvane::bench::MessageTitle() = message.title;
    });
    // Nothing is opened outside the process, whatever a benchmark touches.
    orvane::platform::ShellOpen::SetRecording(true);

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    orvane::platform::MessageBox::SetTestHook({});
    orvane::bench::TempDir() = nullptr;
    return 0;
}
