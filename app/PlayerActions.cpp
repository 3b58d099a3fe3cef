#include "PlayerActions.h"

#include "PlaybackController.h"
#include "PlayerMessages.h"

#include <TunPlayList.h>
#include <ZuButton.h>
#include <ZuSlider.h>
#include <audio/AudioLibrary.h>

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tunola {

namespace {

// What the user is told on the row of an entry that did not open.
std::string FailureReason(const TZuPlaylistItem& entry) {
    if (entry.ISURL())
        return "无法打开网络地址：服务器没有回应，或那里不是可以播放的音频流";
    const QFileInfo file(QString::fromStdString(entry.FileName()));
    if (!file.exists())
        return "无法打开：文件不存在";
    if (!file.isReadable())
        return "无法打开：没有读取这个文件的权限";
    return "无法打开：格式不受支持，或文件已损坏";
}

} // namespace

TPlayerActions::TPlayerActions(TParts parts, QObject* parent) : QObject(parent), p_(parts) {
    Watch();
}

void TPlayerActions::Watch() {
    if (p_.Controller)
        connect(p_.Controller, &TPlaybackController::Notified, this,
                [this](int32_t code, int64_t lParam) {
                    MarkFailures(code, lParam);
                    if (code == ncPlayState || (code == ncOpening && lParam == 2))
                        emit PlaybackChanged();
                });
    // The sliders and the mute button keep their own handlers; we only hear of them after.
    if (p_.Music) {
        auto previous = p_.Music->OnMouseUp;
        p_.Music->OnMouseUp = [this, previous](QWidget& w, Qt::MouseButton b,
                                               Qt::KeyboardModifiers m, int x, int y) {
            if (previous)
                previous(w, b, m, x, y);
            emit Seeked(Position());
        };
    }
    if (p_.Volume) {
        auto previous = p_.Volume->OnMouseUp;
        p_.Volume->OnMouseUp = [this, previous](QWidget& w, Qt::MouseButton b,
                                                Qt::KeyboardModifiers m, int x, int y) {
            if (previous)
                previous(w, b, m, x, y);
            emit VolumeChanged();
        };
    }
    if (p_.Sound) {
        auto previous = p_.Sound->OnClick;
        p_.Sound->OnClick = [this, previous](QWidget& w) {
            if (previous)
                previous(w);
            emit VolumeChanged();
        };
    }
    if (p_.Playlist) {
        auto previous = p_.Playlist->OnPlayModeChanged;
        p_.Playlist->OnPlayModeChanged = [this, previous] {
            if (previous)
                previous();
            emit ModeChanged();
        };
    }
}

void TPlayerActions::MarkFailures(int32_t code, int64_t lParam) {
    if (!p_.Playlist)
        return;
    TZuPlaylistModel& model = p_.Playlist->Playlist();
    if (code == ncOpenFailed) {
        const auto serial = static_cast<uint64_t>(lParam);
        if (const std::optional<TZuPlaylistItem> entry = model.SnapshotOf(serial))
            model.SetFailure(serial, FailureReason(*entry));
    } else if (code == ncOpening && lParam == 2) {
        if (const TZuPlaylistItem* entry = model.CurrentEntry())
            model.SetFailure(entry->Serial(), {});
    }
}

void TPlayerActions::PlayPause() {
    if (p_.Controller)
        p_.Controller->vb_playClick();
}

void TPlayerActions::Play() {
    if (State() != psPlaying)
        PlayPause();
}

void TPlayerActions::Pause() {
    if (State() == psPlaying)
        PlayPause();
}

void TPlayerActions::Stop() {
    if (!p_.Controller || !p_.State || p_.State->PlayState == psStopped)
        return;
    p_.Controller->StopPlayback();
    if (p_.Music)
        p_.Music->SetPosition(0);
    p_.Controller->Notify(ncPlayState, 2);
}

void TPlayerActions::Next() {
    if (p_.Controller)
        p_.Controller->vb_nextClick();
}

void TPlayerActions::Previous() {
    if (p_.Controller)
        p_.Controller->vb_previousClick();
}

TPlayState TPlayerActions::State() const {
    return p_.State ? p_.State->PlayState : psStopped;
}

double TPlayerActions::Position() const {
    if (!p_.Audio || !p_.State || State() == psStopped)
        return 0.0;
    const uint32_t stream = p_.State->CurrentStream.load();
    if (!stream)
        return 0.0;
    const tunaudio::QWORD bytes = p_.Audio->ChannelGetPosition(stream, tunaudio::kPosByte);
    if (bytes == tunaudio::kUnknown)
        return 0.0;
    const double seconds = p_.Audio->ChannelBytes2Seconds(stream, bytes);
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

double TPlayerActions::Length() const {
    if (!p_.State)
        return 0.0;
    const double seconds = p_.State->TrackLength.load() * 86400.0;
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

bool TPlayerActions::Seek(double seconds) {
    if (!p_.Audio || !p_.State || State() == psStopped || !std::isfinite(seconds))
        return false;
    const uint32_t stream = p_.State->CurrentStream.load();
    if (!stream)
        return false;
    const double length = Length();
    seconds = std::max(0.0, seconds);
    if (length > 0)
        seconds = std::min(seconds, length);
    const tunaudio::QWORD bytes = p_.Audio->ChannelSeconds2Bytes(stream, seconds);
    if (bytes == tunaudio::kUnknown ||
        !p_.Audio->ChannelSetPosition(stream, bytes, tunaudio::kPosByte))
        return false;
    if (p_.Music)
        p_.Music->SetPosition(static_cast<int>(seconds));
    emit Seeked(seconds);
    return true;
}

int TPlayerActions::Volume() const {
    return p_.Volume ? p_.Volume->Position() : 0;
}

void TPlayerActions::SetVolume(int percent) {
    if (!p_.Volume)
        return;
    percent = std::clamp(percent, 0, 100);
    p_.Volume->SetPosition(percent);
    // While muted the slider keeps the level for when the sound comes back.
    if (p_.Controller && !Muted())
        p_.Controller->pgb_volumeMouseUp();
    emit VolumeChanged();
}

bool TPlayerActions::Muted() const {
    return p_.Sound && p_.Sound->Checked();
}

void TPlayerActions::SetMuted(bool muted) {
    if (p_.Controller && muted != Muted()) {
        p_.Controller->vb_soundClick();
        emit VolumeChanged();
    }
}

TPlayMode TPlayerActions::Mode() const {
    return p_.State ? p_.State->PlayMode : pmSingle;
}

void TPlayerActions::SetMode(TPlayMode mode) {
    if (p_.Playlist)
        p_.Playlist->SetPlayMode(mode); // tells ModeChanged through OnPlayModeChanged
    else if (p_.State && p_.State->PlayMode != mode) {
        p_.State->PlayMode = mode;
        emit ModeChanged();
    }
}

const TZuPlaylistItem* TPlayerActions::Current() const {
    return p_.Playlist ? p_.Playlist->Playlist().CurrentEntry() : nullptr;
}

int TPlayerActions::CurrentIndex() const {
    return p_.Playlist ? p_.Playlist->Playlist().CurrentItem() : -1;
}

int TPlayerActions::Count() const {
    return p_.Playlist ? p_.Playlist->Playlist().Items().Count() : 0;
}

void TPlayerActions::PlayAt(int index) {
    if (p_.Controller && index >= 0 && index < Count())
        p_.Controller->PlayDirect(index);
}

const TZuPlaylistItem* TPlayerActions::EntryAt(int index) const {
    return p_.Playlist ? p_.Playlist->Playlist().Items().GetItem(index) : nullptr;
}

void TPlayerActions::ResumePaused(int index, double seconds) {
    if (!p_.Controller || index < 0 || index >= Count())
        return;
    // Paused while it opens, the track waits there silently; once it is open it moves to the
    // position. Only this open counts: the connection goes with its first result.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(p_.Controller, &TPlaybackController::Notified, this,
                          [this, connection, seconds](int32_t code, int64_t lParam) {
                              const bool opened = code == ncOpening && lParam == 2;
                              if (!opened && code != ncOpenFailed)
                                  return;
                              disconnect(*connection);
                              if (opened && seconds > 0)
                                  Seek(seconds);
                          });
    PlayAt(index);
    Pause();
}

int TPlayerActions::Open(const QStringList& items, bool play) {
    if (!p_.Playlist)
        return 0;
    const int first = Count();
    const int added = p_.Playlist->AppendItems(items);
    if (play && added > 0)
        PlayAt(first);
    return added;
}

bool TPlayerActions::Remove(int index) {
    return p_.Playlist && p_.Playlist->RemoveEntry(index);
}

bool TPlayerActions::ChooseSkin(const QByteArray& folder) {
    return p_.ChooseSkin && p_.ChooseSkin(folder);
}

bool TPlayerActions::DragWindow(const QByteArray& window, QPoint delta) {
    return p_.DragWindow && p_.DragWindow(window, delta);
}

QByteArray TPlayerActions::StatusText() const {
    const char* state = "stopped";
    if (State() == psPlaying)
        state = "playing";
    else if (State() == psPaused)
        state = "paused";
    QByteArray text = QByteArray("state=") + state + '\n';
    text += "position=" + QByteArray::number(Position(), 'f', 3) + '\n';
    text += "length=" + QByteArray::number(Length(), 'f', 3) + '\n';
    // Titles come from tags: no line breaks may split a line of the answer.
    auto oneLine = [](std::string value) {
        std::replace_if(
            value.begin(), value.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
        return QByteArray::fromStdString(value);
    };
    const TZuPlaylistItem* entry = Current();
    text += "title=" + (entry ? oneLine(entry->Title()) : QByteArray()) + '\n';
    text += "artist=" + (entry ? oneLine(entry->Artist()) : QByteArray()) + '\n';
    text += QByteArray("service=") + (p_.State && p_.State->ServiceOnline ? "online" : "offline") +
            '\n';
    text += "lyric=" + (p_.LyricLine ? oneLine(p_.LyricLine().toStdString()) : QByteArray()) + '\n';
    return text;
}

} // namespace tunola
