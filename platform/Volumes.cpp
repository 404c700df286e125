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
    std::optional<QList<Volumes::Mount>> mounts;
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

bool Contains(const QString& root, const QString& path) {
    if (root == QStringLiteral("/"))
        return path.startsWith(u'/');
    return path == root || path.startsWith(root + u'/');
}

const QString kFileSystemRoot = QStringLiteral("/");

// The mount table: the system's, or the one a test set.
QList<Volumes::Mount> MountTable() {
    if (const auto& mounts = TheHook().mounts)
        return *mounts;
    QList<Volumes::Mount> table;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes)
        if (volume.isValid())
            table.append({volume.rootPath(), volume.fileSystemType()});
    return table;
}

bool ReadableDirectory(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && info.isReadable();
}

} // namespace

QStringList Volumes::Roots() {
    if (TheHook().roots)
        return *TheHook().roots;
    QStringList roots{kFileSystemRoot};
    const QList<Mount> table = MountTable();
    for (const Mount& mount : table) {
        const QString& root = mount.root;
        if (root.isEmpty() || IsPseudoFileSystem(mount.type))
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
    if (!ReadableDirectory(root))
        return false;
    // The root cannot be taken away, mounted or not.
    if (hook.roots || Volumes::CleanPath(root) == kFileSystemRoot)
        return true;
    // A volume taken away leaves its mount point behind as a plain directory of the parent volume.
    if (hook.mounts) {
        const QString cleaned = Volumes::CleanPath(root);
        for (const Mount& mount : *hook.mounts)
            if (Volumes::CleanPath(mount.root) == cleaned)
                return true;
        return false;
    }
    const QStorageInfo storage(root);
    return storage.isValid() && storage.isReady() && storage.rootPath() == Volumes::CleanPath(root);
}

QString Volumes::CleanPath(const QString& path) {
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString Volumes::RootOf(const QString& path) {
    const QString full = Volumes::CleanPath(path);
    const Hook& hook = TheHook();
    if (hook.roots || hook.mounts) {
        QStringList roots;
        if (hook.roots) {
            roots = *hook.roots;
        } else {
            for (const Mount& mount : *hook.mounts)
                roots.append(Volumes::CleanPath(mount.root));
        }
        QString best;
        for (const QString& root : roots) {
            if (Contains(root, full) && root.size() > best.size())
                best = root;
        }
        return best.isEmpty() ? kFileSystemRoot : best;
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
        cleaned.append(Volumes::CleanPath(root));
    TheHook().roots = cleaned;
}

void Volumes::SetTestNotReady(const QString& root, bool notReady) {
    if (notReady)
        TheHook().notReady.insert(root);
    else
        TheHook().notReady.remove(root);
}

void Volumes::SetTestMountTable(const QList<Mount>& mounts) {
    TheHook().mounts = mounts;
}

void Volumes::ClearTestHook() {
    TheHook() = Hook{};
}

} // namespace orvane::platform
