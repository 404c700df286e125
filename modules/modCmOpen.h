#pragma once
// The open-file dialog of the program.

#include <QString>
#include <QStringList>

class QWidget;

namespace orvane::modCmOpen {

/// The two filter entries: HTML files first (and selected), then all files.
QStringList HtmlFilter();

/// Shows the open-file dialog in `initialDirectory` over `owner`; only existing files can be chosen.
/// Returns the chosen full path, or the empty string when the user cancelled.
QString OpenFileDialog(QWidget* owner, const QStringList& filter, const QString& initialDirectory);

} // namespace orvane::modCmOpen
