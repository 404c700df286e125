#pragma once
// The volumes ("drives") the save-destination window offers: the mounted volumes of real file
// systems, each named by its root path. A volume is ready when it is still mounted there and its
// root can be read. Tests replace the listing and declare volumes not ready.

#include <QString>
#include <QStringList>

namespace orvane::platform {

class Volumes {
public:
    /// Root paths of the mounted volumes of real file systems, sorted, without duplicates.
    static QStringList Roots();

    /// True when `root` is still a mounted volume whose root directory can be read.
    static bool IsReady(const QString& root);

    /// The root of the volume that holds `path` (an existing path or one below an existing
    /// directory); "/" when nothing better is known.
    static QString RootOf(const QString& path);

    // Test hook. While a listing is set, Roots() returns it and RootOf() picks the longest listed
    // root that contains the path; a listed root is ready when it is an existing directory. Roots
    // declared not ready are refused whether or not a listing is set.
    static void SetTestRoots(const QStringList& roots);
    static void SetTestNotReady(const QString& root, bool notReady = true);
    static void ClearTestHook();
};

} // namespace orvane::platform
