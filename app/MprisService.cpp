#include "MprisService.h"

#include "CommandLine.h"
#include "PlayerActions.h"

#include <ZuPlaylistItem.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cmath>

namespace tunola {

namespace {

constexpr char kServiceName[] = "org.mpris.MediaPlayer2.tunola";
constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

constexpr qint64 kMicroseconds = 1000000;

// A picture beside the track, as most music folders have one.
QString FolderArt(const QString& trackPath) {
    static const char* const kNames[] = {"cover.jpg",  "cover.png", "folder.jpg", "folder.png",
                                         "front.jpg",  "front.png", "album.jpg",  "Cover.jpg",
                                         "Folder.jpg", "Front.jpg"};
    const QDir folder = QFileInfo(trackPath).absoluteDir();
    for (const char* name : kNames) {
        const QString path = folder.filePath(QLatin1String(name));
        if (QFileInfo(path).isFile())
            return QUrl::fromLocalFile(path).toString();
    }
    return {};
}

} // namespace

QString LoopStatusOf(TPlayMode mode) {
    switch (mode) {
    case pmRepeat:
    case pmRandom:
        return QStringLiteral("Playlist");
    case pmOneRepeat:
        return QStringLiteral("Track");
    case pmSingle:
        break;
    }
    return QStringLiteral("None");
}

bool ShuffleOf(TPlayMode mode) {
    return mode == pmRandom;
}

TPlayMode ModeAfterLoopStatus(TPlayMode mode, const QString& loopStatus) {
    if (mode == pmRandom)
        return mode;
    if (loopStatus == QLatin1String("None"))
        return pmSingle;
    if (loopStatus == QLatin1String("Playlist"))
        return pmRepeat;
    if (loopStatus == QLatin1String("Track"))
        return pmOneRepeat;
    return mode;
}

TPlayMode ModeAfterShuffle(TPlayMode mode, bool shuffle) {
    if (shuffle)
        return pmRandom;
    return mode == pmRandom ? pmRepeat : mode;
}

// org.mpris.MediaPlayer2
class TMprisRoot : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    explicit TMprisRoot(TMprisService* service) : QDBusAbstractAdaptor(service), s_(service) {}

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Tunola"); }
    QString DesktopEntry() const { return QStringLiteral("org.tunola.Tunola"); }
    QStringList SupportedUriSchemes() const {
        return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")};
    }
    QStringList SupportedMimeTypes() const {
        return {QStringLiteral("audio/mpeg"),          QStringLiteral("audio/ogg"),
                QStringLiteral("audio/x-vorbis+ogg"),  QStringLiteral("audio/flac"),
                QStringLiteral("audio/x-wav"),         QStringLiteral("audio/x-aiff"),
                QStringLiteral("audio/x-mpegurl"),     QStringLiteral("audio/x-scpls"),
                QStringLiteral("application/xspf+xml")};
    }

public slots:
    void Raise() { s_->raise_(); }
    void Quit() { s_->quit_(); }

private:
    TMprisService* s_;
};

// org.mpris.MediaPlayer2.Player
class TMprisPlayer : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanPlay)
    Q_PROPERTY(bool CanGoPrevious READ CanPlay)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPlay)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    explicit TMprisPlayer(TMprisService* service)
        : QDBusAbstractAdaptor(service), s_(service), a_(service->actions_) {}

    QString PlaybackStatus() const {
        switch (a_.State()) {
        case psPlaying:
            return QStringLiteral("Playing");
        case psPaused:
            return QStringLiteral("Paused");
        case psStopped:
            break;
        }
        return QStringLiteral("Stopped");
    }
    QString LoopStatus() const { return LoopStatusOf(a_.Mode()); }
    void SetLoopStatus(const QString& value) { a_.SetMode(ModeAfterLoopStatus(a_.Mode(), value)); }
    double Rate() const { return 1.0; }
    void SetRate(double) {} // one speed only
    bool Shuffle() const { return ShuffleOf(a_.Mode()); }
    void SetShuffle(bool value) { a_.SetMode(ModeAfterShuffle(a_.Mode(), value)); }
    QVariantMap Metadata() const { return s_->Metadata(); }
    double Volume() const { return a_.Volume() / 100.0; }
    void SetVolume(double value) {
        if (std::isfinite(value))
            a_.SetVolume(static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 100)));
    }
    qlonglong Position() const { return static_cast<qlonglong>(a_.Position() * kMicroseconds); }
    bool CanPlay() const { return a_.Count() > 0; }
    bool CanSeek() const { return a_.State() != psStopped && a_.Length() > 0; }
    bool CanControl() const { return true; }

public slots:
    void Next() { a_.Next(); }
    void Previous() { a_.Previous(); }
    void Pause() { a_.Pause(); }
    void PlayPause() { a_.PlayPause(); }
    void Stop() { a_.Stop(); }
    void Play() { a_.Play(); }
    void Seek(qlonglong offset) {
        if (!CanSeek())
            return;
        const double target = a_.Position() + double(offset) / kMicroseconds;
        // Past the end means the next track, as the interface asks.
        if (target > a_.Length())
            a_.Next();
        else
            a_.Seek(std::max(0.0, target));
    }
    void SetPosition(const QDBusObjectPath& track, qlonglong position) {
        if (track.path() != s_->TrackId() || position < 0 ||
            double(position) / kMicroseconds > a_.Length())
            return;
        a_.Seek(double(position) / kMicroseconds);
    }
    void OpenUri(const QString& uri) { a_.Open({AbsoluteItem(uri, QDir::currentPath())}, true); }

signals:
    void Seeked(qlonglong position);

private:
    TMprisService* s_;
    TPlayerActions& a_;
};

TMprisService::TMprisService(TPlayerActions& actions, std::function<void()> raise,
                             std::function<void()> quit, QObject* parent)
    : QObject(parent), actions_(actions), raise_(std::move(raise)), quit_(std::move(quit)) {
    new TMprisRoot(this);
    player_ = new TMprisPlayer(this);
    connect(&actions_, &TPlayerActions::PlaybackChanged, this, [this] {
        AnnounceChanged({QStringLiteral("PlaybackStatus"), QStringLiteral("Metadata"),
                         QStringLiteral("CanSeek"), QStringLiteral("CanPlay"),
                         QStringLiteral("CanPause"), QStringLiteral("CanGoNext"),
                         QStringLiteral("CanGoPrevious")});
    });
    connect(&actions_, &TPlayerActions::ModeChanged, this, [this] {
        AnnounceChanged({QStringLiteral("LoopStatus"), QStringLiteral("Shuffle")});
    });
    connect(&actions_, &TPlayerActions::VolumeChanged, this,
            [this] { AnnounceChanged({QStringLiteral("Volume")}); });
    connect(&actions_, &TPlayerActions::Seeked, this, [this](double seconds) {
        emit player_->Seeked(static_cast<qlonglong>(seconds * kMicroseconds));
    });
}

TMprisService::~TMprisService() {
    if (registered_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(QLatin1String(kServiceName));
        bus.unregisterObject(QLatin1String(kObjectPath));
    }
}

bool TMprisService::Register() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!bus.registerObject(QLatin1String(kObjectPath), this))
        return false;
    if (!bus.registerService(QLatin1String(kServiceName))) {
        bus.unregisterObject(QLatin1String(kObjectPath));
        return false;
    }
    registered_ = true;
    return true;
}

QString TMprisService::TrackId() const {
    const TZuPlaylistItem* entry = actions_.Current();
    if (!entry || entry->Serial() == 0)
        return QLatin1String(kNoTrack);
    return QStringLiteral("/org/tunola/track/%1").arg(entry->Serial());
}

QVariantMap TMprisService::Metadata() const {
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
    const TZuPlaylistItem* entry = actions_.Current();
    if (!entry)
        return map;
    const QString location = QString::fromStdString(entry->FileName());
    if (!entry->Title().empty())
        map.insert(QStringLiteral("xesam:title"), QString::fromStdString(entry->Title()));
    if (!entry->Artist().empty())
        map.insert(QStringLiteral("xesam:artist"),
                   QStringList{QString::fromStdString(entry->Artist())});
    const double seconds = actions_.State() != psStopped && actions_.Length() > 0
                               ? actions_.Length()
                               : entry->LongTime() * 86400.0;
    if (std::isfinite(seconds) && seconds > 0)
        map.insert(QStringLiteral("mpris:length"),
                   static_cast<qlonglong>(std::llround(seconds * kMicroseconds)));
    if (entry->ISURL()) {
        map.insert(QStringLiteral("xesam:url"), location);
    } else {
        map.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(location).toString());
        const QString art = FolderArt(location);
        if (!art.isEmpty())
            map.insert(QStringLiteral("mpris:artUrl"), art);
    }
    return map;
}

void TMprisService::AnnounceChanged(const QStringList& properties) {
    if (!registered_)
        return;
    QVariantMap changed;
    for (const QString& name : properties)
        changed.insert(name, player_->property(name.toLatin1().constData()));
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(kPlayerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

} // namespace tunola

#include "MprisService.moc"
