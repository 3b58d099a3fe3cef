#include "TunMain.h"

#include "AppIcon.h"
#include "AtomicFile.h"
#include "FileVersion.h"
#include "MainWindowKeys.h"
#include "MemoryTrim.h"
#include "MoConfig.h"
#include "MprisService.h"
#include "PlaybackController.h"
#include "PlayerActions.h"
#include "PlayerMessages.h"
#include "PlayerSession.h"
#include "ProgramFolders.h"
#include "ServiceAddress.h"
#include "ServiceLibraries.h"
#include "StartupSettings.h"
#include "TunApplication.h"
#include "USGeneralPurpose.h"
#include "UpdateCheck.h"
#include "WebServices.h"
#include "WindowManners.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <FrmAbout.h>
#include <LyricsSkin.h>
#include <OpenFT.h>
#include <PlaylistSkin.h>
#include <ShareSkin.h>
#include <TunShare.h>
#include <ZuSkin.h>
#include <ZuSkinnedForm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace tunola {

namespace {

constexpr int kDesignWidth = 464;
constexpr int kDesignHeight = 238;
// The library window's size as both skins draw it.
constexpr int kShareDesignWidth = 772;
// How long closing waits for a stream that is still opening (after cancelling it).
constexpr int kOpenStopBoundMs = 2000;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect where) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(where);
    return l;
}

QAction* AddEntry(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

TTunMain::TTunMain(TAppState& state, QWidget* parent) : TZuFormEx(parent), state_(state) {
    setObjectName(QStringLiteral("TTunMain"));
    SetTag(1); // the leader: forms docked to it move with it
    setWindowTitle(QStringLiteral("TunOla Main Window"));
    resize(kDesignWidth, kDesignHeight);
    CreateComponents();
    CreateMainMenu();
    // Until start-up wires the real parts, requests find a player with nothing to act on.
    actions_ = std::make_unique<TPlayerActions>(TPlayerActions::TParts{&state_});
    // The tray icon talks to the desktop (the session bus, the tray host): that waits until
    // the player is up.
    QTimer::singleShot(0, this,
                       [this] { RunContained("tray icon", [this] { CreateTrayIcon(); }); });
}

void TTunMain::CreateTrayIcon() {
    if (try_main)
        return;
    // The icon drawn at build time, else (a build tree without it, tests) one drawn here.
    if (QApplication::windowIcon().availableSizes().isEmpty())
        QApplication::setWindowIcon(MakeAppIcon());
    try_main = new TZuTrayIcon(this);
    try_main->setObjectName(QStringLiteral("try_main"));
    try_main->SetHint(QStringLiteral("云雀"));
    try_main->SetPopupMenu(pm_main);
    try_main->SetRestoreOn(ticLeftClick);
    try_main->SetPopupMenuOn(ticRightClick);
}

TTunMain::~TTunMain() {
    FormDestroy();
}

// ---------------------------------------------------------------------------------------------
// The controller's view of the controls

void TTunMain::vb_playSetChecked(bool checked) {
    vb_play->SetChecked(checked);
    // The title scrolls only while music plays: a paused or stopped player runs no timer but
    // tmr_chk.
    vl_title->SetActive(checked);
}
bool TTunMain::vb_soundChecked() const {
    return vb_sound->Checked();
}
void TTunMain::vb_soundSetChecked(bool checked) {
    vb_sound->SetChecked(checked);
}
int TTunMain::pgb_musicPosition() const {
    return pgb_music->Position();
}
void TTunMain::pgb_musicSetPosition(int seconds) {
    pgb_music->SetPosition(seconds);
}
void TTunMain::pgb_musicSetMax(int seconds) {
    pgb_music->SetMax(seconds);
}
int TTunMain::pgb_volumePosition() const {
    return pgb_volume->Position();
}
void TTunMain::pgb_volumeSetEnabled(bool enabled) {
    pgb_volume->setEnabled(enabled);
}
void TTunMain::vl_titleSetText(const QString& text) {
    vl_title->SetCaption(text);
}
void TTunMain::vl_timeSetText(const QString& text) {
    vl_time->setText(text);
}
QString TTunMain::vl_stackText() const {
    return vl_stack->text();
}
void TTunMain::vl_stackSetText(const QString& text) {
    vl_stack->setText(text);
}
void TTunMain::SetTrayHint(const QString& hint) {
    if (try_main)
        try_main->SetHint(hint);
}

// The components, at their design places; the skin gives them their pictures, sizes and
// places.
void TTunMain::CreateComponents() {
    ZuWindow1 = new TZuWindow(this);
    ZuWindow1->setObjectName(QStringLiteral("ZuWindow1"));

    vb_menu = MakeControl<TZuButton>(this, "vb_menu", {376, 6, 26, 20});
    vb_min = MakeControl<TZuButton>(this, "vb_min", {404, 6, 26, 20});
    vb_close = MakeControl<TZuButton>(this, "vb_close", {432, 6, 26, 20});

    // The title scrolls; the skin gives its place, font and colours.
    vl_title = MakeControl<TCnAAMarqueeText>(this, "vl_title", {18, 30, 428, 25});
    vl_title->SetScrollType(stRightToLeft);
    vl_title->SetScrollStep(1);
    vl_title->SetScrollDelay(50);
    vl_title->SetActive(false); // until something plays; the caption comes after the skin
    // Labels draw their text over the window background; the skin gives font and colour.
    vl_time = MakeLabel(this, "vl_time", QStringLiteral("00:00 / 00:00"), {18, 58, 160, 20});
    vl_time->installEventFilter(this);
    vl_stack = MakeLabel(this, "vl_stack", QString(), {190, 58, 256, 20});
    for (QLabel* label : {vl_time, vl_stack}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, QColor(0xd8, 0xe4, 0xf0));
        label->setPalette(pal);
    }

    pbx_ost = new TSpectrumBox(this);
    pbx_ost->setObjectName(QStringLiteral("pbx_ost"));
    pbx_ost->setGeometry(18, 84, 428, 64);

    pgb_music = MakeControl<TZuSliderBlendEx>(this, "pgb_music", {18, 156, 428, 18});
    pgb_music->SetMax(10);
    vb_previous = MakeControl<TZuButton>(this, "vb_previous", {18, 188, 56, 32});
    vb_play = MakeControl<TZuCheckedButton>(this, "vb_play", {80, 188, 56, 32});
    vb_next = MakeControl<TZuButton>(this, "vb_next", {142, 188, 56, 32});
    vb_sound = MakeControl<TZuCheckedButton>(this, "vb_sound", {214, 188, 44, 32});
    pgb_volume = MakeControl<TZuSliderBlendEx>(this, "pgb_volume", {262, 195, 92, 18});
    pgb_volume->SetMax(100);
    vb_list = MakeControl<TZuCheckedButton>(this, "vb_list", {362, 188, 40, 32});
    vb_share = MakeControl<TZuCheckedButton>(this, "vb_share", {406, 188, 40, 32});

    tmr_chk = new QTimer(this);
    tmr_chk->setObjectName(QStringLiteral("tmr_chk"));
    tmr_chk->setInterval(2000);
    connect(tmr_chk, &QTimer::timeout, this,
            [this] { RunContained("tmr_chk", [this] { tmr_chkTimer(); }); });
    tmr_chk->start();

    tmr_pub = new QTimer(this);
    tmr_pub->setObjectName(QStringLiteral("tmr_pub"));
    tmr_pub->setInterval(33);
    // The title steps on the playback tick, so that its step and the spectrum's frame reach the
    // screen in one flush of the window instead of two (each flush is a round trip to the X
    // server); its own timer stands in when the ticks stop.
    vl_title->SetPacedFromOutside(true);
    connect(tmr_pub, &QTimer::timeout, vl_title, qOverload<>(&TCnAAMarqueeText::Pace));

    vb_menu->OnClick = [this](QWidget&) { vb_menuClick(); };
    vb_min->OnClick = [this](QWidget&) { vb_minClick(); };
    vb_close->OnClick = [this](QWidget&) { vb_closeClick(); };
    vb_list->OnClick = [this](QWidget&) { vb_listClick(); };
    vb_share->OnClick = [this](QWidget&) { vb_shareClick(); };

    SizeFromEdges(*this);
}

void TTunMain::CreateMainMenu() {
    pm_main = new QMenu(this);
    pm_main->setObjectName(QStringLiteral("pm_main"));

    connect(AddEntry(pm_main, "pmm_about", QStringLiteral("关于云雀...")), &QAction::triggered,
            this, &TTunMain::pmm_aboutClick);
    pm_main->addSeparator();

    QMenu* file = pm_main->addMenu(QStringLiteral("文件"));
    connect(AddEntry(file, "pmf_openfile", QStringLiteral("打开本地歌曲")), &QAction::triggered,
            this, &TTunMain::pmf_openfileClick);
    file->addSeparator();
    QAction* webList = AddEntry(file, "pmf_openweblist", QStringLiteral("打开随身播放列表"));
    webList->setVisible(false);
    connect(webList, &QAction::triggered, this, &TTunMain::pmf_openweblistClick);

    // The playback entries run the same commands as their buttons.
    QMenu* play = pm_main->addMenu(QStringLiteral("播放"));
    auto runButton = [](TZuButton* button) {
        return [button] {
            if (button->OnClick)
                button->OnClick(*button);
        };
    };
    connect(AddEntry(play, "pmp_play", QStringLiteral("播放/暂停")), &QAction::triggered, this,
            runButton(vb_play));
    play->addSeparator();
    connect(AddEntry(play, "pmp_previous", QStringLiteral("上一首")), &QAction::triggered, this,
            runButton(vb_previous));
    connect(AddEntry(play, "pmp_next", QStringLiteral("下一首")), &QAction::triggered, this,
            runButton(vb_next));

    QMenu* view = pm_main->addMenu(QStringLiteral("查看"));
    connect(AddEntry(view, "pmv_lise", QStringLiteral("列表")), &QAction::triggered, this,
            &TTunMain::vb_listClick);
    connect(AddEntry(view, "pmv_lrc", QStringLiteral("歌词")), &QAction::triggered, this,
            &TTunMain::pmv_lrcClick);
    connect(AddEntry(view, "pmv_share", QStringLiteral("音乐库")), &QAction::triggered, this,
            &TTunMain::vb_shareClick);
    connect(AddEntry(view, "pmv_desktoplrc", QStringLiteral("桌面歌词")), &QAction::triggered, this,
            &TTunMain::pmv_desktoplrcClick);
    pmv_lockdesktoplrc = AddEntry(view, "pmv_lockdesktoplrc", QStringLiteral("锁定桌面歌词"));
    pmv_lockdesktoplrc->setCheckable(true);
    connect(pmv_lockdesktoplrc, &QAction::toggled, this, &TTunMain::pmv_lockdesktoplrcClick);

    pmm_skin = pm_main->addMenu(QStringLiteral("皮肤"));
    pmm_skin->setObjectName(QStringLiteral("pmm_skin"));
    connect(pmm_skin, &QMenu::triggered, this, &TTunMain::SkinMenuClick);
    pm_main->addSeparator();

    QMenu* settings = pm_main->addMenu(QStringLiteral("设置"));
    settings->setObjectName(QStringLiteral("pmm_settings"));
    QMenu* lyrics = settings->addMenu(QStringLiteral("歌词"));
    connect(AddEntry(lyrics, "pmm_lrc", QStringLiteral("打开歌词存放目录")), &QAction::triggered,
            this, &TTunMain::pmm_lrcClick);
    connect(AddEntry(lyrics, "pmm_setdown", QStringLiteral("设置歌词存放目录")),
            &QAction::triggered, this, &TTunMain::pmm_setdownClick);
    settings->addMenu(QStringLiteral("插件"));
    pm_main->addSeparator();

    connect(AddEntry(pm_main, "pmm_close", QStringLiteral("退出程序")), &QAction::triggered, this,
            &QWidget::close);
}

// ---------------------------------------------------------------------------------------------
// Start-up

void TTunMain::FormCreate() {
    struct Step {
        const char* name;
        void (TTunMain::*run)();
    };
    static constexpr Step kSteps[] = {
        {"exception handler", &TTunMain::InstallExceptionHandler},
        {"audio library", &TTunMain::StartAudioLibrary},
        {"audio configuration", &TTunMain::ConfigureAudioLibrary},
        {"folders", &TTunMain::ResolveFolders},
        {"main window handle", &TTunMain::RememberMainWindow},
        {"skin menu", &TTunMain::BuildSkinMenu},
        {"window colour", &TTunMain::SetOpaqueBlack},
        {"skin loader", &TTunMain::CreateSkinLoader},
        {"play state", &TTunMain::ResetPlayState},
        {"configuration", &TTunMain::ReadConfiguration},
        {"service objects", &TTunMain::CreateServiceObjects},
        {"windows", &TTunMain::CreateWindows},
        {"player actions", &TTunMain::CreatePlayerActions},
        {"desktop bus", &TTunMain::StartDesktopBus},
        {"skin", &TTunMain::LoadSkin},
        {"title", &TTunMain::ShowStartCaption},
        {"window placement", &TTunMain::PlaceWindows},
        {"volume", &TTunMain::ReadVolume},
        {"session", &TTunMain::RestoreSession},
        {"open-file filter", &TTunMain::SetOpenFileFilter},
        {"audio add-ons", &TTunMain::LoadAudioAddons},
        {"configuration release", &TTunMain::ReleaseConfiguration},
        {"plug-in manager", &TTunMain::CreatePluginManager},
        {"service check", &TTunMain::StartServiceCheck},
    };
    for (const Step& step : kSteps)
        RunContained(step.name, [&] { (this->*step.run)(); });
}

void TTunMain::InstallExceptionHandler() {
    // TTunApplication::notify drops exceptions from every event handler; nothing more to do for
    // this window than to make sure it runs under that application object.
    Q_ASSERT(qobject_cast<TTunApplication*>(QCoreApplication::instance()) ||
             QCoreApplication::instance());
}

void TTunMain::StartAudioLibrary() {
    audio_ = std::make_unique<tunaudio::TAudioLibrary>(FindProgramDir());
    if ((audio_->GetVersion() >> 16) != 0x0204)
        terminateRequested_ = true;
    // Device -1 falls back to a silent output, so only a machine where even that fails ends here.
    if (!audio_->Init(-1, 44100, 0, reinterpret_cast<void*>(winId())))
        terminateRequested_ = true;
}

void TTunMain::ConfigureAudioLibrary() {
    if (!audio_)
        return;
    audio_->SetConfig(tunaudio::kConfigNetPlaylist, 1);
    audio_->SetConfig(tunaudio::kConfigNetPrebuf, 1024);
}

void TTunMain::ResolveFolders() {
    state_.ProgramDir = FindProgramDir();
    state_.UserDir = MakeUserDir();
}

void TTunMain::RememberMainWindow() {
    // Workers reach this window through the notification channel that the playback controller
    // owns; the window itself is the target, so there is no handle to store.
}

void TTunMain::BuildSkinMenu() {
    pmm_skin->clear();
    int n = 0;
    for (const std::string& name : ListSkinFolders(state_.ProgramDir + "skin/")) {
        // The caption is for reading; the folder's own bytes (not always UTF-8) go with it.
        QAction* entry = pmm_skin->addAction(QString::fromStdString(SkinCaption(name)));
        entry->setObjectName(QStringLiteral("skin_%1").arg(++n));
        entry->setData(QByteArray::fromStdString(name));
    }
}

void TTunMain::SetOpaqueBlack() {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

void TTunMain::CreateSkinLoader() {
    skin_ = std::make_unique<TZuSkin>();
    skin_->RegisterWindow(TZuSkinWindowId::Main, this);
    RegisterSpectrumSkin(*skin_);
}

void TTunMain::CreateServiceObjects() {
    // The music-search and lyric-download libraries are optional: without them the search and
    // lyric download features stay off. The search library is loaded at the first search, so
    // nothing of it costs memory in a player that never searches.
    services_ = std::make_unique<TServiceLibraries>(state_.ProgramDir, serviceHost_);
    services_->LoadLyricDown();
}

IMusicSearch* TTunMain::MusicSearch() {
    return services_ ? services_->MusicSearch() : nullptr;
}

void TTunMain::ResetPlayState() {
    state_.PlayState = psStopped;
}

void TTunMain::ReadConfiguration() {
    startupConfig_ = std::make_unique<TMoConfig>(UserConfigFile(state_), kConfigRoot);
    serviceHost_ = ReadServiceHost(*startupConfig_);
    ReadStartupSettings(*startupConfig_, state_);
}

void TTunMain::CreateWindows() {
    // Playlist, lyrics and desktop-lyrics windows, in that order. The playlist window
    // loads the current list; the controller then plays it.
    playlistWindow_ = std::make_unique<TTunPlayList>(state_, audio_.get(), *this);
    // The tag readers of a big add leave freed heap behind: it goes back at once.
    playlistWindow_->OnFilled = [] { TrimWorkingSet(); };
    // A track played before its tags were read shows them once they are.
    playlistWindow_->OnCurrentFilled = [this] {
        const TZuPlaylistItem* entry = playlistWindow_->Playlist().CurrentEntry();
        if (entry && state_.PlayState != psStopped)
            vl_titleSetText(QString::fromStdString(entry->Caption()));
    };
    BelongToMainWindow(*playlistWindow_, *this);
    if (skin_)
        RegisterPlaylistSkin(*skin_, *playlistWindow_);
    // The library window is made when it is first needed (ShareWindowNow): its controls cost
    // start-up memory, and until the service is found there is nothing to show in it.
    lyrics_ = std::make_unique<TLyricsWindows>(TLyricsWindows::TParts{
        services_ ? services_->LyricDown() : nullptr,
        [this] { return state_.ServiceOnline.load(); },
        [this](std::function<void()> f) {
            QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
        },
        [this](const QString& caption, const QString& text) {
            QMessageBox::warning(this, caption, text);
        },
        // Every lookup that ends goes to the service, a downloaded lyric included, so the
        // service never hears "no lyric" for a song it has one for.
        [this](const TLyricTrack&, const std::string& text) {
            if (web_)
                web_->LyricFound(text);
        }});
    lyrics_->Desktop().OnLockChanged = [this](bool locked) {
        pmv_lockdesktoplrc->setChecked(locked);
    };
    if (skin_)
        RegisterLyricsSkin(*skin_, lyrics_->Lyrics(), lyrics_->Desktop());
    if (!audio_)
        return;
    controller_ =
        std::make_unique<TPlaybackController>(state_, *audio_, playlistWindow_->Playlist(),
                                              playlistWindow_->ShuffleOrder(), *this, *tmr_pub);
    TPlaybackController* c = controller_.get();
    // A track played before the reader threads reached it is read at once.
    controller_->OnBeforeOpen = [this](uint64_t serial) { playlistWindow_->CompleteEntry(serial); };
    vb_play->OnClick = [c](QWidget&) { c->vb_playClick(); };
    vb_next->OnClick = [c](QWidget&) { c->vb_nextClick(); };
    vb_previous->OnClick = [c](QWidget&) { c->vb_previousClick(); };
    vb_sound->OnClick = [c](QWidget&) { c->vb_soundClick(); };
    pgb_music->OnMouseDown = [c](QWidget&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        c->pgb_musicMouseDown();
    };
    pgb_music->OnMouseUp = [c](QWidget&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        c->pgb_musicMouseUp();
    };
    pgb_volume->OnMouseUp = [c](QWidget&, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        c->pgb_volumeMouseUp();
    };
}

void TTunMain::CreatePlayerActions() {
    TPlayerActions::TParts parts{&state_,   audio_.get(), controller_.get(), playlistWindow_.get(),
                                 pgb_music, pgb_volume,   vb_sound};
    parts.ChooseSkin = [this](const QByteArray& folder) { return ChooseSkin(folder); };
    parts.LyricLine = [this] {
        return lyrics_ ? lyrics_->Lyrics().Pb_lrc->LrcCurrText() : QString();
    };
    parts.DragWindow = [this](const QByteArray& window, QPoint delta) {
        return DragWindow(window, delta);
    };
    actions_ = std::make_unique<TPlayerActions>(std::move(parts));
    new TMainWindowKeys(*this, *pgb_volume, *actions_, [this] { pmf_openfileClick(); });
    new TWindowManners(*this, *actions_, windowTitle());
}

void TTunMain::RestoreSession() {
    session_ = new TPlayerSession(
        *actions_,
        [this] {
            return std::vector<std::pair<const char*, QWidget*>>{
                {"Main", this},
                {"Playlist", playlistWindow_.get()},
                {"Lyrics", lyrics_ ? static_cast<QWidget*>(&lyrics_->Lyrics()) : nullptr},
                {"DesktopLyrics", lyrics_ ? static_cast<QWidget*>(&lyrics_->Desktop()) : nullptr}};
        },
        [this](bool shown) {
            if (playlistWindow_ && playlistWindow_->isVisible() != shown)
                vb_listClick();
        },
        this);
    if (QMenu* settings = pm_main->findChild<QMenu*>(QStringLiteral("pmm_settings")))
        session_->AddMenuEntry(*settings);
    if (startupConfig_)
        session_->Restore(*startupConfig_);
}

void TTunMain::StartDesktopBus() {
    // Connecting to the session bus waits until the windows are up: it must not slow start-up.
    QTimer::singleShot(0, this, [this] {
        mpris_ = std::make_unique<TMprisService>(
            *actions_, [this] { ShowMainWindow(); }, [this] { close(); });
        mpris_->Register();
    });
}

void TTunMain::PlayEntry(int index) {
    if (controller_)
        controller_->PlayDirect(index);
}

void TTunMain::StopPlayback() {
    if (controller_)
        controller_->StopPlayback();
}

void TTunMain::SetListButtonChecked(bool checked) {
    vb_list->SetChecked(checked);
}

void TTunMain::LoadSkin() {
    if (skin_)
        skin_->LoadSkin(state_.SkinDir + "skin.xml");
}

void TTunMain::ShowStartCaption() {
    // Set once the skin has given the title its font: measured before, in the default font,
    // the caption would load that font (0.2 MiB) for nothing.
    vl_title->SetCaption(QStringLiteral("听风 Tunola"));
}

TTunShare& TTunMain::ShareWindowNow() {
    if (shareWindow_)
        return *shareWindow_;
    shareWindow_ = std::make_unique<TTunShare>(
        TTunShare::TParts{this, [this] { return MusicSearch(); },
                          [this] { return ServiceUrl(serviceHost_, ""); }, state_.ProgramDir});
    if (skin_) {
        // The skin as it stands goes to this window alone; later skin changes reach it too.
        TZuSkin current;
        RegisterShareSkin(current, *shareWindow_);
        current.LoadSkin(state_.SkinDir + "skin.xml");
        RegisterShareSkin(*skin_, *shareWindow_);
    }
    // At the right of the main window, tops level.
    shareWindow_->move(x() + width(), y());
    return *shareWindow_;
}

void TTunMain::PlaceWindows() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int libraryWidth = shareWindow_ ? shareWindow_->width() : kShareDesignWidth;
    // Until the library window exists, its design width and the column of windows under the
    // main window (the skins make the two equally high) stand in for it, so the whole group is
    // centred.
    QWidget* lyricsWindow = lyrics_ ? &lyrics_->Lyrics() : nullptr;
    const int columnHeight = height() + (playlistWindow_ ? playlistWindow_->height() : 0) +
                             (lyricsWindow ? lyricsWindow->height() : 0);
    const int libraryHeight = shareWindow_.get() ? shareWindow_->height() : columnHeight;
    const int left = (screen.width() - width() - libraryWidth) / 2;
    const int top = (screen.height() - libraryHeight) / 2;
    move(left, top);
    if (playlistWindow_) {
        playlistWindow_->move(left, top + height());
        vb_listClick();
    }
    if (lyricsWindow) {
        lyricsWindow->move(left,
                           top + height() + (playlistWindow_ ? playlistWindow_->height() : 0));
        lyricsWindow->show();
    }
    if (shareWindow_.get())
        shareWindow_->move(left + width(), top);
}

void TTunMain::ReadVolume() {
    if (audio_)
        pgb_volume->SetPosition(static_cast<int>(audio_->GetVolume() * 100));
}

void TTunMain::SetOpenFileFilter() {
    openFileFilter_ = QString::fromUtf8(TTunPlayList::kDefaultMusicFilter);
    if (playlistWindow_)
        playlistWindow_->SetOpenFileFilter(openFileFilter_);
}

void TTunMain::LoadAudioAddons() {
    if (!audio_)
        return;
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathFromUtf8(state_.ProgramDir), ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = PathToUtf8(it->path().filename());
        if (name.starts_with("b_") && name.ends_with(".so"))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const tunaudio::HPLUGIN handle = audio_->PluginLoad(name, 0);
        if (!handle)
            continue;
        AddonHandle = handle;
        if (const tunaudio::TPluginInfo* info = audio_->PluginGetInfo(handle))
            for (const tunaudio::TPluginFormat& format : info->formats)
                openFileFilter_ += QLatin1Char(';') + QString::fromStdString(format.exts);
    }
    if (playlistWindow_)
        playlistWindow_->SetOpenFileFilter(openFileFilter_);
}

void TTunMain::ReleaseConfiguration() {
    startupConfig_.reset();
}

void TTunMain::CreatePluginManager() {
    plugins_ = std::make_unique<TUSGeneralPurpose>(state_.ProgramDir + "plugins");
    if (controller_ && plugins_->Count() > 0) {
        TUSGeneralPurpose* host = plugins_.get();
        controller_->OnTrackStarted = [host](const TZuPlaylistItem& entry) {
            host->TrackStarted(entry);
        };
    }
}

void TTunMain::StartServiceCheck() {
    // Its workers report through the controller's channel: without the audio library (the
    // player then ends) there is none.
    if (!controller_)
        return;
    web_ = std::make_unique<TWebServices>(TWebServices::TParts{
        &state_, &controller_->Poster(), serviceHost_, TWebServices::DefaultUpdaterPath(),
        [this] { return static_cast<quint64>(winId()); },
        [this]() -> std::optional<TWebServices::TTrack> {
            const TZuPlaylistItem* entry =
                playlistWindow_ ? playlistWindow_->Playlist().CurrentEntry() : nullptr;
            if (!entry)
                return std::nullopt;
            return TWebServices::TTrack{entry->Title(), entry->Artist()};
        },
        [this] { ServiceFound(); }, LocalUpdateNumber(GetFileVersion())});
    TWebServices* web = web_.get();
    controller_->OnOtherNotice = [web](int32_t code, int64_t lParam, const QString& text) {
        web->HandleNotice(code, lParam, text);
    };
    web_->StartServiceCheck();
}

void TTunMain::ServiceFound() {
    // The library window's pages open once, when the service is first seen online.
    if (sharePagesOpened_)
        return;
    sharePagesOpened_ = true;
    ShareWindowNow();
    shareWindow_->NavigateMinWeb(
        QString::fromStdString(ServiceUrl(serviceHost_, kServiceIndexPath)));
    shareWindow_->NavigateSearch(
        QString::fromStdString(ServiceUrl(serviceHost_, kServiceSearchPath)));
    shareWindow_->show();
    vb_share->SetChecked(true);
}

// ---------------------------------------------------------------------------------------------
// Close and destroy

void TTunMain::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        RunContained("FormClose", [this] { FormClose(); });
    }
    event->accept();
    // exit, not quit: quit asks every window to close first and gives up when one refuses, and
    // the library window only hides on close, so once it had been shown the player never ended.
    QCoreApplication::exit(0);
}

void TTunMain::FormClose() {
    if (playlistWindow_) {
        // Tags still being read are not waited for: those entries are saved as they show.
        fillStopped_ = playlistWindow_->StopFilling(kOpenStopBoundMs);
        playlistWindow_->SaveList();
    }
    TMoConfig config(UserConfigFile(state_), kConfigRoot);
    WriteCloseSettings(config, state_);
    if (session_)
        session_->Save(config);
}

void TTunMain::FormDestroy() {
    mpris_.reset();
    actions_.reset();
    // The service's workers are cancelled and joined at once, whatever the service does.
    if (controller_)
        controller_->OnOtherNotice = nullptr;
    web_.reset();
    // Its search worker uses the search object: the window goes before it.
    shareWindow_.reset();
    // The controller goes first: it ends a network open at once and waits for the worker. One
    // stuck in the system anyway (a dead network file system) still uses the controller and the
    // audio library, so they cannot be freed: the settings are saved by now, so end here.
    // Then the plug-ins get their quit event.
    if (controller_) {
        tmr_pub->stop();
        if (!controller_->StopOpen(kOpenStopBoundMs)) {
            qCWarning(lcTunola, "a stream is still opening at exit; ending without clean-up");
            std::_Exit(0);
        }
        controller_.reset();
    }
    // Likewise a tag reader stuck inside a file.
    if (!fillStopped_) {
        qCWarning(lcTunola, "a file's tags are still being read at exit; ending without clean-up");
        std::_Exit(0);
    }
    plugins_.reset();
    lyrics_.reset();
    if (audio_) {
        if (const uint32_t stream = state_.CurrentStream.exchange(0))
            audio_->StreamFree(stream);
        pbx_ost->SetPainter(nullptr);
        if (AddonHandle)
            audio_->PluginFree(AddonHandle);
        audio_->Free();
        audio_.reset();
    }
    // The lyric windows and their download worker are gone by now.
    if (services_) {
        services_->ReleaseLyricDown();
        services_->ReleaseMusicSearch();
    }
}

// ---------------------------------------------------------------------------------------------
// Messages and commands

int64_t TTunMain::HandleMessage(uint32_t message, int32_t wParam, int64_t lParam) {
    if (message == WM_PLAYER_NOTIFY && wParam == ncShowMain) {
        ShowMainWindow();
        return 0;
    }
    if (message == WM_PLAYER_CONTROL)
        return controller_ ? controller_->HandleControl(wParam, lParam) : -1;
    return -1;
}

// Shown and not minimised: a minimised window stays "visible" to Qt.
bool TTunMain::SpectrumWanted() const {
    return pbx_ost->Painter() && isVisible() && !isMinimized();
}

void TTunMain::DrawSpectrum(const float* magnitudes, int count) {
    pbx_ost->DrawFrame({magnitudes, size_t(std::max(count, 0))});
}

void TTunMain::ShowMainWindow() {
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void TTunMain::tmr_chkTimer() {
    TrimWorkingSet();
    if (web_)
        web_->tmr_chkTimer(*tmr_chk);
}

int TTunMain::AppendInternetEntry(const TShareEntry& entry) {
    return playlistWindow_
               ? playlistWindow_->AppendInternetEntry(entry.FileName, entry.Title, entry.Artist)
               : -1;
}

void TTunMain::PlayEntryNow(int index) {
    PlayEntry(index);
}

void TTunMain::ShareWindowClosed() {
    vb_share->SetChecked(false);
}

bool TTunMain::eventFilter(QObject* watched, QEvent* event) {
    // Pressing the time label drags the window.
    if (watched == vl_time && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        StartMoveLoop(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    return TZuFormEx::eventFilter(watched, event);
}

void TTunMain::vb_menuClick() {
    pm_main->popup(mapToGlobal(QPoint(vb_menu->x(), vb_menu->y() + vb_menu->height())));
}

std::vector<QWidget*> TTunMain::GroupWindows() const {
    std::vector<QWidget*> windows;
    QWidget* lyricsWindow = lyrics_ ? &lyrics_->Lyrics() : nullptr;
    QWidget* desktopWindow = lyrics_ ? &lyrics_->Desktop() : nullptr;
    for (QWidget* w : {static_cast<QWidget*>(playlistWindow_.get()),
                       static_cast<QWidget*>(shareWindow_.get()), lyricsWindow, desktopWindow})
        if (w)
            windows.push_back(w);
    return windows;
}

// Minimises the player: every window of it that is shown goes with the main window, and comes
// back when the main window is restored.
void TTunMain::vb_minClick() {
    minimisedWithMain_.clear();
    for (QWidget* w : GroupWindows())
        if (w->isVisible() && !w->isMinimized()) {
            minimisedWithMain_.emplace_back(w);
            w->showMinimized();
        }
    showMinimized();
}

void TTunMain::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !isMinimized() &&
        !minimisedWithMain_.empty()) {
        const auto windows = std::move(minimisedWithMain_);
        minimisedWithMain_.clear();
        for (const QPointer<QWidget>& w : windows)
            if (w && w->isMinimized())
                w->showNormal();
    }
    TZuFormEx::changeEvent(event);
}

void TTunMain::vb_closeClick() {
    close();
}

void TTunMain::vb_listClick() {
    if (!playlistWindow_) {
        vb_list->SetChecked(false);
        return;
    }
    playlistWindow_->setVisible(!playlistWindow_->isVisible());
    vb_list->SetChecked(playlistWindow_->isVisible());
}

void TTunMain::vb_shareClick() {
    ShareWindowNow();
    shareWindow_->setVisible(!shareWindow_->isVisible());
    vb_share->SetChecked(shareWindow_->isVisible());
    if (shareWindow_->isVisible())
        shareWindow_->raise();
}

void TTunMain::pmv_lrcClick() {
    if (lyrics_)
        lyrics_->ToggleLyrics();
}

void TTunMain::pmv_desktoplrcClick() {
    if (lyrics_)
        lyrics_->ToggleDesktop();
}

void TTunMain::pmv_lockdesktoplrcClick(bool locked) {
    if (lyrics_)
        lyrics_->Desktop().SetLocked(locked);
}

void TTunMain::TrackStarted() {
    const TZuPlaylistItem* entry =
        playlistWindow_ ? playlistWindow_->Playlist().CurrentEntry() : nullptr;
    if (!lyrics_ || !entry)
        return;
    lyrics_->LoadLyrics({PathFromUtf8(entry->FileName()), entry->Title(), entry->Artist()},
                        PathFromUtf8(state_.LyricDir),
                        std::llround(state_.TrackLength.load() * 86400000.0));
}

bool TTunMain::LyricsVisible() const {
    return lyrics_ && lyrics_->Visible();
}

QString TTunMain::LyricsAt(int milliseconds) {
    return lyrics_ ? lyrics_->LyricsAt(milliseconds) : QString();
}

void TTunMain::ShowDesktopLyric(const QString& line) {
    if (lyrics_)
        lyrics_->ShowDesktopText(line);
}

void TTunMain::pmm_aboutClick() {
    TfrmAbout about(GetFileVersion(), QStringLiteral(TUNOLA_HOMEPAGE),
                    QString::fromStdString(ServiceUrl(serviceHost_, "/")), this);
    about.exec();
}

void TTunMain::pmf_openfileClick() {
    if (playlistWindow_)
        playlistWindow_->AddFiles();
}

void TTunMain::pmf_openweblistClick() {
    QMessageBox::information(this, QApplication::applicationDisplayName(),
                             QStringLiteral("该功能在开发中，两天后见!!"));
}

void TTunMain::pmm_lrcClick() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(state_.LyricDir)));
}

void TTunMain::pmm_setdownClick() {
    ChooseLyricFolder(state_, UserConfigFile(state_), this);
}

bool TTunMain::ChooseSkin(const QByteArray& folder) {
    for (QAction* entry : pmm_skin->actions())
        if (entry->data().toByteArray() == folder) {
            entry->trigger(); // through the menu, as a click
            return true;
        }
    return false;
}

bool TTunMain::DragWindow(const QByteArray& window, QPoint delta) {
    TZuForm* form = nullptr;
    if (window == "main")
        form = this;
    else if (window == "playlist")
        form = playlistWindow_.get();
    if (!form || !form->isVisible())
        return false;
    form->DragBy(delta);
    return true;
}

void TTunMain::SkinMenuClick(QAction* entry) {
    state_.SkinName = entry->data().toByteArray().toStdString();
    state_.SkinDir = state_.ProgramDir + "skin/" + state_.SkinName + "/";
    RunContained("skin", [this] { LoadSkin(); });
    update();
}

} // namespace tunola
