#include "PlayerSession.h"

#include "PlayerActions.h"

#include <MoConfig.h>
#include <ZuPlaylistItem.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace tunola {

namespace {

constexpr char kSound[] = "Session/Sound";
constexpr char kResume[] = "Session/Resume";

std::string WindowPath(const char* name) {
    return std::string("Session/") + name;
}

} // namespace

TPlayerSession::TPlayerSession(TPlayerActions& actions, TWindows windows, TShowList showList,
                               QObject* parent)
    : QObject(parent), actions_(actions), windows_(std::move(windows)),
      showList_(std::move(showList)) {
    resume_ = new QAction(QStringLiteral("启动时继续播放"), this);
    resume_->setObjectName(QStringLiteral("pmm_resume"));
    resume_->setCheckable(true);
    resume_->setChecked(true);
}

void TPlayerSession::AddMenuEntry(QMenu& menu) {
    menu.addAction(resume_);
}

bool TPlayerSession::OnSomeScreen(const QRect& saved) {
    if (saved.width() <= 0 || saved.height() <= 0)
        return false;
    const qint64 area = qint64(saved.width()) * saved.height();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(saved);
        if (qint64(shared.width()) * shared.height() * 2 >= area)
            return true;
    }
    return false;
}

void TPlayerSession::Restore(TMoConfig& config) {
    for (const auto& [name, window] : windows_()) {
        if (!window)
            continue;
        const std::string path = WindowPath(name);
        const int w = config.ReadInteger(path, "W", 0);
        const int h = config.ReadInteger(path, "H", 0);
        const QRect saved(config.ReadInteger(path, "X", 0), config.ReadInteger(path, "Y", 0), w, h);
        if (OnSomeScreen(saved)) {
            // Sizes below the window's minimum come back as the minimum.
            window->move(saved.topLeft());
            window->resize(saved.size().expandedTo(window->minimumSize()));
        }
        const int visible = config.ReadInteger(path, "VISIBLE", -1);
        if (visible < 0)
            continue;
        if (std::string_view(name) == "Playlist")
            showList_(visible != 0);
        else if (std::string_view(name) != "Main")
            window->setVisible(visible != 0);
    }

    const int volume = config.ReadInteger(kSound, "VOLUME", -1);
    if (volume >= 0 && volume <= 100)
        actions_.SetVolume(volume);
    if (config.ReadInteger(kSound, "MUTE", 0) == 1)
        actions_.SetMuted(true);

    resume_->setChecked(config.ReadInteger(kResume, "ON", 1) != 0);
    const int index = config.ReadInteger(kResume, "INDEX", -1);
    const std::string file = config.ReadString(kResume, "FILE", "");
    const double position = std::atof(config.ReadString(kResume, "POSITION", "0").c_str());
    if (!resume_->isChecked() || index < 0 || file.empty())
        return;
    // After the list has loaded and the event loop runs: the entry may have moved, or gone.
    QTimer::singleShot(0, this, [this, index, file, position] {
        int found = -1;
        if (index < actions_.Count() && actions_.EntryAt(index)->FileName() == file)
            found = index;
        for (int i = 0; found < 0 && i < actions_.Count(); ++i)
            if (actions_.EntryAt(i)->FileName() == file)
                found = i;
        if (found >= 0)
            actions_.ResumePaused(found, std::isfinite(position) ? position : 0.0);
    });
}

void TPlayerSession::Save(TMoConfig& config) const {
    for (const auto& [name, window] : windows_()) {
        if (!window)
            continue;
        const std::string path = WindowPath(name);
        // The normal geometry: a minimised window keeps the place it comes back to.
        const QRect r =
            window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
        config.WriteInteger(path, "X", r.x());
        config.WriteInteger(path, "Y", r.y());
        config.WriteInteger(path, "W", r.width());
        config.WriteInteger(path, "H", r.height());
        config.WriteInteger(path, "VISIBLE", window->isVisible() ? 1 : 0);
    }
    config.WriteInteger(kSound, "VOLUME", actions_.Volume());
    config.WriteInteger(kSound, "MUTE", actions_.Muted() ? 1 : 0);

    config.WriteInteger(kResume, "ON", resume_->isChecked() ? 1 : 0);
    const TZuPlaylistItem* entry = actions_.Current();
    const bool playing = entry && actions_.State() != psStopped;
    config.WriteInteger(kResume, "INDEX", playing ? actions_.CurrentIndex() : -1);
    config.WriteString(kResume, "FILE", playing ? entry->FileName() : std::string());
    config.WriteString(kResume, "POSITION",
                       playing ? QByteArray::number(actions_.Position(), 'f', 3).toStdString()
                               : std::string("0"));
}

} // namespace tunola
