// The library window without its browser panes: the search and its worker, the result rows,
// adding and copying, share links and popularity requests as the panes hand them over, the
// sidebar's keyword links, the tab switch and closing.

#include "ShareTestKit.h"

#include "../audio/HttpTestServer.h"

#include <HotRequests.h>
#include <KeywordLink.h>
#include <ShareLinks.h>
#include <TunShare.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tunola {
namespace {

using test::TFakeSearch;
using test::TRecordingHost;
using test::WaitFor;

TEST(KeywordLinkTest, FindsTheMarkerInAnyCaseAndDecodesTheKeyword) {
    struct Case {
        const char* address;
        std::optional<std::string> keyword;
    };
    const Case cases[] = {
        {"http://h/schweb/go#tun#%C7%E7%CC%EC", "晴天"}, // GBK percent-encoded
        {"http://h/schweb/go#TUN#Hello%20World", "hello world"},
        {"http://h/schweb/go#Tun#a+b", "a b"},
        {"http://h/go#tun#x&y=1", "x"}, // decoding stops before "&"
        {"http://h/go#tun#", ""},
        {"http://h/go#tun#%zz%4", std::string("\0\x04", 2)},
        {"http://h/schweb/", std::nullopt},
        {"http://h/go#tu#n#x", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchKeywordOf(c.address), c.keyword) << c.address;
}

class ShareWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        hot_.Route("/hot.asp", {});
        ASSERT_TRUE(hot_.Start());
        base_ = "http://127.0.0.1:" + std::to_string(hot_.Port());
        window_ = std::make_unique<TTunShare>(
            TTunShare::TParts{&host_, [this] { return withSearch_ ? &search_ : nullptr; },
                              [this] { return base_; }, std::string()});
        window_->Tell = [this](const QString& text) { told_.push_back(text); };
        window_->show();
        window_->tab_pnl->SetActiveTab(1);
    }

    void Search(const QString& text) {
        window_->edt_search->setText(text);
        QTest::mouseClick(window_->SpeedButton1, Qt::LeftButton);
    }
    bool Idle() {
        return WaitFor([this] { return !window_->Searching(); });
    }
    QStringList Rows() const { return window_->lv_search->Items().List(); }
    static std::vector<TMusicSearchResult> Results(int n) {
        std::vector<TMusicSearchResult> r;
        for (int i = 0; i < n; ++i)
            r.push_back({"t" + std::to_string(i), " a" + std::to_string(i) + " ",
                         "key" + std::to_string(i), i});
        return r;
    }

    tunaudio::test::THttpTestServer hot_;
    std::string base_;
    TRecordingHost host_;
    TFakeSearch search_;
    bool withSearch_ = true;
    std::vector<QString> told_;
    std::unique_ptr<TTunShare> window_;
};

TEST_F(ShareWindowTest, SearchFillsNumberedRowsAndRestoresThePanels) {
    search_.Answer = [](const std::string&, int) { return Results(1000); };
    search_.Hold(true);
    window_->RadioButton2->setChecked(true);
    Search(QStringLiteral("  晴天 "));
    EXPECT_TRUE(window_->Searching());
    EXPECT_TRUE(window_->Panel2->isVisible());
    EXPECT_EQ(window_->Panel2->text(), QStringLiteral("正在搜索中....."));
    EXPECT_FALSE(window_->Panel1->isVisible());
    search_.Hold(false);
    ASSERT_TRUE(Idle());
    EXPECT_FALSE(window_->Panel2->isVisible());
    EXPECT_TRUE(window_->Panel1->isVisible());
    // The text as it stands, kind 1 for the second format.
    EXPECT_EQ(search_.texts, (std::vector<std::string>{"  晴天 "}));
    EXPECT_EQ(search_.kinds, (std::vector<int>{1}));
    const QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 1000);
    EXPECT_EQ(rows[0], QStringLiteral("   1. t0 -  a0 "));
    EXPECT_EQ(rows[99], QStringLiteral(" 100. t99 -  a99 "));
    EXPECT_EQ(rows[999], QStringLiteral(" 1000. t999 -  a999 "));
    EXPECT_EQ(window_->RadioButton2->text(), QStringLiteral("OGG/FLAC"));
}

TEST_F(ShareWindowTest, ASearchDuringASearchStartsNoSecondOne) {
    search_.Answer = [](const std::string&, int) { return Results(3); };
    search_.Hold(true);
    Search(QStringLiteral("first"));
    ASSERT_TRUE(WaitFor([this] { return search_.Searches() == 1; }));
    const int clears = search_.clears;
    Search(QStringLiteral("second"));
    EXPECT_EQ(search_.clears, clears + 1);
    EXPECT_EQ(window_->lv_search->ItemCount(), 0);
    search_.Hold(false);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(search_.texts, (std::vector<std::string>{"first"}));
    EXPECT_EQ(Rows().size(), 3);
    // Afterwards a new search starts again.
    Search(QStringLiteral("third"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(search_.Searches(), 2);
}

TEST_F(ShareWindowTest, EnterSearchesAndNoResultsLeaveAnEmptyList) {
    search_.Answer = [](const std::string&, int) { return Results(1); };
    Search(QStringLiteral("x"));
    ASSERT_TRUE(Idle());
    ASSERT_EQ(Rows().size(), 1);
    search_.Answer = nullptr;
    window_->edt_search->setText(QStringLiteral("nothing"));
    QTest::keyClick(window_->edt_search, Qt::Key_Return);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(search_.texts.back(), "nothing");
    EXPECT_EQ(window_->lv_search->ItemCount(), 0);
    EXPECT_TRUE(window_->Panel1->isVisible());
    EXPECT_FALSE(window_->Panel2->isVisible());
}

TEST_F(ShareWindowTest, WithoutASearchObjectTheResultAreaSaysSo) {
    withSearch_ = false;
    Search(QStringLiteral("x"));
    EXPECT_FALSE(window_->Searching());
    EXPECT_TRUE(window_->lbl_unavailable->isVisible());
    EXPECT_EQ(window_->lbl_unavailable->text(), QStringLiteral("音乐搜索服务不可用"));
    window_->pm_s_addClick();
    window_->pm_s_fxClick();
    EXPECT_TRUE(host_.entries.empty());
    EXPECT_TRUE(told_.empty());
}

TEST_F(ShareWindowTest, AddingAndCopyingUseTheRowsOwnResult) {
    // Nothing happens on an empty list or without a selection.
    window_->lv_searchItemDlbClick(0);
    window_->pm_s_addClick();
    window_->pm_s_fxClick();
    EXPECT_TRUE(host_.entries.empty());

    search_.Answer = [](const std::string&, int) { return Results(3); };
    Search(QStringLiteral("x"));
    ASSERT_TRUE(Idle());
    window_->pm_s_addClick(); // rows, but none selected
    window_->pm_s_fxClick();
    EXPECT_TRUE(host_.entries.empty());

    // A real double click on row 1.
    TZuListBox* list = window_->lv_search;
    auto rowCentre = [list](int row) {
        const QPoint p(list->width() / 3, row * list->ItemHeight() + list->ItemHeight() / 2);
        EXPECT_EQ(list->ItemAtPos(p), row);
        return p;
    };
    QTest::mouseClick(list, Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseDClick(list, Qt::LeftButton, {}, rowCentre(1));
    ASSERT_EQ(host_.entries.size(), 1u);
    EXPECT_EQ(host_.entries[0].FileName, "http://songs/key1?1");
    EXPECT_EQ(host_.entries[0].Title, "t1");
    EXPECT_EQ(host_.entries[0].Artist, " a1 ");
    EXPECT_EQ(host_.events, (std::vector<std::string>{"add", "play"}));
    EXPECT_EQ(host_.played, (std::vector<int>{0}));

    // Row 2 chosen with the left button; a right click on row 0 opens the menu and leaves it.
    QTest::mouseClick(list, Qt::LeftButton, {}, rowCentre(2));
    QTest::mouseClick(list, Qt::RightButton, {}, rowCentre(0));
    EXPECT_TRUE(WaitFor([this] { return window_->pm_search->isVisible(); }, 2000));
    window_->pm_search->hide();
    EXPECT_EQ(list->ItemIndex(), 2);
    window_->pm_s_fx->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("http://songs/key2?2"));
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_EQ(told_[0], QStringLiteral("歌曲地址已经复制！\r\n\r\nhttp://songs/key2?2"));

    // A new search clears the rows: the old selection reaches nothing.
    search_.Hold(true);
    Search(QStringLiteral("y"));
    window_->pm_s_addClick();
    window_->pm_s_fxClick();
    search_.Hold(false);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(host_.entries.size(), 1u);
    EXPECT_EQ(told_.size(), 1u);
    EXPECT_EQ(search_.badIndexCalls, 0);
}

TEST_F(ShareWindowTest, ShareLinksAddPlayAndCountInThatOrder) {
    const std::string shareBase = base_ + "/share/";
    struct Case {
        std::string link;
        bool handled, added, played;
        std::string fileName, title, artist, id;
    };
    const std::string playLink =
        MakeShareLink("mm12.mp3", " 晴天 ", " 周杰伦", "12", true); // id 12, "@@"
    const std::string addLink = MakeShareLink(" http://other/x.ogg ", "100% 纯", "a|b", "7", false);
    const Case cases[] = {
        {playLink, true, true, true, shareBase + "mm12.mp3", " 晴天 ", " 周杰伦", "12@@"},
        {addLink, true, true, false, "http://other/x.ogg", "100% 纯", "a｜b", "7@p"},
        {"qivra://x|t|a|id@x/", true, false, false, "", "", "", ""},
        {"Qivra://x|t|a|id@@/", false, false, false, "", "", "", ""},
        {"http://127.0.0.1/index.asp", false, false, false, "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        host_.entries.clear();
        host_.events.clear();
        const int requests = hot_.Requests();
        EXPECT_EQ(window_->MinWebBeforeNavigate2(c.link), c.handled);
        ASSERT_EQ(host_.entries.size(), c.added ? 1u : 0u);
        if (!c.added)
            continue;
        EXPECT_EQ(host_.entries[0].FileName, c.fileName);
        EXPECT_EQ(host_.entries[0].Title, c.title);
        EXPECT_EQ(host_.entries[0].Artist, c.artist);
        const std::vector<std::string> order =
            c.played ? std::vector<std::string>{"add", "play"} : std::vector<std::string>{"add"};
        EXPECT_EQ(host_.events, order);
        ASSERT_TRUE(WaitFor([&] { return hot_.Requests() > requests; }));
        EXPECT_EQ(hot_.LastRequest().path, "/hot.asp?id=" + c.id);
    }
}

TEST_F(ShareWindowTest, ASlowServiceDoesNotHoldUpTheWindow) {
    tunaudio::test::THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    base_ = "http://127.0.0.1:" + std::to_string(silent.Port());
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 50; ++i)
        window_->MinWebBeforeNavigate2(MakeShareLink("mm1.mp3", "t", "a", "1", false));
    EXPECT_EQ(host_.entries.size(), 50u);
    EXPECT_LT(t.elapsed(), 2000); // a bound on a hang, not a speed goal
    window_.reset();              // ends the request in flight and the worker
    EXPECT_LT(t.elapsed(), 8000);
}

TEST_F(ShareWindowTest, SidebarKeywordLinksSearchAndOtherLinksNavigate) {
    search_.Answer = [](const std::string&, int) { return Results(2); };
    EXPECT_FALSE(window_->web_searchBeforeNavigate2(base_ + "/schweb/top"));
    EXPECT_TRUE(window_->web_searchBeforeNavigate2(base_ + "/schweb/go#TUN#Hello%20World"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(window_->edt_search->text(), QStringLiteral("hello world"));
    EXPECT_EQ(search_.texts, (std::vector<std::string>{"hello world"}));
    EXPECT_EQ(Rows().size(), 2);
}

TEST_F(ShareWindowTest, TabsSwitchPagesAndCloseOnlyHides) {
    window_->tab_pnl->SetActiveTab(0);
    EXPECT_TRUE(window_->MinWeb->isVisible());
    EXPECT_FALSE(window_->pnl_search->isVisible());
    EXPECT_TRUE(window_->btn_back->isEnabled());
    window_->tab_pnl->SetActiveTab(1);
    EXPECT_FALSE(window_->MinWeb->isVisible());
    EXPECT_TRUE(window_->pnl_search->isVisible());
    for (TZuButton* b : {window_->btn_back, window_->btn_forward, window_->btn_refresh})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(window_->tab_pnl->Tabs(), (QStringList{"音乐分享", "音乐搜索"}));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("听风 - 分享平台"));
    EXPECT_EQ(window_->Tag(), 0);
    // No parent: a window of its own on the taskbar.
    EXPECT_EQ(window_->parentWidget(), nullptr);
    // Max toggles maximised and normal; min minimises.
    window_->btn_maxClick();
    EXPECT_TRUE(WaitFor([this] { return window_->isMaximized(); }, 2000));
    window_->btn_maxClick();
    EXPECT_TRUE(WaitFor([this] { return !window_->isMaximized(); }, 2000));
    window_->btn_closeClick();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(host_.closed, 1);
    window_->show();
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(ShareWindowTest, TheSearchBarStaysReadableOnADarkSkin) {
    for (const char* colour : {"#171310", "#FFFFFF"}) {
        QPalette palette = window_->pnl_top->palette();
        palette.setColor(QPalette::Window, QColor(QLatin1String(colour)));
        window_->pnl_top->setPalette(palette); // as the skin's page colour arrives
        const QColor text =
            QColor(QLatin1String(colour)).lightnessF() < 0.5 ? Qt::white : Qt::black;
        EXPECT_EQ(window_->RadioButton1->palette().color(QPalette::WindowText), text) << colour;
        EXPECT_EQ(window_->SpeedButton1->palette().color(QPalette::ButtonText), text) << colour;
    }
}

TEST(HotRequestsTest, QueueIsBoundedAndTheDestructorEndsAHang) {
    tunaudio::test::THttpTestServer silent;
    ASSERT_TRUE(silent.Start(true));
    QElapsedTimer t;
    t.start();
    {
        THotRequests hot;
        size_t accepted = 0;
        for (size_t i = 0; i < 2 * THotRequests::kMaxQueued; ++i)
            accepted += hot.Send(silent.Url("/hot.asp?id=1@@"));
        EXPECT_LE(accepted, THotRequests::kMaxQueued + 1);
        EXPECT_GE(accepted, THotRequests::kMaxQueued);
    }
    EXPECT_LT(t.elapsed(), 3000);
}

} // namespace
} // namespace tunola

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
