#include "platform/FileDialog.h"

#include "platform/MessageBox.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QQueue>
#include <QRegularExpression>

namespace orvane::platform {

namespace {
struct Hook {
    QQueue<QString> answers;
    QList<FileDialogRequest> requests;
    bool active = false;
};
Hook& TheHook() {
    static Hook hook;
    return hook;
}

std::optional<QString> Answer(const FileDialogRequest& request) {
    Hook& hook = TheHook();
    if (!hook.active)
        return std::nullopt;
    hook.requests.append(request);
    const QString answer = hook.answers.isEmpty() ? QString() : hook.answers.dequeue();
    return answer;
}
// Filter entries are written as "description (*.a;*.b)"; the dialog reads patterns separated by
// spaces, so the semicolons inside the parentheses become spaces for it.
QStringList ForQt(const QStringList& filters) {
    QStringList out;
    for (QString f : filters) {
        const qsizetype open = f.lastIndexOf(QLatin1Char('('));
        if (open >= 0)
            f = f.left(open) + f.mid(open).replace(QLatin1Char(';'), QLatin1Char(' '));
        out.append(f);
    }
    return out;
}

// The patterns of one filter entry: the text between its last parentheses, split at spaces and
// semicolons.
QStringList Patterns(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {};
    return filter.mid(open + 1, close - open - 1)
        .split(QRegularExpression(QStringLiteral("[ ;]")), Qt::SkipEmptyParts);
}

} // namespace

void FileDialog::SetFilters(QFileDialog& dialog, const QStringList& filters) {
    const QStringList qtFilters = ForQt(filters);
    dialog.setNameFilters(qtFilters);
    if (!qtFilters.isEmpty())
        dialog.selectNameFilter(qtFilters.first());
    // On Windows "*.*" matches every name; here it would hide the files without an extension. The
    // entry keeps its text, and once the dialog has applied it, its file list takes "*" instead.
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return; // a native dialog applies the patterns itself
    QObject::connect(&dialog, &QFileDialog::filterSelected, model, [model](const QString& filter) {
        QStringList patterns = Patterns(filter);
        if (!patterns.contains(QStringLiteral("*.*")))
            return;
        patterns.replaceInStrings(QRegularExpression(QStringLiteral("^\\*\\.\\*$")), QStringLiteral("*"));
        model->setNameFilters(patterns);
    });
}

QString FileDialog::GetOpenFileName(QWidget* parent, const QString& directory, const QStringList& filters) {
    FileDialogRequest request{false, QString(), directory, QString(), filters};
    if (auto answer = Answer(request))
        return *answer;
    QFileDialog dialog(UsableOwner(parent), QString(), directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SetFilters(dialog, filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

std::optional<QString> FileDialog::GetSaveFileName(QWidget* parent, const QString& title,
                                                   const QString& directory, const QString& fileName,
                                                   const QStringList& filters) {
    FileDialogRequest request{true, title, directory, fileName, filters};
    if (auto answer = Answer(request)) {
        if (answer->isEmpty())
            return std::nullopt;
        return answer;
    }
    QFileDialog dialog(UsableOwner(parent), title, directory);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    SetFilters(dialog, filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!fileName.isEmpty())
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

void FileDialog::QueueAnswer(const QString& answer) {
    TheHook().active = true;
    TheHook().answers.enqueue(answer);
}

void FileDialog::ClearAnswers() {
    TheHook() = Hook{};
}

const QList<FileDialogRequest>& FileDialog::Requests() {
    return TheHook().requests;
}

} // namespace orvane::platform
