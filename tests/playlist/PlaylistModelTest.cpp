#include "ShuffleOrder.h"
#include "ZuPlaylistModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

using namespace tunola;

namespace {

// Entries captioned "1" … "n", with lengths 1 … n.
void FillNumbered(TZuPlaylistModel& model, int n) {
    model.Items().BeginUpdate();
    for (int i = 1; i <= n; ++i) {
        TZuPlaylistItem& item = model.Items().Add();
        item.SetCaption(std::to_string(i));
        item.SetLongTime(i);
    }
    model.Items().EndUpdate();
}

std::string Captions(const TZuPlaylistModel& model) {
    std::string out;
    for (int i = 0; i < model.Items().Count(); ++i)
        out += (i ? "," : "") + model.Items().GetItem(i)->Caption();
    return out;
}

void Select(TZuPlaylistModel& model, std::initializer_list<int> rows) {
    for (int row : rows)
        model.Items().GetItem(row)->SetSelected(true);
}

TEST(PlaylistItems, AddInsertGetDelete) {
    TZuPlaylistModel model;
    FillNumbered(model, 3);
    model.Items().Insert(0).SetCaption("a");
    model.Items().Insert(2).SetCaption("b");
    model.Items().Insert(99).SetCaption("z"); // past the end appends
    TZuPlaylistItem filled;
    filled.SetCaption("f");
    model.Items().Add(filled);
    EXPECT_EQ(Captions(model), "a,1,b,2,3,z,f");
    EXPECT_EQ(model.Items().GetItem(-1), nullptr);
    EXPECT_EQ(model.Items().GetItem(7), nullptr);

    EXPECT_TRUE(model.Items().Delete(0));
    EXPECT_FALSE(model.Items().Delete(6));
    EXPECT_FALSE(model.Items().Delete(-1));
    EXPECT_EQ(Captions(model), "1,b,2,3,z,f");

    // Serials name entries uniquely and survive moves.
    std::set<uint64_t> serials;
    for (int i = 0; i < model.Items().Count(); ++i)
        serials.insert(model.Items().GetItem(i)->Serial());
    EXPECT_EQ(serials.size(), 6u);
    EXPECT_EQ(serials.count(0), 0u);
}

TEST(PlaylistItems, AssignCopiesAllFieldsAndStrLengthIsCut) {
    TZuPlaylistItem a;
    a.SetCaption("c");
    a.SetFileName("f");
    a.SetTitle("t");
    a.SetArtist("r");
    a.SetISURL(true);
    a.SetLongTime(0.25);
    a.SetStrLength("04:05");
    a.SetSelected(true);
    a.SetCurrentMark(true);
    TZuPlaylistModel model;
    TZuPlaylistItem& b = model.Items().Add();
    const uint64_t serial = b.Serial();
    b.Assign(a);
    EXPECT_EQ(b.Caption(), "c");
    EXPECT_EQ(b.FileName(), "f");
    EXPECT_EQ(b.Title(), "t");
    EXPECT_EQ(b.Artist(), "r");
    EXPECT_TRUE(b.ISURL());
    EXPECT_EQ(b.LongTime(), 0.25);
    EXPECT_EQ(b.StrLength(), "04:05");
    EXPECT_TRUE(b.Selected());
    EXPECT_TRUE(b.CurrentMark());
    EXPECT_EQ(b.Serial(), serial);

    std::string longText(254, 'x');
    longText += "中"; // three bytes from byte 254: cut before it, not through it
    b.SetStrLength(longText);
    EXPECT_EQ(b.StrLength(), std::string(254, 'x'));
}

TEST(PlaylistItems, ChangesRepaintOncePerBracket) {
    TZuPlaylistModel model;
    int repaints = 0;
    model.OnChange = [&](TZuPlaylistModel& sender) {
        EXPECT_EQ(&sender, &model);
        ++repaints;
    };
    model.Items().Add();
    EXPECT_EQ(repaints, 1);
    model.Items().GetItem(0)->SetTitle("t");
    EXPECT_EQ(repaints, 2);

    model.Items().BeginUpdate();
    model.Items().BeginUpdate();
    for (int i = 0; i < 10; ++i)
        model.Items().Add().SetCaption("x");
    model.Items().EndUpdate();
    EXPECT_EQ(repaints, 2);
    model.Items().EndUpdate();
    EXPECT_EQ(repaints, 3);

    // An extra end must not leave the list believing it is inside a bracket.
    model.Items().EndUpdate();
    model.Items().Delete(0);
    EXPECT_EQ(repaints, 4);
    model.SelectAll();
    EXPECT_EQ(repaints, 5);
    model.Items().ClearAll();
    EXPECT_EQ(repaints, 6);
}

TEST(PlaylistItems, DeleteEventsFireForFreedEntriesOnly) {
    std::vector<std::string> deleted;
    {
        TZuPlaylistModel model;
        model.OnDeleteItem = [&](const TZuPlaylistItem& sender, double length) {
            deleted.push_back(sender.Caption() + "@" + std::to_string(int(length)));
        };
        FillNumbered(model, 8);
        model.Items().Delete(1);
        EXPECT_EQ(deleted, (std::vector<std::string>{"2@2"}));

        Select(model, {1, 3});
        model.MoveSelectedTo(0); // moving frees nothing
        EXPECT_EQ(deleted.size(), 1u);
        EXPECT_EQ(Captions(model), "3,5,1,4,6,7,8");

        Select(model, {0, 6});
        model.DeleteItems(true);
        EXPECT_EQ(deleted, (std::vector<std::string>{"2@2", "8@8", "3@3"}));

        model.Items().ClearAll();
        EXPECT_EQ(deleted, (std::vector<std::string>{"2@2", "8@8", "3@3", "7@7", "6@6", "4@4",
                                                     "1@1", "5@5"}));
        FillNumbered(model, 3);
        deleted.clear();
    }
    EXPECT_TRUE(deleted.empty()); // destroying the list is not deleting entries
}

TEST(PlaylistItems, ClearAllResetsTheViewState) {
    TZuPlaylistModel model;
    FillNumbered(model, 30);
    model.SetVisibleCount(10);
    model.SetCurrentItem(25);
    model.SetSelectedIndex(4);
    model.SetDropY(28);
    model.Items().ClearAll();
    EXPECT_EQ(model.Items().Count(), 0);
    EXPECT_EQ(model.TopIndex(), 0);
    EXPECT_EQ(model.CurrentItem(), -1);
    EXPECT_EQ(model.SelectedIndex(), -1);
    EXPECT_EQ(model.DropY(), -1);
}

TEST(PlaylistModel, CurrentItemTable) {
    struct Case {
        int count, visible, top, value;
        int current;
        bool lost;
        int topAfter;
    };
    const Case cases[] = {
        {0, 10, 0, 0, -1, true, 0},    // empty list
        {5, 10, 0, 7, -1, true, 0},    // beyond the last entry
        {5, 10, 0, -2, -1, true, 0},   // below −1
        {20, 5, 0, 12, 12, false, 8},  // below the window: scrolls so it is the last row
        {20, 5, 10, 3, 3, false, 3},   // above the window: becomes the top row
        {20, 5, 0, 19, 19, false, 15}, // the last entry
        {20, 5, 8, 10, 10, false, 8},  // already visible
        {3, 5, 0, 2, 2, false, 0},     // everything fits
        {20, 5, 4, -1, -1, false, 4},  // "none" is valid and scrolls nowhere
    };
    for (const Case& c : cases) {
        TZuPlaylistModel model;
        FillNumbered(model, c.count);
        model.SetVisibleCount(c.visible);
        model.SetTopIndex(c.top);
        if (c.value == -1)
            model.SetCurrentItem(0); // so that −1 is a change
        model.SetTopIndex(c.top);
        model.SetCurrentItem(c.value);
        EXPECT_EQ(model.CurrentItem(), c.current) << c.count << "/" << c.value;
        EXPECT_EQ(model.CurrentLost(), c.lost) << c.count << "/" << c.value;
        EXPECT_EQ(model.TopIndex(), c.topAfter) << c.count << "/" << c.value;
    }
}

TEST(PlaylistModel, DeletingThePlayingEntryLeavesTheOneBeforeUnhighlighted) {
    TZuPlaylistModel model;
    FillNumbered(model, 6);
    model.SetVisibleCount(10);
    model.SetCurrentItem(3);
    Select(model, {3});
    model.SetSelectedIndex(3);
    model.DeleteItems(true);
    EXPECT_EQ(Captions(model), "1,2,3,5,6");
    EXPECT_EQ(model.CurrentItem(), 2);
    EXPECT_TRUE(model.CurrentLost());
    EXPECT_EQ(model.SelectedIndex(), 3); // still names an entry

    // Playing that row again shows it again.
    model.SetCurrentItem(2);
    EXPECT_FALSE(model.CurrentLost());

    // Entries before the playing one shift it; entries after it do not.
    Select(model, {0, 4});
    model.DeleteItems(true);
    EXPECT_EQ(Captions(model), "2,3,5");
    EXPECT_EQ(model.CurrentItem(), 1);
    EXPECT_FALSE(model.CurrentLost());

    // The first entry playing and deleted: no current entry.
    model.SetCurrentItem(0);
    Select(model, {0});
    model.DeleteItems(true);
    EXPECT_EQ(model.CurrentItem(), -1);
    EXPECT_TRUE(model.CurrentLost());

    // The flag picks which entries go.
    Select(model, {0});
    model.DeleteItems(false);
    EXPECT_EQ(Captions(model), "3");
}

TEST(PlaylistModel, DeleteKeepsTopAndAnchorInsideTheList) {
    struct Case {
        int first, last; // rows deleted
        int topBefore, anchorBefore;
        int topAfter, anchorAfter;
    };
    const Case cases[] = {
        {25, 29, 20, 29, 15, -1}, // the tail goes: the window slides back to show full rows
        {0, 14, 20, 3, 0, 3},     // 15 left, fewer than the top: back to the start
        {0, 24, 20, 2, 0, 2},     // 5 left: everything fits
        {10, 12, 0, 12, 0, 12},   // the window is untouched
    };
    for (const Case& c : cases) {
        TZuPlaylistModel model;
        FillNumbered(model, 30);
        model.SetVisibleCount(10);
        model.SetTopIndex(c.topBefore);
        model.SetSelectedIndex(c.anchorBefore);
        model.SelectRange(c.last, c.first);
        model.DeleteItems(true);
        EXPECT_EQ(model.Items().Count(), 30 - (c.last - c.first + 1));
        EXPECT_EQ(model.TopIndex(), c.topAfter) << c.first << "-" << c.last;
        EXPECT_EQ(model.SelectedIndex(), c.anchorAfter) << c.first << "-" << c.last;
    }
}

TEST(PlaylistModel, ClearingAFullListIsOneLinearPass) {
    TZuPlaylistModel model;
    FillNumbered(model, 200000);
    model.SetCurrentItem(150000);
    int events = 0;
    model.OnDeleteItem = [&](const TZuPlaylistItem&, double) { ++events; };
    model.SelectAll();
    model.DeleteItems(true);
    EXPECT_EQ(model.Items().Count(), 0);
    EXPECT_EQ(events, 200000);
    EXPECT_EQ(model.CurrentItem(), -1);
    EXPECT_TRUE(model.CurrentLost());
}

TEST(PlaylistModel, MoveSelectedKeepsTheirOrderAndTheCurrentEntry) {
    struct Case {
        std::initializer_list<int> selected;
        int insertAt, current;
        const char* order;
        int currentAfter;
    };
    const Case cases[] = {
        {{1, 3}, 5, 4, "1,3,5,2,4,6", 2},  // rows 2 and 4 onto row 6; row 5 plays
        {{1, 3}, 5, 3, "1,3,5,2,4,6", 4},  // the playing entry moves with them
        {{1, 3}, -1, 0, "1,3,5,6,2,4", 0}, // dropped below the last row: appended
        {{4, 5}, 0, -1, "5,6,1,2,3,4", -1}, {{2}, 2, 2, "1,2,3,4,5,6", 2}, // dropped on itself
        {{}, 3, 1, "1,2,3,4,5,6", 1},
    };
    for (const Case& c : cases) {
        TZuPlaylistModel model;
        FillNumbered(model, 6);
        model.SetVisibleCount(10);
        model.SetCurrentItem(c.current);
        Select(model, c.selected);
        model.MoveSelectedTo(c.insertAt);
        EXPECT_EQ(Captions(model), c.order);
        EXPECT_EQ(model.CurrentItem(), c.currentAfter) << c.order;
        for (int i = 0; i < 6; ++i) {
            EXPECT_FALSE(model.Items().GetItem(i)->Selected());
            EXPECT_FALSE(model.Items().GetItem(i)->CurrentMark());
        }
    }
}

TEST(PlaylistModel, SelectionHelpers) {
    TZuPlaylistModel model;
    FillNumbered(model, 6);
    model.SelectRange(4, 1);
    model.SelectRange(-5, 0);
    model.SelectRange(5, 99);
    std::string marks;
    for (int i = 0; i < 6; ++i)
        marks += model.Items().GetItem(i)->Selected() ? 'x' : '.';
    EXPECT_EQ(marks, "xxxxxx");
    model.ClearSelection();
    model.SelectRange(2, 3);
    marks.clear();
    for (int i = 0; i < 6; ++i)
        marks += model.Items().GetItem(i)->Selected() ? 'x' : '.';
    EXPECT_EQ(marks, "..xx..");
}

// The stream-opening worker stores the length of the entry it opened, by serial.
TEST(PlaylistModel, WorkerWritesOnlyTheEntryItOpened) {
    TZuPlaylistModel model;
    FillNumbered(model, 4);
    model.Items().GetItem(2)->SetISURL(true);
    model.SetCurrentItem(2);
    const uint64_t opened = model.CurrentEntry()->Serial();

    // Meanwhile the user moved on and reordered the list.
    model.SetCurrentItem(0);
    Select(model, {2});
    model.MoveSelectedTo(0);
    std::optional<bool> isUrl;
    std::thread worker([&] { isUrl = model.StoreLength(opened, 0.125); });
    worker.join();
    ASSERT_TRUE(isUrl.has_value());
    EXPECT_TRUE(*isUrl);
    EXPECT_EQ(model.Items().GetItem(0)->Caption(), "3");
    EXPECT_EQ(model.Items().GetItem(0)->LongTime(), 0.125);
    EXPECT_EQ(model.Items().GetItem(1)->LongTime(), 1.0); // the now current entry is untouched
    const auto snapshot = model.SnapshotOf(opened);
    ASSERT_TRUE(snapshot.has_value());
    EXPECT_EQ(snapshot->Caption(), "3");

    model.Items().Delete(0);
    EXPECT_FALSE(model.StoreLength(opened, 0.5).has_value());
    EXPECT_FALSE(model.SnapshotOf(opened).has_value());
}

// Details read from files go to the entry of that serial wherever it now stands, skip entries
// gone, and repaint only when a row in view changed.
TEST(PlaylistModel, StoredDetailsFindTheirEntryAndRepaintOnlyWhatIsInView) {
    const struct {
        const char* name;
        std::vector<int> rows; // rows (of 10; rows 2-4 in view) whose entries get details
        bool deleteFirst;      // the first of them is deleted before the details arrive
        int filled;
        int repaints;
    } kCases[] = {
        {"in view", {3}, false, 1, 1},
        {"out of view", {0, 8}, false, 2, 0},
        {"one in view among others", {0, 4, 9}, false, 3, 1},
        {"deleted meanwhile", {3}, true, 0, 0},
    };
    for (const auto& c : kCases) {
        TZuPlaylistModel model;
        FillNumbered(model, 10);
        model.SetTopIndex(2);
        model.SetVisibleCount(3);
        std::vector<TTrackDetails> details;
        for (const int row : c.rows)
            details.push_back({model.Items().GetItem(row)->Serial(), "t - a", "t", "a", 0.5});
        if (c.deleteFirst)
            model.Items().Delete(c.rows.front());
        int repaints = 0;
        model.OnChange = [&](TZuPlaylistModel&) { ++repaints; };
        bool current = true;
        EXPECT_EQ(model.StoreDetails(details, &current), c.filled) << c.name;
        EXPECT_EQ(repaints, c.repaints) << c.name;
        EXPECT_FALSE(current) << c.name;
        if (!c.deleteFirst)
            for (const int row : c.rows) {
                const TZuPlaylistItem& entry = *model.Items().GetItem(row);
                EXPECT_EQ(entry.Caption(), "t - a") << c.name;
                EXPECT_EQ(entry.Artist(), "a") << c.name;
                EXPECT_EQ(entry.LongTime(), 0.5) << c.name;
            }
        EXPECT_EQ(model.Items().Count(), c.deleteFirst ? 9 : 10) << c.name;
    }
    // The playing entry is told apart, wherever it was moved.
    TZuPlaylistModel model;
    FillNumbered(model, 4);
    const uint64_t serial = model.Items().GetItem(3)->Serial();
    model.SetCurrentItem(3);
    Select(model, {3});
    model.MoveSelectedTo(0);
    bool current = false;
    EXPECT_EQ(model.StoreDetails({{serial, "x - ", "x", "", 1.0}}, &current), 1);
    EXPECT_TRUE(current);
    EXPECT_EQ(Captions(model), "x - ,1,2,3");
}

// A worker storing lengths while the UI thread deletes, inserts, edits and paints; the
// sanitizer build turns any unguarded access into a failure.
TEST(PlaylistModel, WorkerAndUiThreadDoNotRace) {
    TZuPlaylistModel model;
    FillNumbered(model, 200);
    std::atomic<int> repaintsFromWorker{0};
    const auto uiThread = std::this_thread::get_id();
    model.OnChange = [&](TZuPlaylistModel&) {
        if (std::this_thread::get_id() != uiThread)
            ++repaintsFromWorker;
    };
    std::vector<uint64_t> serials;
    for (int i = 0; i < 200; ++i)
        serials.push_back(model.Items().GetItem(i)->Serial());

    std::atomic<bool> stop{false};
    std::thread worker([&] {
        for (size_t n = 0; !stop; ++n) {
            const uint64_t serial = serials[n % serials.size()];
            model.StoreLength(serial, double(n));
            if (const auto copy = model.SnapshotOf(serial)) {
                EXPECT_FALSE(copy->Caption().empty());
            }
        }
    });
    double sum = 0;
    for (int round = 0; round < 3000; ++round) {
        model.SetCurrentItem(round % model.Items().Count());
        model.Items().Delete(round % model.Items().Count());
        model.Items().Insert(round % 7).SetCaption("new " + std::to_string(round));
        model.Items().GetItem(round % 5)->SetTitle(std::string(40, char('a' + round % 26)));
        for (int i = 0; i < model.Items().Count(); ++i) // what a paint reads
            sum += model.Items().GetItem(i)->LongTime();
    }
    stop = true;
    worker.join();
    EXPECT_EQ(model.Items().Count(), 200);
    EXPECT_GE(sum, 0.0);
}

TEST(ShuffleOrder, IsAPermutationOfTheIndices) {
    for (int n : {0, 1, 2, 7, 1000}) {
        TShuffleOrder order{"stale"};
        std::mt19937 random(static_cast<unsigned>(n));
        RebuildShuffle(order, n, random);
        ASSERT_EQ(order.size(), static_cast<size_t>(n));
        std::vector<int> values;
        for (const std::string& s : order)
            values.push_back(std::stoi(s));
        std::sort(values.begin(), values.end());
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(values[static_cast<size_t>(i)], i);
    }
    // Seeded from the clock, for the list's entries.
    TZuPlaylistModel model;
    FillNumbered(model, 50);
    TShuffleOrder order;
    RebuildShuffle(order, model.Items());
    EXPECT_EQ(order.size(), 50u);
    TShuffleOrder again;
    std::mt19937 a(5), b(5);
    RebuildShuffle(order, 50, a);
    RebuildShuffle(again, 50, b);
    EXPECT_EQ(order, again);
}

} // namespace
