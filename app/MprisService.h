#pragma once
// The player on the desktop bus: MPRIS 2 (org.mpris.MediaPlayer2.tunola on the session bus),
// so media keys, desktop widgets and playerctl control it. Every call goes through the
// player's actions, exactly as the buttons; every change, whatever made it, is announced with
// PropertiesChanged (and Seeked for jumps in the position).
//
// Play modes as MPRIS sees them: single play is LoopStatus "None", repeating the list
// "Playlist", repeating one track "Track", random play Shuffle on (shown with LoopStatus
// "Playlist"). Shuffle off in random play repeats the list; setting LoopStatus in random play
// leaves shuffle on.
//
// UI thread: QtDBus delivers the calls to the thread of the service object.

#include <AppState.h>

#include <QObject>

#include <functional>

namespace tunola {

class TPlayerActions;

// The LoopStatus and Shuffle of a play mode, and the mode after setting one of them.
QString LoopStatusOf(TPlayMode mode);
bool ShuffleOf(TPlayMode mode);
TPlayMode ModeAfterLoopStatus(TPlayMode mode, const QString& loopStatus);
TPlayMode ModeAfterShuffle(TPlayMode mode, bool shuffle);

class TMprisService : public QObject {
    Q_OBJECT
public:
    // `raise` brings the main window to the front, `quit` closes the player.
    TMprisService(TPlayerActions& actions, std::function<void()> raise, std::function<void()> quit,
                  QObject* parent = nullptr);
    ~TMprisService() override;

    // Registers on the session bus; false when there is no bus or the name is taken.
    bool Register();

private:
    friend class TMprisRoot;
    friend class TMprisPlayer;

    void AnnounceChanged(const QStringList& properties);
    QVariantMap Metadata() const;
    QString TrackId() const;

    TPlayerActions& actions_;
    std::function<void()> raise_;
    std::function<void()> quit_;
    class TMprisPlayer* player_ = nullptr;
    bool registered_ = false;
};

} // namespace tunola
