#include "LyricsWindows.h"

#include <algorithm>
#include <limits>

namespace tunola {

TLyricsWindows::TLyricsWindows(TParts parts)
    : parts_(std::move(parts)), lyrics_(std::make_unique<TTunLrc>()),
      desktop_(std::make_unique<TTunDeskTopLrc>()),
      loader_(parts_.Service, parts_.ServiceOnline, parts_.Post) {
    lyrics_->OnToggleDesktopLyrics = [this] { ToggleDesktop(); };
}

TLyricsWindows::~TLyricsWindows() = default;

void TLyricsWindows::Show(const std::string& text, int64_t lengthMs) {
    TZuLrcShow& view = *lyrics_->Pb_lrc;
    view.SetLrc(text);
    view.SetLengthTime(
        int32_t(std::clamp<int64_t>(lengthMs, 0, std::numeric_limits<int32_t>::max())));
}

void TLyricsWindows::LoadLyrics(const TLyricTrack& track, const std::filesystem::path& lyricDir,
                                int64_t lengthMs) {
    auto done = [this, track, lengthMs](const TLyricLookup& lookup) {
        Show(lookup.Text, lengthMs);
        if (!lookup.Warning.empty() && parts_.Warn)
            parts_.Warn(QStringLiteral("警告"), QString::fromStdString(lookup.Warning));
        if (parts_.OnLyricFound)
            parts_.OnLyricFound(track, lookup.Text);
    };
    if (!loader_.Load(track, lyricDir, done))
        Show(std::string(), lengthMs); // until the download answers
}

bool TLyricsWindows::Visible() const {
    return lyrics_->Showing() || desktop_->Showing();
}

QString TLyricsWindows::LyricsAt(int milliseconds) {
    lyrics_->Pb_lrc->SetPosTime(milliseconds);
    return lyrics_->Pb_lrc->LrcCurrText();
}

void TLyricsWindows::ToggleLyrics() {
    lyrics_->setVisible(!lyrics_->isVisible());
}

void TLyricsWindows::ToggleDesktop() {
    if (desktop_->isVisible())
        desktop_->close();
    else
        desktop_->show();
}

} // namespace tunola
