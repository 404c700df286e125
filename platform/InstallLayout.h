#pragma once
// Where an installed program keeps its things. A program runs either from its own folder (the build
// tree, or a copy the user put somewhere), with the manual and the settings beside it, or from the
// bin directory of an installed prefix (/usr, /usr/local, a package), whose documents lie in the
// prefix's share/doc/orvane and which must never write beside itself.

#include <QString>

namespace orvane::platform::InstallLayout {

/// True when `programDir` is the bin directory of an installed prefix: the manual is at its
/// installed place relative to it, and not beside the program.
bool IsInstalled(const QString& programDir);

/// The folder holding the manual readme.htm (no trailing slash): the prefix's documentation
/// directory when installed, otherwise `programDir` itself.
QString ManualDirectory(const QString& programDir);

} // namespace orvane::platform::InstallLayout
