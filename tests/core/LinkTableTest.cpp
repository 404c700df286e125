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

TEST(LinkTable, ReadersStopAtTheFirstEmptyName) {
    LinkTable t;
    t.Add(u"u0", u"n0", 0);
    t.Add(u"u1", u"n1", 1);
    t.Add(u"u2", u"n2", 2);
    t.At(1).name.clear();
    EXPECT_EQ(LivePositions(t), (std::vector<int>{0}));
}

TEST(LinkTable, TruncateDropsOnlyTheRecordsAfterTheMark) {
    LinkTable t;
    t.Add(u"u0", u"n0", 0);
    const int mark = t.Size();
    t.Add(u"u1", u"n1", 0);
    t.Add(u"u2", u"n2", 1);
    t.TruncateTo(mark);
    EXPECT_EQ(t.Size(), 1);
    EXPECT_TRUE(t.At(1).name.empty());
    EXPECT_EQ(t.Add(u"u3", u"n3", 0), 1);
    t.Clear();
    EXPECT_EQ(t.Size(), 0);
    EXPECT_EQ(t.Add(u"u4", u"n4", 0), 0);
}

TEST(LinkTable, FullAtTheReadersRange) {
    LinkTable t;
    for (int i = 0; i < LinkTable::kMaxRecords; ++i)
        t.Add(u"u", u"n", 0);
    EXPECT_TRUE(t.Full());
    int live = 0;
    t.ForEachLive([&](int, const orvane::LinkRecord&) { ++live; });
    EXPECT_EQ(live, LinkTable::kMaxRecords);
}
