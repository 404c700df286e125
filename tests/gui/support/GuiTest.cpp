#include "support/GuiTest.h"

#include "core/Globals.h"
#include "forms/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/ListView.h"
#include "platform/ShellOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orvane::test {

MessageCapture::MessageCapture() {
    platform::MessageBox::SetTestHook([this](const platform::ShownMessage& m) { messages_.append(m); });
}

MessageCapture::~MessageCapture() {
    platform::MessageBox::SetTestHook({});
}

QStringList MessageCapture::Titles() const {
    QStringList titles;
    for (const auto& m : messages_)
        titles.append(m.title);
    return titles;
}

TempDir::TempDir() {
    dir_.setAutoRemove(true);
}

QString TempDir::Path() const {
    return QDir(dir_.path()).absolutePath() + QLatin1Char('/');
}

QString TempDir::Write(const QString& name, const QByteArray& bytes) const {
    const QString path = File(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Column(const platform::ListView* view, int column) {
    QStringList out;
    for (int i = 1; i <= view->Count(); ++i)
        out.append(column == 0 ? view->Entry(i).text : view->Entry(i).url);
    return out;
}

void ResetProcessState() {
    ResetGlobals();
    platform::FileDialog::ClearAnswers();
    platform::ShellOpen::SetRecording(true);
}

std::unique_ptr<frmMain> StartMainWindow(const TempDir& dir) {
    ResetProcessState();
    frmMain::SetProgramDirectoryForTests(dir.Path());
    auto w = std::make_unique<frmMain>();
    w->Start();
    return w;
}

} // namespace orvane::test
