#include "WebServices.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>

#include <algorithm>

namespace tunola {

namespace {
constexpr int kCheckIntervalMs = 2000;
constexpr int kOnlineIntervalMs = 2500;
} // namespace

TWebServices::TWebServices(TParts parts)
    : parts_(std::move(parts)),
      workers_({parts_.Host, parts_.Poster, parts_.LocalVersion, parts_.Bounds}) {}

TWebServices::~TWebServices() {
    workers_.Stop();
}

QString TWebServices::DefaultUpdaterPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tunola-update");
}

void TWebServices::StartServiceCheck() {
    if (!parts_.State->ServiceOnline.load())
        workers_.StartServiceCheck();
}

void TWebServices::tmr_chkTimer(QTimer& tmr_chk) {
    if (parts_.State->ServiceOnline.load()) {
        if (tmr_chk.interval() != kCheckIntervalMs)
            return;
        tmr_chk.setInterval(kOnlineIntervalMs); // so this runs once
        workers_.StartUpdateCheck();
        if (parts_.OnFirstOnline)
            parts_.OnFirstOnline();
        return;
    }
    workers_.StartServiceCheck();
}

void TWebServices::LyricFound(const std::string& lyric) {
    // An upload to a service that is not there would only wait for its time-outs.
    if (!parts_.State->ServiceOnline.load() || workers_.UploadRunning() || !parts_.CurrentTrack)
        return;
    const std::optional<TTrack> track = parts_.CurrentTrack();
    if (!track)
        return;
    workers_.StartLyricUpload(track->Title, track->Artist, lyric);
}

bool TWebServices::HandleNotice(int32_t code, int64_t lParam, const QString& text) {
    switch (code) {
    case ncServiceChecked:
        if (lParam != 0)
            parts_.State->ServiceOnline = true;
        return true;
    case ncUpdateOffered:
        StartUpdater(text);
        return true;
    default:
        return false;
    }
}

QString TWebServices::UpdaterArgument(const QString& parameter) {
    qsizetype length = std::min(parameter.size(), kMaxUpdaterParameter);
    if (length < parameter.size() && length > 0 && parameter.at(length - 1).isHighSurrogate())
        --length;
    QString argument = parameter.left(length);
    for (QChar& c : argument) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || (u >= 0x7F && u < 0xA0))
            c = QLatin1Char(' ');
    }
    return argument;
}

bool TWebServices::StartUpdater(const QString& parameter) {
    const quint64 window = parts_.WindowId ? parts_.WindowId() : 0;
    const QString program =
        parts_.UpdaterPath.isEmpty() ? DefaultUpdaterPath() : parts_.UpdaterPath;
    return QProcess::startDetached(program, {QString::number(window), UpdaterArgument(parameter)});
}

} // namespace tunola
