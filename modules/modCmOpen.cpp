#include "modules/modCmOpen.h"

#include "platform/FileDialog.h"

namespace orvane::modCmOpen {

QStringList HtmlFilter() {
    return {QStringLiteral("HTML ファイル (*.htm;*.html)"), QStringLiteral("全てのファイル (*.*)")};
}

QString OpenFileDialog(QWidget* owner, const QStringList& filter, const QString& initialDirectory) {
    return platform::FileDialog::GetOpenFileName(owner, initialDirectory, filter);
}

} // namespace orvane::modCmOpen
