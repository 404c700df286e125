#include "platform/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <optional>

namespace orvane::platform {

namespace {

struct Hook {
    std::optional<QStringList> roots;
    QSet<QString> notReady;
};
Hook& TheHook() {
    static Hook hook;
    return hook;
}

// Kernel and virtual file systems: nothing the user would save files on.
bool IsPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo{"proc",      "sysfs",       "cgroup",     "cgroup2",    "devpts",
                                         "devtmpfs",  "mqueue",      "securityfs", "debugfs",    "tracefs",
                                         "pstore",    "bpf",         "configfs",   "fusectl",    "hugetlbfs",
                                         "autofs",    "binfmt_misc", "efivarfs",   "rpc_pipefs", "nsfs",
                                         "selinuxfs", "ramfs",       "rootfs",     "nfsd"};
    return pseudo.contains(type);
}

bool UnderSystemTree(const QString& root) {
    for (const QString& prefix : {QStringLiteral("/proc"), QStringLiteral("/sys"), QStringLiteral("/dev")}) {
        if (root == prefix || root.startsWith(prefix + u'/'))
            return true;
    }
    return false;
}

QString Clean(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

bool Contains(const QString& root, const QString& path) {
    if (root == QStringLiteral("/"))
        return path.startsWith(u'/');
    return path == root || path.startsWith(root + u'/');
}

} // namespace

QStringList Volumes::Roots() {
    if (TheHook().roots)
        return *TheHook().roots;
    QStringList roots;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || root.isEmpty() || IsPseudoFileSystem(volume.fileSystemType()))
            continue;
        // tmpfs is real storage (/tmp) except where the system keeps its own trees.
        if (UnderSystemTree(root))
            continue;
        // Single files bound into place are mount points too, but nothing can be saved "on" them.
        if (!QFileInfo(root).isDir())
            continue;
        roots.append(root);
    }
    roots.sort();
    roots.removeDuplicates();
    return roots;
}

bool Volumes::IsReady(const QString& root) {
    const Hook& hook = TheHook();
    if (hook.notReady.contains(root))
        return false;
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable())
        return false;
    if (hook.roots)
        return true;
    // A volume taken away leaves its mount point behind as a plain directory of the parent volume.
    const QStorageInfo storage(root);
    return storage.isValid() && storage.isReady() && storage.rootPath() == Clean(root);
}

QString Volumes::RootOf(const QString& path) {
    const QString full = Clean(path);
    if (const auto& roots = TheHook().roots) {
        QString best;
        for (const QString& root : *roots) {
            if (Contains(root, full) && root.size() > best.size())
                best = root;
        }
        return best.isEmpty() ? QStringLiteral("/") : best;
    }
    // QStorageInfo needs an existing path: climb to the nearest existing directory.
    QString existing = full;
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/"))
        existing = QFileInfo(existing).path();
    const QStorageInfo storage(existing);
    if (storage.isValid() && !storage.rootPath().isEmpty())
        return storage.rootPath();
    return QStringLiteral("/");
}

void Volumes::SetTestRoots(const QStringList& roots) {
    QStringList cleaned;
    for (const QString& root : roots)
        cleaned.append(Clean(root));
    TheHook().roots = cleaned;
}

void Volumes::SetTestNotReady(const QString& root, bool notReady) {
    if (notReady)
        TheHook().notReady.insert(root);
    else
        TheHook().notReady.remove(root);
}

void Volumes::ClearTestHook() {
    TheHook() = Hook{};
}

} // namespace orvane::platform
