#include "TunLrc.h"

#include <CnAAMotion.h>

namespace tunola {

namespace {

constexpr int kBorderWidth = 6;

template <class T> T* Make(QWidget* parent, const char* name, QRect where) {
    auto* c = new T(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(where);
    return c;
}

} // namespace

TTunLrc::TTunLrc(QWidget* parent) : TZuFormEx(parent) {
    setObjectName(QStringLiteral("TunLrc"));
    setWindowRole(QStringLiteral("TUNOLA LRC"));
    setWindowTitle(QStringLiteral("歌词"));
    resize(354, 155);

    ZuWindow1 = new TZuWindow(this);
    ZuWindow1->setObjectName(QStringLiteral("ZuWindow1"));
    // Presses on the background reach the window, which moves and sizes itself.
    ZuWindow1->setEnabled(false);

    btn_lrc = Make<TZuButton>(this, "btn_lrc", {312, 0, 17, 17});
    btn_close = Make<TZuButton>(this, "btn_close", {288, 0, 17, 17});
    Pb_lrc = Make<TZuLrcShow>(this, "Pb_lrc", {8, 32, 337, 113});
    b5 = Make<TZuButton>(this, "b5", {8, 0, 44, 33});
    f5 = Make<TZuButton>(this, "f5", {56, 0, 100, 41});

    btn_lrc->OnClick = [this](QWidget&) {
        if (OnToggleDesktopLyrics)
            OnToggleDesktopLyrics();
    };
    btn_close->OnClick = [this](QWidget&) { btn_closeClick(); };
    b5->OnClick = [this](QWidget&) { b5Click(); };
    f5->OnClick = [this](QWidget&) { f5Click(); };

    OnMouseDown = [this](QWidget&, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        if (button == Qt::LeftButton && !isMinimized() && !isMaximized())
            HitTestBorder(*this, x, y, true, kBorderWidth);
    };
    OnMouseMove = [this](QWidget&, Qt::KeyboardModifiers, int x, int y) {
        if (!isMinimized() && !isMaximized())
            HitTestBorder(*this, x, y, false, kBorderWidth);
    };
}

void TTunLrc::b5Click() {
    Pb_lrc->SetLrcOffset(Pb_lrc->LrcOffset() - kOffsetStepMs);
}

void TTunLrc::f5Click() {
    Pb_lrc->SetLrcOffset(Pb_lrc->LrcOffset() + kOffsetStepMs);
}

void TTunLrc::btn_closeClick() {
    hide();
}

bool TTunLrc::Showing() const {
    return OnScreen(*this);
}

} // namespace tunola
