#pragma once
// The session the player remembers from one run to the next, in its own element of the
// configuration file (the elements the player always had stay as they are):
//
//   <Session>
//     <Sound VOLUME="0-100" MUTE="0|1"/>
//     <Resume ON="1" INDEX="entry" FILE="its path" POSITION="seconds"/>
//     <Main X= Y= W= H= VISIBLE=/>  <Playlist …/>  <Lyrics …/>  <DesktopLyrics …/>
//   </Session>
//
// Saved at close; restored at start-up, where saved places and volume replace the default
// placement and the library's volume. The entry that played resumes paused at its position
// when "启动时继续播放" is on (the default); an entry that is no longer in the list is let go.
// A window place that lies on no screen any more is not restored.
//
// UI thread.

#include <QObject>
#include <QRect>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace tunola {

class TMoConfig;
class TPlayerActions;

class TPlayerSession : public QObject {
    Q_OBJECT
public:
    // The windows whose places are kept, by element name; absent windows are null.
    using TWindows = std::function<std::vector<std::pair<const char*, QWidget*>>()>;
    // Shows or hides the playlist window the way the list button does.
    using TShowList = std::function<void(bool shown)>;

    TPlayerSession(TPlayerActions& actions, TWindows windows, TShowList showList,
                   QObject* parent = nullptr);

    // Puts the "启动时继续播放" switch into `menu`.
    void AddMenuEntry(QMenu& menu);
    QAction* ResumeEntry() const { return resume_; }

    // Places, shown windows, volume and mute now; the resume once the event loop runs.
    void Restore(TMoConfig& config);
    void Save(TMoConfig& config) const;

    // Whether `saved` may be restored: it must lie mostly on one of the screens.
    static bool OnSomeScreen(const QRect& saved);

private:
    TPlayerActions& actions_;
    TWindows windows_;
    TShowList showList_;
    QAction* resume_ = nullptr;
};

} // namespace tunola
