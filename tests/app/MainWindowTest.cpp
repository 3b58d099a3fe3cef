#include "AudioFixtures.h"
#include "CnAAMarqueeText.h"
#include "FirstPaintProbe.h"
#include "MainWindowKeys.h"
#include "MemoryTrim.h"
#include "MoConfig.h"
#include "PlaybackController.h"
#include "PlayerActions.h"
#include "PlayerMessages.h"
#include "StartupSettings.h"
#include "TunApplication.h"
#include "TunMain.h"
#include "TunShare.h"
#include "WindowManners.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

using namespace tunola;

namespace {

QAction* Entry(QMenu* menu, const char* name) {
    return menu->findChild<QAction*>(QString::fromLatin1(name));
}

// Settings and the playlist file in a user folder of the test's own.
void UseUserFolder(TAppState& state, const QTemporaryDir& user) {
    state.UserDir = user.path().toStdString() + "/";
    state.PlaylistFile = state.UserDir + "Default.pls";
}

// What start-up does before the window shows: the audio library, the other windows, the actions.
void StartPlayerParts(TTunMain& window) {
    window.StartAudioLibrary();
    window.CreateWindows();
    window.CreatePlayerActions();
}

TEST(MainWindow, MenuEntriesAndCaptions) {
    TAppState state;
    TTunMain window(state);
    const struct {
        const char* name;
        const char* caption;
    } entries[] = {
        {"pmm_about", "关于云雀..."},
        {"pmf_openfile", "打开本地歌曲"},
        {"pmf_openweblist", "打开随身播放列表"},
        {"pmp_play", "播放/暂停"},
        {"pmp_previous", "上一首"},
        {"pmp_next", "下一首"},
        {"pmv_lise", "列表"},
        {"pmv_lrc", "歌词"},
        {"pmv_share", "音乐库"},
        {"pmv_desktoplrc", "桌面歌词"},
        {"pmm_lrc", "打开歌词存放目录"},
        {"pmm_setdown", "设置歌词存放目录"},
        {"pmm_close", "退出程序"},
    };
    for (const auto& e : entries) {
        QAction* a = Entry(window.MainMenu(), e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
    }
    EXPECT_FALSE(Entry(window.MainMenu(), "pmf_openweblist")->isVisible());
    EXPECT_EQ(window.SkinMenu()->title(), QStringLiteral("皮肤"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("TunOla Main Window"));
    EXPECT_EQ(window.size(), QSize(464, 238));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.vl_time->text(), QStringLiteral("00:00 / 00:00"));
}

TEST(MainWindow, SkinMenuListsFoldersAndSwitchesSkin) {
    QTemporaryDir program;
    namespace fs = std::filesystem;
    for (const char* name : {"Default", "Ink", ".git"})
        fs::create_directories(fs::path(program.path().toStdString()) / "skin" / name);
    TAppState state;
    state.ProgramDir = program.path().toStdString() + "/";
    TTunMain window(state);
    window.BuildSkinMenu();
    const QList<QAction*> items = window.SkinMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("skin_1"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("Default"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("skin_2"));
    EXPECT_FALSE(items[0]->isChecked());

    window.SkinMenuClick(items[1]);
    EXPECT_EQ(state.SkinName, "Ink");
    EXPECT_EQ(state.SkinDir, state.ProgramDir + "skin/Ink/");
}

// A skin folder whose name is not UTF-8 (unpacked from a Windows zip): it reads right in the
// menu, it can be chosen, and the next start comes up in it again.
TEST(MainWindow, SkinFolderNamedInGbk) {
    QTemporaryDir program;
    namespace fs = std::filesystem;
    const std::string gbkName = "\xC6\xA4\xB7\xF4"; // 皮肤
    const fs::path root = fs::path(program.path().toStdString()) / "skin";
    fs::create_directories(root / "Default");
    fs::copy(std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/skin/Default", root / gbkName);
    TAppState state;
    state.ProgramDir = program.path().toStdString() + "/";
    TTunMain window(state);
    window.CreateSkinLoader();
    window.BuildSkinMenu();
    QAction* entry = nullptr;
    for (QAction* a : window.SkinMenu()->actions())
        if (a->text() == QStringLiteral("皮肤"))
            entry = a;
    ASSERT_NE(entry, nullptr);
    window.SkinMenuClick(entry);
    EXPECT_EQ(state.SkinName, gbkName);
    EXPECT_FALSE(window.vb_play->Image().Empty()) << "its pictures load";

    TMoConfig config("", kConfigRoot);
    WriteCloseSettings(config, state);
    TAppState next;
    next.ProgramDir = state.ProgramDir;
    ReadStartupSettings(config, next);
    EXPECT_EQ(next.SkinName, gbkName);
    EXPECT_EQ(next.SkinDir, state.SkinDir);
}

TEST(MainWindow, SkinMenuSwitchesBetweenTheShippedSkins) {
    TAppState state;
    state.ProgramDir = std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/";
    TTunMain window(state);
    window.CreateSkinLoader();
    window.BuildSkinMenu();
    QAction* defaultSkin = nullptr;
    QAction* porcelain = nullptr;
    for (QAction* a : window.SkinMenu()->actions()) {
        if (a->text() == QStringLiteral("Default"))
            defaultSkin = a;
        if (a->text() == QStringLiteral("Porcelain"))
            porcelain = a;
    }
    ASSERT_TRUE(defaultSkin && porcelain);

    window.SkinMenuClick(defaultSkin);
    const QRect playInDefault = window.vb_play->geometry();
    EXPECT_FALSE(window.vb_play->Image().Empty());
    EXPECT_EQ(window.size(), QSize(464, 238));
    window.SkinMenuClick(porcelain);
    EXPECT_EQ(state.SkinName, "Porcelain");
    EXPECT_NE(window.vb_play->geometry(), playInDefault);
    window.SkinMenuClick(defaultSkin);
    EXPECT_EQ(window.vb_play->geometry(), playInDefault);
}

TEST(MainWindow, TrayIconWithItsHintAndMenu) {
    TAppState state;
    TTunMain window(state);
    window.CreateTrayIcon();
    ASSERT_NE(window.try_main, nullptr);
    EXPECT_EQ(window.try_main->Hint(), QStringLiteral("云雀"));
    EXPECT_EQ(window.try_main->PopupMenu(), window.MainMenu());
    EXPECT_EQ(window.try_main->RestoreOn(), ticLeftClick);
    EXPECT_EQ(window.try_main->PopupMenuOn(), ticRightClick);
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    // The opening notice writes the hint again.
    window.try_main->SetHint(QStringLiteral("别的"));
    window.SetTrayHint(QStringLiteral("云雀"));
    EXPECT_EQ(window.try_main->Hint(), QStringLiteral("云雀"));
    // The offscreen platform has no notification area: the window keeps its taskbar entry.
    EXPECT_FALSE(window.try_main->Shown());
}

TEST(MainWindow, SecondStartBringsTheWindowBack) {
    TAppState state;
    TTunMain window(state);
    window.showMinimized();
    EXPECT_EQ(window.HandleMessage(WM_PLAYER_NOTIFY, ncShowMain, 0), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(window.HandleMessage(WM_PLAYER_NOTIFY, 12345, 0), -1);
}

// The minimise button minimises the player, not only its main window; restoring the main window
// (a second start, the window manager) brings back what went with it.
TEST(MainWindow, MinimiseTakesTheWholeGroupAndRestoreBringsItBack) {
    QTemporaryDir user;
    TAppState state;
    UseUserFolder(state, user);
    TTunMain window(state);
    window.CreateWindows();
    ASSERT_NE(window.PlaylistWindow(), nullptr);
    window.show();
    window.PlaylistWindow()->show();
    window.vb_minClick();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_TRUE(window.PlaylistWindow()->isMinimized());

    window.HandleMessage(WM_PLAYER_NOTIFY, ncShowMain, 0);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_FALSE(window.PlaylistWindow()->isMinimized());
    EXPECT_TRUE(window.PlaylistWindow()->isVisible());

    // A hidden window stays hidden through both.
    window.PlaylistWindow()->hide();
    window.vb_minClick();
    window.HandleMessage(WM_PLAYER_NOTIFY, ncShowMain, 0);
    EXPECT_FALSE(window.PlaylistWindow()->isVisible());
}

TEST(MainWindow, LibraryButtonMakesTogglesAndSkinsTheLibraryWindow) {
    QTemporaryDir user;
    TAppState state;
    UseUserFolder(state, user);
    state.ProgramDir = std::string(TUNOLA_TEST_SOURCE_DIR) + "/data/";
    state.SkinName = "Porcelain";
    state.SkinDir = state.ProgramDir + "skin/Porcelain/";
    TTunMain window(state);
    window.CreateSkinLoader();
    window.CreateWindows();
    window.LoadSkin();
    window.show();
    // Nothing of it exists until it is needed.
    EXPECT_EQ(window.ShareWindow(), nullptr);
    QTest::mouseClick(window.vb_share, Qt::LeftButton);
    TTunShare* share = window.ShareWindow();
    ASSERT_NE(share, nullptr);
    EXPECT_TRUE(share->isVisible());
    EXPECT_TRUE(window.vb_share->Checked());
    EXPECT_EQ(share->pos(), QPoint(window.x() + window.width(), window.y()));
    // The skin as it stood reached the window made later.
    EXPECT_FALSE(share->btn_close->Image().Empty());
    EXPECT_EQ(share->size(), QSize(772, 532));
    QTest::mouseClick(window.vb_share, Qt::LeftButton);
    EXPECT_FALSE(share->isVisible());
    EXPECT_FALSE(window.vb_share->Checked());
    QTest::mouseClick(window.vb_share, Qt::LeftButton);
    share->btn_closeClick(); // close hides and unchecks the button
    EXPECT_FALSE(share->isVisible());
    EXPECT_FALSE(window.vb_share->Checked());

    // An entry added from the window is an internet entry, saved with the list at once.
    const int index = window.AppendInternetEntry({" http://h/share/mm1.mp3", "晴天", "周杰伦"});
    const TZuPlaylistItems& list = window.PlaylistWindow()->Playlist().Items();
    ASSERT_EQ(index, list.Count() - 1);
    EXPECT_TRUE(list.GetItem(index)->ISURL());
    EXPECT_EQ(list.GetItem(index)->Caption(), "晴天 - 周杰伦");
    QFile saved(QString::fromStdString(state.PlaylistFile));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("mm1.mp3"));
    EXPECT_EQ(int(window.PlaylistWindow()->ShuffleOrder().size()), list.Count());
}

// The main window's keys and the volume slider's wheel, as real events.
TEST(MainWindow, KeysAndTheVolumeWheelDriveThePlayer) {
    QTemporaryDir user;
    TAppState state;
    UseUserFolder(state, user);
    const std::string track = tunaudio::test::WriteWav("main-keys.wav", 8000, 1, 8000 * 20,
                                                       tunaudio::test::Sine(440, 8000))
                                  .string();
    TTunMain window(state);
    StartPlayerParts(window);
    ASSERT_NE(window.Controller(), nullptr);
    int dialogs = 0;
    window.PlaylistWindow()->Dialogs.OpenFiles = [&](QWidget*, const QString&, const QString&) {
        ++dialogs;
        return QStringList();
    };
    window.show();
    TPlayerActions& actions = window.Actions();
    ASSERT_EQ(actions.Open({QString::fromStdString(track)}, true), 1);
    // Playing, with its stream open.
    window.Controller()->WaitForOpen();
    for (int i = 0; i < 200 && (actions.State() != psPlaying || actions.Length() == 0); ++i)
        QTest::qWait(10);
    ASSERT_EQ(actions.State(), psPlaying);

    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(actions.State(), psPaused);
    QTest::keyClick(&window, Qt::Key_Right);
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_NEAR(actions.Position(), 10.0, 0.5);
    QTest::keyClick(&window, Qt::Key_Left);
    EXPECT_NEAR(actions.Position(), 5.0, 0.5);
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(actions.State(), psPlaying);

    actions.SetVolume(50);
    const int start = actions.Volume();
    QTest::keyClick(&window, Qt::Key_Up);
    EXPECT_NEAR(actions.Volume(), start + kVolumeStep, 1);
    QTest::keyClick(&window, Qt::Key_Down);
    QTest::keyClick(&window, Qt::Key_Down);
    EXPECT_NEAR(actions.Volume(), start - kVolumeStep, 1);
    EXPECT_NEAR(window.Audio()->GetVolume() * 100, actions.Volume(), 1);

    auto wheel = [&](int delta) {
        const QPointF at(window.pgb_volume->width() / 2.0, window.pgb_volume->height() / 2.0);
        QWheelEvent event(at, window.pgb_volume->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.pgb_volume, &event);
    };
    const int before = actions.Volume();
    wheel(120);
    EXPECT_NEAR(actions.Volume(), before + kVolumeStep, 1);
    wheel(60); // half a notch from a touchpad: nothing yet
    EXPECT_NEAR(actions.Volume(), before + kVolumeStep, 1);
    wheel(60);
    EXPECT_NEAR(actions.Volume(), before + 2 * kVolumeStep, 1);
    wheel(-240);
    EXPECT_NEAR(actions.Volume(), before, 1);

    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(dialogs, 1);
    window.Controller()->WaitForOpen();
}

// An entry that does not open is marked with the reason; once it plays the mark goes.
TEST(MainWindow, AnEntryThatFailsIsMarkedUntilItPlays) {
    QTemporaryDir user;
    TAppState state;
    UseUserFolder(state, user);
    const QString broken = user.path() + QStringLiteral("/broken.wav");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is no sound at all");
    }
    TTunMain window(state);
    StartPlayerParts(window);
    TPlayerActions& actions = window.Actions();
    ASSERT_EQ(actions.Open({broken}, true), 1);
    TZuPlaylistModel& model = window.PlaylistWindow()->Playlist();
    const TZuPlaylistItem& entry = *model.Items().GetItem(0);
    for (int i = 0; i < 200 && !model.Failure(entry); ++i)
        QTest::qWait(10);
    ASSERT_NE(model.Failure(entry), nullptr);
    EXPECT_EQ(*model.Failure(entry), "无法打开：格式不受支持，或文件已损坏");

    // Mended on disk, played again: no mark.
    window.Controller()->WaitForOpen();
    const std::string good =
        tunaudio::test::WriteWav("main-mended.wav", 8000, 1, 8000, tunaudio::test::Sine(440, 8000))
            .string();
    QFile::remove(broken);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(good), broken));
    actions.PlayAt(0);
    for (int i = 0; i < 200 && model.Failure(entry); ++i)
        QTest::qWait(10);
    EXPECT_EQ(model.Failure(entry), nullptr);
    window.Controller()->WaitForOpen();
}

TEST(MainWindow, TitleNamesThePlayingTrack) {
    const struct {
        const char* caption;
        const char* title;
    } kCases[] = {
        {"歌 - 歌手", "歌 - 歌手 - 听风"},
        {"歌 - ", "歌 - 听风"},
        {"", "听风"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(TWindowManners::TitleFor(QString::fromUtf8(c.caption)),
                  QString::fromUtf8(c.title));

    QTemporaryDir user;
    TAppState state;
    UseUserFolder(state, user);
    const std::string track = tunaudio::test::WriteWav("main-title.wav", 8000, 1, 8000 * 5,
                                                       tunaudio::test::Sine(440, 8000))
                                  .string();
    TTunMain window(state);
    StartPlayerParts(window);
    const QString idle = window.windowTitle();
    window.Actions().Open({QString::fromStdString(track)}, true);
    window.Controller()->WaitForOpen();
    for (int i = 0; i < 200 && window.windowTitle() == idle; ++i)
        QTest::qWait(10);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("main-title - 听风"));
    // The title scrolls while it plays; stopped, the player runs no animation.
    const auto* title = window.findChild<TCnAAMarqueeText*>(QStringLiteral("vl_title"));
    ASSERT_TRUE(title);
    EXPECT_TRUE(title->Active());
    window.Actions().Stop();
    EXPECT_EQ(window.windowTitle(), idle);
    EXPECT_FALSE(title->Active());

    // The playlist window has a title, and belongs to the main window (no taskbar entry).
    EXPECT_EQ(window.PlaylistWindow()->windowTitle(), QStringLiteral("播放列表"));
    EXPECT_EQ(window.PlaylistWindow()->parentWidget(), &window);
    EXPECT_EQ(window.PlaylistWindow()->windowType(), Qt::Tool);
    EXPECT_TRUE(window.PlaylistWindow()->isWindow());
}

// A move the window manager makes (no drag of ours) carries the docked windows along.
TEST(MainWindow, WindowManagerMovesTakeTheDockedGroup) {
    QTemporaryDir user;
    TAppState state;
    UseUserFolder(state, user);
    TTunMain window(state);
    window.CreateWindows();
    window.CreatePlayerActions();
    TTunPlayList& list = *window.PlaylistWindow();
    window.move(100, 80);
    window.show();
    list.move(100, 80 + window.height()); // docked under the main window
    list.show();
    TZuForm loose;
    loose.setGeometry(700, 500, 50, 50); // far away: not part of the group
    loose.show();
    QTest::qWait(50);

    window.move(130, 100);
    for (int i = 0; i < 100 && list.pos() == QPoint(100, 80 + window.height()); ++i)
        QTest::qWait(10);
    EXPECT_EQ(list.pos(), QPoint(130, 100 + window.height()));
    EXPECT_EQ(loose.pos(), QPoint(700, 500));
}

TEST(MainWindow, QtDialogsSpeakChinese) {
    ASSERT_TRUE(LoadQtTranslations(*QCoreApplication::instance()))
        << "Qt's translations are installed by scripts/setup.sh";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

// The start-up probe reports the first paint once, however many widgets paint.
// The trim hands back freed heap pages even when a live block above them keeps the heap from
// shrinking (the idle player's and the post-add trims rely on it).
TEST(MemoryTrim, FreedHeapBelowALiveBlockGoesBackToTheSystem) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers keep their own heap";
#else
    auto residentKiB = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmRSS:", 0) == 0)
                return std::stol(line.substr(6));
        return 0L;
    };
    std::vector<std::unique_ptr<char[]>> blocks;
    for (int i = 0; i < 64 * 1024; ++i) { // 64 MiB in 1 KiB blocks, each touched
        blocks.emplace_back(new char[1024]);
        std::fill_n(blocks.back().get(), 1024, char(i));
    }
    std::unique_ptr<char[]> live = std::move(blocks.back());
    blocks.clear();
    const long before = residentKiB();
    TrimWorkingSet();
    EXPECT_LT(residentKiB(), before - 32 * 1024);
    live.reset();
#endif
}

TEST(FirstPaintProbe, ReportsOnce) {
    static int reports = 0;
    QLoggingCategory::setFilterRules(QStringLiteral("tunola.startup.info=true"));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            reports += text.startsWith(QStringLiteral("first paint at "));
        });
    TFirstPaintProbe::Install(qApp);
    QWidget a, b;
    a.resize(50, 50);
    b.resize(50, 50);
    a.show();
    b.show();
    for (int i = 0; i < 3; ++i) {
        a.repaint();
        b.repaint();
        QCoreApplication::processEvents();
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    EXPECT_EQ(reports, 1);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
