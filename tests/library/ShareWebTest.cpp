// The library window through its real browser panes against a real tunola-service: share links
// as the sharing page writes them ("@@", "@p", a Chinese title, a "%"), the sidebar's keyword
// links, ordinary links, failed loads, and that WebEngine is mapped only once the window shows.

#include "ShareTestKit.h"

#include "../services/ServiceProcess.h"
#include "../services/ServiceTestKit.h"

#include <ShareLinks.h>
#include <TunShare.h>

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace tunola {
namespace {

using service::test::TServiceProcess;
using service::test::TTrack;
using test::TFakeSearch;
using test::TRecordingHost;
using test::WaitFor;

bool WebEngineMapped() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream s;
    s << maps.rdbuf();
    return s.str().find("libQt6WebEngine") != std::string::npos;
}

const std::vector<TTrack> kTracks = {
    {"qingtian.mp3", "晴天", "周杰伦"},
    {"percent.mp3", "100% 纯音乐", "Band %20 @p"},
    {"plain.mp3", "Plain Song", "Plain Band"},
};

class ShareWebTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        mappedAtStart_ = WebEngineMapped();
        const auto work = service::test::FreshFolder("share-web");
        for (const TTrack& t : kTracks)
            ASSERT_TRUE(service::test::MakeTrack(work / "music", t));
        service_ = new TServiceProcess;
        ASSERT_TRUE(service_->Start(
            work, {"--music", (work / "music").string(), "--db", (work / "db.sqlite").string()}));
        base_ = "http://" + service_->Host();
        search_ = new TFakeSearch;
        host_ = new TRecordingHost;
        window_ =
            new TTunShare(TTunShare::TParts{host_, [] { return search_; }, [] { return base_; },
                                            std::string(TUNOLA_PROGRAM_DIR) + "/"});
        window_->NavigateMinWeb(QString::fromStdString(base_ + "/index.asp"));
        window_->NavigateSearch(QString::fromStdString(base_ + "/schweb/"));
        mappedBeforeShow_ = WebEngineMapped();
        window_->show();
        ASSERT_TRUE(window_->PanesReady());
        ASSERT_TRUE(WaitFor(
            [] {
                return window_->MinWebPane()->Address().endsWith(QLatin1String("/index.asp")) &&
                       window_->SearchPane()->Address().endsWith(QLatin1String("/schweb/"));
            },
            60000));
        // Record every address that reaches the window's handlers.
        for (IWebPane* pane : {window_->MinWebPane(), window_->SearchPane()}) {
            auto inner = pane->OnBeforeNavigate;
            pane->OnBeforeNavigate = [inner](const std::string& a) {
                seen_.push_back(a);
                return inner(a);
            };
        }
    }
    static void TearDownTestSuite() {
        delete window_;
        delete host_;
        delete search_;
        delete service_;
    }
    void SetUp() override {
        host_->entries.clear();
        host_->played.clear();
        host_->events.clear();
        seen_.clear();
    }

    // Clicks the share link of the sharing page whose href holds `title` and ends in `marker`
    // and its final character, as a user's click would.
    static void ClickShare(const QString& title, const char* marker) {
        window_->MinWebPane()->RunScript(
            QStringLiteral("Array.from(document.querySelectorAll('a.share')).find(function(a){"
                           "var h=a.getAttribute('href');return h.indexOf('%1')>=0&&"
                           "h.slice(-3,-1)=='%2';}).click();")
                .arg(title, QLatin1String(marker)));
    }
    // Adds a link to the page shown in `pane` and clicks it.
    static void ClickNewLink(IWebPane* pane, const QString& href, bool shareClass) {
        pane->RunScript(
            QStringLiteral("var a=document.createElement('a');a.href='%1';%2"
                           "a.textContent='x';document.body.appendChild(a);a.click();")
                .arg(href, shareClass ? QStringLiteral("a.className='share';") : QString()));
    }

    static inline bool mappedAtStart_ = false, mappedBeforeShow_ = false;
    static inline TServiceProcess* service_ = nullptr;
    static inline std::string base_;
    static inline TFakeSearch* search_ = nullptr;
    static inline TRecordingHost* host_ = nullptr;
    static inline TTunShare* window_ = nullptr;
    static inline std::vector<std::string> seen_;
};

TEST_F(ShareWebTest, WebEngineIsMappedOnlyOnceTheWindowShows) {
    EXPECT_FALSE(mappedAtStart_);
    EXPECT_FALSE(mappedBeforeShow_);
    EXPECT_TRUE(WebEngineMapped());
}

TEST_F(ShareWebTest, ShareLinksReachTheParserAsThePageWroteThem) {
    struct Case {
        const TTrack& track;
        const char* marker;
        bool plays;
    };
    const Case cases[] = {
        {kTracks[0], "@@", true}, {kTracks[1], "@p", false}, {kTracks[1], "@@", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.track.Title + " " + c.marker);
        SetUp();
        const QString title = QString::fromStdString(c.track.Title);
        ClickShare(title, c.marker);
        ASSERT_TRUE(WaitFor([] { return !host_->entries.empty(); }));
        const TShareEntry& e = host_->entries.back();
        EXPECT_EQ(e.Title, c.track.Title);
        EXPECT_EQ(e.Artist, c.track.Artist);
        // The service's own files are relative "mm" names behind the share base.
        EXPECT_TRUE(e.FileName.starts_with(base_ + "/share/mm")) << e.FileName;
        EXPECT_TRUE(e.FileName.ends_with(".mp3")) << e.FileName;
        ASSERT_FALSE(seen_.empty());
        EXPECT_TRUE(seen_.back().starts_with("qivra://")) << seen_.back();
        if (c.plays)
            EXPECT_EQ(host_->events, (std::vector<std::string>{"add", "play"}));
        else
            EXPECT_EQ(host_->events, (std::vector<std::string>{"add"}));
        // The audio behind the address is there.
        httplib::Client client("127.0.0.1", service_->Port());
        auto r = client.Get(e.FileName.substr(base_.size()).c_str());
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 200);
    }
    // Each link counted a play with its identifier, marker included.
    EXPECT_TRUE(WaitFor([] {
        const std::string log = service_->Log();
        size_t n = 0;
        for (size_t at = log.find("/hot.asp?id="); at != std::string::npos;
             at = log.find("/hot.asp?id=", at + 1))
            ++n;
        return n >= 3;
    })) << service_->Log();
    // The sharing page stayed where it was.
    EXPECT_TRUE(window_->MinWebPane()->Address().endsWith(QLatin1String("/index.asp")));
}

TEST_F(ShareWebTest, OtherQivraLinksAddNothingAndStay) {
    ClickNewLink(window_->MinWebPane(), QStringLiteral("qivra://x|t|a|id@x/"), true);
    ASSERT_TRUE(WaitFor([] { return !seen_.empty(); }));
    EXPECT_EQ(seen_[0], "qivra://x|t|a|id@x/");
    QCoreApplication::processEvents();
    EXPECT_TRUE(host_->entries.empty());
    EXPECT_TRUE(window_->MinWebPane()->Address().endsWith(QLatin1String("/index.asp")));
}

TEST_F(ShareWebTest, OrdinaryLinksNavigateAndFailedLoadsGoBack) {
    ClickNewLink(window_->MinWebPane(), QStringLiteral("/index.asp?page=0"), false);
    ASSERT_TRUE(WaitFor([] {
        return window_->MinWebPane()->Address().endsWith(QLatin1String("/index.asp?page=0"));
    }));
    EXPECT_TRUE(host_->entries.empty());
    // A dead address shows no error page: the pane goes back to the page that loaded.
    window_->NavigateMinWeb(QStringLiteral("http://127.0.0.1:1/index.asp"));
    ASSERT_TRUE(WaitFor([] {
        return std::find(seen_.begin(), seen_.end(), "http://127.0.0.1:1/index.asp") != seen_.end();
    }));
    QElapsedTimer t;
    t.start();
    WaitFor([&] { return t.elapsed() > 1500; });
    EXPECT_TRUE(window_->MinWebPane()->Address().endsWith(QLatin1String("/index.asp?page=0")))
        << window_->MinWebPane()->Address().toStdString();
    window_->NavigateMinWeb(QString::fromStdString(base_ + "/index.asp"));
    WaitFor([] { return window_->MinWebPane()->Address().endsWith(QLatin1String("/index.asp")); });
}

TEST_F(ShareWebTest, SidebarKeywordLinksSearch) {
    search_->Answer = [](const std::string& text, int) {
        return std::vector<TMusicSearchResult>{{text + " song", "someone", "k", 1}};
    };
    // The sidebar's own link for an artist of the shared music (GBK on the wire); the artists
    // played above are on it once it loads again.
    window_->NavigateSearch(QString::fromStdString(base_ + "/schweb/?again"));
    ASSERT_TRUE(WaitFor(
        [] { return window_->SearchPane()->Address().endsWith(QLatin1String("/schweb/?again")); }));
    window_->SearchPane()->RunScript(QStringLiteral(
        "Array.from(document.querySelectorAll('a')).find(function(a){"
        "return a.getAttribute('href').indexOf('#tun#')>=0&&a.textContent=='周杰伦';}).click();"));
    ASSERT_TRUE(WaitFor([] { return search_->Searches() >= 1 && !window_->Searching(); }))
        << (seen_.empty() ? std::string("nothing") : seen_.back());
    EXPECT_EQ(search_->texts.back(), "周杰伦");
    EXPECT_EQ(window_->edt_search->text(), QStringLiteral("周杰伦"));
    // The marker in upper case and an encoded blank: found, lower-cased, decoded.
    ClickNewLink(window_->SearchPane(), QStringLiteral("/schweb/go#TUN#Hello%20World"), false);
    ASSERT_TRUE(WaitFor([] { return search_->Searches() >= 2 && !window_->Searching(); }));
    EXPECT_EQ(search_->texts.back(), "hello world");
    // The sidebar stays on its page.
    EXPECT_TRUE(window_->SearchPane()->Address().endsWith(QLatin1String("/schweb/?again")));
}

} // namespace
} // namespace tunola

int main(int argc, char** argv) {
    // As the player: without shared GL contexts (see app/main.cpp).
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
