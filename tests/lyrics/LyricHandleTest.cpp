#include "LyricHandle.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tunola {
namespace {

// Lines out of time order, a repeated text, untrimmed tags and an offset.
TLyricHandle Fixture() {
    TLyricHandle lyric;
    lyric.Parse("[ti:Song]\r\n[ar:Singer ]\r\n[offset:500]\r\n"
                "[00:12.50]Chorus\r\n[00:03]Verse\r\n[-00:01]Intro\r\n[01:30.00]Chorus\r\n");
    return lyric;
}

TEST(LyricHandle, ToTextLayouts) {
    const TLyricHandle lyric = Fixture();
    EXPECT_EQ(lyric.ToText(llMergedLrc), "[Ti:Song]\r\n[Ar:Singer]\r\n[Offset:500]\r\n"
                                         "[-00:01]Intro\r\n[00:03]Verse\r\n"
                                         "[00:12.50][01:30.00]Chorus\r\n");
    EXPECT_EQ(lyric.ToText(llMilliseconds), "[Ti:Song]\r\n[Ar:Singer]\r\n[Offset:500]\r\n"
                                            "[-1500]Intro\r\n[2500]Verse\r\n"
                                            "[12000]Chorus\r\n[89500]Chorus\r\n");
    EXPECT_EQ(lyric.ToText(llTimeList), "     -1000,Intro\r\n"
                                        "      3000,Verse\r\n"
                                        "     12500,Chorus\r\n"
                                        "     90000,Chorus\r\n");
    EXPECT_EQ(lyric.ToText(llWholeSeconds), "[Ti:Song]\r\n[Ar:Singer]\r\n[Offset:500]\r\n"
                                            "[-00:01]Intro\r\n[00:03]Verse\r\n"
                                            "[00:12]Chorus\r\n[01:30]Chorus\r\n");
}

TEST(LyricHandle, TimeListIsFixedWidthAndHasNoTagLines) {
    TLyricHandle lyric;
    lyric.Info.Title = "Title";
    lyric.AddItem({"second", "00:12", 12000});
    lyric.AddItem({"first", "0.50", 500});
    lyric.AddItem({"", "99:99:99.99", 362439990});
    EXPECT_EQ(lyric.ToText(llTimeList), "       500,first\r\n"
                                        "     12000,second\r\n"
                                        " 362439990,\r\n");
}

TEST(LyricHandle, WithoutTagsTheTextStartsWithAnEmptyLine) {
    TLyricHandle lyric;
    lyric.Parse("[00:01]a\r\n[00:02]a\r\n");
    EXPECT_EQ(lyric.ToText(llMergedLrc), "\r\n[00:01][00:02]a\r\n");
    EXPECT_EQ(lyric.ToText(llMilliseconds), "\r\n[1000]a\r\n[2000]a\r\n");
}

TEST(LyricHandle, MillisecondsLayoutSurvivesExtremeOffsets) {
    TLyricHandle lyric;
    lyric.Parse("[offset:-2147483648]\r\n[99:99:99.99]end\r\n");
    EXPECT_EQ(lyric.ToText(llMilliseconds), "[Offset:-2147483648]\r\n[" +
                                                std::to_string(362439990LL + 2147483648LL) +
                                                "]end\r\n");
}

TEST(LyricHandle, ToTextLeavesTheObjectAsItWas) {
    TLyricHandle lyric = Fixture();
    lyric.Info.Title = " Song ";
    const std::vector<TLyricItem> before = lyric.Lines();
    const TLRCInfo info = lyric.Info;
    for (int layout = llMergedLrc; layout <= llWholeSeconds; ++layout)
        lyric.ToText(layout);
    EXPECT_EQ(lyric.Lines(), before);
    EXPECT_EQ(lyric.Info, info);
    EXPECT_EQ(lyric.Info.Title, " Song ") << "only InfoText trims the tags";
    EXPECT_EQ(lyric.GetItem(0).Text, "Chorus") << "lines stay in text order";
}

TEST(LyricHandle, NoLinesOrUnknownLayoutGiveEmptyText) {
    TLyricHandle lyric;
    lyric.Info.Title = "Only tags";
    for (int layout = llMergedLrc; layout <= llWholeSeconds; ++layout)
        EXPECT_EQ(lyric.ToText(layout), "") << layout;
    lyric.AddItem({"x", "1", 1000});
    EXPECT_EQ(lyric.ToText(4), "");
    EXPECT_EQ(lyric.ToText(-1), "");
}

TEST(LyricHandle, InfoTextOrderAndTrimming) {
    TLyricHandle lyric;
    lyric.Info = {" T ", "\tB", "L  ", " R", "A", -20};
    EXPECT_EQ(lyric.InfoText(), "[La:L]\r\n[Ti:T]\r\n[Al:A]\r\n[Ar:R]\r\n[By:B]\r\n[Offset:-20]");
    EXPECT_EQ(lyric.Info, (TLRCInfo{"T", "B", "L", "R", "A", -20})) << "trimmed in place";

    lyric.Info = {"T", "", "  ", "", "", 0};
    EXPECT_EQ(lyric.InfoText(), "[Ti:T]") << "blank tags are left out, no trailing line end";
    lyric.Info = {};
    EXPECT_EQ(lyric.InfoText(), "");
}

TEST(LyricHandle, SortByTimeIsStable) {
    TLyricHandle lyric;
    lyric.AddItem({"b1", "", 2000});
    lyric.AddItem({"a", "", -5});
    lyric.AddItem({"b2", "", 2000});
    lyric.AddItem({"z", "", 0});
    lyric.AddItem({"b3", "", 2000});
    lyric.SortByTime();
    std::string order;
    for (const TLyricItem& line : lyric.Lines())
        order += line.Text + " ";
    EXPECT_EQ(order, "a z b1 b2 b3 ");
}

TEST(LyricHandle, ItemsAreCopiedInAndOut) {
    TLyricHandle lyric;
    TLyricItem item{"one", "1", 1000};
    lyric.AddItem(item);
    item.Text = "changed";
    lyric.InsertItem(0, {"zero", "0", 0});
    lyric.InsertItem(2, {"two", "2", 2000});
    TLyricItem copy = lyric.GetItem(1);
    copy.Text = "changed too";
    EXPECT_EQ(lyric.GetItem(1).Text, "one");
    EXPECT_EQ(lyric.Count(), 3);
    lyric.DeleteItem(0);
    EXPECT_EQ(lyric.GetItem(0).Text, "one");
    EXPECT_THROW(lyric.GetItem(2), std::out_of_range);
    EXPECT_THROW(lyric.DeleteItem(-1), std::out_of_range);
    EXPECT_THROW(lyric.InsertItem(3, item), std::out_of_range);
    lyric.Clear();
    EXPECT_EQ(lyric.Count(), 0);
}

TEST(LyricHandle, ParseStartsFromClear) {
    TLyricHandle lyric = Fixture();
    lyric.Parse("[00:05]only\r\n");
    EXPECT_EQ(lyric.Count(), 1);
    EXPECT_EQ(lyric.Info, TLRCInfo{});
}

TEST(LyricHandle, MergedLayoutReadsBackToTheSameLines) {
    TLyricHandle lyric = Fixture();
    TLyricHandle again;
    again.Parse(lyric.ToText(llMergedLrc));
    lyric.SortByTime();
    again.SortByTime();
    EXPECT_EQ(again.Lines().size(), lyric.Lines().size());
    for (int i = 0; i < lyric.Count(); ++i) {
        EXPECT_EQ(again.GetItem(i).Time, lyric.GetItem(i).Time);
        EXPECT_EQ(again.GetItem(i).Text, lyric.GetItem(i).Text);
    }
    EXPECT_EQ(again.Info.Title, "Song");
    EXPECT_EQ(again.Info.Offset, 500);
}

} // namespace
} // namespace tunola
