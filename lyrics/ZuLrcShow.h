#pragma once
// TZuLrcShow: the lyric of the playing song as a centred column of lines that scrolls up
// smoothly with the play position, the current line in its own colour. The lines are drawn
// into a picture only when the current line changes (or the lyric, the size or the font does);
// each position otherwise costs a scan of the line times and one copy of that picture.
// The picture holds the lines that can show while the current line stays current, not the
// whole lyric, so a long lyric costs no more than a short one.
// UI thread only.

#include "ZuLrcLayout.h"

#include <CnAAFont.h>

#include <QImage>
#include <QWidget>

#include <string>
#include <vector>

namespace tunola {

class TZuLrcShow : public QWidget {
    Q_OBJECT
public:
    explicit TZuLrcShow(QWidget* parent = nullptr);

    uint8_t LrcSpace() const { return lrcSpace_; }
    // Takes effect at the next position (the picture is laid out again then).
    void SetLrcSpace(uint8_t space) {
        lrcSpace_ = space;
        dirty_ = true;
    }
    const std::string& Lrc() const { return lrc_; }
    // A new lyric (UTF-8 LRC text): its lines, its own offset; the trailer comes with
    // SetLengthTime.
    void SetLrc(const std::string& text);
    int32_t PosTime() const { return posTime_; }
    void SetPosTime(int32_t ms);
    // The song's length in ms: the trailer line goes after the song's end and after the last
    // lyric line. Exactly one trailer, whatever the order of calls.
    int32_t LengthTime() const { return lengthTime_; }
    void SetLengthTime(int32_t ms);
    QRgb BGColor() const { return bgColor_; }
    void SetBGColor(QRgb color);
    QRgb LrcCurrColor() const { return currColor_; }
    void SetLrcCurrColor(QRgb color);
    QRgb LrcColor() const { return color_; }
    void SetLrcColor(QRgb color);
    int32_t LrcOffset() const { return lrcOffset_; }
    void SetLrcOffset(int32_t ms) { lrcOffset_ = ms; }
    const QString& LrcCurrText() const { return currText_; }
    const QFont& LrcFont() const { return lrcFont_; }
    void SetLrcFont(const QFont& font);

    const std::vector<std::string>& DisplayLines() const { return lines_; }
    int LastCurrent() const { return lastCurrent_; }
    // Redraws of the line picture since creation.
    int Redraws() const { return redraws_; }
    // The frame of the last rendering.
    const TLrcFrame& Frame() const { return frame_; }
    int Pitch() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Works out the frame and redraws the picture when the current line changed; repaints
    // when what shows changed.
    void Render();
    void DrawLines();

    uint8_t lrcSpace_ = 0;
    std::string lrc_;
    int32_t posTime_ = 0;
    int32_t lengthTime_ = 0;
    int32_t lrcOffset_ = 0;
    QRgb bgColor_ = 0xFF000000, currColor_ = 0xFF000000, color_ = 0xFF000000;
    QString currText_;
    QFont lrcFont_;
    std::vector<std::string> lines_;
    std::vector<int64_t> times_;
    bool hasTrailer_ = false;
    int lastCurrent_ = 0;
    bool dirty_ = true; // lines, size or font changed: draw again whatever the line
    TLrcFrame frame_;
    TLrcBand band_;
    QImage lineImage_;
    TCnAAFont aaFont_;
    // Of the lyric font, measured once per font (-1 until then): every position uses it.
    mutable int textHeight_ = -1;
    int redraws_ = 0;
};

} // namespace tunola
