#pragma once
// The main player window. Its start-up (FormCreate) brings up the whole player in a fixed order;
// closing it saves the settings (FormClose); destroying it releases the audio library and the
// other shared objects in reverse dependency order (FormDestroy).

#include "AppState.h"
#include "PlayerDisplay.h"
#include "SpectrumBox.h"

#include <CnAAMarqueeText.h>
#include <ZuButton.h>
#include <ZuForm.h>
#include <ZuSlider.h>
#include <ZuTray.h>
#include <ZuWindow.h>

#include <LyricsWindows.h>
#include <PlaylistHost.h>
#include <ShareHost.h>
#include <TunPlayList.h>
#include <audio/AudioLibrary.h>

#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QAction;
class QTimer;

namespace tunola {

class TPlaybackController;
class TMprisService;
class TPlayerSession;
class TPlayerActions;
class TZuSkin;
class TUSGeneralPurpose;
class TServiceLibraries;
class IMusicSearch;
class TWebServices;

class TTunShare;

class TTunMain : public TZuFormEx, public IPlayerDisplay, public IPlaylistHost, public IShareHost {
    Q_OBJECT
public:
    explicit TTunMain(TAppState& state, QWidget* parent = nullptr);
    ~TTunMain() override;

    // The start-up sequence. Each step runs contained: a step that fails leaves the player
    // without that step's work but the later steps still run.
    void FormCreate();

    // Requests from the local socket (a second start, other programs). UI thread.
    int64_t HandleMessage(uint32_t message, int32_t wParam, int64_t lParam);

    // True when start-up found the audio library unusable; the player then ends once start-up
    // has run all its steps.
    bool TerminateRequested() const { return terminateRequested_; }

    TAppState& State() { return state_; }
    tunaudio::TAudioLibrary* Audio() { return audio_.get(); }
    TPlaybackController* Controller() { return controller_.get(); }
    TTunPlayList* PlaylistWindow() { return playlistWindow_.get(); }
    // The lyrics window, the desktop lyrics and their loader.
    TLyricsWindows* LyricsWindows() { return lyrics_.get(); }
    // The music-search object for the library window's search page, loaded at the first call;
    // null when the search library or its object is missing. UI thread.
    IMusicSearch* MusicSearch();
    // What other programs and the desktop ask of the player.
    TPlayerActions& Actions() { return *actions_; }

    // IPlaylistHost: what the playlist window asks of the player.
    void PlayEntry(int index) override;
    void StopPlayback() override;
    void SetListButtonChecked(bool checked) override;

    // IShareHost: what the music library window asks of the player.
    int AppendInternetEntry(const TShareEntry& entry) override;
    void PlayEntryNow(int index) override;
    void ShareWindowClosed() override;
    // The music library window; null until it was first needed.
    TTunShare* ShareWindow() { return shareWindow_.get(); }
    // The library window, made (hidden, skinned, at the right of this window) if it is not yet.
    TTunShare& ShareWindowNow();

    // IPlayerDisplay: the controller's view of the controls.
    void vb_playSetChecked(bool checked) override;
    bool vb_soundChecked() const override;
    void vb_soundSetChecked(bool checked) override;
    int pgb_musicPosition() const override;
    void pgb_musicSetPosition(int seconds) override;
    void pgb_musicSetMax(int seconds) override;
    int pgb_volumePosition() const override;
    void pgb_volumeSetEnabled(bool enabled) override;
    void vl_titleSetText(const QString& text) override;
    void vl_timeSetText(const QString& text) override;
    QString vl_stackText() const override;
    void vl_stackSetText(const QString& text) override;
    void SetTrayHint(const QString& hint) override;
    void ShowMainWindow() override;
    void TrackStarted() override;
    bool LyricsVisible() const override;
    QString LyricsAt(int milliseconds) override;
    void ShowDesktopLyric(const QString& line) override;
    bool SpectrumWanted() const override;
    void DrawSpectrum(const float* magnitudes, int count) override;
    QMenu* MainMenu() const { return pm_main; }
    QMenu* SkinMenu() const { return pmm_skin; }
    TZuSkin* Skin() { return skin_.get(); }
    TUSGeneralPurpose* PluginManager() { return plugins_.get(); }
    // The service's workers and what they report; absent until the end of start-up.
    TWebServices* WebServices() { return web_.get(); }
    const QString& OpenFileFilter() const { return openFileFilter_; }

    // Components, named as the skin and the rest of the player know them.
    TZuWindow* ZuWindow1 = nullptr;
    TZuButton* vb_previous = nullptr;
    TZuButton* vb_next = nullptr;
    TZuCheckedButton* vb_play = nullptr;
    TZuCheckedButton* vb_sound = nullptr;
    TZuCheckedButton* vb_list = nullptr;
    TZuCheckedButton* vb_share = nullptr;
    TZuButton* vb_menu = nullptr;
    TZuButton* vb_min = nullptr;
    TZuButton* vb_close = nullptr;
    TZuSliderBlendEx* pgb_music = nullptr;
    TZuSliderBlendEx* pgb_volume = nullptr;
    TSpectrumBox* pbx_ost = nullptr;
    TCnAAMarqueeText* vl_title = nullptr;
    QLabel* vl_time = nullptr;
    QLabel* vl_stack = nullptr;
    QMenu* pm_main = nullptr;
    TZuTrayIcon* try_main = nullptr;
    QTimer* tmr_chk = nullptr;
    QTimer* tmr_pub = nullptr;

    // The player's other top-level windows that exist now (they minimise and restore with it).
    std::vector<QWidget*> GroupWindows() const;
    void vb_minClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public:
    // Start-up steps, in their order; FormCreate runs them all.
    void InstallExceptionHandler();
    void StartAudioLibrary();
    void ConfigureAudioLibrary();
    void ResolveFolders();
    void RememberMainWindow();
    void BuildSkinMenu();
    void SetOpaqueBlack();
    void CreateSkinLoader();
    void CreateServiceObjects();
    void ResetPlayState();
    void ReadConfiguration();
    void CreateWindows();
    void CreatePlayerActions();
    void StartDesktopBus();
    void RestoreSession();
    void LoadSkin();
    void ShowStartCaption();
    void PlaceWindows();
    void ReadVolume();
    void SetOpenFileFilter();
    void LoadAudioAddons();
    void ReleaseConfiguration();
    void CreatePluginManager();
    void StartServiceCheck();
    // The first tick of tmr_chk that finds the service.
    void ServiceFound();

    void SkinMenuClick(QAction* entry);
    // For tunola-remote's skin and move verbs (TPlayerActions).
    bool ChooseSkin(const QByteArray& folder);
    bool DragWindow(const QByteArray& window, QPoint delta);
    // try_main; made once the event loop runs, since it talks to the desktop.
    void CreateTrayIcon();

private:
    void CreateComponents();
    void CreateMainMenu();

    void FormClose();
    void FormDestroy();

    // Commands.
    void vb_menuClick();
    void vb_closeClick();
    void vb_listClick();
    void vb_shareClick();
    void pmv_lrcClick();
    void pmv_desktoplrcClick();
    void pmv_lockdesktoplrcClick(bool locked);
    void pmm_aboutClick();
    void pmf_openfileClick();
    void pmf_openweblistClick();
    void pmm_lrcClick();
    void pmm_setdownClick();
    void tmr_chkTimer();

    TAppState& state_;
    std::unique_ptr<tunaudio::TAudioLibrary> audio_;
    std::unique_ptr<TZuSkin> skin_;
    // The lyric-download and music-search libraries with their objects.
    std::unique_ptr<TServiceLibraries> services_;
    // The other windows. They go after the controller, which plays their list.
    std::unique_ptr<TTunPlayList> playlistWindow_;
    std::unique_ptr<TLyricsWindows> lyrics_;
    std::unique_ptr<TPlaybackController> controller_;
    std::unique_ptr<TUSGeneralPurpose> plugins_;
    std::unique_ptr<TPlayerActions> actions_;
    std::unique_ptr<TMprisService> mpris_;
    // Goes before the controller, whose channel its workers post through.
    std::unique_ptr<TWebServices> web_;
    // Read once with the configuration at start; every address of the service comes from it.
    std::string serviceHost_;
    TPlayerSession* session_ = nullptr;
    tunaudio::HPLUGIN AddonHandle = 0;
    std::unique_ptr<class TMoConfig> startupConfig_;
    QMenu* pmm_skin = nullptr;
    QString openFileFilter_;
    bool terminateRequested_ = false;
    bool closed_ = false;
    // False when a tag reader of the playlist did not end at close (see FormDestroy).
    bool fillStopped_ = true;
    // The windows vb_min minimised with the main window; restored with it.
    std::vector<QPointer<QWidget>> minimisedWithMain_;

    // The music library window. Made when first needed (the service found, or vb_share); its
    // pages are opened and it is shown once, when the service is first found online.
    std::unique_ptr<TTunShare> shareWindow_;
    bool sharePagesOpened_ = false;
    QAction* pmv_lockdesktoplrc = nullptr;
};

} // namespace tunola
