#pragma once
// The open and save file dialogs. Tests queue the next answers; while answers are queued no
// dialog is shown and the request is recorded instead.

#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QWidget;

namespace orvane::platform {

struct FileDialogRequest {
    bool save = false;
    QString title;       // empty: the system's default title
    QString directory;   // start directory
    QString fileName;    // suggested path (save dialog)
    QStringList filters; // "description (*.a *.b)" entries, the first one selected
};

class FileDialog {
public:
    /// The chosen existing file's full path, or an empty string when cancelled.
    static QString GetOpenFileName(QWidget* parent, const QString& directory, const QStringList& filters);
    /// The chosen path, or nullopt when cancelled. The dialog asks before replacing an existing file.
    static std::optional<QString> GetSaveFileName(QWidget* parent, const QString& title,
                                                  const QString& directory, const QString& fileName,
                                                  const QStringList& filters);

    /// Gives the dialog the filter entries ("description (*.a;*.b)"), the first one selected. An
    /// entry with "*.*" shows every file, also those without an extension, as it does on Windows.
    static void SetFilters(QFileDialog& dialog, const QStringList& filters);

    // Test hook: each queued answer serves one dialog in order; an empty string answers "cancel".
    static void QueueAnswer(const QString& answer);
    static void ClearAnswers();
    /// Every request served from the queue since ClearAnswers().
    static const QList<FileDialogRequest>& Requests();
};

} // namespace orvane::platform
