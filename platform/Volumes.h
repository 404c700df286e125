#pragma once
// The volumes ("drives") the save-destination window offers: the mounted volumes of real file
// systems, each named by its root path, and always the root of the file system ("/"), which is
// the volume of last resort even where it is no mount point of its own (a chroot, a sandbox). A
// volume is ready when it is still mounted there and its root can be read; "/" is ready whenever
// it can be read. Tests replace the listing or the mount table and declare volumes not ready.

#include <QByteArray>
#include <QList>
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

    /// `path` made absolute, without ".", ".." or doubled and trailing separators.
    static QString CleanPath(const QString& path);

    // Test hook. While a listing is set, Roots() returns it and RootOf() picks the longest listed
    // root that contains the path; a listed root is ready when it is an existing directory. Roots
    // declared not ready are refused whether or not a listing is set.
    static void SetTestRoots(const QStringList& roots);
    static void SetTestNotReady(const QString& root, bool notReady = true);
    /// Replaces the system's mount table (root path and file-system type of each mount) while the
    /// rules above still apply to it; a listed mount is mounted when its root is a directory.
    struct Mount {
        QString root;
        QByteArray type;
    };
    static void SetTestMountTable(const QList<Mount>& mounts);
    static void ClearTestHook();
};

} // namespace orvane::platform
