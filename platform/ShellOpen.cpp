#include "platform/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

namespace orvane::platform {

namespace {
struct State {
    bool recording = false;
    bool recordedResult = true;
    QStringList recorded;
};
State& TheState() {
    static State state;
    return state;
}
} // namespace

bool ShellOpen::Open(const QString& address) {
    if (TheState().recording) {
        TheState().recorded.append(address);
        return TheState().recordedResult;
    }
    return QDesktopServices::openUrl(QUrl(address));
}

void ShellOpen::SetRecording(bool on) {
    TheState().recording = on;
    TheState().recordedResult = true;
    TheState().recorded.clear();
}

void ShellOpen::SetRecordedResult(bool opened) {
    TheState().recordedResult = opened;
}

const QStringList& ShellOpen::Recorded() {
    return TheState().recorded;
}

} // namespace orvane::platform
