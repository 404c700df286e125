#include "core/LinkTable.h"

#include <gtest/gtest.h>

#include <vector>

using orvane::LinkTable;

namespace {
std::vector<int> LivePositions(const LinkTable& t) {
    std::vector<int> out;
    t.ForEachLive([&](int pos, const orvane::LinkRecord&) { out.push_back(pos); });
    return out;
}
} // namespace

TEST(LinkTable, EndMarkFollowsTheRecordsAndPositionsAreNeverReused) {
    LinkTable t;
    EXPECT_EQ(t.Size(), 0);
    EXPECT_TRUE(t.At(0).name.empty()); // the end mark alone
    EXPECT_EQ(t.Add(u"u0", u"n0", 0), 0);
    EXPECT_EQ(t.Add(u"u1", u"n1", 1), 1);
    t.At(0).deleted = true;
    EXPECT_EQ(t.Add(u"u2", u"n2", 0), 2); // a deleted record keeps its place
    EXPECT_TRUE(t.At(3).name.empty());
    EXPECT_EQ(LivePositions(t), (std::vector<int>{1, 2}));
}
