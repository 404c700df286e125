#include "platform/InstallLayout.h"

#include <orvane/BuildInfo.h>

#include <QDir>
#include <QFileInfo>

namespace orvane::platform::InstallLayout {

namespace {

const QString kManual = QStringLiteral("readme.htm");

QString InstalledDocDir(const QString& programDir) {
    return QDir::cleanPath(programDir + u'/' + QString::fromLatin1(build::kDocDirFromBinDir));
}

} // namespace

bool IsInstalled(const QString& programDir) {
    // The manual beside the program wins: a folder that carries its own manual is run as a folder.
    return !QFileInfo(QDir(programDir).filePath(kManual)).isFile() &&
           QFileInfo(QDir(InstalledDocDir(programDir)).filePath(kManual)).isFile();
}

QString ManualDirectory(const QString& programDir) {
    return IsInstalled(programDir) ? InstalledDocDir(programDir) : QDir::cleanPath(programDir);
}

} // namespace orvane::platform::InstallLayout
