#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace orvane::platform {

namespace {
struct State {
    bool recording = false;
    QStringList recorded;
};
State& TheState() {
    static State state;
    return state;
}
} // namespace

void ShellOpen::Open(const QString& address) {
    if (TheState().recording) {
        TheState().recorded.append(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address));
}

void ShellOpen::SetRecording(bool on) {
    TheState().recording = on;
    TheState().recorded.clear();
}

const QStringList& ShellOpen::Recorded() {
    return TheState().recorded;
}

} // namespace orvane::platform
