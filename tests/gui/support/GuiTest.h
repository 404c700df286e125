#pragma once
// Shared pieces of the window tests: captured message boxes, a temporary program directory,
// small file helpers and the guard against modal windows. No test ever waits on a modal window.

#include "platform/MessageBox.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace orvane {
class frmMain;
}
namespace orvane::platform {
class ListView;
}

namespace orvane::test {

/// Captures every message box while alive.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();

    int Count() const { return static_cast<int>(messages_.size()); }
    const platform::ShownMessage& Last() const { return messages_.last(); }
    QStringList Titles() const;
    /// Each message as "title|icon|text", the icon by its name.
    QStringList Lines() const;
    void Clear() { messages_.clear(); }

private:
    QList<platform::ShownMessage> messages_;
};

/// A temporary directory that stands in for the program directory.
class TempDir {
public:
    TempDir();
    QString Path() const; // with a trailing separator
    QString File(const QString& name) const { return Path() + name; }
    QString Write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path);

/// Each entry of the list view in view order as "tag|name|url".
QStringList Rows(const platform::ListView* view);
/// Every record of the link table in table order as "name|url", "|deleted" added to a deleted one.
QStringList Table();

/// Globals back to their state before start-up, hooks off, the modal guard on. Once on, the guard
/// fails the running test at once on every modal window no hook answered (a message box while no
/// MessageCapture lives, a file dialog with no queued answer, any other dialog shown modally),
/// quoting its text, and closes it so the test goes on instead of waiting for a person.
void ResetProcessState();

/// While alive, modal windows with this object name or class name (with or without its
/// namespace) are the test's own to answer.
class ExpectModal {
public:
    explicit ExpectModal(const QString& name);
    ~ExpectModal();

private:
    QString name_;
};

/// Opens the preview browser on `address` as the program does: through its library, loaded on first
/// use. The window is then reached by its object name (BrowserWindow), never by its class.
bool OpenBrowser(QWidget* mainWindow, const QString& address);
/// The preview browser's window, or null when none is open.
QWidget* BrowserWindow();

/// A fresh process state and a main window started with `dir` as its program directory.
std::unique_ptr<frmMain> StartMainWindow(const QString& programDir);
std::unique_ptr<frmMain> StartMainWindow(const TempDir& dir);

} // namespace orvane::test
