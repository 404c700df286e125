// The volumes offered for saving: the root of the file system is always one of them, also where
// it is no mount point of its own, as in a chroot or a sandbox.

#include "platform/Volumes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using orvane::platform::Volumes;

TEST(VolumesTest, RootCountsAsAReadyVolumeWhenNoMountListsIt) {
    const QTemporaryDir dir;
    const QString mounted = QDir::cleanPath(dir.path());
    // A chroot's table: the system trees and one real mount, none of them at "/".
    Volumes::SetTestMountTable({{QStringLiteral("/proc"), "proc"},
                                {QStringLiteral("/dev"), "devtmpfs"},
                                {mounted, "ext4"},
                                {QStringLiteral("/nowhere/gone"), "ext4"}});
    EXPECT_EQ(Volumes::Roots(), (QStringList{QStringLiteral("/"), mounted}));
    EXPECT_TRUE(Volumes::IsReady(QStringLiteral("/")));
    EXPECT_TRUE(Volumes::IsReady(mounted));
    EXPECT_EQ(Volumes::RootOf(QStringLiteral("/usr/share")), QStringLiteral("/"));
    EXPECT_EQ(Volumes::RootOf(mounted + QStringLiteral("/a/b")), mounted);
    // A mount point whose volume went away is a plain directory again, and not ready.
    EXPECT_FALSE(Volumes::IsReady(QStringLiteral("/usr")));
    // An empty table still offers the root, and a table that lists it offers it once.
    Volumes::SetTestMountTable({});
    EXPECT_EQ(Volumes::Roots(), QStringList{QStringLiteral("/")});
    Volumes::SetTestMountTable({{QStringLiteral("/"), "overlay"}});
    EXPECT_EQ(Volumes::Roots(), QStringList{QStringLiteral("/")});
    Volumes::ClearTestHook();
}
