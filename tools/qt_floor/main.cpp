// The floor under the player's start-up memory: a Qt Widgets program with nothing of ours,
// three frameless windows of the sizes the player shows at start (main, playlist, lyrics),
// each painting a fill and a line of Chinese text in the CJK font. What it takes resident is
// what any Qt peer carries on the machine; tools/measure-startup.sh measures it with
// BIN=build/bin/tunola-qt-floor.
#include <QApplication>
#include <QDateTime>
#include <QPainter>
#include <QWidget>

namespace {

class TFloorWindow : public QWidget {
public:
    TFloorWindow(const QString& text, int w, int h) : text_(text) {
        setWindowFlags(Qt::FramelessWindowHint);
        resize(w, h);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x26, 0x20, 0x1D));
        p.setPen(Qt::white);
        p.drawText(10, 20, text_);
        if (!painted_) {
            painted_ = true;
            // The same trace the player gives, so the measurement script finds the first paint.
            qInfo("first paint at %lld", QDateTime::currentMSecsSinceEpoch());
        }
    }

private:
    QString text_;
    bool painted_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    TFloorWindow main(QStringLiteral("听风 00:00 / 00:00"), 464, 238);
    TFloorWindow list(QStringLiteral("播放列表"), 464, 166);
    TFloorWindow lyrics(QStringLiteral("歌词"), 464, 128);
    main.show();
    list.show();
    lyrics.show();
    return app.exec();
}
