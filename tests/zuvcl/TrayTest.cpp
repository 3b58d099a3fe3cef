// The tray icon component through a fake notification area: tooltip cutting, the click table,
// restore and menu, frames, hiding the taskbar entry, the host coming back, and the session's
// end.

#include "ControlsTestSupport.h"
#include "ZuTray.h"

#include <QApplication>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tunola {
namespace {

using namespace testing_support;

struct FakeArea : IZuTrayPlatform {
    bool hostRuns = true;
    int adds = 0, deletes = 0;
    bool present = false;
    QIcon icon;
    QString tip;
    std::vector<QPoint> menus;
    std::function<void()> whileMenuOpen;

    bool Add(const QIcon& i, const QString& t) override {
        ++adds;
        if (!hostRuns)
            return false;
        present = true;
        icon = i;
        tip = t;
        return true;
    }
    void Modify(const QIcon& i, const QString& t) override {
        icon = i;
        tip = t;
    }
    void Delete() override {
        ++deletes;
        present = false;
    }
    void PopupMenu(QMenu&, QPoint at) override {
        menus.push_back(at);
        if (whileMenuOpen)
            whileMenuOpen();
    }
    QPoint CursorPos() const override { return {640, 790}; }
};

QIcon Solid(QColor c) {
    QPixmap p(16, 16);
    p.fill(c);
    return QIcon(p);
}

class TrayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureWidgetApplication(); }
    void SetUp() override {
        QApplication::setWindowIcon(Solid(Qt::green));
        auto fake = std::make_unique<FakeArea>();
        area_ = fake.get();
        owner_.setGeometry(100, 100, 200, 100);
        tray_ = std::make_unique<TZuTrayIcon>(&owner_, std::move(fake));
        // The main window's choice.
        tray_->SetRestoreOn(ticLeftClick);
        tray_->SetPopupMenuOn(ticRightClick);
        tray_->SetPopupMenu(&menu_);
        for (auto [event, name] : {std::pair{&TZuTrayIcon::OnLButtonDown, "ldown"},
                                   {&TZuTrayIcon::OnLButtonUp, "lup"},
                                   {&TZuTrayIcon::OnLButtonDblClick, "ldbl"},
                                   {&TZuTrayIcon::OnRButtonDown, "rdown"},
                                   {&TZuTrayIcon::OnRButtonUp, "rup"},
                                   {&TZuTrayIcon::OnRButtonDblClick, "rdbl"},
                                   {&TZuTrayIcon::OnBalloonHintClick, "balloon"},
                                   {&TZuTrayIcon::OnRestoreApp, "restored"},
                                   {&TZuTrayIcon::OnMinimizeApp, "minimized"}})
            (*tray_).*event = [this, name = std::string(name)](QObject&) { log_.push_back(name); };
    }
    void TearDown() override { tray_.reset(); }

    QWidget owner_;
    QMenu menu_;
    FakeArea* area_ = nullptr;
    std::unique_ptr<TZuTrayIcon> tray_;
    std::vector<std::string> log_;
};

TEST_F(TrayTest, HintIsCutAt127AndAnEmptyOneRemovesTheTip) {
    EXPECT_TRUE(tray_->Enabled());
    EXPECT_TRUE(area_->present);
    const QString longHint = QString(200, QChar(u'云'));
    tray_->SetHint(longHint);
    EXPECT_EQ(tray_->Hint(), longHint);
    EXPECT_EQ(area_->tip, longHint.left(127));
    tray_->SetHint(QStringLiteral("云雀"));
    EXPECT_EQ(area_->tip, QStringLiteral("云雀"));
    tray_->SetHint(QString());
    EXPECT_TRUE(area_->tip.isEmpty());
}

TEST_F(TrayTest, ClickTableOfTheMainWindow) {
    ShowAndWait(owner_);
    owner_.showMinimized();
    QApplication::processEvents();
    log_.clear();
    // A left press restores at once, then fires its own event.
    tray_->HandleMessage(tmLButtonDown);
    EXPECT_FALSE(owner_.isMinimized());
    EXPECT_TRUE(owner_.isVisible());
    EXPECT_EQ(log_, (std::vector<std::string>{"restored", "ldown"}));
    // A right press opens the menu at the cursor.
    log_.clear();
    tray_->HandleMessage(tmRButtonDown);
    EXPECT_EQ(area_->menus, std::vector<QPoint>{QPoint(640, 790)});
    EXPECT_EQ(log_, std::vector<std::string>{"rdown"});
    // Releases and double clicks only fire their events.
    log_.clear();
    for (TZuTrayMessage m :
         {tmLButtonUp, tmLButtonDblClk, tmRButtonUp, tmRButtonDblClk, tmBalloonClick})
        tray_->HandleMessage(m);
    EXPECT_EQ(log_, (std::vector<std::string>{"lup", "ldbl", "rup", "rdbl", "balloon"}));
    EXPECT_EQ(area_->menus.size(), 1u);
}

TEST_F(TrayTest, RestoreWhileTheMenuShowsIsIgnored) {
    ShowAndWait(owner_);
    owner_.showMinimized();
    QApplication::processEvents();
    area_->whileMenuOpen = [this] {
        EXPECT_TRUE(tray_->MenuShowing());
        tray_->HandleMessage(tmLButtonDown);
        EXPECT_TRUE(owner_.isMinimized() || !owner_.isVisible());
    };
    tray_->HandleMessage(tmRButtonDown);
    EXPECT_FALSE(tray_->MenuShowing());
    area_->whileMenuOpen = nullptr;
    tray_->HandleMessage(tmLButtonDown);
    EXPECT_FALSE(owner_.isMinimized());
}

TEST_F(TrayTest, MinimisingHidesTheTaskbarEntryOnlyWithAnIcon) {
    ShowAndWait(owner_);
    owner_.showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(owner_.isVisible());
    EXPECT_NE(std::find(log_.begin(), log_.end(), "minimized"), log_.end());
    tray_->HandleMessage(tmLButtonDown);
    EXPECT_TRUE(owner_.isVisible());

    // No tray host: the window stays on the taskbar, where it can be brought back from.
    tray_->SetEnabled(false);
    area_->hostRuns = false;
    tray_->SetEnabled(true);
    EXPECT_FALSE(tray_->Enabled()); // the refused add
    owner_.showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(owner_.isVisible());
    EXPECT_TRUE(owner_.isMinimized());
}

TEST_F(TrayTest, TheIconComesBackWithItsImageAndTip) {
    tray_->SetIcons({Solid(Qt::red), Solid(Qt::blue)});
    tray_->SetIconIndex(1);
    tray_->SetHint(QStringLiteral("云雀"));
    const qint64 blue = area_->icon.cacheKey();
    EXPECT_EQ(blue, tray_->CurrentIcon().cacheKey());
    area_->present = false; // the host went away ...
    area_->icon = QIcon();
    area_->tip.clear();
    area_->OnHostReturned(); // ... and came back
    EXPECT_TRUE(area_->present);
    EXPECT_EQ(area_->icon.cacheKey(), blue);
    EXPECT_EQ(area_->tip, QStringLiteral("云雀"));

    // An icon asked for while no host ran appears once one does.
    tray_->SetEnabled(false);
    area_->hostRuns = false;
    tray_->SetEnabled(true);
    EXPECT_FALSE(area_->present);
    area_->hostRuns = true;
    area_->OnHostReturned();
    EXPECT_TRUE(area_->present);
    EXPECT_TRUE(tray_->Enabled());
}

TEST_F(TrayTest, FramesAndTheApplicationIcon) {
    const qint64 app = QApplication::windowIcon().cacheKey();
    EXPECT_EQ(tray_->CurrentIcon().cacheKey(), app);
    const QIcon red = Solid(Qt::red), blue = Solid(Qt::blue);
    tray_->SetIcons({red, blue});
    tray_->SetIconIndex(0);
    EXPECT_EQ(area_->icon.cacheKey(), red.cacheKey());
    tray_->AnimationTick();
    EXPECT_EQ(tray_->IconIndex(), 1);
    EXPECT_EQ(area_->icon.cacheKey(), blue.cacheKey());
    tray_->AnimationTick(); // after the last frame, the first
    EXPECT_EQ(tray_->IconIndex(), 0);
    for (int index : {2, -1}) {
        tray_->SetIconIndex(index);
        EXPECT_EQ(area_->icon.cacheKey(), app) << index;
    }
    tray_->SetAnimate(true);
    EXPECT_TRUE(tray_->Animate());
    tray_->SetAnimate(false);
}

TEST_F(TrayTest, SessionEnd) {
    tray_->OnQueryEndSession = [](QObject&, bool& allow) { allow = false; };
    EXPECT_FALSE(tray_->QueryEndSession());
    tray_->OnQueryEndSession = nullptr;
    EXPECT_TRUE(tray_->QueryEndSession()); // preset to true
    bool ended = false;
    tray_->OnEndSession = [&](QObject&) { ended = true; };
    tray_->EndSession();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(area_->present);
}

} // namespace
} // namespace tunola
