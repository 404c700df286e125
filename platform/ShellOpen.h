#pragma once
// The system's "open" action for a document or web address. Tests record requests instead, and
// choose what a recorded request answers.

#include <QString>
#include <QStringList>

namespace orvane::platform {

class ShellOpen {
public:
    /// Asks the desktop to open `address`. False when no application could be asked to open it;
    /// whether the application then managed to is not known.
    static bool Open(const QString& address);

    /// While recording, Open() only appends to Recorded() and answers true, or what
    /// SetRecordedResult() chose. Switching recording on or off resets both.
    static void SetRecording(bool on);
    static void SetRecordedResult(bool opened);
    static const QStringList& Recorded();
};

} // namespace orvane::platform
