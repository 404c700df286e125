#pragma once
// The system's "open" action for a document or web address. Tests record requests instead.

#include <QString>
#include <QStringList>

namespace orvane::platform {

class ShellOpen {
public:
    /// Asks the desktop to open `address`; the result is not reported.
    static void Open(const QString& address);

    /// While recording, Open() only appends to Recorded().
    static void SetRecording(bool on);
    static const QStringList& Recorded();
};

} // namespace orvane::platform
